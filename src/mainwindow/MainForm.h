#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>

#include "mainwindow/MainActions.h"

class TBackupRun;
class TAboutDialog;
class TClipboardCommands;
class TFormatting;
class TOptions;
class TPrintCommands;
class TTimeKey;
class TDayKeys;
class TDayLists;
class TExchange;
class TMoveCommand;
class TSearchWindow;
class TDayPage;
class TPageState;
class TReminders;
class TStoreEvents;
class TDiary;
class TInitParam;
class TKyureki;
class TMainLayout;
class TWindowLayout;
class TWriteSchedule;
class TNoteList;
class TScrapList;
struct TDataInfo;

// The program's one long-lived window and the owner of every long-lived object: the day store,
// the two note lists and the lunisolar calculator. The diary's files are named after the path the
// window is given (".../Velmora" in the diary folder): the settings (.ini), holidays (.hol),
// anniversary notes (.mem), reminder notes (.tdo) and the year files in its folder. The help is
// helpFile, by default the .html of that path.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // params is the process-wide settings record: it outlives the window and is written after
    // the window has closed.
    TForm1(TInitParam& params, const QString& executablePath, const QString& helpFile = {},
           QWidget* parent = nullptr);
    ~TForm1() override;

    // The explicit save: the page into the store, the year file and changed note lists to disk.
    void DataSaveClick();
    // The end of the desktop session or a request to terminate: everything is stored and
    // written as a close does, without asking; what cannot be written goes to a rescue copy
    // (RescueUnwritten). The window closes without a question after it. The caller quits the
    // program.
    void EndSession();
    // Another start on this folder asked for the window.
    void ShowFromOtherStart();

    TMainLayout& Ui() { return *ui_; }
    TWindowLayout& Layout() { return *layout_; }
    TWriteSchedule& Writes() { return *writes_; }
    TMainActions& Actions() { return actions_; }
    TDayPage& Page() { return *page_; }
    TDayLists& DayLists() { return *dayLists_; }
    TDayKeys& DayKeys() { return *dayKeys_; }
    // Built when first asked for: the start does not wait for a window it does not show.
    TSearchWindow& Search();
    TMoveCommand& Mover() { return *mover_; }
    TReminders& Reminders() { return *reminders_; }
    TNoteList& TodoList() { return *TodoNotes; }
    TNoteList& MemoryList() { return *MemoryNotes; }
    TFormatting& Formatting() { return *formatting_; }
    TClipboardCommands& Clipboard() { return *clipboard_; }
    TTimeKey& TimeKey() { return *timeKey_; }
    TPrintCommands& Printing() { return *printing_; }
    TExchange& Exchange() { return *exchange_; }
    TOptions& Options() { return *options_; }
    TStoreEvents& StoreEvents() { return *storeEvents_; }
    TPageState& PageState() { return *pageState_; }
    TDiary& Diary1() { return *diary_; }
    TScrapList& ScrapList() { return *ScrapList_; }
    TAboutDialog& About() { return *AboutDialog1; }
    TBackupRun& Backup() { return *backup_; }

Q_SIGNALS:
    // The first frame of the window is on the screen; what the start put off runs now.
    void FirstFrameShown();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    // What the first frame does not need: the font list, today's copies, the merge bases.
    void StartAfterFirstFrame();
    // Today's copies of the diary's files into backup/ beside the executable.
    void BackUpFiles();
    void FormClose();
    QString SiblingPath(const char* extension) const;
    // The folder of the diary's files, ending with a separator.
    std::string DiaryFolder() const;
    std::string CorePath(const char* extension) const;
    void ReportFailure(const std::exception& error);
    bool Unsaved() const;
    void ReportCoreMessage(const std::string& text);
    void ConnectCommands();
    void ConnectFeatures();

    bool sessionEnded_ = false;
    bool firstFrameWatched_ = false;
    bool startedAfterFirstFrame_ = false;
    // A warning of the start that waits for the window to show.
    QString startNotice_;

    TInitParam& params_;
    QString executablePath_;
    QString helpFile_;
    TMainActions actions_;
    TDiary* diary_ = nullptr;
    std::unique_ptr<TMainLayout> ui_;
    std::unique_ptr<TWindowLayout> layout_;
    std::unique_ptr<TAboutDialog> AboutDialog1;

    std::unique_ptr<TNoteList> MemoryNotes;
    std::unique_ptr<TNoteList> TodoNotes;
    std::unique_ptr<TKyureki> Kyureki;
    std::unique_ptr<TScrapList> ScrapList_;
    // The features and what they share; they go before the store they listen to.
    std::unique_ptr<TStoreEvents> storeEvents_;
    std::unique_ptr<TPageState> pageState_;
    std::unique_ptr<TDayPage> page_;
    std::unique_ptr<TWriteSchedule> writes_;
    std::unique_ptr<TDayLists> dayLists_;
    std::unique_ptr<TDayKeys> dayKeys_;
    std::unique_ptr<TMoveCommand> mover_;
    // A window of its own, owned by this one as its Qt parent; null until first used.
    TSearchWindow* search_ = nullptr;
    // Today's copies of the files, made beside the window's work; a Qt child.
    TBackupRun* backup_ = nullptr;
    std::unique_ptr<TReminders> reminders_;
    std::unique_ptr<TClipboardCommands> clipboard_;
    std::unique_ptr<TFormatting> formatting_;
    std::unique_ptr<TTimeKey> timeKey_;
    std::unique_ptr<TPrintCommands> printing_;
    std::unique_ptr<TExchange> exchange_;
    std::unique_ptr<TOptions> options_;
};
