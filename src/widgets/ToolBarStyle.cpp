#include "widgets/ToolBarStyle.h"

#include "widgets/ToolIcons.h"

QIcon TToolBarStyle::standardIcon(StandardPixmap pixmap, const QStyleOption* option,
                                  const QWidget* widget) const {
    if (pixmap == SP_ToolBarHorizontalExtensionButton)
        return ToolIcon(TToolIcon::NextYear);
    return QProxyStyle::standardIcon(pixmap, option, widget);
}
