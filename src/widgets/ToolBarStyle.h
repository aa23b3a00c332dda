#pragma once

#include <QProxyStyle>

// The program's style: the desktop's own, with the tool bars' overflow button drawn like the
// window's tool pictures. The style's picture for it is a PNG file, and the first picture file
// read loads the list of every image format plugin; so no picture file is read on the way to the
// window.
class TToolBarStyle : public QProxyStyle {
    Q_OBJECT
public:
    QIcon standardIcon(StandardPixmap pixmap, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
