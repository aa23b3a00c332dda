#include "richtext/RtfContent.h"

#include "bridge/Fonts.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfPictures.h"

#include <QCryptographicHash>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <map>
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

constexpr int kMaxPlaceholderSide = 400;  // pixels; a larger one is drawn scaled
constexpr QSize kPlaceholderSize(120, 90);

// What the editor shows for a picture that is not decoded or an object: a framed box with what it
// is and its size. Text needs fonts, which only an application has.
QImage Placeholder(const RtfEmbed& embed, QSizeF shown) {
    if (shown.isEmpty()) {
        shown = kPlaceholderSize;
    }
    const QSize size = shown.toSize()
                           .boundedTo(QSize(kMaxPlaceholderSide, kMaxPlaceholderSide))
                           .expandedTo({8, 8});
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0xF2, 0xF2, 0xF2));
    QPainter painter(&image);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    if (qGuiApp != nullptr) {
        const QString what = embed.kind == RtfEmbedKind::Object ? QStringLiteral("オブジェクト")
                                                                : QStringLiteral("図");
        const QString format =
            embed.format.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(embed.format);
        const QString mm = embed.widthTwips > 0 && embed.heightTwips > 0
                               ? QStringLiteral("\n%1 × %2 mm")
                                     .arg(qRound(embed.widthTwips * 25.4 / 1440))
                                     .arg(qRound(embed.heightTwips * 25.4 / 1440))
                               : QString();
        painter.drawText(image.rect().adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap,
                         what + format + mm);
    }
    return image;
}

class DocumentBuilder {
public:
    explicit DocumentBuilder(const RtfContent& content) : content_(content) {}

    // All inserts go into one edit block, so that a shown editor lays the document out once
    // and not once per run.
    void Build(QTextDocument& document) {
        document_ = &document;
        indentWidth_ = static_cast<int>(document.indentWidth());
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        const std::vector<RtfParagraph>& paragraphs = content_.paragraphs;
        bool fresh = true;  // the cursor's block holds no paragraph yet
        for (size_t i = 0; i < paragraphs.size();) {
            const int table = paragraphs[i].cell.table;
            if (table < 0) {
                InsertParagraph(cursor, paragraphs[i], fresh);
                fresh = false;
                ++i;
                continue;
            }
            size_t end = i;
            while (end < paragraphs.size() && paragraphs[end].cell.table == table) {
                ++end;
            }
            if (fresh) {
                QTextBlockFormat lead;
                lead.setProperty(kRtfLeadBlockProperty, true);
                cursor.setBlockFormat(lead);
            }
            InsertTable(cursor, content_.tables[table], i, end);
            fresh = true;
            i = end;
        }
        cursor.endEditBlock();
    }

private:
    void InsertParagraph(QTextCursor& cursor, const RtfParagraph& paragraph, bool fresh) {
        const QTextBlockFormat block = BlockFormat(paragraph.par, indentWidth_);
        if (fresh) {
            cursor.setBlockFormat(block);
            // Merged, not set: a cell keeps its span in the format of its first block's mark.
            cursor.mergeBlockCharFormat(CharFormat(paragraph.mark));
            lists_.clear();
        } else {
            cursor.insertBlock(block, CharFormat(paragraph.mark));
        }
        JoinList(paragraph.par.list, cursor);
        // Hidden runs that look alike are one, as they will be written.
        QTextCharFormat hiddenFormat;
        QString hidden;
        const auto flushHidden = [&] {
            if (!hidden.isEmpty()) {
                hiddenFormat.setObjectType(kRtfKeptObjectType);
                hiddenFormat.setProperty(kRtfHiddenTextProperty, hidden);
                cursor.insertText(QString(QChar::ObjectReplacementCharacter), hiddenFormat);
                hidden.clear();
            }
        };
        for (const RtfRun& run : paragraph.runs) {
            if (run.embed > 0) {
                flushHidden();
                InsertEmbed(cursor, run);
                continue;
            }
            const QString text = CleanText(run.text);
            if (text.isEmpty()) {
                continue;
            }
            if (run.chars.hidden || run.chars.deleted) {
                QTextCharFormat format = CharFormat(run.chars);
                format.setProperty(kRtfDeletedProperty, run.chars.deleted);
                if (format != hiddenFormat) {
                    flushHidden();
                    hiddenFormat = format;
                }
                hidden += text;
            } else {
                flushHidden();
                cursor.insertText(text, CharFormat(run.chars));
            }
        }
        flushHidden();
    }

    // Pictures decoded are shown at their size, others and objects as a placeholder of that
    // size; footnotes take no room. Each keeps the group it was read from.
    void InsertEmbed(QTextCursor& cursor, const RtfRun& run) {
        const RtfEmbed& embed = content_.embeds[run.embed - 1];
        const QByteArray group(embed.group.data(), static_cast<qsizetype>(embed.group.size()));
        if (embed.kind == RtfEmbedKind::Footnote) {
            QTextCharFormat format = CharFormat(run.chars);
            format.setObjectType(kRtfKeptObjectType);
            format.setProperty(kRtfGroupProperty, group);
            cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
            return;
        }
        QSizeF shown(embed.widthTwips / kTwipsPerPixel, embed.heightTwips / kTwipsPerPixel);
        QImage image = DecodePicture(embed.format, embed.image);
        if (image.isNull()) {
            image = Placeholder(embed, shown);
            if (shown.isEmpty()) {
                shown = kPlaceholderSize;
            }
        } else if (shown.isEmpty()) {
            shown = image.size();
        }
        const QString name = QStringLiteral("%1:%2").arg(
            QLatin1String(kRtfPictureScheme),
            QString::fromLatin1(QCryptographicHash::hash(group, QCryptographicHash::Sha1).toHex()));
        document_->addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.merge(CharFormat(run.chars));
        format.setName(name);
        format.setWidth(shown.width());
        format.setHeight(shown.height());
        format.setProperty(kRtfGroupProperty, group);
        cursor.insertImage(format);
    }

    // A table: its columns are the cell edges of all its rows, so a cell spans the columns
    // between its edges; cells merged down span rows.
    void InsertTable(QTextCursor& cursor, const RtfTable& table, size_t first, size_t end) {
        const std::vector<RtfParagraph>& paragraphs = content_.paragraphs;
        int rows = static_cast<int>(table.rows.size());
        for (size_t i = first; i < end; ++i) {
            rows = std::max(rows, paragraphs[i].cell.row + 1);
        }
        std::vector<int> cellsInRow(rows, 0);
        for (size_t i = first; i < end; ++i) {
            int& cells = cellsInRow[paragraphs[i].cell.row];
            cells = std::max(cells, paragraphs[i].cell.column + 1);
        }
        // The definition of each row, extended by default cells to the cells it holds.
        std::vector<RtfRowDef> defs(rows);
        std::vector<int> edges;
        int left = kRtfDefaultCellTwips * kRtfMaxColumns;
        for (int r = 0; r < rows; ++r) {
            defs[r] = r < static_cast<int>(table.rows.size()) ? table.rows[r]
                      : r > 0                                 ? defs[r - 1]
                                                              : RtfRowDef{};
            RtfRowDef& def = defs[r];
            while (static_cast<int>(def.cells.size()) < std::max(cellsInRow[r], 1)) {
                const int last = def.cells.empty() ? def.left : def.cells.back().right;
                def.cells.push_back(RtfCellDef{last + kRtfDefaultCellTwips});
            }
            // Edges rise from the row's left edge and stay within reach of the reader, each
            // leaving room for the cells after it.
            const int count = static_cast<int>(def.cells.size());
            int previous = def.left;
            for (int c = 0; c < count; ++c) {
                RtfCellDef& cell = def.cells[c];
                cell.right = std::min(std::max(cell.right, previous + 1),
                                      kRtfMaxCellTwips - (count - 1 - c));
                previous = cell.right;
                edges.push_back(cell.right);
            }
            left = std::min(left, def.left);
        }
        std::sort(edges.begin(), edges.end());
        edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
        if (edges.size() > static_cast<size_t>(kRtfMaxColumns)) {
            edges.resize(kRtfMaxColumns);
        }
        const int columns = static_cast<int>(edges.size());
        const auto column = [&](int right) {
            const auto it = std::lower_bound(edges.begin(), edges.end(), right);
            return std::min(static_cast<int>(it - edges.begin()), columns - 1);
        };

        QTextTableFormat format;
        QList<QTextLength> widths;
        int previous = left;
        for (const int edge : edges) {
            widths.append(
                QTextLength(QTextLength::FixedLength, (edge - previous) / kTwipsPerPixel));
            previous = edge;
        }
        format.setColumnWidthConstraints(widths);
        format.setProperty(kRtfRowLeftProperty, left);
        format.setCellSpacing(0);
        format.setCellPadding(defs.front().gap / kTwipsPerPixel);
        format.setBorderCollapse(true);
        int border = -1;
        for (const RtfRowDef& def : defs) {
            for (const RtfCellDef& cell : def.cells) {
                border = cell.border ? std::max(border, cell.borderWidth) : border;
            }
        }
        format.setBorder(border < 0 ? 0 : std::max(1.0, border / kTwipsPerPixel));
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(QColor(Qt::black));
        QTextTable* qtable = cursor.insertTable(rows, columns, format);

        // Where each cell of each row starts, and the spans.
        std::vector<std::vector<int>> starts(rows);
        for (int r = 0; r < rows; ++r) {
            int start = 0;
            for (const RtfCellDef& cell : defs[r].cells) {
                starts[r].push_back(std::min(start, columns - 1));
                start = column(cell.right) + 1;
            }
        }
        for (int r = 0; r < rows; ++r) {
            for (size_t c = 0; c < defs[r].cells.size(); ++c) {
                const RtfCellDef& cell = defs[r].cells[c];
                const int start = starts[r][c];
                const int span = column(cell.right) - start + 1;
                if (span < 1 || cell.merge == RtfMerge::Continue) {
                    continue;
                }
                int rowSpan = 1;
                while (cell.merge == RtfMerge::First && r + rowSpan < rows &&
                       ContinuesBelow(defs[r + rowSpan], starts[r + rowSpan], start)) {
                    ++rowSpan;
                }
                if (span > 1 || rowSpan > 1) {
                    qtable->mergeCells(r, start, rowSpan, span);
                }
            }
        }

        // Every cell's place is taken before any text goes in, and the cells are filled from
        // the last: filling one moves none before it. Asking the table while filling it, or
        // keeping a cursor per cell, would take the square of the cells.
        struct CellWork {
            int position = 0;
            std::vector<size_t> paragraphs;
        };
        std::vector<CellWork> work;
        std::map<std::pair<int, int>, size_t> workOfCell;
        for (size_t i = first; i < end; ++i) {
            const RtfCellRef& ref = paragraphs[i].cell;
            // A cell merged into the one above holds an empty paragraph of its own.
            if (defs[ref.row].cells[ref.column].merge == RtfMerge::Continue &&
                paragraphs[i].runs.empty()) {
                continue;
            }
            const QTextTableCell cell = qtable->cellAt(ref.row, starts[ref.row][ref.column]);
            const auto [it, added] =
                workOfCell.try_emplace({cell.row(), cell.column()}, work.size());
            if (added) {
                work.push_back(CellWork{cell.firstPosition(), {}});
            }
            work[it->second].paragraphs.push_back(i);
        }
        std::sort(work.begin(), work.end(),
                  [](const CellWork& a, const CellWork& b) { return a.position > b.position; });
        for (const CellWork& cell : work) {
            QTextCursor inCell(document_);
            inCell.setPosition(cell.position);
            for (size_t n = 0; n < cell.paragraphs.size(); ++n) {
                InsertParagraph(inCell, paragraphs[cell.paragraphs[n]], n == 0);
            }
        }
        cursor = qtable->lastCursorPosition();
        cursor.movePosition(QTextCursor::NextBlock);
        lists_.clear();
    }

    // Whether a row has a cell merged into the one above that starts at column start.
    static bool ContinuesBelow(const RtfRowDef& def, const std::vector<int>& starts, int start) {
        for (size_t c = 0; c < def.cells.size(); ++c) {
            if (starts[c] == start) {
                return def.cells[c].merge == RtfMerge::Continue;
            }
        }
        return false;
    }

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
                // Asking Qt for a face that is not installed has it sort every installed font,
                // for each script of the text; the face standing in for it is named directly.
                const QString shown = FontForFace(name).family();
                format.setFontFamilies(QStringList{shown});
                if (shown != name) {
                    format.setProperty(kRtfFaceProperty, QStringList{name, shown});
                }
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
    QTextDocument* document_ = nullptr;
    int indentWidth_ = 0;
    std::vector<std::pair<std::pair<RtfListStyle, int>, QTextList*>> lists_;
};

}  // namespace

void BuildDocument(const RtfContent& content, QTextDocument& document) {
    DocumentBuilder(content).Build(document);
}
