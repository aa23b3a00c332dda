#include "controls/DiaryCell.h"

#include <algorithm>

TDiaryCellParts DiaryCellParts(const QRect& cell, int numberWidth, int numberHeight) {
    // The grid lines keep cells apart; a short cell has no pixel to spare above or below.
    const QRect inner = cell.adjusted(kDiaryCellInset, 0, -kDiaryCellInset, 0);
    TDiaryCellParts parts;
    parts.Number = QRect(inner.topLeft(), QSize(numberWidth, numberHeight));

    // The room right of the number, one pixel apart from it.
    const int room = inner.width() - numberWidth - 1;
    const int gap = numberHeight >= 12 ? 2 : 1;
    int side = std::min(numberHeight, (room - 3 * gap) / 4);
    const bool oneRow = side >= kMinRowMark;
    if (!oneRow) {
        side = std::max(kMinMark, std::min((numberHeight - gap) / 2, (room - gap) / 2));
    }
    const int columns = oneRow ? 4 : 2;
    int marksHeight = oneRow ? side : 2 * side + gap;
    // A cell too small for the marks beside the number shows none; the bold number still tells
    // that the day has some.
    if (columns * side + (columns - 1) * gap > room || marksHeight > inner.height()) {
        marksHeight = 0;
    } else {
        const int right = inner.left() + inner.width();
        for (int bit = 0; bit < 4; ++bit) {
            const int column = bit % columns;
            const int row = bit / columns;
            const int left = right - (columns - column) * side - (columns - 1 - column) * gap;
            parts.Marks[static_cast<size_t>(bit)] =
                QRect(left, inner.top() + row * (side + gap), side, side);
        }
    }
    const int band = std::max(numberHeight, marksHeight);
    parts.Owner =
        QRect(inner.left(), inner.top() + band, inner.width(), std::max(inner.height() - band, 0));
    return parts;
}

TDiaryBandParts DiaryBandParts(const QRect& band, const QSize& label, int pictureMin,
                               int pictureMax) {
    TDiaryBandParts parts;
    const QPoint bottomRight(band.left() + band.width(), band.top() + band.height());
    int room = band.width();
    if (!label.isEmpty() && label.width() <= band.width() && label.height() <= band.height()) {
        parts.Label = QRect(bottomRight - QPoint(label.width(), label.height()), label);
        room -= label.width() + 1;
    }
    const int side = std::min({pictureMax, band.height(), room});
    if (side >= pictureMin) {
        parts.Picture = QRect(band.left(), bottomRight.y() - side, side, side);
    }
    return parts;
}
