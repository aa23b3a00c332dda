#include "widgets/BtnLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/BevLabel.h"

namespace {

constexpr int kInitialWidth = 80;
constexpr int kInitialHeight = 21;
constexpr int kCaptionFlags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine;

}  // namespace

TColorButton::TColorButton(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    resize(kInitialWidth, kInitialHeight);
}

void TColorButton::SetCaption(const QString& caption) {
    StoreAndRepaint(*this, FCaption, caption);
}
void TColorButton::SetColor(TColor color) {
    StoreAndRepaint(*this, FColor, color);
}
void TColorButton::SetFontColor(TColor color) {
    StoreAndRepaint(*this, FFontColor, color);
}
void TColorButton::SetAutoFontColor(bool autoColor) {
    StoreAndRepaint(*this, FAutoFontColor, autoColor);
}
void TColorButton::SetDrawFocus(TFocusBandType type) {
    StoreAndRepaint(*this, FDrawFocus, type);
}
void TColorButton::SetDrawFrame(bool frame) {
    StoreAndRepaint(*this, FDrawFrame, frame);
}

QColor TColorButton::CaptionColor() const {
    if (!FAutoFontColor) {
        return ToQColor(FFontColor);
    }
    // A system colour is resolved first: inverting its index would name another colour.
    return ToQColor(FromQColor(ToQColor(FColor)) ^ 0xFFFFFF);
}

void TColorButton::Click() {
    setFocus(Qt::OtherFocusReason);
    Q_EMIT OnClick();
}

void TColorButton::SetPressed(bool pressed) {
    if (FPressed == pressed) {
        return;
    }
    FPressed = pressed;
    repaint();
}

void TColorButton::mousePressEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    FTracking = left;
    SetPressed(left);
}

void TColorButton::mouseMoveEvent(QMouseEvent* event) {
    if (FTracking) {
        SetPressed(rect().contains(event->position().toPoint()));
    }
}

void TColorButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool clicked = FTracking && event->button() == Qt::LeftButton &&
                         rect().contains(event->position().toPoint());
    SetPressed(false);
    FTracking = false;
    if (clicked) {
        Click();
    }
}

void TColorButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            Click();
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

void TColorButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TColorButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void TColorButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    const bool focused = hasFocus();
    if (focused && FDrawFrame) {
        const QColor frame = ToQColor(clWindowFrame);
        Frame3D(p, r, frame, frame, 1);
    }
    // A push-button face: a dark outer ring and a one-pixel bevel, turned over while pressed.
    const QColor light = ToQColor(clBtnHighlight);
    const QColor dark = ToQColor(cl3DDkShadow);
    const QColor shadow = ToQColor(clBtnShadow);
    const QColor face = ToQColor(clBtnFace);
    if (FPressed) {
        Frame3D(p, r, dark, light, 1);
        Frame3D(p, r, shadow, face, 1);
    } else {
        Frame3D(p, r, light, dark, 1);
        Frame3D(p, r, face, shadow, 1);
    }
    p.fillRect(r, ToQColor(FColor));
    p.setFont(font());
    p.setPen(isEnabled() ? CaptionColor() : ToQColor(clGrayText));
    p.drawText(r, kCaptionFlags, FCaption);
    if (!focused || FDrawFocus == fbNone) {
        return;
    }
    if (FDrawFocus == fbBand) {
        const QFontMetrics fm(font());
        const QRect text =
            fm.boundingRect(QRect(r.topLeft(), QSize(0, 0)), kCaptionFlags, FCaption);
        const int blank = fm.horizontalAdvance(QLatin1Char(' '));
        const int right = r.left() + text.width();
        const int bottom = r.top() + text.height();
        r = QRect(QPoint(r.left(), r.top()), QPoint(right + 2 * blank - 1, bottom - 1));
        r.translate((width() - 2 * blank - right) / 2, (height() - bottom) / 2);
    }
    DrawFocusRect(p, r.adjusted(1, 1, -1, -1));
}

void TColorButton::DrawFocusRect(QPainter& p, QRect r) const {
    QPen pen(CaptionColor());
    pen.setDashPattern({1.0, 1.0});
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}
