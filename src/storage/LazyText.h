#pragma once

#include <memory>
#include <string>
#include <string_view>

// A text that a year file holds escaped, kept as the file held it until it is first wanted: the
// body's plain and rich text, by far the largest fields, which most pages of a loaded year never
// show. A text still as read is written back as the very bytes read, so a save neither decodes
// nor encodes a page nobody changed and leaves it byte for byte as it was.
//
// The first call of Text fills a cache: one value must not be read from two threads at once.
class TLazyText {
public:
    TLazyText() = default;
    // A text as it is; implicit, so that a record's text is assigned as a string would be.
    TLazyText(std::string text) : text_(std::move(text)) {}
    TLazyText(const char* text) : text_(text) {}

    // The field as TCommaFile::GetRawField gave it, a view into source, which the text keeps
    // (so the bytes of a whole year file stay while a page of it is kept as read). The field
    // must be closed: one cut short by the end of its line is decoded by the reader instead (see
    // TCommaFile::FieldCut).
    static TLazyText FromField(std::string_view raw, std::shared_ptr<const std::string> source);

    // The text, its escapes undone on the first call.
    const std::string& Text() const;
    bool Empty() const { return decoded_ && text_.empty(); }
    // Appends the text's field to a line: the bytes read for a text still as read, otherwise
    // what EncodeField makes of it.
    void AppendField(std::string& line) const;

    // Whether the texts are equal, whatever form each is kept in.
    bool operator==(const TLazyText& other) const;

private:
    mutable std::string text_;
    std::shared_ptr<const std::string> source_;
    std::string_view field_;  // the field as read, in source_; empty for a text given as it is
    mutable bool decoded_ = true;
};
