#pragma once

#include <QIcon>
#include <QSize>

// The window's tool-bar pictures, painted at any scale so that they stay sharp on high-density
// screens.
enum class TToolIcon {
    Exit,
    Print,
    Save,
    Undo,
    Delete,
    Cut,
    Copy,
    Paste,
    Bold,
    Italic,
    Underline,
    Color,
    AlignLeft,
    AlignCenter,
    AlignRight,
    PrevYear,
    PrevMonth,
    NextMonth,
    NextYear,
};

QIcon ToolIcon(TToolIcon kind);

// The size the tool bars and the weather button draw these pictures at.
inline constexpr QSize kToolIconSize(18, 18);
