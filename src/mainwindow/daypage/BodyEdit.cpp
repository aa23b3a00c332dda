#include "mainwindow/daypage/BodyEdit.h"

#include "mainwindow/UserMessage.h"
#include "mainwindow/daypage/BodyLinks.h"
#include "mainwindow/daypage/LongParagraphs.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfPictures.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "richtext/SealedDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QHelpEvent>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QToolTip>
#include <algorithm>
#include <cmath>
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

// A copied picture often comes with HTML that only names it (an <img> element) or with its
// address or file name as text; the picture is what was copied unless HTML holds text besides.
bool HoldsOnlyAPicture(const QMimeData* source) {
    if (!source->hasImage())
        return false;
    if (!source->hasHtml())
        return true;
    TSealedDocument html;
    html.setHtml(source->html());
    QString text = html.toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text.trimmed().isEmpty();
}

}  // namespace

TBodyEdit::TBodyEdit(QWidget* parent)
    : QTextEdit(parent),
      OpenUrl(&QDesktopServices::openUrl),
      LinkFolder(QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + u'/')) {
    // Links show their target under the mouse, and the hand with Ctrl held.
    viewport()->setMouseTracking(true);
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
    return !RtfOf(source).isEmpty() || source->hasHtml() || source->hasText() || source->hasImage();
}

void TBodyEdit::InsertRtf(std::string_view rtf) {
    QTextDocument kept;
    kept.setDefaultFont(document()->defaultFont());
    ReadRtf(rtf, kept);
    CopyPictures(kept, *document());
    textCursor().insertFragment(QTextDocumentFragment(&kept));
}

// Pasted rich text is read as a body is, and so is a pasted picture, once it is written as the
// picture group a body holds. Pasted HTML goes through the body's own RTF before it is
// inserted, so the editor shows only what a save keeps (no frames, no line heights RTF cannot
// say).
void TBodyEdit::insertFromMimeData(const QMimeData* source) {
    if (const QByteArray rtf = RtfOf(source);
        IsRtf(std::string_view(rtf.constData(), rtf.size()))) {
        InsertRtf(std::string_view(rtf.constData(), static_cast<size_t>(rtf.size())));
    } else if (HoldsOnlyAPicture(source)) {
        const QImage image = PictureFromMime(*source);
        // Shown at its own size, narrowed to the page when it is wider.
        QSizeF shown = image.deviceIndependentSize();
        const qreal room = viewport()->width() - 2 * document()->documentMargin();
        if (isVisible() && room > 0 && shown.width() > room)
            shown *= room / shown.width();
        if (const std::string group = PngPictureGroup(image, shown); !group.empty())
            InsertRtf("{\\rtf1 " + group + "}");
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

// The underline is drawn over the page, not put into the text: the body is written back as it
// was read.
void TBodyEdit::paintEvent(QPaintEvent* event) {
    QTextEdit::paintEvent(event);
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Link));
    const QPointF scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRectF shown = QRectF(event->rect()).translated(scrolled);
    const QAbstractTextDocumentLayout* layout = document()->documentLayout();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QRectF box = layout->blockBoundingRect(block);
        if (!box.intersects(shown) || !block.layout())
            continue;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isAnchor() || format.anchorHref().isEmpty() || format.fontUnderline())
                continue;
            const int start = fragment.position() - block.position();
            const int end = start + fragment.length();
            for (int i = 0; i < block.layout()->lineCount(); ++i) {
                const QTextLine line = block.layout()->lineAt(i);
                const int from = std::max(start, line.textStart());
                const int to = std::min(end, line.textStart() + line.textLength());
                if (from >= to)
                    continue;
                const qreal y = std::round(box.top() + line.y() + line.ascent()) + 1;
                painter.drawLine(QPointF(box.left() + line.cursorToX(from), y) - scrolled,
                                 QPointF(box.left() + line.cursorToX(to), y) - scrolled);
            }
        }
    }
}

void TBodyEdit::mouseMoveEvent(QMouseEvent* event) {
    QTextEdit::mouseMoveEvent(event);
    const bool onLink = (event->modifiers() & Qt::ControlModifier) &&
                        !anchorAt(event->position().toPoint()).isEmpty();
    viewport()->setCursor(onLink         ? Qt::PointingHandCursor
                          : isReadOnly() ? Qt::ArrowCursor
                                         : Qt::IBeamCursor);
}

// Ctrl+click opens a link; a plain click places the caret as in any text.
void TBodyEdit::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)) {
        if (const QString href = anchorAt(event->position().toPoint()); !href.isEmpty()) {
            OpenLink(href);
        }
    }
}

bool TBodyEdit::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const QString href = anchorAt(help->pos()); !href.isEmpty()) {
            QToolTip::showText(help->globalPos(), href + u"\nCtrl+クリックで開きます"_qs,
                               viewport());
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QTextEdit::viewportEvent(event);
}

// A web page or a mail address opens at once; anything else could run a program or open a
// file, so the user sees the target and agrees first. The target goes to the desktop as a URL
// with its scheme, never as a command line.
void TBodyEdit::OpenLink(const QString& href) {
    const TLinkTarget target = ResolveLink(href, LinkFolder);
    if (target.Opening == TLinkOpening::None)
        return;
    if (target.Opening == TLinkOpening::AfterAsking &&
        !AskUserYesNo(this, u"次のリンク先を開きますか?\r\n"_qs +
                                target.Url.toDisplayString(QUrl::PreferLocalFile)))
        return;
    OpenUrl(target.Url);
}
