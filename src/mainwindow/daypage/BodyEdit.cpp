#include "mainwindow/daypage/BodyEdit.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <vector>

namespace {

void RemoveImages(QTextDocument& document) {
    std::vector<std::pair<int, int>> images;  // position, length
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.charFormat().isImageFormat()) {
                images.emplace_back(fragment.position(), fragment.length());
            }
        }
    }
    // From the end, so the positions still ahead stay right.
    QTextCursor cursor(&document);
    for (auto it = images.rbegin(); it != images.rend(); ++it) {
        cursor.setPosition(it->first);
        cursor.setPosition(it->first + it->second, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
}

}  // namespace

bool TBodyEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasHtml() || source->hasText();
}

void TBodyEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasHtml()) {
        QTextDocument pasted;
        pasted.setHtml(source->html());
        RemoveImages(pasted);
        textCursor().insertFragment(QTextDocumentFragment(&pasted));
    } else if (source->hasText()) {
        textCursor().insertText(source->text());
    }
    ensureCursorVisible();
}
