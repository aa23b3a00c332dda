#pragma once

#include <QFont>
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

// Opens the program's help file through the desktop. The help is usable when the file exists
// and the desktop has a way to open documents.
class THtmHelp {
public:
    using TOpener = std::function<bool(const QUrl&)>;

    THtmHelp();

    // The help beside the executable: its path with the extension ".html" in place of its own
    // (".../Velmora" gives ".../Velmora.html"), the pictures in the folder of that name without
    // the extension.
    static QString HelpFileFor(const QString& executablePath);

    const QString& FileName() const { return fileName_; }
    // Stores the path and works out Enabled.
    void SetFileName(const QString& fileName);
    bool Enabled() const { return enabled_; }

    // The help window type and the default topic; the desktop opens the file as a whole, so
    // these are kept for the caller rather than passed on.
    QString WindowName;
    QString IndexFile;
    QFont Font;

    // Opens the help file when the desktop can; owner and topic may be empty. Nothing is
    // reported on failure.
    void ShowTopic(QWidget* owner, const QString& topic) const;

    // The desktop's document opener, looked up once per process.
    static bool ViewerPresent();

    // How a document is handed to the desktop; QDesktopServices::openUrl unless replaced.
    TOpener Opener;

private:
    QString fileName_;
    bool enabled_ = false;
};
