#include "mainwindow/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <functional>
#include <utility>

#include "bridge/TextCodec.h"
#include "calendar/QReki.h"
#include "controls/Diary.h"
#include "mainwindow/BackupRun.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/PageState.h"
#include "mainwindow/RescueCopy.h"
#include "mainwindow/StoreEvents.h"
#include "mainwindow/UserMessage.h"
#include "mainwindow/WindowLayout.h"
#include "mainwindow/WriteSchedule.h"
#include "mainwindow/daykeys/DayKeys.h"
#include "mainwindow/daylists/DayLists.h"
#include "mainwindow/daypage/DayPage.h"
#include "mainwindow/exchange/Exchange.h"
#include "mainwindow/formatting/ClipboardCommands.h"
#include "mainwindow/formatting/Formatting.h"
#include "mainwindow/formatting/TimeKey.h"
#include "mainwindow/help/HelpCommand.h"
#include "mainwindow/movepage/MoveCommand.h"
#include "mainwindow/options/Options.h"
#include "mainwindow/printing/PrintCommands.h"
#include "mainwindow/reminders/Reminders.h"
#include "mainwindow/search/SearchWindow.h"
#include "mainwindow/sync/DiaryWatch.h"
#include "notes/NoteList.h"
#include "settings/IniParam.h"
#include "storage/Clock.h"
#include "storage/MachineState.h"
#include "storage/Report.h"
#include "storage/ScrapList.h"
#include "storage/VelmoraError.h"
#include "widgets/AboutBox.h"
#include "widgets/HtmlHelp.h"

namespace {

// The longest the start's remaining work waits for the first frame.
constexpr int kFirstFrameLatestMs = 1000;

}  // namespace

TForm1::TForm1(TInitParam& params, const QString& executablePath, const QString& helpFile,
               QWidget* parent)
    : QMainWindow(parent),
      params_(params),
      executablePath_(executablePath),
      helpFile_(helpFile.isEmpty() ? THtmHelp::HelpFileFor(executablePath) : helpFile) {
    setObjectName(QStringLiteral("Form1"));
    actions_.Create(this, this);
    AboutDialog1 = std::make_unique<TAboutDialog>();
    diary_ = new TDiary;
    ui_ = std::make_unique<TMainLayout>(this, diary_, actions_);
    backup_ = new TBackupRun(this);
    FormCreate();
}

TForm1::~TForm1() {
    SetMessageSink({});
}

QString TForm1::SiblingPath(const char* extension) const {
    const QFileInfo info(executablePath_);
    return info.dir().filePath(info.completeBaseName() + QLatin1String(extension));
}

std::string TForm1::CorePath(const char* extension) const {
    return QFile::encodeName(SiblingPath(extension)).toStdString();
}

void TForm1::ReportFailure(const std::exception& error) {
    ShowUserMessage(this, FromCp932(error.what()));
}

void TForm1::FormCreate() {
    pageState_ = std::make_unique<TPageState>(*actions_.SaveNowAction, *this);
    const auto updating = pageState_->UpdatingScope();
    if (!AboutDialog1->ProductName.isEmpty())
        QApplication::setApplicationName(AboutDialog1->ProductName);
    // [*] shows the mark of a window with unwritten changes.
    setWindowTitle(QApplication::applicationName() + QStringLiteral(" (v.") +
                   AboutDialog1->ShortVersion() + QStringLiteral(")[*]"));
    SetMessageSink([this](const std::string& text) { ReportCoreMessage(text); });

    const std::string settingsError = params_.Load(CorePath(".ini"));
    if (!settingsError.empty())
        ShowUserMessage(this, FromCp932(settingsError));
    // Said as soon as the window shows, over it, before the user writes a page that could not
    // be kept.
    startNotice_ = FromCp932(FolderWriteProblem(
        QFile::encodeName(QFileInfo(executablePath_).absolutePath()).toStdString()));
    // The window takes its place first, so that a question of the start stands where it will
    // show.
    TWindowLayout::ApplyPlacement(*this, params_);
    // What the end of the last session could not write goes back before the files are read.
    OfferRescues(this, DiaryFolder());

    // A file that cannot be read is reported; the start goes on without it.
    const auto read = [this](const std::function<void()>& load) {
        try {
            load();
        } catch (const VelmoraError& e) {
            ReportFailure(e);
        }
    };
    diary_->SetAutoChange(true);
    read([this] { diary_->SetHolidayFileName(SiblingPath(".hol")); });
    // What this computer last read or wrote of each file, for merging another's version; written
    // once the window is up (TWriteSchedule::ReleaseBases), so the start need not wait for it.
    const std::string stateDir = StateFolder(DiaryFolder());
    const auto openNotes = [&](const char* extension) {
        auto notes = std::make_unique<TNoteList>();
        notes->SetStateDir(stateDir);
        notes->HoldBases();
        read([&] { notes->LoadFromFile(CorePath(extension)); });
        return notes;
    };
    MemoryNotes = openNotes(".mem");
    TodoNotes = openNotes(".tdo");

    Kyureki = std::make_unique<TKyureki>();
    ScrapList_ = std::make_unique<TScrapList>();
    ScrapList_->SetDataDir(DiaryFolder());
    ScrapList_->SetStateDir(stateDir);
    ScrapList_->HoldBases();

    reminders_ =
        std::make_unique<TReminders>(*diary_, *TodoNotes, *MemoryNotes, *pageState_, params_);
    reminders_->FillLists();

    storeEvents_ = std::make_unique<TStoreEvents>(*ScrapList_);
    page_ = std::make_unique<TDayPage>(*diary_, *ScrapList_, *storeEvents_, *pageState_, *Kyureki,
                                       params_);
    connect(page_.get(), &TDayPage::Undoable, actions_.UndoAction, &QAction::setEnabled);
    connect(page_.get(), &TDayPage::Deletable, actions_.DeleteAction, &QAction::setEnabled);
    connect(page_.get(), &TDayPage::YearShown, ui_.get(), &TMainLayout::SetYearCaption);
    connect(page_.get(), &TDayPage::MonthShown, ui_.get(), &TMainLayout::SetMonthCaption);
    writes_ = std::make_unique<TWriteSchedule>(
        *page_, *ScrapList_, std::initializer_list<TNoteList*>{TodoNotes.get(), MemoryNotes.get()},
        *pageState_);
    const TDayPageView& view = page_->View();
    clipboard_ = std::make_unique<TClipboardCommands>(
        view.Body(), QList<QWidget*>{view.Title(), view.News(), view.Private()}, actions_);
    formatting_ = std::make_unique<TFormatting>(view.Body(), actions_, *pageState_, *clipboard_);
    timeKey_ = std::make_unique<TTimeKey>(
        std::initializer_list<QWidget*>{view.Body(), view.News(), view.Private()});
    ui_->PlacePage(formatting_->View().ToolBar(), view.Header(), formatting_->View().Ruler(),
                   view.Sheet());
    dayLists_ = std::make_unique<TDayLists>(*diary_, *ScrapList_, *storeEvents_, params_);
    ui_->PlaceLeftBands(dayLists_->View(), dayLists_->PastYearsButton(), reminders_->View());
    const auto colorFeatures = [this](const std::array<TColor, 7>& colors) {
        reminders_->SetColor(colors[0]);
        dayLists_->SetColor(colors[1]);
        page_->SetColors(colors);
    };
    colorFeatures(ui_->ColorInfo());
    connect(ui_.get(), &TMainLayout::ColorsChanged, this, colorFeatures);
    layout_ =
        std::make_unique<TWindowLayout>(*this, *ui_, page_->View(), *diary_, params_,
                                        [this](const std::exception& e) { ReportFailure(e); });
    layout_->ApplySaved();
    dayKeys_ = std::make_unique<TDayKeys>(this, *diary_, *ScrapList_);
    ui_->ShowKeys(dayKeys_->TodayAction, dayKeys_->PrevMonthAction, dayKeys_->NextMonthAction);
    ui_->InsertMenu(dayKeys_->Menu(), actions_.ToolMenu->menuAction());
    mover_ = std::make_unique<TMoveCommand>(
        this, *diary_, *ScrapList_, [this] { page_->StorePage(ScrapList_->CurrentDate()); },
        [this] { page_->UndoActionExecute(); });
    printing_ = std::make_unique<TPrintCommands>(this, actions_, *ScrapList_, params_);
    exchange_ = std::make_unique<TExchange>(
        this, *ScrapList_, *writes_, *TodoNotes, *MemoryNotes, params_, diary_->Holidays(),
        QFile::encodeName(QFileInfo(executablePath_).completeBaseName()).toStdString());
    ui_->InsertMenu(exchange_->Menu(), actions_.PrintMenu->menuAction());
    options_ = std::make_unique<TOptions>(this, *diary_, params_);
    options_->SetColors(ui_->ColorInfo());
    page_->ApplySettings();
    ConnectFeatures();
    ConnectCommands();
    // Changes a sync service brings while the window is open; a child of the window.
    new TDiaryWatch(*this, executablePath_, stateDir);

    dayLists_->SelectTab(params_.DiaryTab);
    dayLists_->DiaryListChange();

    page_->CalendarChange();
    // Typing right after the start writes today's page.
    view.Body()->setFocus();
}

void TForm1::StartAfterFirstFrame() {
    if (startedAfterFirstFrame_)
        return;
    startedAfterFirstFrame_ = true;
    // The font list is long to build.
    formatting_->ListFonts();
    // Copies the files as this start found them, beside the window's work; a year file written
    // meanwhile goes into the copy whole, old or new.
    BackUpFiles();
    writes_->ReleaseBases();
    Q_EMIT FirstFrameShown();
}

void TForm1::BackUpFiles() {
    const QFileInfo info(executablePath_);
    backup_->Start(QFile::encodeName(info.absolutePath()).toStdString(),
                   QFile::encodeName(info.completeBaseName()).toStdString(), Today());
}

void TForm1::ConnectFeatures() {
    connect(storeEvents_.get(), &TStoreEvents::DateChanged, writes_.get(),
            &TWriteSchedule::UpdateSaveState);
    // Leaving a day puts its page into the store; the year file is written at once.
    connect(diary_, &TDiary::OnChange, this, [this] {
        writes_->WriteAfter([this] { page_->CalendarChange(); });
        reminders_->FillMonthList();
        dayLists_->MonthChanged();
    });
    connect(diary_, &TDiary::OnChangeDate, this, [this](double date) {
        writes_->WriteAfter([this, date] { page_->Diary1ChangeDate(date); });
    });
    connect(page_.get(), &TDayPage::Edited, writes_.get(), &TWriteSchedule::Edited);
    connect(page_.get(), &TDayPage::StateChanged, writes_.get(), &TWriteSchedule::UpdateSaveState);
    // The note files have one writer, which reports a failed write as every other.
    connect(reminders_.get(), &TReminders::NotesChanged, writes_.get(), [this] {
        writes_->WriteAll();
        writes_->UpdateSaveState();
    });
    connect(page_.get(), &TDayPage::Loaded, formatting_.get(), &TFormatting::SelectionChange);
    connect(formatting_.get(), &TFormatting::Formatted, page_.get(), &TDayPage::BodyFormatted);
    connect(options_.get(), &TOptions::Changed, this,
            [this](const TInitParam&, const std::array<TColor, 7>& colors) {
                ui_->SetColors(colors);
                page_->ApplySettings();
                dayLists_->DiaryListChange();
                reminders_->SettingsChanged();
            });
    // What is printed is what the page shows, written as a pause in typing writes it.
    connect(printing_.get(), &TPrintCommands::AboutToPrint, writes_.get(),
            &TWriteSchedule::WriteSoon);
    connect(exchange_.get(), &TExchange::Imported, page_.get(), &TDayPage::UndoActionExecute);
    connect(exchange_.get(), &TExchange::NotesImported, reminders_.get(), &TReminders::FillLists);
}

void TForm1::ConnectCommands() {
    connect(actions_.ExitAction, &QAction::triggered, this, &QWidget::close);
    new THelpCommand(this, actions_.HelpAction, helpFile_);
    connect(actions_.AboutAction, &QAction::triggered, this,
            [this] { AboutDialog1->Execute(this); });
    connect(actions_.SetupAction, &QAction::triggered, options_.get(),
            &TOptions::SetupActionExecute);
    connect(actions_.SaveNowAction, &QAction::triggered, this, &TForm1::DataSaveClick);
    connect(actions_.FindAction, &QAction::triggered, this, [this] { Search().Open(); });
    connect(actions_.MoveAction, &QAction::triggered, this,
            [this] { writes_->WriteAfter([this] { mover_->MoveActionExecute(); }); });
    connect(actions_.UndoAction, &QAction::triggered, this,
            [this] { writes_->WriteAfter([this] { page_->UndoCommand(); }); });
    connect(actions_.DeleteAction, &QAction::triggered, this,
            [this] { writes_->WriteAfter([this] { page_->DeleteBtnClick(); }); });
    connect(ui_.get(), &TMainLayout::TodayClicked, page_.get(), &TDayPage::TodayBtnClick);
    connect(ui_.get(), &TMainLayout::PageStep, page_.get(), &TDayPage::ToolButton11Click);
    connect(ui_.get(), &TMainLayout::MonthMenuRequested, page_.get(), &TDayPage::PopupMonthList);
    connect(reminders_.get(), &TReminders::MonthMenuRequested, page_.get(),
            &TDayPage::PopupMonthList);
    QTextEdit* body = page_->View().Body();
    connect(body, &QWidget::customContextMenuRequested, this, [this, body](const QPoint& pos) {
        actions_.EditPopup->popup(body->viewport()->mapToGlobal(pos));
    });
}

TSearchWindow& TForm1::Search() {
    if (search_)
        return *search_;
    search_ = new TSearchWindow(this, *ScrapList_, params_, [this] {
        page_->StoreInterim();
        writes_->UpdateSaveState();
    });
    connect(search_, &TSearchWindow::DayChosen, this, [this](int32_t date) {
        diary_->SetCalendarDate(date);
        activateWindow();
    });
    return *search_;
}

void TForm1::DataSaveClick() {
    writes_->Save();
    actions_.DeleteAction->setEnabled(ScrapList_->CurrentDate() != 0);
}

void TForm1::ReportCoreMessage(const std::string& text) {
    const QString message = FromCp932(text);
    if (sessionEnded_) {
        // Nobody is left to answer a box at the end of the session.
        qWarning("%s", qUtf8Printable(
                           QString(message).replace(QStringLiteral("\r\n"), QStringLiteral(" "))));
        return;
    }
    if (!writes_ || writes_->Tells(message))
        ShowUserMessage(this, message);
}

bool TForm1::Unsaved() const {
    return writes_->Unsaved();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (sessionEnded_) {
        event->accept();
        return;
    }
    DataSaveClick();
    // A save that failed (a full disk, a folder made read-only) leaves the changes marked as
    // unsaved; closing now would lose them, so the user decides.
    if (Unsaved() && !AskUserYesNo(this,
                                   u"日記を保存できませんでした。\r\n"
                                   u"保存しないで終了しますか?"_qs)) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TForm1::EndSession() {
    if (sessionEnded_)
        return;
    sessionEnded_ = true;
    DataSaveClick();
    if (Unsaved())
        RescueUnwritten(DiaryFolder(), *ScrapList_, {TodoNotes.get(), MemoryNotes.get()});
    FormClose();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!firstFrameWatched_ && windowHandle()) {
        firstFrameWatched_ = true;
        // The first frame is painted while the window's first exposure is handled; the start's
        // remaining work waits until then, and no longer than a moment should the window start
        // minimized or hidden.
        windowHandle()->installEventFilter(this);
        QTimer::singleShot(kFirstFrameLatestMs, this, &TForm1::StartAfterFirstFrame);
    }
    if (startNotice_.isEmpty())
        return;
    // Once the window is on the screen, so the box stands over it.
    QTimer::singleShot(0, this, [this, notice = std::exchange(startNotice_, QString())] {
        ShowUserMessage(this, notice);
    });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched == windowHandle() &&
        windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        QTimer::singleShot(0, this, &TForm1::StartAfterFirstFrame);
    }
    return QMainWindow::eventFilter(watched, event);
}

std::string TForm1::DiaryFolder() const {
    return QFile::encodeName(QFileInfo(executablePath_).absolutePath() + QLatin1Char('/'))
        .toStdString();
}

void TForm1::ShowFromOtherStart() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void TForm1::FormClose() {
    // The program ends once the window is closed: the day's copies are made whole first, also
    // when the window closes before its first frame.
    if (!startedAfterFirstFrame_) {
        startedAfterFirstFrame_ = true;
        BackUpFiles();
    }
    backup_->Finish();
    writes_->ReleaseBases();
    layout_->Store();
    params_.DiaryTab = dayLists_->Tab();
}
