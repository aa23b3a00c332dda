#include "widgets/HtmlHelp.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

THtmHelp::THtmHelp() : Opener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

QString THtmHelp::HelpFileFor(const QString& executablePath) {
    const QFileInfo info(executablePath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".html"));
}

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
