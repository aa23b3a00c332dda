#include "mainwindow/daypage/BodyEdit.h"

#include "mainwindow/daypage/LongParagraphs.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfPictures.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "richtext/SealedDocument.h"

#include <QDesktopServices>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>
#include <memory>
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

// The clipboard formats of RTF, the body's own first.
const char* const kRtfTypes[] = {"text/rtf", "application/rtf", "text/richtext"};

QByteArray RtfOf(const QMimeData* source) {
    for (const char* type : kRtfTypes) {
        if (source->hasFormat(QLatin1String(type))) {
            return source->data(QLatin1String(type));
        }
    }
    return QByteArray();
}

}  // namespace

TBodyEdit::TBodyEdit(QWidget* parent) : QTextEdit(parent) {
    // A very long paragraph, however it came in, is not laid out again at each caret blink.
    connect(document(), &QTextDocument::contentsChange, this, [this](int at, int, int added) {
        KeepLongParagraphLayouts(*document(), at, at + added);
    });
    // Text typed next to a picture or hidden text takes the formatting around it, not the
    // object: written out, it would be a copy of the object.
    connect(this, &QTextEdit::currentCharFormatChanged, this, [this](QTextCharFormat format) {
        if (textCursor().hasSelection() || (!format.hasProperty(kRtfGroupProperty) &&
                                            !format.hasProperty(kRtfHiddenTextProperty))) {
            return;
        }
        for (const int property : {kRtfGroupProperty, kRtfHiddenTextProperty, kRtfDeletedProperty,
                                   int(QTextFormat::ObjectType), int(QTextFormat::ImageName),
                                   int(QTextFormat::ImageWidth), int(QTextFormat::ImageHeight)}) {
            format.clearProperty(property);
        }
        setCurrentCharFormat(format);
    });
}

QMimeData* TBodyEdit::createMimeDataFromSelection() const {
    // Qt's own copy lists only its formats until they are read; a plain copy of them lists all.
    const std::unique_ptr<QMimeData> own(QTextEdit::createMimeDataFromSelection());
    auto* data = new QMimeData;
    for (const QString& format : own->formats()) {
        data->setData(format, own->data(format));
    }
    QTextDocument selected;
    selected.setDefaultFont(document()->defaultFont());
    QTextCursor(&selected).insertFragment(textCursor().selection());
    const std::string rtf = WriteRtf(selected);
    data->setData(QLatin1String(kRtfTypes[0]),
                  QByteArray(rtf.data(), static_cast<qsizetype>(rtf.size())));
    return data;
}

bool TBodyEdit::canInsertFromMimeData(const QMimeData* source) const {
    return !RtfOf(source).isEmpty() || source->hasHtml() || source->hasText();
}

// Pasted rich text is read as a body is. Pasted HTML goes through the body's own RTF before it
// is inserted, so the editor shows only what a save keeps (no frames, no line heights RTF cannot
// say).
void TBodyEdit::insertFromMimeData(const QMimeData* source) {
    if (const QByteArray rtf = RtfOf(source);
        IsRtf(std::string_view(rtf.constData(), rtf.size()))) {
        QTextDocument kept;
        kept.setDefaultFont(document()->defaultFont());
        ReadRtf(std::string_view(rtf.constData(), static_cast<size_t>(rtf.size())), kept);
        CopyPictures(kept, *document());
        textCursor().insertFragment(QTextDocumentFragment(&kept));
    } else if (source->hasHtml()) {
        TSealedDocument pasted;
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
