#pragma once

#include <QTextFormat>

// What the RTF reader and writer agree on beyond Qt's own formats.

// Character format property: the Windows character set (\fcharset) that the run's face carried
// in the RTF it was read from, so that a rewrite keeps the face's font-table entry.
inline constexpr int kRtfCharsetProperty = QTextFormat::UserProperty + 0x5201;

// Block format properties of a list paragraph: the first-line and left indents (twips) it was
// read with. Qt draws list markers at the list's own indent, so these are kept aside for the
// rewrite.
inline constexpr int kRtfListFirstIndentProperty = QTextFormat::UserProperty + 0x5202;
inline constexpr int kRtfListLeftIndentProperty = QTextFormat::UserProperty + 0x5203;

// Indents and spacings are kept in the document in pixels at 96 dpi; RTF counts twips
// (1/1440 inch), so one pixel is 15 twips.
inline constexpr double kTwipsPerPixel = 15.0;

// The largest font size either side takes, in half-points (about 1638 pt).
inline constexpr int kMaxHalfPoints = 3276;
