#include "mainwindow/daypage/BodyEdit.h"

#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QDesktopServices>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>
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

// Pasted HTML goes through the body's own RTF before it is inserted, so the editor shows only
// what a save keeps (tables as lines, no frames, no line heights RTF cannot say).
void TBodyEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasHtml()) {
        QTextDocument pasted;
        pasted.setDefaultFont(document()->defaultFont());
        pasted.setHtml(source->html());
        RemoveImages(pasted);
        QTextDocument kept;
        kept.setDefaultFont(document()->defaultFont());
        ReadRtf(WriteRtf(pasted), kept);
        textCursor().insertFragment(QTextDocumentFragment(&kept));
    } else if (source->hasText()) {
        textCursor().insertText(source->text());
    }
    ensureCursorVisible();
}

// Ctrl+click opens a link through the desktop; a plain click places the caret as in any text.
void TBodyEdit::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)) {
        if (const QString href = anchorAt(event->position().toPoint()); !href.isEmpty()) {
            QDesktopServices::openUrl(QUrl(href));
        }
    }
}
