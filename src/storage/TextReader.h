#pragma once

#include <memory>
#include <string>
#include <string_view>

// Reads the lines of a text file held whole in memory. A line ends at CR LF, at a lone CR or at a
// lone LF, so files saved by editors and other systems read as they were written; the core never
// writes a raw line break inside a line. The byte 0x1A ends the file as if it were its physical
// end when only line ends, blanks and more 0x1A follow it; anywhere else it is a byte of the
// text, so the reader always takes every line that holds content.
class TTextReader {
public:
    explicit TTextReader(std::string bytes);

    // The bytes the lines are views of, for a reader that keeps some of them past this one.
    const std::shared_ptr<const std::string>& Bytes() const { return bytes_; }
    bool AtEnd() const { return pos_ >= text_.size(); }
    // The next line without its line end, a view into the reader's bytes that lasts as long as
    // the reader; false, with line untouched, at the end of the file.
    bool ReadLine(std::string_view& line);
    // How many lines have been read so far (the number of the line last read).
    int LineNumber() const { return lineNumber_; }

private:
    // The position of the next byte at or after the cursor, searched again once passed.
    size_t NextAtOrAfter(size_t& cached, char byte);

    std::shared_ptr<const std::string> bytes_;
    std::string_view text_;  // *bytes_
    size_t pos_ = 0;
    size_t nextLf_ = std::string::npos;
    size_t nextCr_ = std::string::npos;
    int lineNumber_ = 0;
};
