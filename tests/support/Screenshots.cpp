#include "support/Screenshots.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

bool SavePng(QWidget* widget, const QString& name) {
    const QString folder = QStringLiteral(VELMORA_PNG_DIR);
    return QDir().mkpath(folder) && widget->grab().save(folder + QLatin1Char('/') + name);
}
