#pragma once

#include <string>

class QTextDocument;

// The document as RTF in the shape the Windows rich-text control writes: CP932 code page,
// a font table with one entry per face and character set used, a colour table when a colour is
// used, every paragraph closed by \par, lines ended by CR LF. Text CP932 can hold is written as
// its bytes, everything else as \uN, so no character is lost. Faces, sizes, bold, italic,
// underline, strike-out, colours, super- and subscript, alignment, indents and paragraph spacing
// are kept, and so are lists, links, tables, and pictures, objects, footnotes and hidden text as
// they were read.
std::string WriteRtf(const QTextDocument& document);
