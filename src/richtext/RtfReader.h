#pragma once

#include <string_view>

class QTextDocument;

// True when the bytes hold RTF: "{\rtf" after any leading blanks, NULs or UTF-8 byte-order mark.
bool IsRtf(std::string_view bytes);

// Replaces the content of document with the diary body held in bytes, as the Windows rich-text
// control would show it: RTF with its text, faces, sizes, styles, colours and paragraph
// formats; any other value as plain CP932 text. Damaged RTF yields the text that can be read;
// nothing in the input makes it fail, hang or take memory beyond a small multiple of its size.
// The document's default font is left alone; it ends unmodified, and the load adds no undo step.
void ReadRtf(std::string_view bytes, QTextDocument& document);

// Replaces the content of document with CP932 text shown as it stands, even text that looks like
// RTF; line ends of any kind become paragraphs. Leaves the document as ReadRtf does.
void ReadPlainText(std::string_view cp932, QTextDocument& document);
