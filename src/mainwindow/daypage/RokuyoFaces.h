#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <deque>
#include <optional>

// The six rokuyo names as a grid cell shows them, in the largest small face that fits the room
// the cell leaves: from the usual size down to the smallest that stays legible, so a small grid
// shows the names smaller rather than cut or over the other parts of the cell.
class TRokuyoFaces {
public:
    struct TLook {
        QFont Font;
        std::array<QString, 6> Names;
        std::array<QRect, 6> Inks;  // each name's ink from its baseline origin
        QSize Size;                 // the room any name takes on a common baseline
        int Ascent = 0;             // from the top of Size to the baseline
    };

    // The look for a cell drawn in cellFont (italic outside the month) whose names must fit
    // within room; null when even the smallest face does not.
    const TLook* Fitting(const QFont& cellFont, const QSize& room);

    // Another short text (a solar term) in the same range of faces, on the rokuyo's baseline and
    // never taller than them, so that a row of cells shows one size: the largest that fits
    // within room; none for an empty text or when even the smallest face does not fit.
    struct TLabel {
        QFont Font;
        QString Text;
        QRect Ink;   // from the baseline origin
        QSize Size;  // the room it takes with the rokuyo's line
        int Ascent;  // from the top of Size to the baseline
    };
    std::optional<TLabel> FittingText(const QFont& cellFont, const QString& text,
                                      const QSize& room);

private:
    const TLook& LookOf(const QFont& font);

    std::deque<TLook> looks_;  // measured once per face, not for every cell
};
