#pragma once

#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "bridge/Colors.h"

enum TArrangeStyle { asHorizontal, asVertical };

// A row (or column) of captioned toggle cells. A left click turns the item under the pointer on
// or off; the whole selection is read and written as one bit set.
class TSelectGrid : public QWidget {
    Q_OBJECT
public:
    explicit TSelectGrid(QWidget* parent = nullptr);

    // Captions, one per cell, all off. Horizontal arrangement makes 1 row of Items.size()
    // columns, vertical Items.size() rows of 1 column.
    const QStringList& Items() const { return FItems; }
    void SetItems(const QStringList& items);
    // Captions with their states (a missing state is off).
    void SetItems(const QStringList& items, const std::vector<bool>& states);
    bool ItemOn(int index) const;  // false for an index outside the items
    void SetItemOn(int index, bool on);

    TArrangeStyle ArrangeStyle() const { return FArrangeStyle; }
    // Takes effect at the next SetItems.
    void SetArrangeStyle(TArrangeStyle style);

    bool Reversebit() const { return FReversebit; }
    void SetReversebit(bool reverse) { FReversebit = reverse; }

    // Bit set over the first 32 items. Reversebit true: item i is bit i. Reversebit false: the
    // first item is the most significant, the last item bit 0.
    uint32_t SelectedBits() const;
    void SetSelectedBits(uint32_t bits);

    int ColCount() const { return FColCount; }
    void SetColCount(int count);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int count);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int width);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int height);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);

    TColor Color() const { return FColor; }
    void SetColor(TColor color);

    // The current cell.
    int Col() const { return FCol; }
    int Row() const { return FRow; }
    void SetCurrentCell(int col, int row);

    // Item index of a cell: col + row * ColCount, or -1 when no item lies there.
    int CellIndex(int col, int row) const;
    // Cell rectangle in widget coordinates (grid lines excluded).
    QRect CellRect(int col, int row) const;
    // The cell under a point, or false when the point is on no cell.
    bool MouseToCell(QPoint pos, int& col, int& row) const;

Q_SIGNALS:
    void OnClick();
    void OnDblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void PressCell(QMouseEvent* event);
    void ResetSizes();
    void FitToGrid();
    void FitCells();
    void DrawCell(QPainter& p, int col, int row) const;

    QStringList FItems;
    std::vector<bool> FStates;
    TArrangeStyle FArrangeStyle = asHorizontal;
    bool FReversebit = false;
    int FColCount = 5;
    int FRowCount = 1;
    int FGridLineWidth = 1;
    int FDefaultColWidth = 50;
    int FDefaultRowHeight = 22;
    std::vector<int> FColWidths;
    std::vector<int> FRowHeights;
    TColor FColor = clWindow;
    int FCol = 0;
    int FRow = 0;
};
