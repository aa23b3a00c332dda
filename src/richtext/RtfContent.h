#pragma once

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
    bool hidden = false;
    int color = 0;      // index into the colour table; 0 is automatic
    int highlight = 0;  // likewise; 0 is none
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
};

struct RtfParagraph {
    std::vector<RtfRun> runs;
    RtfParProps par;
    RtfCharProps mark;  // the format of the paragraph mark, which sizes an empty line
};

struct RtfContent {
    std::vector<RtfParagraph> paragraphs;
    std::map<int, RtfFontEntry> fonts;  // by \f number
    std::vector<QColor> colors;         // entry 0 is automatic
    std::vector<QString> links;         // link targets; RtfCharProps::link counts from 1
};

// Fills an empty document with the content: one block per paragraph.
void BuildDocument(const RtfContent& content, QTextDocument& document);
