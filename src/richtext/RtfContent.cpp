#include "richtext/RtfContent.h"

#include "richtext/RtfFormat.h"

#include <QTextCursor>
#include <QTextDocument>

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
        } else if ((c.unicode() >= 0x20 && c.unicode() != 0x7F) || c == u'\t') {
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
    DocumentBuilder(const std::map<int, RtfFontEntry>& fonts, const std::vector<QColor>& colors)
        : fonts_(fonts), colors_(colors) {}

    void Build(const std::vector<RtfParagraph>& paragraphs, QTextDocument& document) const {
        QTextCursor cursor(&document);
        bool first = true;
        for (const RtfParagraph& paragraph : paragraphs) {
            if (first) {
                cursor.setBlockFormat(BlockFormat(paragraph.par));
                cursor.setBlockCharFormat(CharFormat(paragraph.mark));
                first = false;
            } else {
                cursor.insertBlock(BlockFormat(paragraph.par), CharFormat(paragraph.mark));
            }
            for (const RtfRun& run : paragraph.runs) {
                const QString text = CleanText(run.text);
                if (!text.isEmpty()) {
                    cursor.insertText(text, CharFormat(run.chars));
                }
            }
        }
    }

private:
    QTextCharFormat CharFormat(const RtfCharProps& chars) const {
        QTextCharFormat format;
        if (const auto it = fonts_.find(chars.font); it != fonts_.end()) {
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
        return format;
    }

    QColor TableColor(int index) const {
        return index > 0 && index < static_cast<int>(colors_.size()) ? colors_[index] : QColor();
    }

    static QTextBlockFormat BlockFormat(const RtfParProps& par) {
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
        if (par.firstIndent != 0) {
            format.setTextIndent(pixels(par.firstIndent));
        }
        if (par.leftIndent != 0) {
            format.setLeftMargin(pixels(par.leftIndent));
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
        return format;
    }

    const std::map<int, RtfFontEntry>& fonts_;
    const std::vector<QColor>& colors_;
};

}  // namespace

void BuildDocument(const RtfContent& content, QTextDocument& document) {
    DocumentBuilder(content.fonts, content.colors).Build(content.paragraphs, document);
}
