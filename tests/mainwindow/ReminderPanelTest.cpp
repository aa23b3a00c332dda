#include <sys/stat.h>
#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "controls/RangeGrid.h"
#include "mainwindow/PageState.h"
#include "mainwindow/reminders/Reminders.h"
#include "notes/NoteList.h"
#include "notes/ui/DateProp.h"
#include "storage/Cp932.h"
#include "storage/VelmoraError.h"
#include "support/FeatureRun.h"
#include "support/ScopedUnprivileged.h"
#include "support/Screenshots.h"
#include "support/WindowRun.h"
#include "support/WindowWidgets.h"

namespace {

TNoteRec Note(uint8_t kind, uint16_t monthRule, uint16_t dayRule, uint16_t startYear,
              const char* title, uint16_t endYear = NoEndYear, int32_t endDate = 0) {
    TNoteRec note;
    note.Kind = kind;
    note.MonthRule = monthRule;
    note.DayRule = dayRule;
    note.StartYear = startYear;
    note.EndYear = endYear;
    note.EndDate = endDate;
    note.Title = Sjis(title);
    return note;
}

void SeedNotes(const TWindowRun& run, const QString& name, const std::vector<TNoteRec>& notes) {
    TNoteList list;
    for (const TNoteRec& note : notes)
        list.AddNote(note);
    list.SaveToFile(run.CorePath(name));
}

QStringList Lines(const QListWidget* box) {
    QStringList lines;
    for (int i = 0; i < box->count(); ++i)
        lines << box->item(i)->text();
    return lines;
}

QStringList Rows(const QTreeWidget* view) {
    QStringList rows;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        rows << view->topLevelItem(i)->text(0) + u'|' + view->topLevelItem(i)->text(1);
    return rows;
}

QStringList FileLines(const TWindowRun& run, const QString& name) {
    return FromCp932(run.Read(name)).split(u"\r\n"_qs, Qt::SkipEmptyParts);
}

// Answers the note editor that the next command opens: fill runs on the open dialog, which is
// then confirmed.
void WhenEditorOpens(std::function<void(TTodoMemo&)> fill) {
    QTimer::singleShot(0, [fill] {
        auto* memo = qobject_cast<TTodoMemo*>(QApplication::activeModalWidget());
        QVERIFY(memo);
        fill(*memo);
        memo->OKBtn->click();
    });
}

void SelectRow(QTreeWidget* view, const QString& title) {
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        if (view->topLevelItem(i)->text(1).startsWith(title)) {
            view->setCurrentItem(view->topLevelItem(i));
            return;
        }
    QFAIL("no such row");
}

// The changes to the notes made while a list of the panel is out of view.
enum TChange {
    AddReminder,
    EditReminder,
    AddAnniversary,
    DeleteAnniversary,
    NextMonth,
    ReminderMergedIn,
    AnniversaryMergedAway
};

}  // namespace

class ReminderPanelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InstallFontSubstitutes(); }
    void init() { SetTodayForTesting(EncodeDate(2026, 3, 10)); }
    void cleanup() { SetTodayForTesting(std::nullopt); }

    void summaryOfTheMonth() {
        TWindowRun run;
        SeedNotes(run, u"Velmora.tdo"_qs,
                  {Note(NoteOpen, 3, 10, 2026, "今日"), Note(NoteOpen, 3, 9, 2026, "昨日"),
                   Note(NoteOpen, 3, 11, 2026, "明日の件"),
                   Note(NoteOpen, 3, 12, 2026, "明後日の件"), Note(NoteOpen, 3, 13, 2026, "三日後"),
                   Note(NoteDone, 3, 14, 2026, "済み", NoEndYear, EncodeDate(2026, 3, 8))});
        SeedNotes(run, u"Velmora.mem"_qs,
                  {Note(NoteBirthday, 3, 20, 1970, "母"), Note(NoteHidden, 3, 21, 1970, "隠す"),
                   Note(NoteBirthday, 3, 22, 0, "年不明")});
        TForm1& form = run.Start();
        const TWindowWidgets ui = Widgets(form);
        QVERIFY(ui.Reminder->isEnabled());
        QCOMPARE(ui.Reminder->tabText(0), u" 3月の一覧"_qs);
        QCOMPARE(Lines(ui.ListBox),
                 (QStringList{u"◆ 3/ 9: 昨日 【 1日経過】"_qs, u"◆ 3/10: 今日 【 本日！】"_qs,
                              u"□ 3/11: 明日の件  [明日]"_qs, u"□ 3/12: 明後日の件  [明後日]"_qs,
                              u"□ 3/13: 三日後 (あと 3日)"_qs, u"━━━┯━━━━━━━━━━━━━━━━━━━"_qs,
                              u"  20日│母 (56才)"_qs, u"  22日│年不明"_qs}));
        QVERIFY(run.Messages.isEmpty());
        QVERIFY(SavePng(ui.Reminder, u"reminders-month.png"_qs));
        QCOMPARE(ui.ShownTodoList()->topLevelItemCount(), 6);
        QCOMPARE(Rows(ui.TodoList).last(), u"毎年 3月14日|済み【完了:2026年3月8日】"_qs);
        QCOMPARE(ui.TodoList->topLevelItem(5)->checkState(0), Qt::Checked);
        QVERIFY(SavePng(ui.Reminder, u"reminders-todo.png"_qs));
        QCOMPARE(ui.ShownMemList()->topLevelItemCount(), 3);
        QVERIFY(SavePng(ui.Reminder, u"reminders-memory.png"_qs));
        QVERIFY(SavePng(&form, u"reminders-window.png"_qs));
        QVERIFY(run.Stop());
        // Looking changed nothing.
        QCOMPARE(run.Files(),
                 (QStringList{u"Velmora.ini"_qs, u"Velmora.mem"_qs, u"Velmora.tdo"_qs}));
    }

    // Nothing this month: one quiet line that cannot be selected, and no stray separator.
    void emptySummarySaysSo() {
        TWindowRun run;
        TForm1& form = run.Start();
        QListWidget* box = Widgets(form).ListBox;
        QCOMPARE(Lines(box), QStringList{u"予定はありません"_qs});
        QVERIFY(!(box->item(0)->flags() & Qt::ItemIsSelectable));
        QVERIFY(SavePng(Widgets(form).Reminder, u"reminders-month-empty.png"_qs));
        // A note of the month brings the summary back.
        SeedNotes(run, u"Velmora.mem"_qs, {Note(NoteBirthday, 3, 20, 1970, "母")});
        QVERIFY(run.Stop());
        TForm1& again = run.Start();
        QCOMPARE(Lines(Widgets(again).ListBox),
                 (QStringList{u"━━━┯━━━━━━━━━━━━━━━━━━━"_qs, u"  20日│母 (56才)"_qs}));
    }

    // A monthly reminder ticked in December is open again in the next December; a yearly one
    // comes back every year, one for once only does not.
    void remindersInTheNextYear() {
        SetTodayForTesting(EncodeDate(2026, 12, 5));
        TWindowRun run;
        SeedNotes(run, u"Velmora.tdo"_qs,
                  {Note(NoteOpen, 0, 5, 2026, "家賃"), Note(NoteOpen, 12, 20, 2026, "車検"),
                   Note(NoteOpen, 12, 24, 2026, "一度きり", 2026)});
        {
            TForm1& form = run.Start();
            QCOMPARE(
                Lines(Widgets(form).ListBox),
                (QStringList{u"◆12/ 5: 家賃 【 本日！】"_qs, u"□12/20: 車検 (あと 15日)"_qs,
                             u"□12/24: 一度きり (あと 19日)"_qs, u"━━━┯━━━━━━━━━━━━━━━━━━━"_qs}));
            QCOMPARE(Rows(Widgets(form).ShownTodoList()),
                     (QStringList{u"毎月 5日|家賃"_qs, u"毎年12月20日|車検"_qs,
                                  u"2026年12月24日|一度きり"_qs}));
            Widgets(form).TodoList->topLevelItem(0)->setCheckState(0, Qt::Checked);
            QVERIFY(run.Stop());
        }
        SetTodayForTesting(EncodeDate(2027, 12, 5));
        TForm1& form = run.Start();
        QCOMPARE(Widgets(form).ShownTodoList()->topLevelItem(0)->checkState(0), Qt::Unchecked);
        Widgets(form).Reminder->setCurrentWidget(Widgets(form).TabMonth);
        QCOMPARE(Lines(Widgets(form).ListBox),
                 (QStringList{u"◆12/ 5: 家賃 【 本日！】"_qs, u"□12/20: 車検 (あと 15日)"_qs,
                              u"━━━┯━━━━━━━━━━━━━━━━━━━"_qs}));
    }

    void memorialLines_data() {
        QTest::addColumn<bool>("noDeathDays");
        QTest::addColumn<bool>("counted");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("shown") << false << false
                               << QStringList{u"━━━┯━━━━━━━━━━━━━━━━━━━"_qs,
                                              u"   1日│父 [七回忌(享年69才)]"_qs};
        QTest::newRow("KAZOECELEB: 享年 counted")
            << false << true
            << QStringList{u"━━━┯━━━━━━━━━━━━━━━━━━━"_qs, u"   1日│父 [七回忌(享年71才)]"_qs};
        QTest::newRow("DEATHDISP") << true << false << QStringList{u"予定はありません"_qs};
    }
    void memorialLines() {
        QFETCH(bool, noDeathDays);
        QFETCH(bool, counted);
        QFETCH(QStringList, lines);
        SetTodayForTesting(EncodeDate(2026, 8, 5));
        TFeatureRun run;
        run.params.NoDeathDays = noDeathDays;
        run.params.CelebrateCounted = counted;
        // Born 10 December 1950, died 1 August 2020.
        TNoteList seed;
        seed.AddNote(Note(NoteBirthday, 12, 10, 1950, "父", 2020, EncodeDate(2020, 8, 1)));
        seed.SaveToFile(run.File("Velmora.mem"));
        TNoteList memory;
        memory.LoadFromFile(run.File("Velmora.mem"));
        TNoteList todo;
        QAction save;
        QWidget window;
        TPageState state(save, window);
        run.diary.SetCalendarDate(Today());
        TReminders panel(run.diary, todo, memory, state, run.params);
        panel.FillMonthList();
        QCOMPARE(Lines(panel.View()->findChild<QListWidget*>(u"ListBox"_qs)), lines);
    }

    void deleteAsksWithTheTitle() {
        TWindowRun run;
        SeedNotes(run, u"Velmora.tdo"_qs, {Note(NoteOpen, 4, 1, 2026, "税金")});
        TForm1& form = run.Start();
        TReminders& panel = form.Reminders();
        QTreeWidget* list = Widgets(form).ShownTodoList();
        panel.TodoPropPopup();
        QVERIFY(!panel.M_Edit->isEnabled());
        QVERIFY(!panel.M_Delete->isEnabled());
        QVERIFY(panel.M_Add->isEnabled());
        SelectRow(list, u"税金"_qs);
        panel.TodoPropPopup();
        QVERIFY(panel.M_Delete->isEnabled());

        run.AnswerYes = false;
        panel.M_Delete->trigger();
        QCOMPARE(run.Questions, QStringList{u"\"税金\"を削除します\r\nよろしいですか？"_qs});
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(form.TodoList().Count(), 1);

        run.AnswerYes = true;
        panel.M_Delete->trigger();
        QCOMPARE(run.Questions.size(), 2);
        QCOMPARE(list->topLevelItemCount(), 0);
        QCOMPARE(form.TodoList().Count(), 0);
        // Written at once.
        QVERIFY(run.Read(u"Velmora.tdo"_qs).empty());
        QVERIFY(!form.TodoList().Modified());
    }

    void tickDoneAndBack() {
        TWindowRun run;
        SeedNotes(run, u"Velmora.tdo"_qs, {Note(NoteOpen, 4, 1, 2026, "税金")});
        TForm1& form = run.Start();
        QTreeWidgetItem* row = Widgets(form).ShownTodoList()->topLevelItem(0);
        row->setCheckState(0, Qt::Checked);
        const TNoteRec* note = form.TodoList().Items(0);
        QCOMPARE(note->Kind, NoteDone);
        QCOMPARE(note->EndDate, EncodeDate(2026, 3, 10));
        QCOMPARE(row->text(1), u"税金【完了:26年3月10日】"_qs);
        // A tick is written at once.
        QCOMPARE(FileLines(run, u"Velmora.tdo"_qs), QStringList{u"1,4,1,2026,9999,46091,税金,"_qs});
        QVERIFY(!form.TodoList().Modified());
        QVERIFY(!form.Actions().SaveNowAction->isEnabled());
        // Only the mark changes the note, not a selection.
        Widgets(form).TodoList->setCurrentItem(row);
        QCOMPARE(note->EndDate, EncodeDate(2026, 3, 10));

        row->setCheckState(0, Qt::Unchecked);
        QCOMPARE(note->Kind, NoteOpen);
        QCOMPARE(note->EndDate, 0);
        QCOMPARE(row->text(1), u"税金"_qs);
        QCOMPARE(FileLines(run, u"Velmora.tdo"_qs), QStringList{u"0,4,1,2026,9999,0,税金,"_qs});
        QVERIFY(run.Stop());
    }

    void failedNoteWriteIsShownAndNothingLost() {
        TWindowRun run;
        TForm1& form = run.Start();
        const std::string folder = QFile::encodeName(run.Folder()).toStdString();
        {
            ScopedUnprivileged asUser(folder);
            QVERIFY(::chmod(folder.c_str(), 0555) == 0);
            WhenEditorOpens([](TTodoMemo& memo) { memo.Content->setText(u"書けない件"_qs); });
            form.Reminders().M_DeleteClick(TReminders::AddCommand);
            QVERIFY(::chmod(folder.c_str(), 0755) == 0);
        }
        QCOMPARE(run.Messages.size(), 1);
        QVERIFY2(run.Messages[0].contains(u"Velmora.tdo"_qs), qPrintable(run.Messages[0]));
        QCOMPARE(form.TodoList().Count(), 1);
        QVERIFY(form.TodoList().Modified());
        QVERIFY(form.Actions().SaveNowAction->isEnabled());
        QCOMPARE(Widgets(form).ShownTodoList()->topLevelItemCount(), 1);
        // Once the folder can be written again, the close writes the note.
        QVERIFY(run.Stop());
        QCOMPARE(FileLines(run, u"Velmora.tdo"_qs),
                 QStringList{u"0,3,10,2026,9999,0,書けない件,"_qs});
    }

    // A change to the notes while a list's tab is not in view shows in that list once its tab
    // is chosen; the summary's tab names the shown month throughout.
    void changedWhileHidden_data() {
        QTest::addColumn<int>("change");
        QTest::addColumn<int>("shownTab");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("rows");
        const QString soon = u"□ 3/12: 明後日の件  [明後日]"_qs;
        const QString line = u"━━━┯━━━━━━━━━━━━━━━━━━━"_qs;
        const QString mother = u"  20日│母 (56才)"_qs;
        QTest::newRow("reminder added, then the summary")
            << int(AddReminder) << 0 << u" 3月の一覧"_qs
            << QStringList{soon, u"□ 3/13: 三日後 (あと 3日)"_qs, line, mother};
        QTest::newRow("reminder edited, then the summary")
            << int(EditReminder) << 0 << u" 3月の一覧"_qs
            << QStringList{u"□ 3/12: 歯医者  [明後日]"_qs, line, mother};
        QTest::newRow("anniversary added, then the summary")
            << int(AddAnniversary) << 0 << u" 3月の一覧"_qs
            << QStringList{soon, line, mother, u"  25日│妹 (36才)"_qs};
        QTest::newRow("anniversary deleted, then the summary")
            << int(DeleteAnniversary) << 0 << u" 3月の一覧"_qs << QStringList{soon, line};
        QTest::newRow("next month from the reminders, then the summary")
            << int(NextMonth) << 0 << u" 4月の一覧"_qs << QStringList{soon, line};
        QTest::newRow("reminder changed elsewhere, then the reminders")
            << int(ReminderMergedIn) << 1 << u" 3月の一覧"_qs
            << QStringList{u"2026年 3月12日|歯医者"_qs, u"毎年 3月13日|車検"_qs};
        QTest::newRow("anniversary gone elsewhere, then the anniversaries")
            << int(AnniversaryMergedAway) << 2 << u" 3月の一覧"_qs << QStringList{};
    }
    void changedWhileHidden() {
        QFETCH(int, change);
        QFETCH(int, shownTab);
        QFETCH(QString, caption);
        QFETCH(QStringList, rows);
        TWindowRun run;
        SeedNotes(run, u"Velmora.tdo"_qs, {Note(NoteOpen, 3, 12, 2026, "明後日の件", 2026)});
        SeedNotes(run, u"Velmora.mem"_qs, {Note(NoteBirthday, 3, 20, 1970, "母")});
        TForm1& form = run.Start();
        TReminders& panel = form.Reminders();
        const TWindowWidgets ui = Widgets(form);
        // Notes changed on disk come in while the summary shows, as a sync brings them.
        const auto mergedIn = [&panel, &ui](QTreeWidget* list) {
            ui.Reminder->setCurrentWidget(ui.TabMonth);
            panel.FillTodoList();
            panel.FillMemoryList();
            panel.FillMonthList();
            // Rows of notes that may be gone are not kept until the tab shows.
            QCOMPARE(list->topLevelItemCount(), 0);
        };
        switch (change) {
            case AddReminder:
                ui.ShownTodoList();
                WhenEditorOpens([](TTodoMemo& memo) {
                    memo.Content->setText(u"三日後"_qs);
                    memo.MemDate->setDate(QDate(2026, 3, 13));
                });
                panel.M_DeleteClick(TReminders::AddCommand);
                break;
            case EditReminder:
                SelectRow(ui.ShownTodoList(), u"明後日の件"_qs);
                WhenEditorOpens([](TTodoMemo& memo) { memo.Content->setText(u"歯医者"_qs); });
                panel.M_DeleteClick(TReminders::EditCommand);
                break;
            case AddAnniversary:
                ui.ShownMemList();
                WhenEditorOpens([](TTodoMemo& memo) {
                    memo.Content->setText(u"妹"_qs);
                    memo.MemDate->setDate(QDate(1990, 3, 25));
                });
                panel.MemProperty(TReminders::AddCommand);
                break;
            case DeleteAnniversary:
                SelectRow(ui.ShownMemList(), u"母"_qs);
                panel.MemProperty(TReminders::DeleteCommand);
                break;
            case NextMonth:
                ui.ShownTodoList();
                ui.ToolButton11->click();
                break;
            case ReminderMergedIn:
                QCOMPARE(ui.ShownTodoList()->topLevelItemCount(), 1);
                form.TodoList().Items(0)->Title = Sjis("歯医者");
                form.TodoList().AddNote(Note(NoteOpen, 3, 13, 2026, "車検"));
                mergedIn(ui.TodoList);
                break;
            case AnniversaryMergedAway:
                QCOMPARE(ui.ShownMemList()->topLevelItemCount(), 1);
                QVERIFY(form.MemoryList().DeleteNote(form.MemoryList().Items(0)));
                mergedIn(ui.MemList);
                break;
            default:
                QFAIL("no such change");
        }
        QCOMPARE(ui.Reminder->tabText(0), caption);
        ui.Reminder->setCurrentIndex(shownTab);
        QCOMPARE(shownTab == 0 ? Lines(ui.ListBox) : Rows(shownTab == 1 ? ui.TodoList : ui.MemList),
                 rows);
        QVERIFY(run.Stop());
    }

    // A user's reminders and anniversaries through a restart.
    void usersStoryAcrossARestart() {
        TWindowRun run;
        {
            TForm1& form = run.Start();
            TReminders& panel = form.Reminders();
            const TWindowWidgets ui = Widgets(form);
            // A birthday.
            WhenEditorOpens([](TTodoMemo& memo) {
                QCOMPARE(memo.windowTitle(), u"誕生日 - 新規登録"_qs);
                memo.Content->setText(u"妹"_qs);
                memo.MemDate->setDate(QDate(1990, 4, 2));
            });
            panel.MemProperty(TReminders::AddCommand);
            // A monthly reminder on the 25th.
            WhenEditorOpens([](TTodoMemo& memo) {
                QCOMPARE(memo.windowTitle(), u"備忘録 - 新規登録"_qs);
                memo.Content->setText(u"家賃"_qs);
                memo.MemDate->setDate(QDate(2026, 3, 25));
                memo.RepeatBtn->click();
            });
            panel.M_DeleteClick(TReminders::AddCommand);
            // A weekly reminder: every Wednesday.
            WhenEditorOpens([](TTodoMemo& memo) {
                memo.Content->setText(u"ゴミ出し"_qs);
                memo.RepeatBtn->click();
                memo.WeekItem->click();
                QTest::mouseClick(memo.DaySelect, Qt::LeftButton, {},
                                  memo.DaySelect->CellRect(3, 0).center());
            });
            panel.M_DeleteClick(TReminders::AddCommand);
            QCOMPARE(Rows(ui.ShownTodoList()),
                     (QStringList{u"毎月25日|家賃"_qs, u"毎月／週・曜日|ゴミ出し"_qs}));
            // Edit the rent: the 27th now; a double click opens it.
            SelectRow(ui.TodoList, u"家賃"_qs);
            WhenEditorOpens([](TTodoMemo& memo) {
                QCOMPARE(memo.windowTitle(), u"備忘録 - 修正"_qs);
                QVERIFY(memo.RepeatBtn->isChecked());
                memo.Content->setText(u"家賃振込"_qs);
                memo.MemDate->setDate(QDate(2026, 3, 27));
            });
            Q_EMIT ui.TodoList->itemDoubleClicked(ui.TodoList->currentItem(), 0);
            QCOMPARE(ui.TodoList->currentItem()->text(0), u"毎月27日"_qs);
            // Tick the rubbish done; delete nothing yet.
            SelectRow(ui.TodoList, u"ゴミ出し"_qs);
            ui.TodoList->currentItem()->setCheckState(0, Qt::Checked);
            // Add and delete a note.
            WhenEditorOpens([](TTodoMemo& memo) { memo.Content->setText(u"消す"_qs); });
            panel.MemProperty(TReminders::AddCommand);
            SelectRow(ui.ShownMemList(), u"消す"_qs);
            panel.MemProperty(TReminders::DeleteCommand);
            QCOMPARE(run.Questions, QStringList{u"\"消す\"を削除します\r\nよろしいですか？"_qs});

            // The summary follows the shown month: April has the birthday.
            ui.Reminder->setCurrentWidget(ui.TabMonth);
            QVERIFY(!Lines(ui.ListBox).contains(u"   2日│妹 (36才)"_qs));
            ui.ToolButton11->click();
            QCOMPARE(ui.Reminder->tabText(0), u" 4月の一覧"_qs);
            QVERIFY2(Lines(ui.ListBox).contains(u"   2日│妹 (36才)"_qs),
                     qPrintable(Lines(ui.ListBox).join(u'\n')));
            QVERIFY(Lines(ui.ListBox).contains(u"□ 3/27: 家賃振込 (あと 17日)"_qs));
            QVERIFY(run.Stop());
        }
        QCOMPARE(FileLines(run, u"Velmora.tdo"_qs),
                 (QStringList{u"0,0,27,2026,9999,0,家賃振込,"_qs,
                              u"1,0,32776,2026,9999,46091,ゴミ出し,"_qs}));
        QCOMPARE(FileLines(run, u"Velmora.mem"_qs), QStringList{u"3,4,2,1990,9999,0,妹,"_qs});

        TForm1& again = run.Start();
        QCOMPARE(Lines(Widgets(again).ListBox).first(), u"□ 3/27: 家賃振込 (あと 17日)"_qs);
        QCOMPARE(Rows(Widgets(again).ShownTodoList()),
                 (QStringList{u"毎月27日|家賃振込"_qs,
                              u"毎月／週・曜日|ゴミ出し【完了:2026年3月10日】"_qs}));
        QCOMPARE(Rows(Widgets(again).ShownMemList()), QStringList{u"1990年 4月 2日|妹"_qs});
    }
};

QTEST_MAIN(ReminderPanelTest)
#include "ReminderPanelTest.moc"
