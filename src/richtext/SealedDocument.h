#pragma once

#include <QTextDocument>
#include <QUrl>
#include <QVariant>

// A document that holds only what it is given. HTML read into it may name style sheets and
// pictures by path or address; none is loaded, for the name could be any file of the user's, or
// a FIFO whose open never returns.
class TSealedDocument : public QTextDocument {
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int, const QUrl&) override { return QVariant(); }
};
