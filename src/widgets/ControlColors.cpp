#include "widgets/ControlColors.h"

#include <QPalette>
#include <QWidget>

void SetControlColor(QWidget* control, TColor color) {
    QPalette pal = control->palette();
    const QColor c = ToQColor(color);
    pal.setColor(QPalette::Base, c);
    pal.setColor(QPalette::Window, c);
    control->setPalette(pal);
    control->setAutoFillBackground(true);
}

void SetTextColor(QWidget* control, TColor color) {
    QPalette pal = control->palette();
    pal.setColor(QPalette::Text, ToQColor(color));
    pal.setColor(QPalette::WindowText, ToQColor(color));
    control->setPalette(pal);
}
