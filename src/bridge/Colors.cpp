#include "bridge/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

QColor SystemColor(unsigned index) {
    const QPalette pal = QGuiApplication::palette();
    switch (index) {
        case 1:   // desktop background
        case 12:  // application work space
            return pal.color(QPalette::Mid);
        case 2:  // active caption
        case 13:
            return pal.color(QPalette::Highlight);
        case 3:  // inactive caption
            return pal.color(QPalette::Inactive, QPalette::Highlight);
        case 6:  // window frame
        case 21:
            return pal.color(QPalette::Shadow);
        case 7:
        case 8:
            return pal.color(QPalette::WindowText);
        case 9:
        case 14:
            return pal.color(QPalette::HighlightedText);
        case 19:
            return pal.color(QPalette::Inactive, QPalette::HighlightedText);
        case 0:  // scroll bar
        case 4:  // menu
        case 10:
        case 11:
        case 15:
            return pal.color(QPalette::Button);
        case 16:  // button shadow: the dark grey edge of a raised face
            return pal.color(QPalette::Dark);
        case 17:
            return pal.color(QPalette::Disabled, QPalette::Text);
        case 18:
            return pal.color(QPalette::ButtonText);
        case 20:
            return pal.color(QPalette::Light);
        case 22:
            return pal.color(QPalette::Midlight);
        case 23:
            return pal.color(QPalette::ToolTipText);
        case 24:
            return pal.color(QPalette::ToolTipBase);
        default:  // 5: window
            return pal.color(QPalette::Base);
    }
}

}  // namespace

QColor ToQColor(TColor c) {
    if (IsSystemColor(c)) {
        return SystemColor(c & 0xFF);
    }
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

TColor FromQColor(const QColor& c) {
    return static_cast<TColor>(c.red()) | static_cast<TColor>(c.green()) << 8 |
           static_cast<TColor>(c.blue()) << 16;
}
