#pragma once

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include "richtext/RtfFormat.h"

// Everything of a document that its stored body keeps, as text: one line per paragraph with its
// block format and list, one per run with its character format. Two documents with the same
// signature look and save the same.
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
                     .arg(list != nullptr ? list->format().indent() : 0);
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
                         .arg(c.foreground().style() == Qt::NoBrush ? QString()
                                                                    : c.foreground().color().name())
                         .arg(c.background().style() == Qt::NoBrush ? QString()
                                                                    : c.background().color().name())
                         .arg(c.hasProperty(kRtfCharsetProperty)
                                  ? c.intProperty(kRtfCharsetProperty)
                                  : -1)
                         .arg(c.isAnchor() ? c.anchorHref() : QString());
        }
    }
    return lines.join(u'\n');
}
