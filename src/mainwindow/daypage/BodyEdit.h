#pragma once

#include <QTextEdit>

// The editor of the diary body. The body is stored as text with its formatting; a pasted or
// dropped picture would vanish without a word at the next save, so only the text of what comes
// in, with its formatting, is taken.
class TBodyEdit : public QTextEdit {
    Q_OBJECT
public:
    using QTextEdit::QTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};
