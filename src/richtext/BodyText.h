#pragma once

#include <QString>

class QTextDocument;

// What the page's record keeps of the body beside its RTF.

// The plain text of the document for the page's text field: paragraphs and line breaks as
// CR LF, the cells of a table row separated by tabs, blanks and control characters removed
// from both ends. Pictures, objects and hidden text are left out.
QString PlainTextForField(const QTextDocument& document);

// Whether the document holds pictures, objects, footnotes or hidden text: a body whose plain
// text is empty may still hold them.
bool HoldsMoreThanText(const QTextDocument& document);
