#pragma once

class QTextDocument;

// The pictures of a body live among the resources of the document it was read into. A fragment
// of that document inserted into another names pictures the other lacks: this gives it those of
// from, under the same names.
void CopyPictures(const QTextDocument& from, QTextDocument& to);
