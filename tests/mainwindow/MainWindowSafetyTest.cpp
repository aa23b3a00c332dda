#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <csignal>
#include <optional>

#include "MainWindowTest.h"
#include "bridge/TextCodec.h"
#include "mainwindow/QuitSignals.h"
#include "mainwindow/SingleInstance.h"
#include "mainwindow/WriteSchedule.h"
#include "mainwindow/sync/DiaryWatch.h"
#include "notes/NoteList.h"
#include "richtext/RtfReader.h"
#include "storage/Cp932.h"
#include "storage/Report.h"
#include "storage/YearFile.h"
#include "support/PageRun.h"
#include "support/ScopedUnprivileged.h"
#include "widgets/WeatherIcons.h"

namespace {

// Points $XDG_RUNTIME_DIR at a private folder of its own while it lives, so that the sockets of
// a test are its own and go with it.
class ScopedRuntimeDir {
public:
    ScopedRuntimeDir() : old_(qgetenv("XDG_RUNTIME_DIR")) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_.path()));
    }
    ~ScopedRuntimeDir() {
        if (old_.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", old_);
    }
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QByteArray old_;
};

// What a QLockFile writes: process number, program and computer, a line each.
QByteArray LockContents(qint64 pid, const QString& host) {
    return QByteArray::number(pid) + '\n' + QCoreApplication::applicationName().toUtf8() + '\n' +
           host.toUtf8() + '\n';
}

// The process number a lock file names on its first line.
qint64 LockPid(const QString& path) {
    QFile lock(path);
    return lock.open(QIODevice::ReadOnly) ? lock.readLine().trimmed().toLongLong() : 0;
}

TDataInfo Record(int32_t date, const QString& title, int weather = -1) {
    TDataInfo rec;
    rec.Date = date;
    rec.Title = ToCp932(title);
    rec.Weather = weather;
    return rec;
}

// What an input method shows while the user is still choosing the characters: it is drawn in
// the editor but is not part of its text.
void Compose(QWidget* editor, const QString& text) {
    editor->setFocus();
    QInputMethodEvent preedit(text, {});
    QApplication::sendEvent(editor, &preedit);
}

QString AllTexts(const TDataInfo& rec) {
    return FromCp932(rec.Title + rec.Text.Text() + rec.News + rec.Private);
}

}  // namespace

namespace {

// The year file as another computer's copy of the program leaves it: written whole and renamed
// over the old one, as sync services put files in place.
void WriteAsTheOtherComputer(const TWindowRun& run, int year, const std::vector<TDataInfo>& days) {
    std::vector<const TDataInfo*> records;
    for (const TDataInfo& rec : days)
        records.push_back(&rec);
    run.Put(QStringLiteral("%1.dat").arg(year), YearFileText(records));
}

TDataInfo Page(int32_t date, const QString& title, const QString& text) {
    TDataInfo rec = Record(date, title);
    rec.Text = ToCp932(text);
    return rec;
}

QStringList RowTexts(QTreeWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(0) + list->topLevelItem(i)->text(1);
    return texts;
}

}  // namespace

// A change another computer makes while the window is open shows without a restart: the store,
// the grid's marks, the day list and, since the user is not editing it, the page.
void TMainWindowTest::otherComputersChangeShowsAtOnce_data() {
    QTest::addColumn<bool>("byTheClock");
    QTest::newRow("watch") << false;
    QTest::newRow("by itself") << true;
}

void TMainWindowTest::otherComputersChangeShowsAtOnce() {
    QFETCH(bool, byTheClock);
    const int32_t day = EncodeDate(2026, 12, 8);
    SetTodayForTesting(day);
    TWindowRun run;
    SeedRecord(run, Page(day, u"朝"_qs, u"こちらで書いた"_qs));
    SeedRecord(run, Page(day - 1, u"昨日"_qs, u"前の日"_qs));
    TForm1& form = run.Start();
    const TWindowWidgets ui = Widgets(form);
    auto* watch = form.findChild<TDiaryWatch*>();
    QVERIFY(watch);
    QCOMPARE(ui.DiaryMemo->toPlainText(), u"こちらで書いた"_qs);
    QCOMPARE(form.Page().Diary1EventDefine(day + 1), uint8_t{0});

    // There: today's page rewritten, a page for tomorrow, yesterday's deleted; a new reminder.
    WriteAsTheOtherComputer(
        run, 2026,
        {Page(day, u"朝"_qs, u"向こうで書き直した"_qs), Page(day + 1, u"明日"_qs, u"予定"_qs)});
    TNoteRec note;
    note.MonthRule = 12;
    note.DayRule = 24;
    note.StartYear = 2026;
    note.Title = ToCp932(u"年賀状"_qs);
    run.Put(u"Velmora.tdo"_qs, NoteLine(note) + "\r\n");
    if (byTheClock)
        QTRY_COMPARE_WITH_TIMEOUT(ui.DiaryMemo->toPlainText(), u"向こうで書き直した"_qs, 5000);
    else
        watch->Check();
    QTRY_COMPARE(ui.DiaryMemo->toPlainText(), u"向こうで書き直した"_qs);
    QCOMPARE(FromCp932(form.ScrapList().FindByDate(day + 1).Text.Text()), u"予定"_qs);
    QCOMPARE(form.ScrapList().FindByDate(day - 1).Date, 0);
    QVERIFY(form.Page().Diary1EventDefine(day + 1) != 0);
    QCOMPARE(form.Page().Diary1EventDefine(day - 1), uint8_t{0});
    QTRY_VERIFY(RowTexts(ui.ShownTodoList()).join(u' ').contains(u"年賀状"_qs));
    QCOMPARE(RowTexts(ui.ListView1),
             (QStringList{u"12月 8日向こうで書き直した"_qs, u"12月 9日予定"_qs}));
    // Taking the other's version in leaves nothing to write and asks nothing.
    QVERIFY(!form.isWindowModified());
    QVERIFY(watch->Pending().empty());
    QVERIFY(run.Messages.isEmpty());
    QVERIFY(!watch->Dialog());
}

// The user is writing a page the other computer changed too: the page stays as the user has it,
// the other's version waits beside it (across a quit), and the dialog shows both until the user
// chooses; no choice loses what it keeps.
void TMainWindowTest::unsavedPageMeetsTheOtherComputersChange_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QStringList>("gone");
    QTest::newRow("ours") << int(TConflictChoice::Ours) << QStringList{u"こちらの追記"_qs}
                          << QStringList{u"向こうの追記"_qs};
    QTest::newRow("theirs") << int(TConflictChoice::Theirs) << QStringList{u"向こうの追記"_qs}
                            << QStringList{u"こちらの追記"_qs};
    QTest::newRow("both") << int(TConflictChoice::Both)
                          << QStringList{u"こちらの追記"_qs,
                                         u"──── 別のコンピューターの版 (2026.dat"_qs,
                                         u"向こうの追記"_qs}
                          << QStringList{};
    QTest::newRow("later, after a restart")
        << -1 << QStringList{u"こちらの追記"_qs} << QStringList{};
}

void TMainWindowTest::unsavedPageMeetsTheOtherComputersChange() {
    QFETCH(int, choice);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, gone);
    const int32_t day = EncodeDate(2026, 12, 8);
    SetTodayForTesting(day);
    TWindowRun run;
    SeedRecord(run, Page(day, u"朝"_qs, u"元の本文"_qs));
    TForm1* form = &run.Start();
    TypeText(Widgets(*form).DiaryMemo, u"こちらの追記"_qs);
    QVERIFY(form->isWindowModified());
    WriteAsTheOtherComputer(
        run, 2026,
        {Page(day, u"朝"_qs, u"元の本文向こうの追記"_qs), Page(day + 1, u"明日"_qs, u"予定"_qs)});
    auto* watch = form->findChild<TDiaryWatch*>();
    watch->Check();
    // The user's page is written and still shown; the other's other day is taken.
    QCOMPARE(Widgets(*form).DiaryMemo->toPlainText(), u"こちらの追記元の本文"_qs);
    QCOMPARE(FromCp932(StoredRecord(run, 2026, day).Text.Text()), u"こちらの追記元の本文"_qs);
    QCOMPARE(FromCp932(StoredRecord(run, 2026, day + 1).Text.Text()), u"予定"_qs);
    QCOMPARE(watch->Pending().size(), size_t{1});
    QTRY_VERIFY(watch->Dialog() && watch->Dialog()->isVisible());
    auto* theirs = watch->Dialog()->findChild<QPlainTextEdit*>(QStringLiteral("Theirs"));
    auto* ours = watch->Dialog()->findChild<QPlainTextEdit*>(QStringLiteral("Ours"));
    QVERIFY(theirs->toPlainText().contains(u"元の本文向こうの追記"_qs));
    QVERIFY(ours->toPlainText().contains(u"こちらの追記元の本文"_qs));

    if (choice < 0) {
        // Undecided at the quit: the next start asks again, with the other's version intact.
        QVERIFY(run.Stop());
        form = &run.Start();
        watch = form->findChild<TDiaryWatch*>();
        QCOMPARE(watch->Pending().size(), size_t{1});
        QTRY_VERIFY(watch->Dialog() && watch->Dialog()->isVisible());
        QVERIFY(watch->Dialog()
                    ->findChild<QPlainTextEdit*>(QStringLiteral("Theirs"))
                    ->toPlainText()
                    .contains(u"元の本文向こうの追記"_qs));
    } else {
        watch->Choose(0, static_cast<TConflictChoice>(choice));
        QVERIFY(watch->Pending().empty());
        QTRY_VERIFY(!watch->Dialog());
    }
    const QString page = Widgets(*form).DiaryMemo->toPlainText();
    const QString stored = FromCp932(StoredRecord(run, 2026, day).Text.Text());
    for (const QString& text : kept) {
        QVERIFY2(page.contains(text), qPrintable(page));
        QVERIFY2(stored.contains(text), qPrintable(stored));
    }
    for (const QString& text : gone)
        QVERIFY2(!stored.contains(text), qPrintable(stored));
    QVERIFY(!form->isWindowModified());
    QVERIFY(run.Messages.isEmpty());
}

// Syncthing's way with two versions written at once: the other computer's takes the file's name
// and this computer's own becomes the conflict copy. Both arrive while the window is open; every
// day of either ends in the file, and the copy goes aside.
void TMainWindowTest::conflictCopyWhileRunningLosesNoDay() {
    const int32_t day = EncodeDate(2026, 12, 8);
    SetTodayForTesting(day);
    TWindowRun run;
    SeedRecord(run, Page(day - 1, u"昨日"_qs, u"前の日"_qs));
    TForm1& form = run.Start();
    TypeText(Widgets(form).DiaryMemo, u"今日のこちら"_qs);
    form.Writes().WriteSoon();
    const std::string ours = run.Read(u"2026.dat"_qs);
    const QString copy = u"2026.sync-conflict-20261208-101500-ABCDEFG.dat"_qs;
    QVERIFY(QFile::rename(run.Path(u"2026.dat"_qs), run.Path(copy)));
    WriteAsTheOtherComputer(
        run, 2026,
        {Page(day - 1, u"昨日"_qs, u"前の日"_qs), Page(day + 1, u"明日"_qs, u"向こうの予定"_qs)});
    form.findChild<TDiaryWatch*>()->Check();
    QTRY_COMPARE(Widgets(form).DiaryMemo->toPlainText(), u"今日のこちら"_qs);
    for (const int32_t date : {day - 1, day, day + 1}) {
        QVERIFY(form.ScrapList().FindByDate(date).Date == date);
        QVERIFY(StoredRecord(run, 2026, date).Date == date);
    }
    QVERIFY(!QFile::exists(run.Path(copy)));
    QCOMPARE(run.Read(QDir(run.Folder())
                          .relativeFilePath(QDir(run.Folder() + u"/backup"_qs)
                                                .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)
                                                .first()
                                                .filePath() +
                                            u"/conflicts/"_qs + copy)),
             ours);
    QVERIFY(form.findChild<TDiaryWatch*>()->Pending().empty());
    QVERIFY(!form.isWindowModified());
}

void TMainWindowTest::pageBeingWrittenReachesDiskWithoutMovingUndo() {
    const int32_t day = EncodeDate(2026, 4, 1);
    SetTodayForTesting(day);
    TWindowRun run;
    SeedRecord(run, Record(day, u"元の題"_qs, 3));
    TForm1& form = run.Start();
    const TWindowWidgets ui = Widgets(form);
    QAction* save = form.Actions().SaveNowAction;
    QAction* undo = form.Actions().UndoAction;
    QVERIFY(!save->isEnabled());
    QVERIFY(!form.isWindowModified());
    QVERIFY(form.windowTitle().endsWith(u"[*]"_qs));

    TypeText(ui.Comment, u"に追記"_qs);
    QVERIFY(save->isEnabled());
    QCOMPARE(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));

    QVERIFY(form.isWindowModified());

    // The write of a page being written puts it on disk and leaves undo where it was.
    form.Writes().WriteSoon();
    QCOMPARE(FromCp932(StoredRecord(run, 2026, day).Title), u"元の題に追記"_qs);
    QVERIFY(!save->isEnabled());
    QVERIFY(!form.isWindowModified());
    QVERIFY(undo->isEnabled());
    QCOMPARE(ui.Comment->text(), u"元の題に追記"_qs);

    // Undo asks; No keeps the page as it is.
    run.AnswerYes = false;
    undo->trigger();
    QCOMPARE(run.Questions.size(), 1);
    QCOMPARE(ui.Comment->text(), u"元の題に追記"_qs);
    // Yes brings back the page as it was loaded, in the window and on disk.
    run.AnswerYes = true;
    undo->trigger();
    QCOMPARE(run.Questions.size(), 2);
    QCOMPARE(ui.Comment->text(), u"元の題"_qs);
    QVERIFY(!undo->isEnabled());
    QCOMPARE(FromCp932(StoredRecord(run, 2026, day).Title), u"元の題"_qs);
    QCOMPARE(StoredRecord(run, 2026, day).Weather, 3);
    QVERIFY(!form.isWindowModified());

    // A day without a page: undone after a write, it has no page on disk again.
    ClickDay(form.Diary1(), day + 1);
    TypeText(ui.DiaryMemo, u"新しい日"_qs);
    form.Writes().WriteSoon();
    QCOMPARE(FromCp932(StoredRecord(run, 2026, day + 1).Text.Text()), u"新しい日"_qs);
    QVERIFY(form.Actions().DeleteAction->isEnabled());
    undo->trigger();
    QVERIFY(ui.DiaryMemo->toPlainText().isEmpty());
    QCOMPARE(StoredRecord(run, 2026, day + 1).Date, 0);
    QCOMPARE(run.Questions.size(), 3);

    // Ctrl+S from an editor saves at once.
    TypeText(ui.Comment, u"保存キー"_qs);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(ui.Comment, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(FromCp932(StoredRecord(run, 2026, day + 1).Title), u"保存キー"_qs);
    QVERIFY(!save->isEnabled());
    QVERIFY(!form.isWindowModified());
    QVERIFY(run.Messages.isEmpty());
}

void TMainWindowTest::blankedPageIsNotDeletedBehindTheUser() {
    const int32_t day = EncodeDate(2026, 4, 2);
    SetTodayForTesting(day);
    TWindowRun run;
    SeedRecord(run, Record(day, u"残す"_qs));
    TForm1& form = run.Start();
    Widgets(form).Comment->clear();
    QVERIFY(form.isWindowModified());
    form.Writes().WriteSoon();
    // Still on disk, and still marked as not written: only leaving the day deletes it.
    QCOMPARE(FromCp932(StoredRecord(run, 2026, day).Title), u"残す"_qs);
    QVERIFY(form.isWindowModified());
    QVERIFY(form.Actions().SaveNowAction->isEnabled());
    ClickDay(form.Diary1(), day + 1);
    QCOMPARE(StoredRecord(run, 2026, day).Date, 0);
    QVERIFY(!form.isWindowModified());
}

void TMainWindowTest::damagedBytesShowAsReplacementsAndStay_data() {
    QTest::addColumn<QString>("editor");
    QTest::newRow("the body") << u"DiaryMemo"_qs;
    QTest::newRow("the title itself") << u"Comment"_qs;
    QTest::newRow("the news memo") << u"NewsMemo"_qs;
    QTest::newRow("the private memo") << u"PrivMemo"_qs;
}

// Bytes that are no CP932 (a damaged file) show as U+FFFD, and the page written back keeps each
// of them where it was: in the fields the user did not touch and in the one typed into.
void TMainWindowTest::damagedBytesShowAsReplacementsAndStay() {
    QFETCH(QString, editor);
    const int32_t day = EncodeDate(2026, 4, 3);
    SetTodayForTesting(day);
    TWindowRun run;
    TDataInfo rec = Record(day, {});
    rec.Title = Sjis("題") + "\x82 end";  // a lead byte without its second byte
    rec.Private = "memo\xFF";
    rec.News = "\x80news\r\n\xA0";
    SeedRecord(run, rec);
    TForm1& form = run.Start();
    const TWindowWidgets ui = Widgets(form);
    QCOMPARE(ui.Comment->text(), u"題\uFFFD end"_qs);
    QCOMPARE(ui.PrivMemo->toPlainText(), u"memo\uFFFD"_qs);
    QCOMPARE(ui.NewsMemo->toPlainText(), u"\uFFFDnews\n\uFFFD"_qs);

    TypeText(form.findChild<QWidget*>(editor), u"追記"_qs);
    form.Writes().WriteSoon();
    const TDataInfo stored = StoredRecord(run, 2026, day);
    const std::string added = Sjis("追記");
    const auto expect = [&](const QString& name, const std::string& field,
                            const std::string& before) {
        if (name != editor) {
            QCOMPARE(field, before);
        } else {
            QCOMPARE(field.size(), before.size() + added.size());
            QVERIFY(field.find(added) != std::string::npos);
        }
    };
    expect(u"Comment"_qs, stored.Title, rec.Title);
    expect(u"PrivMemo"_qs, stored.Private, rec.Private);
    expect(u"NewsMemo"_qs, stored.News, rec.News);
    QCOMPARE(stored.Text, editor == u"DiaryMemo"_qs ? added : std::string());
    // The file holds the damaged byte itself, as it did, not an escape other readers show.
    std::string file;
    QVERIFY(ReadWholeFile(run.CorePath(u"2026.dat"_qs), file));
    QVERIFY(file.find(Sjis("題") + "\x82 end") != std::string::npos);
    QVERIFY(run.Messages.isEmpty());
}

void TMainWindowTest::pausesAndSavesWriteThePage() {
    const int32_t day = EncodeDate(2026, 4, 1);
    TPageRun run;
    run.Open(day);
    const QTimer& pause = run.writes.Timer();
    const QTimer& deadline = run.writes.Deadline();
    QLineEdit* title = run.page.View().Title();
    title->setText(u"一"_qs);
    QVERIFY(run.state.Unwritten());
    QVERIFY(pause.isActive() && deadline.isActive());
    QCOMPARE(pause.interval(), 5000);
    QCOMPARE(deadline.interval(), 30000);
    // Steady typing starts the pause again at every edit, but not the deadline of the first.
    QTest::qWait(1500);
    title->setText(u"一二"_qs);
    QVERIFY(pause.remainingTime() > 4000);
    QVERIFY2(deadline.remainingTime() < 29300,
             qPrintable(QString::number(deadline.remainingTime())));
    // Either timer writes the page; the other stops with it.
    QMetaObject::invokeMethod(const_cast<QTimer*>(&deadline), "timeout");
    QCOMPARE(FromCp932(run.Stored(day).Title), u"一二"_qs);
    QVERIFY(!pause.isActive() && !deadline.isActive());
    QVERIFY(!run.writes.Unwritten());
    QVERIFY(!run.state.Unwritten());

    title->setText(u"一二三"_qs);
    QMetaObject::invokeMethod(const_cast<QTimer*>(&pause), "timeout");
    QCOMPARE(FromCp932(run.Stored(day).Title), u"一二三"_qs);
    QVERIFY(!deadline.isActive());

    // A save leaves nothing unwritten: the page, the year file and the note lists.
    title->setText(u"保存"_qs);
    run.page.OnWeatherChange(4);
    run.todo.LoadFromFile(run.File("Velmora.tdo"));
    run.todo.SetModified(true);
    run.writes.Save();
    QVERIFY(!run.writes.Unwritten());
    QVERIFY(!run.state.Unwritten());
    QVERIFY(!pause.isActive() && !deadline.isActive());
    QCOMPARE(run.Stored(day).Weather, 4);
    QVERIFY(QFile::exists(QString::fromStdString(run.File("Velmora.tdo"))));
}

void TMainWindowTest::failedWriteToldOnceUntilAllWritten_data() {
    QTest::addColumn<bool>("saving");  // the save command instead of leaving the day
    QTest::addColumn<int>("told");
    QTest::newRow("leaving days: once") << false << 1;
    QTest::newRow("save command: every time") << true << 3;
}

void TMainWindowTest::failedWriteToldOnceUntilAllWritten() {
    QFETCH(bool, saving);
    QFETCH(int, told);
    const int32_t day = EncodeDate(2026, 7, 7);
    TPageRun run;
    QStringList messages;
    SetMessageSink([&run, &messages](const std::string& text) {
        if (run.writes.Tells(FromCp932(text)))
            messages << FromCp932(text);
    });
    run.Open(day);
    const std::string folder = run.Dir();
    const auto write = [&](int i) {
        run.page.View().Title()->setText(QStringLiteral("七夕 %1").arg(i));
        if (saving)
            run.writes.Save();
        else
            run.Leave(day + i + 1);
    };
    {
        ScopedUnprivileged asUser(folder);
        QVERIFY(::chmod(folder.c_str(), 0555) == 0);
        for (int i = 0; i < 3; ++i)
            write(i);
        QVERIFY(::chmod(folder.c_str(), 0755) == 0);
    }
    QCOMPARE(messages.size(), told);
    QVERIFY(run.writes.Unwritten());
    QVERIFY(run.state.Unwritten());
    // Once the folder can be written again, the next write takes every page.
    run.Leave(day);
    QVERIFY(!run.writes.Unwritten());
    QVERIFY(!run.state.Unwritten());
    // Saving stays on the day: its last title stands.
    for (int i = saving ? 2 : 0; i < 3; ++i)
        QCOMPARE(FromCp932(run.Stored(saving ? day : day + i).Title),
                 QStringLiteral("七夕 %1").arg(i));
    QCOMPARE(messages.size(), told);
    // With everything written, the same failure is told again.
    {
        ScopedUnprivileged asUser(folder);
        QVERIFY(::chmod(folder.c_str(), 0555) == 0);
        write(5);
        QVERIFY(::chmod(folder.c_str(), 0755) == 0);
    }
    QCOMPARE(messages.size(), told + 1);
    SetMessageSink({});
}

void TMainWindowTest::unwritableFolderIsReportedAtStart() {
    SetTodayForTesting(EncodeDate(2026, 7, 8));
    TWindowRun run;
    // The warning stands over the window, which is on the screen by then.
    bool overShownWindow = false;
    SetUserMessageHook([&run, &overShownWindow](const QString& text) {
        run.Messages << text;
        for (QWidget* top : QApplication::topLevelWidgets())
            overShownWindow = overShownWindow || (qobject_cast<TForm1*>(top) && top->isVisible());
    });
    const std::string folder = QFile::encodeName(run.Folder()).toStdString();
    ScopedUnprivileged asUser(folder);
    QVERIFY(::chmod(folder.c_str(), 0555) == 0);
    run.Start();
    QTRY_COMPARE(run.Messages.size(), 1);
    QVERIFY(overShownWindow);
    QVERIFY2(
        run.Messages[0].contains(run.Folder()) && run.Messages[0].contains(u"許可がありません"_qs),
        qPrintable(run.Messages[0]));
    QVERIFY(::chmod(folder.c_str(), 0755) == 0);
}

void TMainWindowTest::deleteAsksOnlyForPagesWithText_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("kept");
    QTest::newRow("page with text, no") << u"大切な日"_qs << false << 1 << true;
    QTest::newRow("page with text, yes") << u"大切な日"_qs << true << 1 << false;
    // A page of blanks (as another program may leave one) goes without a question.
    QTest::newRow("blank page") << u"  "_qs << false << 0 << false;
}

void TMainWindowTest::deleteAsksOnlyForPagesWithText() {
    QFETCH(QString, title);
    QFETCH(bool, answer);
    QFETCH(int, questions);
    QFETCH(bool, kept);
    const int32_t day = EncodeDate(2026, 8, 15);
    SetTodayForTesting(day);
    TWindowRun run;
    SeedRecord(run, Record(day, title, 0));
    TForm1& form = run.Start();
    QVERIFY(form.Actions().DeleteAction->isEnabled());
    run.AnswerYes = answer;
    form.Actions().DeleteAction->trigger();
    QCOMPARE(run.Questions.size(), questions);
    // What the command did is on disk at once.
    QCOMPARE(StoredRecord(run, 2026, day).Date, kept ? day : 0);
    QCOMPARE(Widgets(form).Comment->text(), kept ? title : QString());
    QVERIFY(!form.isWindowModified());
}

void TMainWindowTest::inputMethodEventsWithoutTextChangeNothing_data() {
    QTest::addColumn<QString>("editor");
    for (const char* name : {"DiaryMemo", "NewsMemo", "PrivMemo", "Comment"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// An input method sends an empty event when an editor takes the focus and shows its preedit
// while the user chooses; neither changes the page. Found with ibus: the page read "changed"
// (title mark, 保存 and 元に戻す enabled) as soon as the window came up.
void TMainWindowTest::inputMethodEventsWithoutTextChangeNothing() {
    QFETCH(QString, editor);
    const int32_t day = EncodeDate(2026, 6, 1);
    SetTodayForTesting(day);
    TWindowRun run;
    SeedRecord(run, Record(day, u"題"_qs));
    TForm1& form = run.Start();
    QWidget* target = form.findChild<QWidget*>(editor);
    QVERIFY(target != nullptr);
    target->setFocus();
    QInputMethodEvent empty;
    QApplication::sendEvent(target, &empty);
    Compose(target, u"にほん"_qs);
    QApplication::sendEvent(target, &empty);
    QVERIFY(!form.isWindowModified());
    QVERIFY(!form.Actions().SaveNowAction->isEnabled());
    QVERIFY(!form.Actions().UndoAction->isEnabled());

    QInputMethodEvent commit;
    commit.setCommitString(u"日本"_qs);
    QApplication::sendEvent(target, &commit);
    QVERIFY(form.isWindowModified());
    QVERIFY(form.Actions().UndoAction->isEnabled());
}

void TMainWindowTest::composedTextIsCommittedBeforeStoring_data() {
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("how");
    QTest::newRow("body, saved") << u"DiaryMemo"_qs << u"save"_qs;
    QTest::newRow("news memo, window closed") << u"NewsMemo"_qs << u"close"_qs;
    QTest::newRow("title, day left") << u"Comment"_qs << u"leave"_qs;
    QTest::newRow("private memo, session ended") << u"PrivMemo"_qs << u"end"_qs;
}

void TMainWindowTest::composedTextIsCommittedBeforeStoring() {
    QFETCH(QString, editor);
    QFETCH(QString, how);
    const int32_t day = EncodeDate(2026, 10, 1);
    SetTodayForTesting(day);
    TWindowRun run;
    TForm1& form = run.Start();
    auto* widget = form.findChild<QWidget*>(editor);
    QVERIFY(widget);
    Compose(widget, u"にほんご"_qs);
    QVERIFY(!AllTexts(form.Page().PageRecord(day)).contains(u"にほんご"_qs));

    if (how == u"save"_qs)
        form.DataSaveClick();
    else if (how == u"close"_qs)
        QVERIFY(run.Stop());
    else if (how == u"leave"_qs)
        ClickDay(form.Diary1(), day + 1);
    else
        form.EndSession();
    QCOMPARE(AllTexts(StoredRecord(run, 2026, day)), u"にほんご"_qs);

    // An engine that also commits its composition when reset sends the same text again a
    // moment later; it does not land in the page a second time.
    if (how == u"save"_qs || how == u"leave"_qs) {
        QInputMethodEvent echo;
        echo.setCommitString(u"にほんご"_qs);
        QApplication::sendEvent(widget, &echo);
        QVERIFY(!form.Actions().UndoAction->isEnabled());
    }
}

void TMainWindowTest::endOfSessionWritesEverythingWithoutAsking() {
    const int32_t day = EncodeDate(2026, 11, 3);
    SetTodayForTesting(day);
    TWindowRun run;
    TForm1& form = run.Start();
    TypeText(Widgets(form).DiaryMemo, u"文化の日"_qs);
    const std::string folder = QFile::encodeName(run.Folder()).toStdString();
    {
        // Nobody answers a question at the end of a session: a failed write asks nothing.
        ScopedUnprivileged asUser(folder);
        QVERIFY(::chmod(folder.c_str(), 0555) == 0);
        form.EndSession();
        QVERIFY(::chmod(folder.c_str(), 0755) == 0);
    }
    QVERIFY(run.Questions.isEmpty());
    QVERIFY(run.Messages.isEmpty());

    TWindowRun second;
    TForm1& next = second.Start();
    TypeText(Widgets(next).DiaryMemo, u"文化の日"_qs);
    next.EndSession();
    QCOMPARE(FromCp932(StoredRecord(second, 2026, day).Text.Text()), u"文化の日"_qs);
    QVERIFY(second.Questions.isEmpty());
}

void TMainWindowTest::rescuedPageComesBackAtTheNextStart_data() {
    QTest::addColumn<QString>("meanwhile");  // the day's title written by someone else, or ""
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("expected");  // the day's title on disk afterwards
    QTest::newRow("day unchanged since") << QString() << true << u"勤労感謝の日"_qs;
    QTest::newRow("day written again meanwhile") << u"別の版"_qs << true << u"別の版"_qs;
    QTest::newRow("declined") << QString() << false << QString();
}

void TMainWindowTest::rescuedPageComesBackAtTheNextStart() {
    QFETCH(QString, meanwhile);
    QFETCH(bool, accept);
    QFETCH(QString, expected);
    const int32_t day = EncodeDate(2026, 11, 23);
    SetTodayForTesting(day);
    TWindowRun run;
    TForm1& form = run.Start();
    TypeText(Widgets(form).Comment, u"勤労感謝の日"_qs);
    const std::string folder = QFile::encodeName(run.Folder()).toStdString();
    {
        // A logout with the folder unwritable: the page goes to the rescue folder, in the state
        // folder the start made.
        ScopedUnprivileged::Give(
            QFile::encodeName(run.StateFolder() + u"/Velmora"_qs).toStdString());
        ScopedUnprivileged asUser(folder);
        QVERIFY(::chmod(folder.c_str(), 0555) == 0);
        form.EndSession();
        QVERIFY(::chmod(folder.c_str(), 0755) == 0);
    }
    QVERIFY(run.Stop());
    const QString rescueFolder = run.StateFolder() + u"/Velmora/rescue"_qs;
    const QStringList rescues = QDir(rescueFolder).entryList(QDir::Files);
    // The next start is the same user again, also when the test stood in for one as root.
    for (const QString& path :
         {run.StateFolder() + u"/Velmora"_qs, rescueFolder, rescueFolder + u'/' + rescues.value(0)})
        QVERIFY(::chown(QFile::encodeName(path).constData(), ::geteuid(), ::getegid()) == 0);
    QCOMPARE(rescues.size(), 1);
    QCOMPARE(QFile::permissions(rescueFolder + u'/' + rescues[0]),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QVERIFY(!QFile::exists(run.Path(u"2026.dat"_qs)));
    if (!meanwhile.isEmpty()) {
        const TDataInfo other = Record(day, meanwhile);
        run.Put(u"2026.dat"_qs, YearFileText({&other}));
    }

    run.AnswerYes = accept;
    TForm1& next = run.Start();
    QCOMPARE(run.Questions.size(), 1);
    QVERIFY2(run.Questions[0].contains(u"保存できなかった日記"_qs), qPrintable(run.Questions[0]));
    QCOMPARE(FromCp932(StoredRecord(run, 2026, day).Title), expected);
    QCOMPARE(Widgets(next).Comment->text(), expected);
    QCOMPARE(QDir(rescueFolder).entryList(QDir::Files).size(), accept ? 0 : 1);
    if (!meanwhile.isEmpty()) {
        // The rescued page lies beside the year file, and the user is told where.
        QTRY_VERIFY(!run.Messages.isEmpty());
        QVERIFY2(run.Messages.last().contains(u"2026.dat.rescued"_qs),
                 qPrintable(run.Messages.last()));
        TYearFileRead aside = ReadYearFile(run.CorePath(u"2026.dat.rescued"_qs));
        QCOMPARE(aside.Text.Records.size(), size_t(1));
        QCOMPARE(FromCp932(aside.Text.Records[0].Title), u"勤労感謝の日"_qs);
    }
}

void TMainWindowTest::noBoxOnceTheSessionEnds() {
    QStringList shown;
    SetUserMessageHook([&shown](const QString& text) { shown << text; });
    SetUserQuestionHook([&shown](const QString& text) {
        shown << text;
        return true;
    });
    EndUserMessages();
    ShowUserMessage(nullptr, u"設定ファイルに書込めません"_qs);
    const bool answer = AskUserYesNo(nullptr, u"保存しないで終了しますか?"_qs);
    EndUserMessages(false);
    SetUserMessageHook({});
    SetUserQuestionHook({});
    QVERIFY(shown.isEmpty());
    QVERIFY(!answer);
}

void TMainWindowTest::weatherAloneKeepsThePage_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("leaving the day") << 0;
    QTest::newRow("save command") << 1;
    QTest::newRow("pause in writing") << 2;
}

// A weather chosen on an empty day is kept as the day's record, shown in the grid and on the
// page after a restart; the delete command removes it.
void TMainWindowTest::weatherAloneKeepsThePage() {
    QFETCH(int, how);
    const int32_t day = EncodeDate(2026, 9, 9);
    SetTodayForTesting(day);
    TWindowRun run;
    {
        TForm1& form = run.Start();
        ChooseWeather(form, 7);  // "曇り"
        QVERIFY(form.Actions().SaveNowAction->isEnabled());
        if (how == 0) {
            ClickDay(form.Diary1(), day + 1);
            ClickDay(form.Diary1(), day);
        } else if (how == 1) {
            form.DataSaveClick();
        } else {
            form.Writes().WriteSoon();
        }
        QVERIFY(!form.isWindowModified());
        const TDataInfo stored = StoredRecord(run, 2026, day);
        QCOMPARE(stored.Date, day);
        QCOMPARE(stored.Weather, 7);
        QVERIFY(!HoldsWriting(stored));
        QCOMPARE(form.Page().Weather(), 7);
        QVERIFY(form.Page().Diary1EventDefine(day) & 16);
        // No list shows a weather: the day has no row to show.
        QCOMPARE(Widgets(form).ListView1->topLevelItemCount(), 0);
    }
    run.Stop();
    TForm1& form = run.Start();
    QCOMPARE(form.Page().Weather(), 7);
    QVERIFY(form.Actions().DeleteAction->isEnabled());
    form.Actions().DeleteAction->trigger();
    QVERIFY(run.Questions.isEmpty());
    QCOMPARE(form.Page().Weather(), WeatherUnknown);
    QCOMPARE(StoredRecord(run, 2026, day).Date, 0);
}

void TMainWindowTest::bodyOfAnotherTextIsSetAside_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("why");  // what the message says; empty when the body is kept
    const QByteArray head =
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
        "\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}\r\n\\pard\\f0\\fs21 \\b ";
    // 朝から雪 / 朝から
    QTest::newRow("field edited in a text editor")
        << head + "\\'92\\'a9\\'82\\'a9\\'82\\'e7\\'90\\'e1\\b0\\par\r\n}\r\n"
        << u"朝から雨\r\n傘を買った"_qs << u"食い違って"_qs;
    QTest::newRow("RTF cut short")
        << head + "\\'92\\'a9\\'82\\'a9\\'82\\'e7" << u"朝から雪\r\n寒い"_qs << u"途中で切れて"_qs;
    // Another writer's page: lists, and a field without their marks.
    QFile lists(QStringLiteral(VELMORA_TEST_DATA "/rtf-lists.rtf"));
    QVERIFY(lists.open(QIODevice::ReadOnly));
    QTest::newRow("another writer's lists")
        << lists.readAll()
        << u"Intro\r\nあい\r\nMilk\r\nFirst\r\nSecond\r\nRoman\r\nEnd of pn\r\nOne\r\nSub\r\n"
           u"Dot\r\nEnd"_qs
        << QString();
}

// A body whose RTF is cut short or tells another text than the page's text field shows the
// field, which the lists and the search show too; the user is told once. Before the body is
// rewritten, the year file that still holds the old RTF is kept.
void TMainWindowTest::bodyOfAnotherTextIsSetAside() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, field);
    QFETCH(QString, why);
    const int32_t day = EncodeDate(2026, 10, 10);
    SetTodayForTesting(day);
    TWindowRun run;
    TDataInfo rec = Record(day, u"題"_qs);
    rec.Text = ToCp932(field);
    rec.RichText = rtf.toStdString();
    SeedRecord(run, rec);
    TForm1& form = run.Start();
    QTextEdit* body = Widgets(form).DiaryMemo;
    QCoreApplication::processEvents();
    if (why.isEmpty()) {
        QVERIFY(run.Messages.isEmpty());
        QTextDocument read;
        ReadRtf(rec.RichText.Text(), read);
        QCOMPARE(body->toPlainText(), read.toPlainText());
    } else {
        QCOMPARE(run.Messages.size(), 1);
        QVERIFY2(run.Messages[0].contains(why) && run.Messages[0].contains(u"2026年10月10日"_qs),
                 qPrintable(run.Messages[0]));
        QCOMPARE(body->toPlainText(), QString(field).replace(u"\r\n"_qs, u"\n"_qs));
    }
    QVERIFY(!form.isWindowModified());

    // Shown again, the day says nothing more.
    ClickDay(form.Diary1(), day + 1);
    ClickDay(form.Diary1(), day);
    QCoreApplication::processEvents();
    QCOMPARE(run.Messages.size(), why.isEmpty() ? 0 : 1);

    // Rewriting the body keeps the year file with the old RTF first, and only then.
    body->moveCursor(QTextCursor::End);
    TypeText(body, u"!"_qs);
    ClickDay(form.Diary1(), day + 1);
    const TDataInfo stored = StoredRecord(run, 2026, day);
    QVERIFY(IsRtf(stored.RichText.Text()));
    if (why.isEmpty()) {
        QVERIFY(!run.Files().contains(u"2026.dat.bak"_qs));
        return;
    }
    QCOMPARE(FromCp932(stored.Text.Text()), field + u"!"_qs);
    TScrapList kept;
    kept.LoadFromFile(run.CorePath(u"2026.dat.bak"_qs));
    QCOMPARE(kept.FindByDate(day).RichText.Text(), rec.RichText.Text());
    ClickDay(form.Diary1(), day);
    TypeText(body, u"?"_qs);
    ClickDay(form.Diary1(), day + 1);
    QVERIFY(!run.Files().contains(u"2026.dat.bak2"_qs));
}

void TMainWindowTest::opensCentredWithinTheScreenAndTypesIntoTheBody_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("centred");
    QTest::newRow("first start") << QByteArray() << true;
    QTest::newRow("saved larger than the screen")
        << QByteArray("WINDOWINFO=0,0,0,5000,4000\r\n") << false;
}

void TMainWindowTest::opensCentredWithinTheScreenAndTypesIntoTheBody() {
    QFETCH(QByteArray, ini);
    QFETCH(bool, centred);
    SetTodayForTesting(EncodeDate(2026, 12, 7));
    TWindowRun run;
    if (!ini.isEmpty())
        run.Put(u"Velmora.ini"_qs, ini.toStdString());
    TForm1& form = run.Start();
    const QRect area = form.screen()->availableGeometry();
    QVERIFY2(form.width() <= area.width() && form.height() <= area.height(),
             qPrintable(QStringLiteral("%1x%2").arg(form.width()).arg(form.height())));
    QVERIFY(area.contains(form.geometry().topLeft()));
    if (centred)
        QVERIFY2((QRect(form.pos(), form.size()).center() - area.center()).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                .arg(form.x())
                                .arg(form.y())
                                .arg(form.width())
                                .arg(form.height())
                                .arg(area.width())
                                .arg(area.height())));
    QCOMPARE(form.focusWidget(), static_cast<QWidget*>(Widgets(form).DiaryMemo));
}

void TMainWindowTest::oneCopyPerFolder() {
    const ScopedRuntimeDir runtime;
    QTemporaryDir dir;
    TSingleInstance first(dir.path());
    QCOMPARE(first.Start(), TSingleInstance::TStart::Holder);
    // The lock is this computer's own: nothing of it lies in the folder that a sync service
    // carries to another computer.
    QCOMPARE(QFileInfo(TSingleInstance::LockPath(dir.path())).absolutePath(), runtime.Path());
    QVERIFY(QFile::exists(TSingleInstance::LockPath(dir.path())));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    QSignalSpy shown(&first, &TSingleInstance::ShowRequested);

    TSingleInstance second(dir.path());
    QCOMPARE(second.Start(), TSingleInstance::TStart::Other);
    QVERIFY(shown.wait(5000));

    // The window that was asked for comes up from the task bar.
    SetTodayForTesting(EncodeDate(2026, 12, 7));
    TWindowRun run;
    TForm1& form = run.Start();
    connect(&first, &TSingleInstance::ShowRequested, &form, &TForm1::ShowFromOtherStart);
    form.showMinimized();
    QVERIFY(form.isMinimized());
    TSingleInstance third(dir.path());
    QCOMPARE(third.Start(), TSingleInstance::TStart::Other);
    QTRY_VERIFY(!form.isMinimized());
    QVERIFY(form.isVisible());

    // A folder that cannot be written is locked all the same: the lock is not in it.
    QTemporaryDir locked;
    const std::string folder = QFile::encodeName(locked.path()).toStdString();
    ScopedUnprivileged asUser(folder);
    const ScopedRuntimeDir userRuntime;
    QVERIFY(::chmod(folder.c_str(), 0555) == 0);
    TSingleInstance readOnly(locked.path());
    QCOMPARE(readOnly.Start(), TSingleInstance::TStart::Holder);
    TSingleInstance again(locked.path());
    QCOMPARE(again.Start(), TSingleInstance::TStart::Other);
    QVERIFY(::chmod(folder.c_str(), 0755) == 0);
}

void TMainWindowTest::staleLockIsTakenOver_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("contents");
    // A lock whose process is gone, as a crash leaves it.
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const QString here = QSysInfo::machineHostName();
    QTest::newRow("left by a crash") << "file" << LockContents(child, here);
    QTest::newRow("empty") << "file" << QByteArray();
    static constexpr char junk[] = "\0\xff\xfe not a lock\n\n";
    QTest::newRow("junk") << "file" << QByteArray(junk, sizeof junk - 1);
    // Copied or synced from another computer, naming a process that happens to run here.
    QTest::newRow("another computer's") << "file" << LockContents(::getpid(), u"elsewhere"_qs);
    QTest::newRow("cannot be read") << "unreadable" << LockContents(::getpid(), here);
    QTest::newRow("link that leads nowhere") << "link" << QByteArray();
}

void TMainWindowTest::staleLockIsTakenOver() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, contents);
    QTemporaryDir dir;
    std::optional<ScopedUnprivileged> asUser;
    // As root, the file is unreadable only to the user the test turns into.
    if (kind == u"unreadable"_qs)
        asUser.emplace(QFile::encodeName(dir.path()).toStdString());
    const ScopedRuntimeDir runtime;
    const QString lockPath = TSingleInstance::LockPath(dir.path());
    if (kind == u"link"_qs) {
        QVERIFY(QFile::link(dir.filePath(u"gone/Velmora.lock"_qs), lockPath));
    } else {
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(contents);
        lock.close();
    }
    if (kind == u"unreadable"_qs)
        QVERIFY(::chmod(QFile::encodeName(lockPath).constData(), 0) == 0);
    TSingleInstance instance(dir.path());
    QCOMPARE(instance.Start(), TSingleInstance::TStart::Holder);
    QCOMPARE(LockPid(lockPath), QCoreApplication::applicationPid());
}

void TMainWindowTest::lockOfARunningCopyIsKeptWhateverItSays_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("unreadable");
    QTest::newRow("junk") << QByteArray("junk") << false;
    QTest::newRow("another computer's") << LockContents(4242, u"elsewhere"_qs) << false;
    QTest::newRow("cannot be read") << QByteArray() << true;
}

void TMainWindowTest::lockOfARunningCopyIsKeptWhateverItSays() {
    QFETCH(QByteArray, contents);
    QFETCH(bool, unreadable);
    QTemporaryDir dir;
    const ScopedUnprivileged asUser(QFile::encodeName(dir.path()).toStdString());
    const ScopedRuntimeDir runtime;
    const QString lockPath = TSingleInstance::LockPath(dir.path());
    TSingleInstance first(dir.path());
    QCOMPARE(first.Start(), TSingleInstance::TStart::Holder);
    // The running copy's file changed under it: the copy still holds its lock on the file.
    if (unreadable) {
        QVERIFY(::chmod(QFile::encodeName(lockPath).constData(), 0) == 0);
    } else {
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write(contents);
    }
    QSignalSpy shown(&first, &TSingleInstance::ShowRequested);
    TSingleInstance second(dir.path());
    QCOMPARE(second.Start(), TSingleInstance::TStart::Other);
    QVERIFY(shown.wait(5000));
    QVERIFY(QFile::exists(lockPath));
}

void TMainWindowTest::refusalNamesTheLockFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("says");
    QTest::newRow("held by a copy that does not answer")
        << "held" << static_cast<int>(TSingleInstance::TStart::OtherSilent)
        << u"プロセス番号 %1"_qs.arg(QCoreApplication::applicationPid());
    QTest::newRow("cannot be removed")
        << "folder" << static_cast<int>(TSingleInstance::TStart::Blocked) << u"を消せません"_qs;
}

void TMainWindowTest::refusalNamesTheLockFile() {
    QFETCH(QString, kind);
    QFETCH(int, start);
    QFETCH(QString, says);
    QTemporaryDir dir;
    const ScopedRuntimeDir runtime;
    const QString lockPath = TSingleInstance::LockPath(dir.path());
    int held = -1;
    if (kind == u"held"_qs) {
        // A process that holds the lock file, as a running copy does, but serves no socket.
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(LockContents(QCoreApplication::applicationPid(), QSysInfo::machineHostName()));
        lock.close();
        held = ::open(QFile::encodeName(lockPath).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) == 0);
    } else {
        QVERIFY(QDir().mkpath(lockPath + u"/inside"_qs));
    }
    TSingleInstance instance(dir.path());
    QCOMPARE(static_cast<int>(instance.Start()), start);
    QVERIFY2(instance.Refusal().contains(lockPath), qPrintable(instance.Refusal()));
    QVERIFY2(instance.Refusal().contains(says), qPrintable(instance.Refusal()));
    QVERIFY(QFileInfo::exists(lockPath));
    if (held >= 0)
        ::close(held);
}

void TMainWindowTest::olderVersionsLockInTheFolder_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("kept");
    const auto holder = static_cast<int>(TSingleInstance::TStart::Holder);
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const QString here = QSysInfo::machineHostName();
    // Not held: an earlier version crashed, or the file came with the folder from another
    // computer, where it may well be held. Nothing here looks for it: it goes.
    QTest::newRow("left by a crash") << "file" << LockContents(child, here) << holder << false;
    QTest::newRow("another computer's")
        << "file" << LockContents(::getpid(), u"elsewhere"_qs) << holder << false;
    QTest::newRow("empty") << "file" << QByteArray() << holder << false;
    // Not a lock file: the user's, left alone.
    QTest::newRow("a file of the user's") << "file" << QByteArray("my notes\n") << holder << true;
    QTest::newRow("a folder") << "folder" << QByteArray() << holder << true;
    // An earlier version runs on this folder: this copy does not start beside it, and asks it
    // to show itself on the socket it serves, which has the same name.
    QTest::newRow("held by an earlier version that answers")
        << "answers" << LockContents(::getpid(), here)
        << static_cast<int>(TSingleInstance::TStart::Other) << true;
    QTest::newRow("held by an earlier version that does not answer")
        << "held" << LockContents(::getpid(), here)
        << static_cast<int>(TSingleInstance::TStart::OtherSilent) << true;
}

void TMainWindowTest::olderVersionsLockInTheFolder() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, contents);
    QFETCH(int, start);
    QFETCH(bool, kept);
    const ScopedRuntimeDir runtime;
    QTemporaryDir dir;
    const QString oldLock = dir.filePath(u"Velmora.lock"_qs);
    int held = -1;
    if (kind == u"folder"_qs) {
        QVERIFY(QDir(dir.path()).mkpath(u"Velmora.lock"_qs));
    } else {
        QFile lock(oldLock);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(contents);
        lock.close();
    }
    if (kind == u"held"_qs || kind == u"answers"_qs) {
        held = ::open(QFile::encodeName(oldLock).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) == 0);
    }
    QLocalServer earlier;
    if (kind == u"answers"_qs)
        QVERIFY(earlier.listen(TSingleInstance::ServerName(dir.path())));

    {
        TSingleInstance instance(dir.path());
        QCOMPARE(static_cast<int>(instance.Start()), start);
        QCOMPARE(QFileInfo::exists(oldLock), kept);
        if (start == static_cast<int>(TSingleInstance::TStart::OtherSilent))
            QVERIFY2(instance.Refusal().contains(oldLock), qPrintable(instance.Refusal()));
    }
    if (kind == u"answers"_qs)
        QVERIFY(earlier.waitForNewConnection(5000));
    if (held >= 0) {
        // A copy that did not start left no lock of its own behind: once the earlier version
        // has ended, the next start holds the folder.
        ::close(held);
        earlier.close();
        TSingleInstance next(dir.path());
        QCOMPARE(next.Start(), TSingleInstance::TStart::Holder);
        QVERIFY(!QFileInfo::exists(oldLock));
    }
}

void TMainWindowTest::socketIsTheUsersAlone() {
    const ScopedRuntimeDir runtime;
    QTemporaryDir dir;
    QTemporaryDir other;
    const QString name = TSingleInstance::ServerName(dir.path());
    // In the user's runtime folder, which only the user can enter, one per diary folder.
    QCOMPARE(QFileInfo(name).absolutePath(), runtime.Path());
    QVERIFY(QFile::link(dir.path(), other.filePath(u"link"_qs)));
    QCOMPARE(TSingleInstance::ServerName(other.filePath(u"link"_qs)), name);
    QVERIFY(TSingleInstance::ServerName(other.path()) != name);

    {
        TSingleInstance instance(dir.path());
        QCOMPARE(instance.Start(), TSingleInstance::TStart::Holder);
        QVERIFY(QFileInfo::exists(name));
        // Only the user may connect, even where the runtime folder lets others in.
        struct stat info {};
        QVERIFY(::stat(QFile::encodeName(name).constData(), &info) == 0);
        QVERIFY(S_ISSOCK(info.st_mode));
        QCOMPARE(info.st_mode & (S_IRWXG | S_IRWXO), 0u);

        // A request that arrives in pieces is a request all the same; anything else is not.
        QSignalSpy shown(&instance, &TSingleInstance::ShowRequested);
        QLocalSocket other;
        other.connectToServer(name);
        QVERIFY(other.waitForConnected(5000));
        other.write("hello\nsh");
        QVERIFY(other.waitForBytesWritten(5000));
        QTest::qWait(50);
        QCOMPARE(shown.count(), 0);
        other.write("ow\n");
        QVERIFY(other.waitForBytesWritten(5000));
        QVERIFY(shown.wait(5000));
        other.disconnectFromServer();
    }
    // The socket goes with the copy that served it.
    QVERIFY(!QFileInfo::exists(name));
}

void TMainWindowTest::terminationSignalsReachTheEventLoop() {
    TQuitSignals quit;
    QSignalSpy received(&quit, &TQuitSignals::Received);
    for (int s : {SIGTERM, SIGHUP}) {
        received.clear();
        QVERIFY(::raise(s) == 0);
        QVERIFY(received.wait(5000));
        QCOMPARE(received.first().first().toInt(), s);
    }
}
