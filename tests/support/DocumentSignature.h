#pragma once

#include <QCryptographicHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include "richtext/RtfFormat.h"

// Where a block stands in a table: the table's shape and the cell's place and span.
inline QString TablePlace(const QTextBlock& block) {
    const QTextTable* table = QTextCursor(block).currentTable();
    if (table == nullptr) {
        return QString();
    }
    const QTextTableFormat format = table->format();
    QStringList widths;
    for (const QTextLength& width : format.columnWidthConstraints()) {
        widths << QString::number(width.rawValue());
    }
    const QTextTableCell cell = table->cellAt(block.position());
    return QStringLiteral(" table=%1x%2 widths=%3 border=%4 pad=%5 cell=%6,%7 span=%8x%9")
        .arg(table->rows())
        .arg(table->columns())
        .arg(widths.join(u','))
        .arg(format.border())
        .arg(format.cellPadding())
        .arg(cell.row())
        .arg(cell.column())
        .arg(cell.rowSpan())
        .arg(cell.columnSpan());
}

// What a fragment keeps beyond its text: a picture's, object's or footnote's bytes, hidden text.
inline QString KeptObject(const QTextCharFormat& format) {
    QString kept;
    if (format.hasProperty(kRtfGroupProperty)) {
        kept += QStringLiteral(" group=%1")
                    .arg(QString::fromLatin1(
                        QCryptographicHash::hash(format.property(kRtfGroupProperty).toByteArray(),
                                                 QCryptographicHash::Sha1)
                            .toHex()));
    }
    if (format.isImageFormat()) {
        const QTextImageFormat image = format.toImageFormat();
        kept += QStringLiteral(" image=%1x%2").arg(image.width()).arg(image.height());
    }
    if (format.hasProperty(kRtfHiddenTextProperty)) {
        kept += QStringLiteral(" hidden=%1 deleted=%2")
                    .arg(format.stringProperty(kRtfHiddenTextProperty))
                    .arg(format.boolProperty(kRtfDeletedProperty));
    }
    return kept;
}

// Everything of a document that its stored body keeps, as text: one line per paragraph with its
// block format, list and place in a table, one per run with its character format. Two
// documents with the same signature look and save the same.
inline QString DocumentSignature(const QTextDocument& document) {
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat f = block.blockFormat();
        QString tabs;
        for (const QTextOption::Tab& tab : f.tabPositions()) {
            tabs += QStringLiteral("%1:%2 ").arg(tab.position).arg(int(tab.type));
        }
        const QTextList* list = block.textList();
        lines << QStringLiteral(
                     "P align=%1 fi=%2 li=%3 ri=%4 sb=%5 sa=%6 lh=%7/%8 tabs=%9 list=%10/%11")
                         .arg(int(f.alignment() & Qt::AlignHorizontal_Mask))
                         .arg(f.textIndent())
                         .arg(f.leftMargin())
                         .arg(f.rightMargin())
                         .arg(f.topMargin())
                         .arg(f.bottomMargin())
                         .arg(f.lineHeight())
                         .arg(f.lineHeightType())
                         .arg(tabs)
                         .arg(list != nullptr ? int(list->format().style()) : 0)
                         .arg(list != nullptr ? list->format().indent() : 0) +
                     TablePlace(block);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat c = fragment.charFormat();
            lines << QStringLiteral("  [%1] %2 %3pt w%4 i%5 u%6 s%7 fg%8 bg%9 cs%10 href=%11")
                             .arg(fragment.text(), c.fontFamilies().toStringList().value(0))
                             .arg(c.fontPointSize())
                             .arg(c.fontWeight())
                             .arg(c.fontItalic())
                             .arg(c.fontUnderline())
                             .arg(c.fontStrikeOut())
                             .arg(c.foreground().style() == Qt::NoBrush
                                      ? QString()
                                      : c.foreground().color().name())
                             .arg(c.background().style() == Qt::NoBrush
                                      ? QString()
                                      : c.background().color().name())
                             .arg(c.hasProperty(kRtfCharsetProperty)
                                      ? c.intProperty(kRtfCharsetProperty)
                                      : -1)
                             .arg(c.isAnchor() ? c.anchorHref() : QString()) +
                         KeptObject(c);
        }
    }
    return lines.join(u'\n');
}
