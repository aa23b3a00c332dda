#include "widgets/HtmlHelp.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QStandardPaths>

THtmHelp::THtmHelp() : Opener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

void THtmHelp::SetFileName(const QString& fileName) {
    fileName_ = fileName;
    enabled_ = QFileInfo(fileName).isFile() && ViewerPresent();
}

void THtmHelp::ShowTopic(QWidget*, const QString&) const {
    if (ViewerPresent() && Opener) {
        Opener(QUrl::fromLocalFile(fileName_));
    }
}

bool THtmHelp::ViewerPresent() {
    static const bool present =
        !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
    return present;
}
