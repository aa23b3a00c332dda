#include "widgets/HtmlHelp.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// Wide enough for the help's largest picture, the window's, without scrolling sideways.
constexpr QSize kHelpSize(1000, 720);

}  // namespace

THtmHelp::THtmHelp() : Opener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

THtmHelp::~THtmHelp() {
    delete window_;
}

QString THtmHelp::HelpFileFor(const QString& executablePath) {
    const QFileInfo info(executablePath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".html"));
}

void THtmHelp::SetFileName(const QString& fileName) {
    fileName_ = fileName;
    enabled_ = QFileInfo(fileName).isFile();
}

void THtmHelp::ShowTopic(QWidget* owner, const QString& topic) {
    if (!enabled_) {
        return;
    }
    if (!window_) {
        window_ = new QWidget(owner, Qt::Window);
        window_->setObjectName(QStringLiteral("HelpWindow"));
        window_->setAttribute(Qt::WA_DeleteOnClose);
        // Closing the diary ends the program even while the help is open.
        window_->setAttribute(Qt::WA_QuitOnClose, false);
        browser_ = new QTextBrowser(window_);
        browser_->setObjectName(QStringLiteral("HelpBrowser"));
        // Every link comes to FollowLink: the browser itself would try to load web pages.
        browser_->setOpenLinks(false);
        QObject::connect(browser_, &QTextBrowser::anchorClicked, window_,
                         [this](const QUrl& url) { FollowLink(url); });
        auto* layout = new QVBoxLayout(window_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser_);
        window_->resize(kHelpSize.boundedTo(window_->screen()->availableSize()));
        browser_->setSource(QUrl::fromLocalFile(fileName_));
        window_->setWindowTitle(browser_->documentTitle());
    }
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        browser_->scrollToAnchor(topic.mid(hash + 1));
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

QTextBrowser* THtmHelp::Browser() const {
    return browser_;
}

void THtmHelp::FollowLink(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("mailto")) {
        if (Opener) {
            Opener(url);
        }
        return;
    }
    // A place within the help itself, as written or as the browser resolves it against the
    // help's own file; links to anything else lead nowhere.
    const bool here = (url.scheme().isEmpty() &&
                       (url.path().isEmpty() || url.path() == QFileInfo(fileName_).fileName())) ||
                      (url.isLocalFile() && QFileInfo(url.toLocalFile()) == QFileInfo(fileName_));
    if (here && url.hasFragment()) {
        browser_->scrollToAnchor(url.fragment());
    }
}
