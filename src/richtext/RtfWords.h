#pragma once

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
