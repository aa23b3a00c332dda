#pragma once

#include <QRect>
#include <array>

// Where the parts of a day cell go, so that none lies on another: the day number at the top
// left, the four marks in fixed slots at the top right, and below them a band in which the
// owner paints (the weather picture at its left, the rokuyo at its right).
struct TDiaryCellParts {
    QRect Number;                // the day number's ink: digits' height, two digits' width
    std::array<QRect, 4> Marks;  // one s x s square per mark bit 0..3; empty when none fit
    QRect Owner;                 // the band below the number and marks
};

// numberWidth and numberHeight: the ink of two bold digits. The marks take one row of four when
// that gives them at least kMinRowMark pixels, otherwise two rows of two.
TDiaryCellParts DiaryCellParts(const QRect& cell, int numberWidth, int numberHeight);

// Where the owner's two parts go in the band below the number and marks: a label (the rokuyo)
// at the bottom right, whole or not at all, and a square picture (the weather) at the bottom
// left in the room the label leaves, one pixel apart from it.
struct TDiaryBandParts {
    QRect Label;    // empty when the band cannot hold the label whole
    QRect Picture;  // empty when less than pictureMin pixels fit
};

// label: the size of the label's ink, or an empty size for no label.
TDiaryBandParts DiaryBandParts(const QRect& band, const QSize& label, int pictureMin,
                               int pictureMax);

inline constexpr int kDiaryCellInset = 1;  // blank edge at a cell's left and right
inline constexpr int kMinRowMark = 5;
inline constexpr int kMinMark = 4;
