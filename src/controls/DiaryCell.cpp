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
        side = std::max(kMinMark, std::min((numberHeight - gap + 1) / 2, (room - gap) / 2));
    }
    const int columns = oneRow ? 4 : 2;
    const int right = inner.left() + inner.width();
    for (int bit = 0; bit < 4; ++bit) {
        const int column = bit % columns;
        const int row = bit / columns;
        const int left = right - (columns - column) * side - (columns - 1 - column) * gap;
        parts.Marks[static_cast<size_t>(bit)] =
            QRect(left, inner.top() + row * (side + gap), side, side);
    }
    const int marksHeight = oneRow ? side : 2 * side + gap;
    const int band = std::max(numberHeight, marksHeight);
    parts.Owner =
        QRect(inner.left(), inner.top() + band, inner.width(), std::max(inner.height() - band, 0));
    return parts;
}
