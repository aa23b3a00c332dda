#pragma once

#include <QString>

#include <string_view>

// The RTF control words the reader acts on, by what they do; everything else is Unknown.
enum class RtfWord {
    Unknown,
    // header and tables
    AnsiCodePage,
    DefaultFont,
    FontTable,
    ColorTable,
    Skipped,
    Font,
    Charset,
    CodePage,
    Red,
    Green,
    Blue,
    // character formatting
    Plain,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Color,
    Highlight,
    Super,
    Sub,
    NoSuperSub,
    Hidden,
    Deleted,
    // paragraph formatting
    Pard,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    FirstIndent,
    LeftIndent,
    RightIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    TabStop,
    TabRight,
    TabCenter,
    TabDecimal,
    // lists: the \pn form and the list tables with \ls
    Pn,
    PnBullet,
    PnLevel,
    PnDecimal,
    PnLowerAlpha,
    PnUpperAlpha,
    PnLowerRoman,
    PnUpperRoman,
    ListTable,
    ListOverrideTable,
    List,
    ListLevel,
    LevelNumbering,
    ListId,
    ListOverride,
    ListSelect,
    ListLevelSelect,
    // tables
    RowDefaults,
    RowGap,
    RowLeft,
    CellBorder,
    RowBorder,
    BorderStyle,
    BorderNone,
    BorderWidth,
    MergeFirst,
    MergeContinue,
    CellRight,
    InTable,
    Cell,
    Row,
    NestRow,
    // groups kept as read
    Picture,
    ShapePicture,
    NonShapePicture,
    Object,
    Footnote,
    FootnoteMark,
    // fields
    FieldInstruction,
    // text
    Par,
    Line,
    Tab,
    Unicode,
    UnicodeSkip,
    Bin,
    EmDash,
    EnDash,
    Bullet,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    EmSpace,
    EnSpace,
    QuarterEmSpace,
};

RtfWord LookupRtfWord(std::string_view name);

// The character a word stands for (\emdash, \tab, ...); 0 for any other word.
char16_t CharacterOfWord(RtfWord word);

// The target of a HYPERLINK field instruction, quoted or not, as the instruction can carry it
// again; empty for other fields.
QString LinkTarget(const QString& instruction);
