#include "widgets/BtnList.h"

#include <qdrawutil.h>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "bridge/Colors.h"
#include "widgets/BevLabel.h"

namespace {

constexpr int kInitialWidth = 80;
constexpr int kInitialHeight = 25;
constexpr int kButtonFrame = 2;  // the outer ring and the bevel of a raised button

}  // namespace

TTextSpeedButton::TTextSpeedButton(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_Hover);
}

void TTextSpeedButton::SetText(const QString& text) {
    StoreAndRepaint(*this, FText, text);
}

void TTextSpeedButton::SetRotation(TCaptionAlign rotation) {
    StoreAndRepaint(*this, FRotation, rotation);
}

void TTextSpeedButton::SetFlat(bool flat) {
    StoreAndRepaint(*this, FFlat, flat);
}

void TTextSpeedButton::SetGroupIndex(int index) {
    if (FGroupIndex == index) {
        return;
    }
    FGroupIndex = index;
    if (index == 0) {
        SetDown(false);
    }
}

void TTextSpeedButton::SetDown(bool down) {
    if (FGroupIndex == 0) {
        down = false;
    }
    if (FDown == down) {
        return;
    }
    FDown = down;
    if (down && parentWidget() != nullptr) {
        const auto siblings =
            parentWidget()->findChildren<TTextSpeedButton*>(Qt::FindDirectChildrenOnly);
        for (TTextSpeedButton* other : siblings) {
            if (other != this && other->FGroupIndex == FGroupIndex && other->FDown) {
                other->FDown = false;
                other->update();
            }
        }
    }
    update();
}

void TTextSpeedButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    FTracking = true;
    FPressed = true;
    update();
}

void TTextSpeedButton::mouseMoveEvent(QMouseEvent* event) {
    if (!FTracking) {
        return;
    }
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != FPressed) {
        FPressed = inside;
        update();
    }
}

void TTextSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    if (!FTracking || event->button() != Qt::LeftButton) {
        return;
    }
    FTracking = false;
    FPressed = false;
    update();
    if (!rect().contains(event->position().toPoint())) {
        return;
    }
    if (FGroupIndex != 0) {
        // A down button comes up only when its group allows none down.
        if (!FDown) {
            SetDown(true);
        } else if (FAllowAllUp) {
            SetDown(false);
        }
    }
    Q_EMIT OnClick();
}

void TTextSpeedButton::enterEvent(QEnterEvent* event) {
    FHover = true;
    update();
    QWidget::enterEvent(event);
}

void TTextSpeedButton::leaveEvent(QEvent* event) {
    FHover = false;
    update();
    QWidget::leaveEvent(event);
}

QPoint TTextSpeedButton::TextOrigin(int& angle) const {
    const QFontMetrics fm(PlainFont(font()));
    const int w = fm.horizontalAdvance(FText);
    const int h = fm.height();
    const int cw = width();
    const int ch = height();
    int x = 0;
    int y = 0;
    switch (FRotation) {
        case caTop:
            x = (cw - w) / 2;
            y = (ch - h) / 2;
            angle = 0;
            break;
        case caBottom:
            x = (cw - w) / 2 + w;
            y = (ch - h) / 2 + h;
            angle = 180;
            break;
        case caLeft:
            x = (cw - h) / 2;
            y = (ch - w) / 2 + w;
            angle = -90;
            break;
        case caRight:
            x = (cw - h) / 2 + h;
            y = (ch - w) / 2;
            angle = 90;
            break;
    }
    x = std::max(x, 0);
    y = std::max(y, 0);
    if (ShownDown()) {
        ++x;
        ++y;
    }
    return QPoint(x, y);
}

void TTextSpeedButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette pal = palette();
    const QColor face = ToQColor(clBtnFace);
    QRect r = rect();
    if (FFlat) {
        p.fillRect(r, face);
        if (ShownDown()) {
            Frame3D(p, r, ToQColor(clBtnShadow), ToQColor(clBtnHighlight), 1);
        } else if (FHover && isEnabled()) {
            Frame3D(p, r, ToQColor(clBtnHighlight), ToQColor(clBtnShadow), 1);
        }
    } else {
        qDrawWinButton(&p, r, pal, ShownDown(), nullptr);
        r.adjust(kButtonFrame, kButtonFrame, -kButtonFrame, -kButtonFrame);
        // A button held down in its group shows a lighter face.
        p.fillRect(r, FDown && !FPressed ? ToQColor(cl3DLight) : face);
    }
    int angle = 0;
    const QPoint origin = TextOrigin(angle);
    const QFont f = PlainFont(font());
    p.setClipRect(rect());
    p.setFont(f);
    p.setPen(ToQColor(isEnabled() ? clBtnText : clGrayText));
    p.translate(origin);
    p.rotate(angle);
    p.drawText(QPoint(0, QFontMetrics(f).ascent()), FText);
}

TButtonList::TButtonList(QWidget* parent) : QWidget(parent) {
    setMinimumSize(kMinSize, kMinSize);
    resize(kInitialWidth, kInitialHeight);
}

void TButtonList::SetItems(const QStringList& items) {
    if (FItems == items) {
        return;
    }
    FItems = items;
    Rebuild();
}

void TButtonList::SetButtonAlign(TButtonAlign align) {
    if (FButtonAlign == align) {
        return;
    }
    FButtonAlign = align;
    LayoutButtons();
    update();
}

void TButtonList::SetItemAlign(TCaptionAlign align) {
    if (FItemAlign == align) {
        return;
    }
    FItemAlign = align;
    Rebuild();
}

void TButtonList::SetStyle(TListButtonStyle style) {
    if (FStyle == style) {
        return;
    }
    FStyle = style;
    for (TTextSpeedButton* b : FButtons) {
        b->SetGroupIndex(style == tbsCheck ? kGroup : 0);
    }
}

void TButtonList::SetAllowAllUp(bool allow) {
    if (FAllowAllUp == allow) {
        return;
    }
    FAllowAllUp = allow;
    for (TTextSpeedButton* b : FButtons) {
        b->SetAllowAllUp(allow);
    }
}

void TButtonList::SetFlat(bool flat) {
    if (FFlat == flat) {
        return;
    }
    FFlat = flat;
    for (TTextSpeedButton* b : FButtons) {
        b->SetFlat(flat);
    }
}

void TButtonList::SetItemIndex(int index) {
    if (FStyle != tbsCheck || FItemIndex == index) {
        return;
    }
    if (FItemIndex >= 0 && FItemIndex < ButtonCount() && FAllowAllUp) {
        Button(FItemIndex)->SetDown(false);
    }
    if (index >= 0 && index < ButtonCount()) {
        Button(index)->SetDown(true);
    }
    FItemIndex = index;
}

void TButtonList::Rebuild() {
    // A handler of the old buttons may be running (a press that changes Items), so they go
    // once control returns to the event loop.
    for (TTextSpeedButton* b : FButtons) {
        b->hide();
        b->deleteLater();
    }
    FButtons.clear();
    for (int i = 0; i < static_cast<int>(FItems.size()); ++i) {
        auto* b = new TTextSpeedButton(this);
        b->SetAllowAllUp(FAllowAllUp);
        b->SetFlat(FFlat);
        b->SetGroupIndex(FStyle == tbsCheck ? kGroup : 0);
        b->SetText(FItems[i]);
        b->SetTag(i);
        b->SetRotation(FItemAlign);
        b->SetDown(FStyle == tbsCheck && i == FItemIndex);
        connect(b, &TTextSpeedButton::OnClick, this, [this, b] { ButtonPressed(b); });
        FButtons.push_back(b);
        b->show();
    }
    LayoutButtons();
}

void TButtonList::LayoutButtons() {
    const int n = ButtonCount();
    if (n == 0) {
        return;
    }
    const bool across = FButtonAlign == baHorizontal;
    const int length = std::max(across ? width() : height(), kMinSize);
    const int thickness = std::max(across ? height() : width(), kMinSize);
    const int base = length / n;
    const int rest = length - n * base;
    int pos = 0;
    for (int i = 0; i < n; ++i) {
        int size = base;
        if (i == 0) {
            size += rest / 2;
        }
        if (i == n - 1) {
            size += rest - rest / 2;
        }
        if (across) {
            FButtons[i]->setGeometry(pos, 0, size, thickness);
        } else {
            FButtons[i]->setGeometry(0, pos, thickness, size);
        }
        pos += size;
    }
}

void TButtonList::ButtonPressed(TTextSpeedButton* button) {
    const int index = button->Tag();
    const bool down = button->Down();
    if (FStyle == tbsCheck && index == FItemIndex && down == FLastDown) {
        return;
    }
    FItemIndex = index;
    FLastDown = down;
    Q_EMIT OnClickButton(this, index, down);
}

void TButtonList::resizeEvent(QResizeEvent* event) {
    LayoutButtons();
    QWidget::resizeEvent(event);
}
