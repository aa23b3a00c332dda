#pragma once

#include "richtext/RtfEmbed.h"

#include <QColor>
#include <QString>

#include <map>
#include <vector>

class QTextDocument;

// What the RTF reader finds in a body, before it becomes a QTextDocument.

inline constexpr int kRtfDefaultHalfPoints = 24;  // RTF's default size, 12 pt

enum class RtfAlign { Left, Center, Right, Justify };

enum class RtfVAlign { Normal, Super, Sub };

struct RtfCharProps {
    int font = 0;  // \deff, 0 when absent
    int halfPoints = kRtfDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;   // \v: not shown, kept
    bool deleted = false;  // deleted in a revision: likewise
    int color = 0;         // index into the colour table; 0 is automatic
    int highlight = 0;     // likewise; 0 is none
    RtfVAlign vertical = RtfVAlign::Normal;
    int link = 0;  // index into the links, 1 and up; 0 is none
    bool operator==(const RtfCharProps&) const = default;
};

enum class RtfTabKind { Left, Center, Right, Decimal };

struct RtfTab {
    int position = 0;  // twips
    RtfTabKind kind = RtfTabKind::Left;
    bool operator==(const RtfTab&) const = default;
};

// Marker styles of list paragraphs, in the numbering kinds Windows writes.
enum class RtfListStyle { None, Bullet, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

struct RtfListProps {
    RtfListStyle style = RtfListStyle::None;
    int level = 1;          // 1 and up
    int overrideIndex = 0;  // \ls, resolved through the list tables when the paragraph ends
};

struct RtfParProps {
    RtfAlign align = RtfAlign::Left;
    int firstIndent = 0;  // twips, all of them
    int leftIndent = 0;
    int rightIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;  // \sl: twips, or 240ths of a line with lineMultiple; 0 is single
    bool lineMultiple = false;
    std::vector<RtfTab> tabs;
    RtfListProps list;
    bool inTable = false;  // \intbl
};

// Where a paragraph stands in a table: table index (-1 outside any), row and cell.
struct RtfCellRef {
    int table = -1;
    int row = 0;
    int column = 0;
};

// A table has at most this many columns. A row that holds more cells than it defines gets cells
// of the default width after its last edge, so edges go a little beyond the widest page (22
// inches), and written back, they read back the same.
inline constexpr int kRtfMaxColumns = 64;
inline constexpr int kRtfDefaultCellTwips = 1440;
inline constexpr int kRtfMaxCellTwips = 31680 + kRtfMaxColumns * (kRtfDefaultCellTwips + 1);

enum class RtfMerge { None, First, Continue };  // \clvmgf, \clvmrg

struct RtfCellDef {
    int right = 0;  // \cellx: the cell's right edge, twips
    bool border = false;
    int borderWidth = 0;  // twips
    RtfMerge merge = RtfMerge::None;
};

struct RtfRowDef {
    int left = 0;  // \trleft
    int gap = 0;   // \trgaph: half the space between cells
    std::vector<RtfCellDef> cells;
};

struct RtfTable {
    std::vector<RtfRowDef> rows;  // one definition per row
};

struct RtfFontEntry {
    QString name;
    int charset = -1;
    int codePage = 0;  // \cpg, 0 when absent
    bool complete = false;
};

struct RtfRun {
    QString text;
    RtfCharProps chars;
    int embed = 0;  // index into the embeds, 1 and up, for a run that holds one; 0 for text
};

struct RtfParagraph {
    std::vector<RtfRun> runs;
    RtfParProps par;
    RtfCharProps mark;  // the format of the paragraph mark, which sizes an empty line
    RtfCellRef cell;
};

struct RtfContent {
    std::vector<RtfParagraph> paragraphs;
    std::map<int, RtfFontEntry> fonts;  // by \f number
    std::vector<QColor> colors;         // entry 0 is automatic
    std::vector<QString> links;         // link targets; RtfCharProps::link counts from 1
    std::vector<RtfEmbed> embeds;
    std::vector<RtfTable> tables;
};

// Fills an empty document with the content: one block per paragraph, tables as Qt tables,
// pictures as images and what is kept unseen as objects that take no room.
void BuildDocument(const RtfContent& content, QTextDocument& document);
