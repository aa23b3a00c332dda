#pragma once

#include <string_view>

class QTextDocument;

// Whether a page's rich-text body and its plain-text field tell the same text. The field is what
// the day lists and the search read, the body what the page shows; a year file cut short, or
// edited in a text editor, can leave them apart.
//
// Only a difference that formatting cannot explain counts. Formatting explains: blanks, tabs,
// line ends and control characters (paragraphs, table cells and the marks other writers put
// between cells); bullets, and list numbers standing alone ("1.", "a)", "(2)", "①"); pictures
// and objects (nothing, U+FFFC or '?' in the field); characters CP932 cannot hold (this program
// writes a reference, other writers '?', a near character such as "e" for "é", or nothing);
// hidden text, which other writers count as text.
enum class TBodyAgreement {
    Agrees,
    Cut,      // the RTF ends inside a group, and its text is not the field's
    Differs,  // the RTF is whole, and its text differs from the field's
};

// richText: a record's RichText; body: what ReadRtf made of it; plainText: the record's Text
// (CP932). A field without a character to show agrees with any body: there is nothing to show
// in its place.
TBodyAgreement CompareBody(std::string_view richText, const QTextDocument& body,
                           std::string_view plainText);

// Fills document with the body a page shows: the RTF richText as ReadRtf reads it, or, when
// CompareBody finds it apart from the text field plainText, that text as it stands. Returns what
// CompareBody found.
TBodyAgreement ReadPageBody(std::string_view richText, std::string_view plainText,
                            QTextDocument& document);

// False when bytes hold RTF that ends before its outermost group closes; any value that is not
// RTF is whole.
bool RtfComplete(std::string_view bytes);
