#pragma once

#include <QFont>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>

class QTextBrowser;
class QWidget;

// Shows the program's help file in a help window of its own, which needs nothing outside the
// program: links within the help move to their place, pictures beside it show, and only web and
// mail addresses leave it, handed to the desktop.
class THtmHelp {
public:
    using TOpener = std::function<bool(const QUrl&)>;

    THtmHelp();
    ~THtmHelp();
    THtmHelp(const THtmHelp&) = delete;
    THtmHelp& operator=(const THtmHelp&) = delete;

    // The help beside the executable: its path with the extension ".html" in place of its own
    // (".../Velmora" gives ".../Velmora.html"), the pictures in the folder of that name without
    // the extension.
    static QString HelpFileFor(const QString& executablePath);

    const QString& FileName() const { return fileName_; }
    // Stores the path and works out Enabled.
    void SetFileName(const QString& fileName);
    // True when the help file exists.
    bool Enabled() const { return enabled_; }

    // The help window type and the default topic; the help is one page, so these are kept for
    // the caller rather than used.
    QString WindowName;
    QString IndexFile;
    QFont Font;

    // Shows the help window over owner (which then owns it), or raises it when it is open, at
    // the place "#name" in topic names, otherwise at the top. Nothing happens without the file.
    void ShowTopic(QWidget* owner, const QString& topic);

    // The open help window's browser; null when none is open.
    QTextBrowser* Browser() const;

    // How a web or mail address of the help is handed to the desktop; QDesktopServices::openUrl
    // unless replaced.
    TOpener Opener;

private:
    void FollowLink(const QUrl& url);

    QString fileName_;
    bool enabled_ = false;
    QPointer<QWidget> window_;
    QPointer<QTextBrowser> browser_;
};
