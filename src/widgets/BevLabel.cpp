#include "widgets/BevLabel.h"

#include <QPainter>

void Frame3D(QPainter& p, QRect& rect, const QColor& topLeft, const QColor& bottomRight,
             int width) {
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        const int l = rect.left();
        const int t = rect.top();
        const int r = rect.right();
        const int b = rect.bottom();
        p.fillRect(QRect(l, t, r - l, 1), topLeft);
        p.fillRect(QRect(l, t, 1, b - t), topLeft);
        p.fillRect(QRect(r, t, 1, b - t + 1), bottomRight);
        p.fillRect(QRect(l, b, r - l + 1, 1), bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
}

QFont PlainFont(const QFont& font) {
    QFont plain(font.family());
    if (font.pixelSize() > 0) {
        plain.setPixelSize(font.pixelSize());
    } else {
        plain.setPointSizeF(font.pointSizeF());
    }
    return plain;
}

TBevelLabel::TBevelLabel(QWidget* parent) : QWidget(parent) {}

void TBevelLabel::SetCaption(const QString& caption) {
    StoreAndRepaint(*this, FCaption, caption);
}
void TBevelLabel::SetAlignment(TAlignment alignment) {
    StoreAndRepaint(*this, FAlignment, alignment);
}
void TBevelLabel::SetLayout(TTextLayout layout) {
    StoreAndRepaint(*this, FLayout, layout);
}
void TBevelLabel::SetWordWrap(bool wrap) {
    StoreAndRepaint(*this, FWordWrap, wrap);
}
void TBevelLabel::SetColor(TColor color) {
    StoreAndRepaint(*this, FColor, color);
}
void TBevelLabel::SetFontColor(TColor color) {
    StoreAndRepaint(*this, FFontColor, color);
}
void TBevelLabel::SetBevelOuter(TBevelCut cut) {
    StoreAndRepaint(*this, FBevelOuter, cut);
}
void TBevelLabel::SetBevelInner(TBevelCut cut) {
    StoreAndRepaint(*this, FBevelInner, cut);
}
void TBevelLabel::SetBevelWidth(int width) {
    StoreAndRepaint(*this, FBevelWidth, width);
}
void TBevelLabel::SetBorderWidth(int width) {
    StoreAndRepaint(*this, FBorderWidth, width);
}
void TBevelLabel::SetTextBorder(int border) {
    StoreAndRepaint(*this, FTextBorder, border);
}
void TBevelLabel::SetLineBorder(int border) {
    StoreAndRepaint(*this, FLineBorder, border);
}
void TBevelLabel::SetTextOffset(int offset) {
    StoreAndRepaint(*this, FTextOffset, offset);
}
void TBevelLabel::SetTextRotate(TTextRotate rotate) {
    StoreAndRepaint(*this, FTextRotate, rotate);
}
void TBevelLabel::SetSingleLine(bool single) {
    StoreAndRepaint(*this, FSingleLine, single);
}

void TBevelLabel::SetDown(bool down) {
    if (FDown == down) {
        return;
    }
    FDown = down;
    FBevelInner = down ? bvLowered : bvRaised;
    FBevelOuter = bvNone;
    update();
}

void TBevelLabel::DrawBevel(QPainter& p, QRect& rect, TBevelCut cut) const {
    if (cut == bvNone) {
        return;
    }
    const QColor shadow = ToQColor(clBtnShadow);
    const QColor light = ToQColor(clBtnHighlight);
    if (cut == bvLowered) {
        Frame3D(p, rect, shadow, light, FBevelWidth);
    } else {
        Frame3D(p, rect, light, shadow, FBevelWidth);
    }
}

void TBevelLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    const QColor back = FColor == 0xFFFFFFFF ? ToQColor(clWindow) : ToQColor(FColor);
    DrawBevel(p, r, FBevelOuter);
    Frame3D(p, r, back, back, FBorderWidth);
    DrawBevel(p, r, FBevelInner);
    p.fillRect(r, back);
    p.setPen(ToQColor(FFontColor));
    if (FSingleLine) {
        DrawSingleLine(p, r);
    } else {
        DrawMultiLine(p, r);
    }
}

QRect TBevelLabel::TextBox(const QRect& r) const {
    const bool sideways = FSingleLine && (FTextRotate == trLeft || FTextRotate == trRight);
    QRect t = sideways ? QRect(0, 0, r.height(), r.width()) : QRect(0, 0, r.width(), r.height());
    t.adjust(FTextBorder, FTextBorder, -FTextBorder, -FTextBorder);
    t.setLeft(t.left() + FTextOffset);
    return t;
}

void TBevelLabel::DrawSingleLine(QPainter& p, const QRect& r) const {
    const QFont f = PlainFont(font());
    const QFontMetrics fm(f);
    const int textWidth = fm.horizontalAdvance(FCaption);
    const int textHeight = fm.height();
    // Exclusive edges, as the placement arithmetic expects.
    const QRect t = TextBox(r);
    int left = t.left();
    int top = t.top();
    const int right = t.left() + t.width();
    const int bottom = t.top() + t.height();
    if (FLayout == tlCenter) {
        top += (t.height() - textHeight) / 2;
    } else if (FLayout == tlBottom) {
        top = bottom - textHeight;
    }
    if (FAlignment == taRightJustify) {
        left = right - textWidth;
    } else if (FAlignment == taCenter) {
        left += (t.width() - textWidth) / 2;
    }
    const int rRight = r.left() + r.width();
    const int rBottom = r.top() + r.height();
    QPoint start;
    int angle = 0;  // clockwise on screen
    switch (FTextRotate) {
        case trNone:
            start = QPoint(r.left() + left, r.top() + top);
            break;
        case trReverse:
            start = QPoint(rRight - left, rBottom - top);
            angle = 180;
            break;
        case trLeft:
            start = QPoint(r.left() + top, rBottom - left);
            angle = -90;
            break;
        case trRight:
            start = QPoint(rRight - top, r.top() + left);
            angle = 90;
            break;
    }
    p.save();
    p.setClipRect(r);
    p.setFont(f);
    p.translate(start);
    p.rotate(angle);
    p.drawText(QPoint(0, fm.ascent()), FCaption);
    p.restore();
}

void TBevelLabel::DrawMultiLine(QPainter& p, const QRect& r) const {
    int flags = Qt::TextExpandTabs;
    if (FWordWrap) {
        flags |= Qt::TextWordWrap;
    }
    if (FAlignment == taRightJustify) {
        flags |= Qt::AlignRight;
    } else if (FAlignment == taCenter) {
        flags |= Qt::AlignHCenter;
    } else {
        flags |= Qt::AlignLeft;
    }
    // The text box sits inside the frames, so the text never covers a bevel.
    QRect t = TextBox(r).translated(r.topLeft());
    const QFontMetrics fm(font());
    const QRect extent =
        fm.boundingRect(QRect(0, 0, FWordWrap ? t.width() : 0, 0), flags, FCaption);
    const int w = extent.width() + 1;
    const int h = extent.height() + 1;
    // Exclusive edges, as the placement arithmetic expects.
    int left = t.left();
    int top = t.top();
    int right = t.left() + t.width();
    int bottom = t.top() + t.height();
    if (FLayout == tlCenter) {
        const int sum = top + bottom;
        top = (sum - h) / 2;
        bottom = (sum + h) / 2;
    } else if (FLayout == tlBottom) {
        top = bottom - h;
    }
    if (FAlignment == taRightJustify) {
        left = right - w;
    } else if (FAlignment == taCenter) {
        const int sum = left + right;
        left = (sum - w) / 2;
        right = (sum + w) / 2;
    }
    p.setFont(font());
    p.drawText(QRect(left, top, right - left, bottom - top), flags, FCaption);
}
