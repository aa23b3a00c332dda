#include "controls/RangeGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int kMaxBits = 32;

}  // namespace

TSelectGrid::TSelectGrid(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    ResetSizes();
    FitToGrid();
}

void TSelectGrid::SetItems(const QStringList& items) {
    SetItems(items, {});
}

void TSelectGrid::SetItems(const QStringList& items, const std::vector<bool>& states) {
    FItems = items;
    FStates.assign(static_cast<size_t>(items.size()), false);
    std::copy_n(states.begin(), std::min(states.size(), FStates.size()), FStates.begin());
    // A grid keeps at least one cell, so an empty list leaves one empty cell.
    const int n = std::max(static_cast<int>(items.size()), 1);
    if (FArrangeStyle == asHorizontal) {
        FColCount = n;
        FRowCount = 1;
    } else {
        FColCount = 1;
        FRowCount = n;
    }
    FCol = 0;
    FRow = 0;
    FitCells();
    update();
}

bool TSelectGrid::ItemOn(int index) const {
    return index >= 0 && index < static_cast<int>(FStates.size()) && FStates[index];
}

void TSelectGrid::SetItemOn(int index, bool on) {
    if (index < 0 || index >= static_cast<int>(FStates.size()) || FStates[index] == on) {
        return;
    }
    FStates[index] = on;
    update();
}

void TSelectGrid::SetArrangeStyle(TArrangeStyle style) {
    if (FArrangeStyle == style) {
        return;
    }
    FArrangeStyle = style;
    update();
}

uint32_t TSelectGrid::SelectedBits() const {
    const int n = std::min(static_cast<int>(FStates.size()), kMaxBits);
    uint32_t bits = 0;
    for (int i = 0; i < n; ++i) {
        if (FReversebit) {
            bits |= static_cast<uint32_t>(FStates[i]) << i;
        } else {
            bits = (bits << 1) | static_cast<uint32_t>(FStates[i]);
        }
    }
    return bits;
}

void TSelectGrid::SetSelectedBits(uint32_t bits) {
    const int n = std::min(static_cast<int>(FStates.size()), kMaxBits);
    for (int i = 0; i < n; ++i) {
        const int bit = FReversebit ? i : n - 1 - i;
        FStates[i] = (bits >> bit) & 1u;
    }
    update();
}

void TSelectGrid::SetColCount(int count) {
    count = std::max(count, 1);
    if (FColCount == count) {
        return;
    }
    FColCount = count;
    FCol = std::min(FCol, count - 1);
    FColWidths.resize(static_cast<size_t>(count), FDefaultColWidth);
    update();
}

void TSelectGrid::SetRowCount(int count) {
    count = std::max(count, 1);
    if (FRowCount == count) {
        return;
    }
    FRowCount = count;
    FRow = std::min(FRow, count - 1);
    FRowHeights.resize(static_cast<size_t>(count), FDefaultRowHeight);
    update();
}

void TSelectGrid::SetGridLineWidth(int width) {
    width = std::max(width, 0);
    if (FGridLineWidth == width) {
        return;
    }
    FGridLineWidth = width;
    update();
}

void TSelectGrid::SetDefaultColWidth(int width) {
    FDefaultColWidth = std::max(width, 0);
    FColWidths.assign(static_cast<size_t>(FColCount), FDefaultColWidth);
    update();
}

void TSelectGrid::SetDefaultRowHeight(int height) {
    FDefaultRowHeight = std::max(height, 0);
    FRowHeights.assign(static_cast<size_t>(FRowCount), FDefaultRowHeight);
    update();
}

int TSelectGrid::ColWidths(int col) const {
    return col >= 0 && col < FColCount ? FColWidths[col] : 0;
}

void TSelectGrid::SetColWidths(int col, int width) {
    if (col < 0 || col >= FColCount || FColWidths[col] == width) {
        return;
    }
    FColWidths[col] = std::max(width, 0);
    update();
}

int TSelectGrid::RowHeights(int row) const {
    return row >= 0 && row < FRowCount ? FRowHeights[row] : 0;
}

void TSelectGrid::SetRowHeights(int row, int height) {
    if (row < 0 || row >= FRowCount || FRowHeights[row] == height) {
        return;
    }
    FRowHeights[row] = std::max(height, 0);
    update();
}

void TSelectGrid::SetColor(TColor color) {
    if (FColor == color) {
        return;
    }
    FColor = color;
    update();
}

void TSelectGrid::SetCurrentCell(int col, int row) {
    col = std::clamp(col, 0, FColCount - 1);
    row = std::clamp(row, 0, FRowCount - 1);
    if (col == FCol && row == FRow) {
        return;
    }
    FCol = col;
    FRow = row;
    update();
}

int TSelectGrid::CellIndex(int col, int row) const {
    if (col < 0 || row < 0 || col >= FColCount || row >= FRowCount) {
        return -1;
    }
    const int index = col + row * FColCount;
    return index < static_cast<int>(FItems.size()) ? index : -1;
}

QRect TSelectGrid::CellRect(int col, int row) const {
    int x = 0;
    for (int c = 0; c < col; ++c) {
        x += FColWidths[c] + FGridLineWidth;
    }
    int y = 0;
    for (int r = 0; r < row; ++r) {
        y += FRowHeights[r] + FGridLineWidth;
    }
    return QRect(x, y, ColWidths(col), RowHeights(row));
}

bool TSelectGrid::MouseToCell(QPoint pos, int& col, int& row) const {
    for (int r = 0; r < FRowCount; ++r) {
        for (int c = 0; c < FColCount; ++c) {
            if (CellRect(c, r).contains(pos)) {
                col = c;
                row = r;
                return true;
            }
        }
    }
    return false;
}

void TSelectGrid::ResetSizes() {
    FColWidths.assign(static_cast<size_t>(FColCount), FDefaultColWidth);
    FRowHeights.assign(static_cast<size_t>(FRowCount), FDefaultRowHeight);
}

void TSelectGrid::FitToGrid() {
    resize((FDefaultColWidth + FGridLineWidth) * FColCount,
           (FDefaultRowHeight + FGridLineWidth) * FRowCount);
}

void TSelectGrid::resizeEvent(QResizeEvent* event) {
    FitCells();
    QWidget::resizeEvent(event);
}

void TSelectGrid::FitCells() {
    // Cells share the client area; the right-hand columns take the remainder.
    const int w = width();
    const int h = height();
    FDefaultColWidth = std::max((w - FGridLineWidth * FColCount) / FColCount, 0);
    FDefaultRowHeight = std::max((h - FGridLineWidth * FRowCount) / FRowCount, 0);
    ResetSizes();
    int rest = w - FGridLineWidth * FColCount;
    for (int c = 0; c < FColCount; ++c) {
        FColWidths[c] = std::max(rest / (FColCount - c), 0);
        rest -= FColWidths[c];
    }
}

void TSelectGrid::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        SetSelectedBits(0);
    }
    QWidget::changeEvent(event);
}

void TSelectGrid::PressCell(QMouseEvent* event) {
    int col = 0;
    int row = 0;
    if (!MouseToCell(event->position().toPoint(), col, row)) {
        return;
    }
    SetCurrentCell(col, row);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int index = CellIndex(col, row);
    if (index >= 0) {
        FStates[index] = !FStates[index];
        repaint(CellRect(col, row));
    }
}

void TSelectGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    PressCell(event);
}

void TSelectGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click toggles like any press.
    PressCell(event);
    if (event->button() == Qt::LeftButton) {
        Q_EMIT OnDblClick();
    }
}

void TSelectGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Q_EMIT OnClick();
    }
}

void TSelectGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            SetCurrentCell(FCol - 1, FRow);
            break;
        case Qt::Key_Right:
            SetCurrentCell(FCol + 1, FRow);
            break;
        case Qt::Key_Up:
            SetCurrentCell(FCol, FRow - 1);
            break;
        case Qt::Key_Down:
            SetCurrentCell(FCol, FRow + 1);
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

void TSelectGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Grid lines show through the gaps between the cells.
    p.fillRect(rect(), ToQColor(clBtnFace));
    for (int r = 0; r < FRowCount; ++r) {
        for (int c = 0; c < FColCount; ++c) {
            DrawCell(p, c, r);
        }
    }
}

void TSelectGrid::DrawCell(QPainter& p, int col, int row) const {
    const QRect cell = CellRect(col, row);
    const int index = CellIndex(col, row);
    if (index < 0) {
        p.fillRect(cell, ToQColor(FColor));
        return;
    }
    TColor background = FColor;
    TColor text = clWindowText;
    if (!isEnabled()) {
        background = clBtnFace;
        text = clGray;
    } else if (FStates[index]) {
        background = clHighlight;
        text = clHighlightText;
    }
    p.fillRect(cell, ToQColor(background));
    const QString& caption = FItems[index];
    const QFontMetrics fm(font());
    const int x = std::max((cell.left() + cell.right() + 1 - fm.horizontalAdvance(caption)) / 2, 0);
    const int y = std::max((cell.top() + cell.bottom() + 1 - fm.height()) / 2, 0);
    p.setFont(font());
    p.setPen(ToQColor(text));
    p.setClipRect(cell);
    p.drawText(QPoint(x, y + fm.ascent()), caption);
    p.setClipping(false);
}
