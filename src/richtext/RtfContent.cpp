#include "richtext/RtfContent.h"

#include "richtext/RtfFormat.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <utility>

namespace {

// Text as a QTextCursor may take it: no block or line separators of its own, no control
// characters, no lone halves of surrogate pairs.
QString CleanText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QChar::ReplacementCharacter;
        } else if (c == QChar::ParagraphSeparator) {
            out += QChar::LineSeparator;
        } else if (c.unicode() >= 0x20 || c == u'\t') {
            out += c;
        }
    }
    return out;
}

// A face name as text on one line, without surrounding blanks.
QString CleanName(const QString& name) {
    QString clean = CleanText(name);
    clean.remove(u'\t');
    clean.remove(QChar::LineSeparator);
    return clean.trimmed();
}

class DocumentBuilder {
public:
    explicit DocumentBuilder(const RtfContent& content) : content_(content) {}

    // All inserts go into one edit block, so that a shown editor lays the document out once
    // and not once per run.
    void Build(QTextDocument& document) {
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        const int indentWidth = static_cast<int>(document.indentWidth());
        bool first = true;
        for (const RtfParagraph& paragraph : content_.paragraphs) {
            const QTextBlockFormat block = BlockFormat(paragraph.par, indentWidth);
            if (first) {
                cursor.setBlockFormat(block);
                cursor.setBlockCharFormat(CharFormat(paragraph.mark));
                first = false;
            } else {
                cursor.insertBlock(block, CharFormat(paragraph.mark));
            }
            JoinList(paragraph.par.list, cursor);
            for (const RtfRun& run : paragraph.runs) {
                const QString text = CleanText(run.text);
                if (!text.isEmpty()) {
                    cursor.insertText(text, CharFormat(run.chars));
                }
            }
        }
        cursor.endEditBlock();
    }

private:
    // Successive list paragraphs of one style and level share a Qt list; any other paragraph
    // ends the lists.
    void JoinList(const RtfListProps& props, QTextCursor& cursor) {
        if (props.style == RtfListStyle::None) {
            lists_.clear();
            return;
        }
        const std::pair key{props.style, props.level};
        const auto it = std::find_if(lists_.begin(), lists_.end(),
                                     [&](const auto& entry) { return entry.first == key; });
        if (it != lists_.end()) {
            it->second->add(cursor.block());
            return;
        }
        QTextListFormat format;
        format.setStyle(ListStyle(props.style, props.level));
        format.setIndent(props.level);
        lists_.emplace_back(key, cursor.createList(format));
    }

    static QTextListFormat::Style ListStyle(RtfListStyle style, int level) {
        switch (style) {
            case RtfListStyle::Decimal:
                return QTextListFormat::ListDecimal;
            case RtfListStyle::LowerAlpha:
                return QTextListFormat::ListLowerAlpha;
            case RtfListStyle::UpperAlpha:
                return QTextListFormat::ListUpperAlpha;
            case RtfListStyle::LowerRoman:
                return QTextListFormat::ListLowerRoman;
            case RtfListStyle::UpperRoman:
                return QTextListFormat::ListUpperRoman;
            case RtfListStyle::None:
            case RtfListStyle::Bullet:
                break;
        }
        return level > 1 ? QTextListFormat::ListCircle : QTextListFormat::ListDisc;
    }

    QTextCharFormat CharFormat(const RtfCharProps& chars) const {
        QTextCharFormat format;
        const auto& fonts = content_.fonts;
        if (const auto it = fonts.find(chars.font); it != fonts.end()) {
            const QString name = CleanName(it->second.name);
            if (!name.isEmpty()) {
                format.setFontFamilies(QStringList{name});
            }
            if (it->second.charset >= 0) {
                format.setProperty(kRtfCharsetProperty, it->second.charset);
            }
        }
        format.setFontPointSize(chars.halfPoints / 2.0);
        if (chars.bold) {
            format.setFontWeight(QFont::Bold);
        }
        if (chars.italic) {
            format.setFontItalic(true);
        }
        if (chars.underline) {
            format.setFontUnderline(true);
        }
        if (chars.strike) {
            format.setFontStrikeOut(true);
        }
        if (const QColor color = TableColor(chars.color); color.isValid()) {
            format.setForeground(color);
        }
        if (const QColor color = TableColor(chars.highlight); color.isValid()) {
            format.setBackground(color);
        }
        if (chars.vertical == RtfVAlign::Super) {
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        } else if (chars.vertical == RtfVAlign::Sub) {
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        }
        if (chars.link > 0 && chars.link <= static_cast<int>(content_.links.size())) {
            format.setAnchor(true);
            format.setAnchorHref(content_.links[chars.link - 1]);
        }
        return format;
    }

    QColor TableColor(int index) const {
        const auto& colors = content_.colors;
        return index > 0 && index < static_cast<int>(colors.size()) ? colors[index] : QColor();
    }

    static QTextBlockFormat BlockFormat(const RtfParProps& par, int indentWidth) {
        QTextBlockFormat format;
        switch (par.align) {
            case RtfAlign::Left:
                break;
            case RtfAlign::Center:
                format.setAlignment(Qt::AlignHCenter);
                break;
            case RtfAlign::Right:
                format.setAlignment(Qt::AlignRight);
                break;
            case RtfAlign::Justify:
                format.setAlignment(Qt::AlignJustify);
                break;
        }
        const auto pixels = [](int twips) { return twips / kTwipsPerPixel; };
        if (par.list.style != RtfListStyle::None) {
            // The marker hangs at the list's indent; the text starts where the RTF put it.
            format.setProperty(kRtfListFirstIndentProperty, par.firstIndent);
            format.setProperty(kRtfListLeftIndentProperty, par.leftIndent);
            const qreal margin = pixels(par.leftIndent) - par.list.level * indentWidth;
            if (margin > 0) {
                format.setLeftMargin(margin);
            }
        } else {
            if (par.firstIndent != 0) {
                format.setTextIndent(pixels(par.firstIndent));
            }
            if (par.leftIndent != 0) {
                format.setLeftMargin(pixels(par.leftIndent));
            }
        }
        if (par.rightIndent != 0) {
            format.setRightMargin(pixels(par.rightIndent));
        }
        if (par.spaceBefore != 0) {
            format.setTopMargin(pixels(par.spaceBefore));
        }
        if (par.spaceAfter != 0) {
            format.setBottomMargin(pixels(par.spaceAfter));
        }
        if (par.lineSpacing > 0 && par.lineMultiple) {
            format.setLineHeight(par.lineSpacing * 100.0 / 240,
                                 QTextBlockFormat::ProportionalHeight);
        } else if (par.lineSpacing != 0 && !par.lineMultiple) {
            format.setLineHeight(pixels(std::abs(par.lineSpacing)),
                                 par.lineSpacing < 0 ? QTextBlockFormat::FixedHeight
                                                     : QTextBlockFormat::MinimumHeight);
        }
        if (!par.tabs.empty()) {
            QList<QTextOption::Tab> tabs;
            for (const RtfTab& tab : par.tabs) {
                const QChar delimiter = tab.kind == RtfTabKind::Decimal ? QChar(u'.') : QChar();
                tabs.append(QTextOption::Tab(pixels(tab.position), TabType(tab.kind), delimiter));
            }
            format.setTabPositions(tabs);
        }
        return format;
    }

    static QTextOption::TabType TabType(RtfTabKind kind) {
        switch (kind) {
            case RtfTabKind::Center:
                return QTextOption::CenterTab;
            case RtfTabKind::Right:
                return QTextOption::RightTab;
            case RtfTabKind::Decimal:
                return QTextOption::DelimiterTab;
            case RtfTabKind::Left:
                break;
        }
        return QTextOption::LeftTab;
    }

    const RtfContent& content_;
    std::vector<std::pair<std::pair<RtfListStyle, int>, QTextList*>> lists_;
};

}  // namespace

void BuildDocument(const RtfContent& content, QTextDocument& document) {
    DocumentBuilder(content).Build(document);
}
