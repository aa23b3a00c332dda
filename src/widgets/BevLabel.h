#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

#include "bridge/Colors.h"

class QPainter;

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TTextRotate { trNone, trReverse, trLeft, trRight };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

// Draws `width` rings on the edge of rect, topLeft on the top and left edges and bottomRight on
// the bottom and right ones (which own the top-right and bottom-left corners), and shrinks rect
// by width on every side.
void Frame3D(QPainter& p, QRect& rect, const QColor& topLeft, const QColor& bottomRight, int width);

// The face and size of a font without its style: what rotated text is drawn in.
QFont PlainFont(const QFont& font);

// The setter rule of the painted controls: a new value is stored and repainted, the value
// already held does nothing.
template <typename T>
void StoreAndRepaint(QWidget& widget, T& field, const T& value) {
    if (field == value) {
        return;
    }
    field = value;
    widget.update();
}

// A label framed by an outer and an inner bevel with a plain band between them, whose text
// may be drawn on one line rotated by a multiple of 90 degrees.
class TBevelLabel : public QWidget {
    Q_OBJECT
public:
    explicit TBevelLabel(QWidget* parent = nullptr);

    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout layout);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool wrap);
    // Background; the value 0xFFFFFFFF (-1) stands for the window colour.
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor color);

    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut cut);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut cut);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int width);
    // Down lowers the inner bevel, up raises it; either way the outer bevel goes.
    bool Down() const { return FDown; }
    void SetDown(bool down);
    int TextBorder() const { return FTextBorder; }
    void SetTextBorder(int border);
    // Kept for the forms that set it; the drawing does not use it.
    int LineBorder() const { return FLineBorder; }
    void SetLineBorder(int border);
    int TextOffset() const { return FTextOffset; }
    void SetTextOffset(int offset);
    // Used only with SingleLine.
    TTextRotate TextRotate() const { return FTextRotate; }
    void SetTextRotate(TTextRotate rotate);
    bool SingleLine() const { return FSingleLine; }
    void SetSingleLine(bool single);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawBevel(QPainter& p, QRect& rect, TBevelCut cut) const;
    void DrawSingleLine(QPainter& p, const QRect& r) const;
    void DrawMultiLine(QPainter& p, const QRect& r) const;
    QRect TextBox(const QRect& r) const;

    QString FCaption;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    TColor FColor = clBtnFace;
    TColor FFontColor = clWindowText;
    TBevelCut FBevelOuter = bvNone;
    TBevelCut FBevelInner = bvLowered;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    bool FDown = false;
    int FTextBorder = 0;
    int FLineBorder = 0;
    int FTextOffset = 0;
    TTextRotate FTextRotate = trNone;
    bool FSingleLine = false;
};
