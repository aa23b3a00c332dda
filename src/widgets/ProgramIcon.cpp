#include "widgets/ProgramIcon.h"

#include <QGuiApplication>

QIcon ProgramIcon() {
    // The picture is compiled into this static library; a reference keeps it in the program.
    static const bool loaded = [] {
        Q_INIT_RESOURCE(ProgramIcon);
        return true;
    }();
    Q_UNUSED(loaded);
    return QIcon(QStringLiteral(":/velmora/velmora.svg"));
}

void UseProgramIcon() {
    if (QGuiApplication::windowIcon().isNull())
        QGuiApplication::setWindowIcon(ProgramIcon());
}
