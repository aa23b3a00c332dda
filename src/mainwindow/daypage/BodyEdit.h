#pragma once

#include <QTextEdit>

// The editor of the diary body. The body is stored as text with its formatting; a pasted or
// dropped picture would vanish without a word at the next save, so only the text of what comes
// in, with the formatting the stored body keeps, is taken. Ctrl+click opens a link.
class TBodyEdit : public QTextEdit {
    Q_OBJECT
public:
    using QTextEdit::QTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
