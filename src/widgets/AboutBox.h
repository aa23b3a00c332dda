#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class TBevelLabel;

enum TScreenPosition {
    spDefault,
    spFormCenter,
    spScreenCenter,
    spTopLeft,
    spTopRight,
    spBottomLeft,
    spBottomRight
};

// The program's version record: the ten strings, compiled in.
struct TVersionRecord {
    QString CompanyName;
    QString FileDescription;
    QString FileVersion;  // four numbers, major.minor.patch.build
    QString InternalName;
    QString LegalCopyright;
    QString LegalTradeMarks;
    QString OriginalFilename;
    QString ProductName;
    QString ProductVersion;
    QString Comments;  // a backslash and "n" stand for a line break
};

const TVersionRecord& ProgramVersionRecord();

// The about box: the program's picture, description, version, copyright and comments, the web
// and mail buttons and OK.
class TAboutForm : public QDialog {
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* Label1;
    TBevelLabel* Comments;
    QPushButton* OpenWeb;
    QPushButton* MailTo;
    QPushButton* OKButton;
};

// Where the about box goes, from the screen and the main window's bounds.
QPoint AboutFormPosition(TScreenPosition position, const QRect& screen, const QRect& mainWindow,
                         QSize form);

// Reads the version record and shows it in the about box.
class TAboutDialog {
public:
    using TOpener = std::function<bool(const QUrl&)>;

    // Reads the program's own record; Caption becomes the application's display name.
    TAboutDialog();

    // Takes each string of the record that is still empty; in Comments a backslash followed by
    // "n" becomes a line break (CR LF).
    void ReadVersionInfo(const TVersionRecord& record);
    // The file version less its last "." and what follows (2.1.3.45 gives 2.1.3).
    QString ShortVersion() const;
    // ProductName, a line feed and "Version. 2.1.3 (Build 45)".
    QString VersionText() const;

    // The about box filled and placed for the main window, not yet shown.
    std::unique_ptr<TAboutForm> CreateForm(QWidget* mainWindow) const;
    // Shows the about box modally.
    void Execute(QWidget* mainWindow) const;
    void MailToClick() const;
    void OpenWebClick() const;

    QString Caption;
    TScreenPosition Position = spDefault;
    QString CompanyName;
    QString Copyright;
    QString TradeMarks;
    QString ProductName;
    QString Comments;
    QString HomePage;
    QString MoreWEB;
    QString MailAddr;
    QString ButtonCaption;
    // The other strings of the version record.
    QString FileDescription;
    QString FileVersion;
    QString InternalName;
    QString OriginalFilename;
    QString ProductVersion;

    // How an address is handed to the desktop; QDesktopServices::openUrl unless replaced.
    TOpener Opener;
};
