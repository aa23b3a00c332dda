#include "richtext/RtfWriter.h"

#include "richtext/RtfCodePage.h"
#include "richtext/RtfFormat.h"
#include "storage/Cp932.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kShiftJisCharset = 128;
constexpr int kAnsiCharset = 0;
constexpr int kSymbolCharset = 2;
constexpr int kShiftJisCodePage = 932;
constexpr unsigned char kSymbolBullet = 0xB7;
constexpr int kListHangTwips = 360;
constexpr double kFallbackPointSize = 12.0;
constexpr int kTableTwips = 9638;  // the width a table without fixed widths is given (17 cm)

enum class VAlign { Normal, Super, Sub };

struct RunProps {
    int font = -1;  // index into the font table
    int halfPoints = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0;      // index into the colour table; 0 is automatic
    int highlight = 0;  // likewise; 0 is none
    VAlign vertical = VAlign::Normal;
    bool operator==(const RunProps&) const = default;
};

struct FontKey {
    QString name;
    int charset = kShiftJisCharset;
    bool operator==(const FontKey&) const = default;
};

// The code page of a font entry's bytes: the writer declares CP932 as the document's.
int CodePageOf(int charset) {
    return CodePageOfCharset(charset, kShiftJisCodePage);
}

// Whether a character goes out as bytes of the code page: only where the bytes stand for that
// very character when read back (CP932 maps the yen sign onto the backslash byte, for one).
// A combining mark goes out as \uN: a reader of code pages 1255 and 1258 would join its byte to
// the letter before it into another character.
bool EncodesAsBytes(char32_t c, int codePage, std::string& bytes) {
    return c >= 0x80 && QChar::category(c) != QChar::Mark_NonSpacing &&
           EncodeCodePage(codePage, c, bytes) && static_cast<unsigned char>(bytes[0]) >= 0x80;
}

// Whether the text holds a character that Shift-JIS holds and the code page does not.
bool NeedsShiftJis(const QString& text, int codePage) {
    std::string bytes;
    for (const char32_t c : text.toUcs4()) {
        if (EncodesAsBytes(c, kShiftJisCodePage, bytes) &&
            (codePage == kShiftJisCodePage || !EncodesAsBytes(c, codePage, bytes))) {
            return true;
        }
    }
    return false;
}

// Face names of Japanese fonts that are spelled in ASCII.
bool IsJapaneseFace(const QString& face) {
    static const char* const kMarks[] = {"gothic", "mincho", "meiryo", "yu ", "cjk", "jp", "ipa"};
    const QString lower = face.toLower();
    return std::any_of(std::begin(kMarks), std::end(kMarks),
                       [&](const char* mark) { return lower.contains(QLatin1String(mark)); });
}

bool IsAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// The character set of a run's font entry. The set the face was read with is kept, with the
// run's text in its code page, unless the run holds Japanese text that only Shift-JIS bytes
// under a Japanese entry can carry. A face of no known set gets the Japanese one, or the
// Western one for an ASCII run in a Western face, so that Windows does not draw it with a
// Japanese face.
int CharsetOf(const QTextCharFormat& format, const QString& face, const QString& text) {
    if (format.hasProperty(kRtfCharsetProperty)) {
        const int charset = format.intProperty(kRtfCharsetProperty);
        if (!NeedsShiftJis(text, CodePageOf(charset))) {
            return charset;
        }
        return kShiftJisCharset;
    }
    if (NeedsShiftJis(text, kShiftJisCodePage)) {
        return kShiftJisCharset;
    }
    return IsAscii(face) && !IsJapaneseFace(face) ? kAnsiCharset : kShiftJisCharset;
}

int Twips(qreal pixels) {
    return static_cast<int>(std::lround(pixels * kTwipsPerPixel));
}

class RtfOut {
public:
    explicit RtfOut(std::string& out) : out_(out) {}

    void Word(const char* word) {
        out_ += '\\';
        out_ += word;
        delimit_ = true;
    }

    void Word(const char* word, int value) {
        Word(word);
        out_ += std::to_string(value);
    }

    void Raw(std::string_view text) {
        out_ += text;
        delimit_ = false;
    }

    // Text after a control word needs the space that ends the word.
    void Literal(char c) {
        if (delimit_) {
            out_ += ' ';
            delimit_ = false;
        }
        out_ += c;
    }

    void Hex(unsigned char byte) {
        static const char kDigits[] = "0123456789abcdef";
        out_ += "\\'";
        out_ += kDigits[byte >> 4];
        out_ += kDigits[byte & 0xF];
        delimit_ = false;
    }

    // Characters outside the run's code page, as signed 16-bit code units. Readers that do not
    // know \u see the stand-in: the Shift-JIS bytes of a look-alike, or "?".
    void Unicode(char32_t c, std::string_view standIn) {
        const QString units = QString::fromUcs4(&c, 1);
        if (units.size() == 1 && !standIn.empty()) {
            if (standIn.size() != 1) {
                Word("uc", static_cast<int>(standIn.size()));
            }
            out_ += "\\u";
            out_ += std::to_string(static_cast<int16_t>(units[0].unicode()));
            for (const char byte : standIn) {
                Hex(static_cast<unsigned char>(byte));
            }
            if (standIn.size() != 1) {
                Word("uc", 1);
            }
            return;
        }
        for (const QChar unit : units) {
            out_ += "\\u";
            out_ += std::to_string(static_cast<int16_t>(unit.unicode()));
            out_ += '?';
        }
        delimit_ = false;
    }

    // One character of text in a run whose entry has the given character set.
    void Char(char32_t c, int charset) {
        std::string bytes;
        const int codePage = CodePageOf(charset);
        if (c == '\\' || c == '{' || c == '}') {
            Raw(std::string{'\\', static_cast<char>(c)});
        } else if (c == '\t') {
            Word("tab");
        } else if (c == QChar::LineSeparator) {
            Word("line");
        } else if (c == 0x00A0) {
            Raw("\\~");
        } else if (c >= 0x20 && c < 0x7F) {
            Literal(static_cast<char>(c));
        } else if (c < 0x20 || c == QChar::ParagraphSeparator) {
            return;
        } else if (EncodesAsBytes(c, codePage, bytes)) {
            for (const char byte : bytes) {
                Hex(static_cast<unsigned char>(byte));
            }
        } else if (codePage == kShiftJisCodePage && c >= 0x80 && EncodeCp932Char(c, bytes) &&
                   static_cast<unsigned char>(bytes[0]) >= 0x80) {
            Unicode(c, bytes);
        } else {
            Unicode(c, {});
        }
    }

private:
    std::string& out_;
    bool delimit_ = false;
};

class Writer {
public:
    explicit Writer(const QTextDocument& document) : document_(document), out_(body_) {}

    std::string Write() {
        WriteFrame(*document_.rootFrame());

        if (fonts_.empty()) {
            const QString face = document_.defaultFont().family();
            FontIndex(FontKey{face, CharsetOf(QTextCharFormat(), face, QString())});
        }
        std::string rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041";
        WriteFontTable(rtf);
        rtf += "\r\n";
        if (!colors_.empty()) {
            rtf += "{\\colortbl ;";
            for (const QRgb rgb : colors_) {
                rtf += "\\red" + std::to_string(qRed(rgb)) + "\\green" +
                       std::to_string(qGreen(rgb)) + "\\blue" + std::to_string(qBlue(rgb)) + ";";
            }
            rtf += "}\r\n";
        }
        rtf += "\\viewkind4\\uc1";
        rtf += body_;
        rtf += "}\r\n";
        return rtf;
    }

private:
    // The paragraphs and tables of a frame; frames of other kinds give their paragraphs.
    void WriteFrame(const QTextFrame& frame) {
        for (auto it = frame.begin(); !it.atEnd(); ++it) {
            if (const QTextFrame* child = it.currentFrame()) {
                if (const auto* table = qobject_cast<const QTextTable*>(child)) {
                    WriteTable(*table);
                } else {
                    WriteFrame(*child);
                }
            } else if (!IsLeadBlock(it)) {
                WriteBlock(it.currentBlock(), false, "par");
            }
        }
    }

    // The empty block Qt keeps before a table is no paragraph of the body.
    static bool IsLeadBlock(QTextFrame::iterator it) {
        const QTextBlock block = it.currentBlock();
        if (!block.blockFormat().hasProperty(kRtfLeadBlockProperty) || block.length() > 1) {
            return false;
        }
        ++it;
        return !it.atEnd() && qobject_cast<const QTextTable*>(it.currentFrame()) != nullptr;
    }

    // Each row as its definition (cell edges, borders, cells merged down) and then its cells,
    // each cell's last paragraph ended by \cell.
    void WriteTable(const QTextTable& table) {
        const QTextTableFormat format = table.format();
        const int columns = table.columns();
        const int left = format.intProperty(kRtfRowLeftProperty);
        const QList<QTextLength> widths = format.columnWidthConstraints();
        std::vector<int> edges;
        int edge = left;
        for (int c = 0; c < columns; ++c) {
            const QTextLength width = widths.value(c);
            int twips = kTableTwips / columns;
            if (width.type() == QTextLength::FixedLength) {
                twips = Twips(width.rawValue());
            } else if (width.type() == QTextLength::PercentageLength) {
                twips = static_cast<int>(std::lround(width.rawValue() * kTableTwips / 100));
            }
            edge += std::max(twips, 1);
            edges.push_back(edge);
        }
        const int gap = Twips(format.cellPadding());
        const int border = format.border() > 0 ? Twips(format.border()) : 0;
        for (int r = 0; r < table.rows(); ++r) {
            out_.Word("trowd");
            out_.Word("trgaph", gap);
            out_.Word("trleft", left);
            for (int c = 0; c < columns;) {
                const QTextTableCell cell = table.cellAt(r, c);
                if (cell.row() != r) {
                    out_.Word("clvmrg");
                } else if (cell.rowSpan() > 1) {
                    out_.Word("clvmgf");
                }
                if (border > 0) {
                    for (const char* side : {"clbrdrt", "clbrdrl", "clbrdrb", "clbrdrr"}) {
                        out_.Word(side);
                        out_.Word("brdrw", border);
                        out_.Word("brdrs");
                    }
                }
                c = std::min(c + std::max(cell.columnSpan(), 1), columns);
                out_.Word("cellx", edges[c - 1]);
            }
            out_.Raw("\r\n");
            for (int c = 0; c < columns;) {
                const QTextTableCell cell = table.cellAt(r, c);
                c = std::min(c + std::max(cell.columnSpan(), 1), columns);
                if (cell.row() != r) {
                    out_.Word("pard");
                    out_.Word("intbl");
                    out_.Word("cell");
                    continue;
                }
                std::vector<QTextBlock> blocks;
                CellBlocks(cell.begin(), cell.end(), blocks);
                for (size_t i = 0; i < blocks.size(); ++i) {
                    WriteBlock(blocks[i], true, i + 1 == blocks.size() ? "cell" : "par");
                }
            }
            out_.Word("row");
            out_.Raw("\r\n");
        }
    }

    // The paragraphs of a cell, those of tables within it included, in order.
    static void CellBlocks(QTextFrame::iterator it, const QTextFrame::iterator& end,
                           std::vector<QTextBlock>& blocks) {
        for (; it != end && !it.atEnd(); ++it) {
            if (const QTextFrame* child = it.currentFrame()) {
                CellBlocks(child->begin(), child->end(), blocks);
            } else {
                blocks.push_back(it.currentBlock());
            }
        }
    }

    void WriteBlock(const QTextBlock& block, bool inTable, const char* end) {
        const QTextBlockFormat format = block.blockFormat();
        out_.Word("pard");
        if (inTable) {
            out_.Word("intbl");
        }
        const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignHCenter) {
            out_.Word("qc");
        } else if (align & Qt::AlignJustify) {
            out_.Word("qj");
        } else if (align & Qt::AlignRight) {
            out_.Word("qr");
        }
        const QTextList* list = block.textList();
        const auto [firstIndent, leftIndent] = Indents(format, list);
        const std::pair<const char*, int> lengths[] = {
            {"fi", firstIndent},
            {"li", leftIndent},
            {"ri", Twips(format.rightMargin())},
            {"sb", Twips(format.topMargin())},
            {"sa", Twips(format.bottomMargin())},
        };
        for (const auto& [word, twips] : lengths) {
            if (twips != 0) {
                out_.Word(word, twips);
            }
        }
        WriteLineHeight(format);
        WriteTabs(format);
        if (list != nullptr) {
            WriteNumbering(block, *list);
        }
        bool empty = true;
        QString link;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) {
                continue;
            }
            const QTextCharFormat chars = fragment.charFormat();
            const QString href = chars.isAnchor() ? chars.anchorHref() : QString();
            if (href != link) {
                FlushHidden();
                CloseLink(link);
                OpenLink(href);
                link = href;
            }
            WriteFragment(fragment.text(), chars);
            empty = false;
        }
        FlushHidden();
        CloseLink(link);
        // An empty paragraph's height comes from the format of its mark.
        if (empty) {
            WriteRun(QString(), block.charFormat());
        }
        out_.Word(end);
        out_.Raw("\r\n");
    }

    // Text, and the objects among it: a picture, object or footnote as the group it was read
    // from, hidden text as a group of its own. Text typed next to an object may carry the
    // object's format; it is text all the same.
    void WriteFragment(const QString& text, const QTextCharFormat& chars) {
        qsizetype start = 0;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            if (i < text.size() && text[i] != QChar::ObjectReplacementCharacter) {
                continue;
            }
            if (i > start) {
                FlushHidden();
                WriteRun(text.mid(start, i - start), chars);
            }
            start = i + 1;
            if (i == text.size()) {
                break;
            }
            if (chars.hasProperty(kRtfHiddenTextProperty)) {
                QueueHidden(chars);
                continue;
            }
            FlushHidden();
            if (chars.hasProperty(kRtfGroupProperty)) {
                const QByteArray group = chars.property(kRtfGroupProperty).toByteArray();
                out_.Raw(std::string_view(group.constData(), group.size()));
            } else if (!chars.isImageFormat()) {
                WriteRun(QString(QChar::ObjectReplacementCharacter), chars);
            }
        }
    }

    // Hidden or deleted text goes in a group of its own, so its formatting holds for it alone.
    // Pieces that would be written alike are written as one: read back, they are one.
    void QueueHidden(const QTextCharFormat& chars) {
        const QString text = chars.stringProperty(kRtfHiddenTextProperty);
        const bool deleted = chars.boolProperty(kRtfDeletedProperty);
        int charset = 0;
        const RunProps props = PropsOf(text, chars, charset);
        if (hidden_.open && hidden_.deleted == deleted && hidden_.props == props) {
            hidden_.text += text;
            return;
        }
        FlushHidden();
        hidden_ = PendingHidden{true, chars, text, props, deleted};
    }

    void FlushHidden() {
        if (!hidden_.open) {
            return;
        }
        hidden_.open = false;
        const RunProps outside = state_;
        out_.Raw("{");
        out_.Word(hidden_.deleted ? "deleted" : "v");
        WriteRun(hidden_.text, hidden_.format);
        out_.Raw("}");
        state_ = outside;
    }

    // The first-line and left indents in twips. A list paragraph keeps those it was read with
    // while its margin is the one they gave; otherwise its text stands at the list's indent
    // and its marker hangs before it.
    std::pair<int, int> Indents(const QTextBlockFormat& format, const QTextList* list) const {
        if (list == nullptr) {
            return {Twips(format.textIndent()), Twips(format.leftMargin())};
        }
        const qreal listIndent = list->format().indent() * document_.indentWidth();
        if (format.hasProperty(kRtfListLeftIndentProperty)) {
            const int left = format.intProperty(kRtfListLeftIndentProperty);
            if (Twips(std::max<qreal>(left / kTwipsPerPixel - listIndent, 0)) ==
                Twips(format.leftMargin())) {
                return {format.intProperty(kRtfListFirstIndentProperty), left};
            }
        }
        return {-kListHangTwips, Twips(format.leftMargin() + listIndent)};
    }

    // Line spacing: a multiple of single lines, an exact height (negative) or a least one.
    void WriteLineHeight(const QTextBlockFormat& format) {
        const qreal height = format.lineHeight();
        switch (format.lineHeightType()) {
            case QTextBlockFormat::ProportionalHeight:
                if (const int sl = static_cast<int>(std::lround(height * 240 / 100));
                    sl > 0 && sl != 240) {
                    out_.Word("sl", sl);
                    out_.Word("slmult", 1);
                }
                break;
            case QTextBlockFormat::FixedHeight:
            case QTextBlockFormat::MinimumHeight:
                if (const int twips = Twips(height); twips > 0) {
                    const bool fixed = format.lineHeightType() == QTextBlockFormat::FixedHeight;
                    out_.Word("sl", fixed ? -twips : twips);
                    out_.Word("slmult", 0);
                }
                break;
            default:
                break;
        }
    }

    void WriteTabs(const QTextBlockFormat& format) {
        for (const QTextOption::Tab& tab : format.tabPositions()) {
            switch (tab.type) {
                case QTextOption::RightTab:
                    out_.Word("tqr");
                    break;
                case QTextOption::CenterTab:
                    out_.Word("tqc");
                    break;
                case QTextOption::DelimiterTab:
                    out_.Word("tqdec");
                    break;
                case QTextOption::LeftTab:
                    break;
            }
            out_.Word("tx", Twips(tab.position));
        }
    }

    // A list paragraph's numbering in the form Windows rich-edit controls read: the marker as
    // text for older readers, then the numbering itself.
    void WriteNumbering(const QTextBlock& block, const QTextList& list) {
        const QTextListFormat format = list.format();
        const char* style = nullptr;
        switch (format.style()) {
            case QTextListFormat::ListDecimal:
                style = "pndec";
                break;
            case QTextListFormat::ListLowerAlpha:
                style = "pnlcltr";
                break;
            case QTextListFormat::ListUpperAlpha:
                style = "pnucltr";
                break;
            case QTextListFormat::ListLowerRoman:
                style = "pnlcrm";
                break;
            case QTextListFormat::ListUpperRoman:
                style = "pnucrm";
                break;
            default:
                break;
        }
        const int level = std::max(format.indent(), 1);
        out_.Raw("{");
        out_.Word("pntext");
        if (style == nullptr) {
            if (fonts_.empty()) {
                // The document's default font, entry 0, is a text face and never Symbol.
                FontIndex(FirstRunKey(block));
            }
            const int symbol = FontIndex(FontKey{QStringLiteral("Symbol"), kSymbolCharset});
            out_.Word("f", symbol);
            out_.Hex(kSymbolBullet);
            out_.Word("tab");
            out_.Raw("}{\\*");
            out_.Word("pn");
            if (level > 1) {
                out_.Word("pnlvl", level);
            }
            out_.Word("pnlvlblt");
            out_.Word("pnf", symbol);
            out_.Word("pnindent", 0);
            out_.Raw("{");
            out_.Word("pntxtb");
            out_.Hex(kSymbolBullet);
            out_.Raw("}}");
            return;
        }
        for (const char32_t c : list.itemText(block).toUcs4()) {
            out_.Char(c, kShiftJisCharset);
        }
        out_.Word("tab");
        out_.Raw("}{\\*");
        out_.Word("pn");
        if (level > 1) {
            out_.Word("pnlvl", level);
        } else {
            out_.Word("pnlvlbody");
        }
        out_.Word("pnindent", 0);
        out_.Word("pnstart", 1);
        out_.Word(style);
        out_.Raw("{");
        out_.Word("pntxta");
        out_.Literal('.');
        out_.Raw("}}");
    }

    // A link is a HYPERLINK field whose result is the link's runs. The field's groups scope
    // the runs' formatting, so the words written inside do not hold after it.
    void OpenLink(const QString& href) {
        if (href.isEmpty()) {
            return;
        }
        out_.Raw("{");
        out_.Word("field");
        out_.Raw("{\\*");
        out_.Word("fldinst");
        out_.Raw("{");
        out_.Raw("HYPERLINK \"");
        QString target = href;
        target.replace(u'"', QStringLiteral("%22"));
        // The instruction's bytes would be read in the code page of whatever font is current
        // there, so everything beyond ASCII goes out as \u.
        for (const char32_t c : target.toUcs4()) {
            if (c < 0x20) {
                continue;  // an instruction's tabs and breaks are no part of the target
            }
            if (c < 0x80) {
                out_.Char(c, kShiftJisCharset);
            } else {
                out_.Unicode(c, {});
            }
        }
        out_.Literal('"');
        out_.Raw("}}{");
        out_.Word("fldrslt");
        out_.Raw("{");
        linkState_ = state_;
    }

    void CloseLink(const QString& href) {
        if (href.isEmpty()) {
            return;
        }
        out_.Raw("}}}");
        state_ = linkState_;
    }

    // The font entry of the first run the block's text is written with: its first text, or the
    // first hidden text, the groups kept as read having none.
    FontKey FirstRunKey(const QTextBlock& block) const {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat chars = fragment.charFormat();
            for (const QString& piece : fragment.text().split(QChar::ObjectReplacementCharacter)) {
                if (!piece.isEmpty()) {
                    return KeyOf(piece, chars);
                }
                if (chars.hasProperty(kRtfHiddenTextProperty)) {
                    return KeyOf(chars.stringProperty(kRtfHiddenTextProperty), chars);
                }
            }
        }
        return KeyOf(QString(), block.charFormat());
    }

    FontKey KeyOf(const QString& text, const QTextCharFormat& format) const {
        QString face = format.fontFamilies().toStringList().value(0);
        if (const QStringList read = format.property(kRtfFaceProperty).toStringList();
            read.size() == 2 && face == read[1]) {
            face = read[0];
        }
        if (face.isEmpty()) {
            face = document_.defaultFont().family();
        }
        return FontKey{face, CharsetOf(format, face, text)};
    }

    void WriteRun(const QString& text, const QTextCharFormat& format) {
        int charset = 0;
        WriteChanges(PropsOf(text, format, charset));
        for (const char32_t c : text.toUcs4()) {
            out_.Char(c, charset);
        }
    }

    // The formatting a run is written with, and the character set of its font entry.
    RunProps PropsOf(const QString& text, const QTextCharFormat& format, int& charset) {
        const FontKey key = KeyOf(text, format);
        charset = key.charset;
        RunProps run;
        run.font = FontIndex(key);
        qreal points = format.hasProperty(QTextFormat::FontPointSize)
                           ? format.fontPointSize()
                           : document_.defaultFont().pointSizeF();
        if (points <= 0) {
            points = kFallbackPointSize;
        }
        run.halfPoints = std::clamp(static_cast<int>(std::lround(points * 2)), 1, kMaxHalfPoints);
        run.bold = format.fontWeight() >= QFont::DemiBold;
        run.italic = format.fontItalic();
        run.underline = format.fontUnderline();
        run.strike = format.fontStrikeOut();
        run.color = ColorIndex(format.foreground());
        run.highlight = ColorIndex(format.background());
        switch (format.verticalAlignment()) {
            case QTextCharFormat::AlignSuperScript:
                run.vertical = VAlign::Super;
                break;
            case QTextCharFormat::AlignSubScript:
                run.vertical = VAlign::Sub;
                break;
            default:
                run.vertical = VAlign::Normal;
                break;
        }
        return run;
    }

    // Character formatting is written as the words whose value changes, like the control does.
    void WriteChanges(const RunProps& run) {
        if (run.font != state_.font) {
            out_.Word("f", run.font);
        }
        if (run.halfPoints != state_.halfPoints) {
            out_.Word("fs", run.halfPoints);
        }
        if (run.bold != state_.bold) {
            out_.Word(run.bold ? "b" : "b0");
        }
        if (run.italic != state_.italic) {
            out_.Word(run.italic ? "i" : "i0");
        }
        if (run.underline != state_.underline) {
            out_.Word(run.underline ? "ul" : "ulnone");
        }
        if (run.strike != state_.strike) {
            out_.Word(run.strike ? "strike" : "strike0");
        }
        if (run.color != state_.color) {
            out_.Word("cf", run.color);
        }
        if (run.highlight != state_.highlight) {
            out_.Word("highlight", run.highlight);
        }
        if (run.vertical != state_.vertical) {
            out_.Word(run.vertical == VAlign::Super ? "super"
                      : run.vertical == VAlign::Sub ? "sub"
                                                    : "nosupersub");
        }
        state_ = run;
    }

    int FontIndex(const FontKey& key) {
        const auto it = std::find(fonts_.begin(), fonts_.end(), key);
        if (it != fonts_.end()) {
            return static_cast<int>(it - fonts_.begin());
        }
        fonts_.push_back(key);
        return static_cast<int>(fonts_.size()) - 1;
    }

    // 0 for no colour; entries are numbered from 1 in order of first use.
    int ColorIndex(const QBrush& brush) {
        if (brush.style() == Qt::NoBrush || !brush.color().isValid()) {
            return 0;
        }
        const QRgb rgb = brush.color().rgb() & RGB_MASK;
        const auto it = std::find(colors_.begin(), colors_.end(), rgb);
        if (it != colors_.end()) {
            return static_cast<int>(it - colors_.begin()) + 1;
        }
        colors_.push_back(rgb);
        return static_cast<int>(colors_.size());
    }

    void WriteFontTable(std::string& rtf) const {
        rtf += "{\\fonttbl";
        for (size_t i = 0; i < fonts_.size(); ++i) {
            std::string entry;
            RtfOut out(entry);
            out.Raw("{");
            out.Word("f", static_cast<int>(i));
            out.Word("fnil");
            out.Word("fcharset", fonts_[i].charset);
            out.Raw(" ");
            for (const char32_t c : fonts_[i].name.toUcs4()) {
                if (c < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
                    continue;  // a name holds no tabs or breaks
                }
                if (c == ';') {
                    out.Hex(';');
                } else {
                    out.Char(c, fonts_[i].charset);
                }
            }
            out.Raw(";}");
            rtf += entry;
        }
        rtf += "}";
    }

    const QTextDocument& document_;
    std::string body_;
    RtfOut out_;
    RunProps state_;
    RunProps linkState_;  // the formatting in effect where the open link began
    struct PendingHidden {
        bool open = false;
        QTextCharFormat format;
        QString text;
        RunProps props;
        bool deleted = false;
    } hidden_;
    std::vector<FontKey> fonts_;
    std::vector<QRgb> colors_;
};

}  // namespace

std::string WriteRtf(const QTextDocument& document) {
    return Writer(document).Write();
}
