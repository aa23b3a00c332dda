// The day lists, the search window, moving a page and the day keys, each built on a store of its
// own without the window, and in the window where they meet the page; each run in its own
// folder.

#include <sys/stat.h>
#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>

#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "mainwindow/daykeys/DayKeys.h"
#include "mainwindow/daylists/DayLists.h"
#include "mainwindow/movepage/MoveCommand.h"
#include "mainwindow/pastyears/PastYears.h"
#include "mainwindow/search/SearchWindow.h"
#include "notes/ui/DateProp.h"
#include "storage/Cp932.h"
#include "storage/DataInfo.h"
#include "storage/DayList.h"
#include "storage/Report.h"
#include "support/FeatureRun.h"
#include "support/PageRun.h"
#include "support/ScopedUnprivileged.h"
#include "support/Screenshots.h"
#include "support/WindowRun.h"
#include "support/WindowWidgets.h"

namespace {

TDataInfo Day(int32_t date, const char* text, const char* title = "", const char* news = "",
              const char* priv = "", int weather = 0) {
    TDataInfo rec;
    rec.Date = date;
    rec.Text = Sjis(text);
    rec.RichText = rec.Text;
    rec.Title = Sjis(title);
    rec.News = Sjis(news);
    rec.Private = Sjis(priv);
    rec.Weather = weather;
    return rec;
}

QTreeWidget* ListOf(const TDayLists& lists) {
    return lists.View()->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
}

QStringList Rows(const QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0) + u"|"_qs + list->topLevelItem(i)->text(1);
    return rows;
}

QStringList Rows(const TDayLists& lists) {
    return Rows(ListOf(lists));
}

// The past years' rows: year and weekday, title, first line.
QStringList PastRows(const QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = list->topLevelItem(i);
        rows << row->text(0) + u"|"_qs + row->text(1) + u"|"_qs + row->text(2);
    }
    return rows;
}

QStringList Rows(TForm1& form) {
    return Rows(Widgets(form).ListView1);
}

void WaitForSearch(TSearchWindow& search) {
    QTRY_VERIFY_WITH_TIMEOUT(!search.Searching(), 10000);
}

// Moving a page without the window: the day page, its writes and the day lists on a store of
// their own, the command run as the window runs it; questions are recorded and answered.
class TMoveRun : public TPageRun {
public:
    TMoveRun() {
        // The core's messages, as the window tells them.
        SetMessageSink([this](const std::string& text) {
            if (writes.Tells(FromCp932(text)))
                Messages << FromCp932(text);
        });
        SetUserMessageHook([this](const QString& text) { Messages << text; });
        SetUserQuestionHook([this](const QString& text) {
            Questions << text;
            return AnswerYes;
        });
    }
    ~TMoveRun() {
        SetMessageSink({});
        SetUserMessageHook({});
        SetUserQuestionHook({});
    }
    void Move() {
        writes.WriteAfter([this] { mover.MoveActionExecute(); });
    }
    void PickDate(int32_t to) {
        mover.PickDate = [to](QDate& date) {
            const TYmd ymd = DecodeDate(to);
            date = QDate(ymd.Year, ymd.Month, ymd.Day);
            return true;
        };
    }

    TDayLists lists{diary, store, events, params};
    TMoveCommand mover{&window, diary, store, [this] { page.StorePage(store.CurrentDate()); },
                       [this] { page.UndoActionExecute(); }};
    QStringList Messages;
    QStringList Questions;
    bool AnswerYes = true;
};

// Keeps the store on the day the grid shows, as the window's page does.
void FollowTheGrid(TFeatureRun& run) {
    QObject::connect(&run.diary, &TDiary::OnChange, &run.diary,
                     [&run] { run.store.SetDate(WholeDay(run.diary.CalendarDate())); });
    QObject::connect(&run.diary, &TDiary::OnChangeDate, &run.diary,
                     [&run](double date) { run.store.SetDate(WholeDay(date)); });
}

}  // namespace

class FindingDaysTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InstallFontSubstitutes(); }
    void cleanup() { SetTodayForTesting(std::nullopt); }

    void rowsOfEachTab_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("monthOnly");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("body, month")
            << 0 << true << QStringList{u" 5月 1日|朝"_qs, u" 5月 3日|昼"_qs};
        QTest::newRow("body, year")
            << 0 << false << QStringList{u" 1月 9日|冬"_qs, u" 5月 1日|朝"_qs, u" 5月 3日|昼"_qs};
        QTest::newRow("private: blank parts unlisted")
            << 1 << true << QStringList{u" 5月 3日|内緒"_qs};
        QTest::newRow("news") << 2 << false << QStringList{u" 1月 9日|雪"_qs};
        QTest::newRow("title") << 3 << true << QStringList{u" 5月 1日|晴れの日"_qs};
    }
    void rowsOfEachTab() {
        QFETCH(int, tab);
        QFETCH(bool, monthOnly);
        QFETCH(QStringList, rows);
        TFeatureRun run;
        run.Seed(Day(EncodeDate(2020, 1, 9), "冬", "", "雪"));
        run.Seed(Day(EncodeDate(2020, 5, 1), "朝", "晴れの日"));
        run.Seed(Day(EncodeDate(2020, 5, 3), "昼", "", "", "内緒"));
        TDayLists lists(run.diary, run.store, run.events, run.params);
        run.Open(EncodeDate(2020, 5, 3));
        lists.SelectTab(tab);
        lists.DiaryListChange();
        lists.N_ThismonthClick(monthOnly ? 1 : 0);
        QCOMPARE(Rows(lists), rows);
        // The row of the current day is selected when it is listed.
        const bool listed = std::any_of(rows.begin(), rows.end(), [](const QString& row) {
            return row.startsWith(u" 5月 3日"_qs);
        });
        QTreeWidgetItem* current = ListOf(lists)->currentItem();
        QCOMPARE(current && current->isSelected() && current->text(0) == u" 5月 3日"_qs, listed);
    }

    void rowsFollowTheStore() {
        SetTodayForTesting(EncodeDate(2020, 5, 3));
        TWindowRun run;
        SeedRecord(run, Day(EncodeDate(2020, 5, 1), "朝"));
        TForm1& form = run.Start();
        QCOMPARE(Rows(form), QStringList{u" 5月 1日|朝"_qs});
        // Storing a page adds its row, through a rebuild.
        TypeText(Widgets(form).DiaryMemo, u"今日の本文"_qs);
        form.DataSaveClick();
        QCOMPARE(Rows(form), (QStringList{u" 5月 1日|朝"_qs, u" 5月 3日|今日の本文"_qs}));
        // Blanking the listed part removes the row; the page stays for its title.
        Widgets(form).Comment->setText(u"題"_qs);
        Widgets(form).DiaryMemo->clear();
        form.DataSaveClick();
        QCOMPARE(Rows(form), QStringList{u" 5月 1日|朝"_qs});
        // Deleting a page removes its row.
        ClickDay(form.Diary1(), EncodeDate(2020, 5, 1));
        form.Actions().DeleteAction->trigger();
        QCOMPARE(Rows(form), QStringList{});
        // Another month with the month filter on: a rebuild for that month.
        SeedRecord(run, Day(EncodeDate(2021, 2, 2), "翌年"));
        form.Diary1().SetCalendarDate(EncodeDate(2021, 2, 10));
        QCOMPARE(Rows(form), QStringList{u" 2月 2日|翌年"_qs});
        form.Diary1().SetCalendarDate(EncodeDate(2021, 3, 10));
        QCOMPARE(Rows(form), QStringList{});
    }

    void longTextsAreCutWholeCharacters() {
        TFeatureRun run;
        run.Seed(Day(EncodeDate(2020, 5, 1), "a一二三四五六七八九十壱弐参"));
        TDayLists lists(run.diary, run.store, run.events, run.params);
        run.Open(EncodeDate(2020, 5, 3));
        // 24 bytes: "a" and eleven double-byte characters, one more whole one past the limit.
        QCOMPARE(Rows(lists), QStringList{u" 5月 1日|a一二三四五六七八九十壱弐..."_qs});
    }

    void weatherIcons_data() {
        QTest::addColumn<bool>("weatherMark");
        QTest::newRow("WEATHERMARK on") << true;
        QTest::newRow("WEATHERMARK off") << false;
    }
    void weatherIcons() {
        QFETCH(bool, weatherMark);
        TFeatureRun run;
        run.params.WeatherMark = weatherMark;
        run.Seed(Day(EncodeDate(2020, 5, 1), "晴", "", "", "", 0));
        run.Seed(Day(EncodeDate(2020, 5, 2), "無", "", "", "", -1));
        TDayLists lists(run.diary, run.store, run.events, run.params);
        run.Open(EncodeDate(2020, 5, 3));
        QTreeWidget* list = ListOf(lists);
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(!list->topLevelItem(0)->icon(0).isNull(), weatherMark);
        QVERIFY(list->topLevelItem(1)->icon(0).isNull());
    }

    void choosingARowOpensItsDayButNotTheCurrentOneAgain() {
        SetTodayForTesting(EncodeDate(2020, 5, 3));
        TWindowRun run;
        SeedRecord(run, Day(EncodeDate(2020, 5, 1), "朝"));
        SeedRecord(run, Day(EncodeDate(2020, 5, 3), "昼"));
        TForm1& form = run.Start();
        TypeText(Widgets(form).NewsMemo, u"書きかけ"_qs);
        QTreeWidget* list = Widgets(form).ListView1;
        QTreeWidgetItem* today = list->topLevelItem(1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(today).center());
        QCOMPARE(Widgets(form).NewsMemo->toPlainText(), u"書きかけ"_qs);
        QVERIFY(form.Actions().UndoAction->isEnabled());
        QTreeWidgetItem* first = list->topLevelItem(0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(first).center());
        QCOMPARE(form.ScrapList().CurrentDate(), EncodeDate(2020, 5, 1));
        QCOMPARE(StoredRecord(run, 2020, EncodeDate(2020, 5, 3)).News, Sjis("書きかけ"));
    }

    void userTitlesOnColumnsTabsAndBands() {
        SetTodayForTesting(EncodeDate(2020, 5, 3));
        TWindowRun run;
        run.Put(u"Velmora.ini"_qs,
                Sjis("CUSTOMTTL=一言,ニュース,秘密,\r\nTABTITLE=言,ニ,秘,\r\nDIARYTABS=2\r\n"));
        TForm1& form = run.Start();
        QCOMPARE(Widgets(form).DiaryList->currentIndex(), 2);
        QCOMPARE(Widgets(form).ListView1->headerItem()->text(1), u"ニュース"_qs);
        QCOMPARE(Widgets(form).DiaryList->tabText(1), u"秘"_qs);
        QCOMPARE(Widgets(form).DiaryList->tabText(3), u"言"_qs);
        QCOMPARE(Widgets(form).DateLabel->text(), u"一言"_qs);
        QCOMPARE(Widgets(form).CoolBar2->BandText(1), u"秘密"_qs);
        Widgets(form).DiaryList->setCurrentIndex(3);
        QVERIFY(run.Stop());
        QVERIFY(QString::fromStdString(run.Read(u"Velmora.ini"_qs)).contains(u"DIARYTABS=3"_qs));
    }

    // The past years open from a button in the lists' caption row, so the four tabs keep their
    // room at the first-start size; the choice is kept as the fifth list, and a tab brings the
    // day lists back, the current one too.
    void pastYearsButtonBesideTheTabs_data() {
        QTest::addColumn<int>("startTab");
        QTest::addColumn<int>("clickedTab");
        QTest::addColumn<QString>("saved");
        QTest::newRow("from the past years to their tab") << 4 << 0 << u"DIARYTABS=0"_qs;
        QTest::newRow("back to the current tab") << 3 << 3 << u"DIARYTABS=3"_qs;
        QTest::newRow("kept open") << 4 << -1 << u"DIARYTABS=4"_qs;
    }
    void pastYearsButtonBesideTheTabs() {
        QFETCH(int, startTab);
        QFETCH(int, clickedTab);
        QFETCH(QString, saved);
        SetTodayForTesting(EncodeDate(2020, 5, 3));
        TWindowRun run;
        SeedRecord(run, Day(EncodeDate(2020, 5, 1), "朝"));
        SeedRecord(run, Day(EncodeDate(2019, 5, 3), "去年"));
        run.Put(u"Velmora.ini"_qs, "DIARYTABS=" + std::to_string(startTab) + "\r\n");
        TForm1& form = run.Start();
        QTabBar* tabs = Widgets(form).DiaryList;
        auto* button = form.findChild<QToolButton*>(u"PastYearsButton"_qs);
        QVERIFY(button && button->isVisible());
        QCOMPARE(tabs->count(), DayListTabCount);
        QVERIFY(tabs->tabRect(DayListTabCount - 1).right() < tabs->width());
        QCOMPARE(button->isChecked(), startTab == DayListTabCount);
        QCOMPARE(Widgets(form).ListView1->isVisible(), startTab != DayListTabCount);
        // The remembered past years are filled for the first frame.
        if (startTab == DayListTabCount)
            QCOMPARE(PastRows(form.findChild<QTreeWidget*>(u"PastYearsList"_qs)),
                     QStringList{u"2019年(金)||去年"_qs});
        if (startTab != DayListTabCount) {
            button->click();
            QVERIFY(!Widgets(form).ListView1->isVisible());
        }
        if (clickedTab >= 0) {
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(clickedTab).center());
            QVERIFY(!button->isChecked());
            QVERIFY(Widgets(form).ListView1->isVisible());
            QCOMPARE(Rows(form).size(), clickedTab == 0 ? 1 : 0);
        }
        QVERIFY(run.Stop());
        QVERIFY(QString::fromStdString(run.Read(u"Velmora.ini"_qs)).contains(saved));
    }

    // The era date of a listed day shows on hovering its date, when the era option is on.
    void eraDateOnTheListsDates_data() {
        QTest::addColumn<bool>("era");
        QTest::addColumn<QStringList>("tips");
        QTest::newRow("on") << true << QStringList{u"令和2年5月1日"_qs, u"平成31年4月30日"_qs};
        QTest::newRow("off") << false << QStringList{QString(), QString()};
    }
    void eraDateOnTheListsDates() {
        QFETCH(bool, era);
        QFETCH(QStringList, tips);
        TFeatureRun run;
        run.params.ShowEraDate = era;
        run.Seed(Day(EncodeDate(2020, 5, 1), "朝"));
        run.Seed(Day(EncodeDate(2019, 4, 30), "改元の前日"));
        TDayLists lists(run.diary, run.store, run.events, run.params);
        run.Open(EncodeDate(2020, 5, 1));
        lists.SelectTab(0);
        lists.DiaryListChange();
        QCOMPARE(ListOf(lists)->topLevelItem(0)->toolTip(0), tips[0]);
        lists.SelectTab(DayListTabCount);
        lists.DiaryListChange();
        run.Open(EncodeDate(2020, 4, 30));
        QCOMPARE(lists.PastYears().List()->topLevelItem(0)->toolTip(0), tips[1]);
    }

    void pastYearsRows_data() {
        QTest::addColumn<int>("shown");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("leapNote");
        QTest::newRow("earlier years only, newest first")
            << EncodeDate(2026, 5, 3)
            << QStringList{u"2025年(土)|連休|海へ行った"_qs, u"2019年(金)||初日"_qs} << false;
        QTest::newRow("from an earlier year, the years before it")
            << EncodeDate(2025, 5, 3) << QStringList{u"2019年(金)||初日"_qs} << false;
        QTest::newRow("29 February shown on 28 February of a common year")
            << EncodeDate(2026, 2, 28)
            << QStringList{u"2024年 2/29(木)|閏日|四年に一度"_qs, u"2023年(火)|前の年|雪"_qs}
            << true;
        QTest::newRow("a leap year's 28 February is itself")
            << EncodeDate(2028, 2, 28) << QStringList{u"2023年(火)|前の年|雪"_qs} << false;
        QTest::newRow("29 February")
            << EncodeDate(2028, 2, 29) << QStringList{u"2024年(木)|閏日|四年に一度"_qs} << false;
    }
    void pastYearsRows() {
        QFETCH(int, shown);
        QFETCH(QStringList, rows);
        QFETCH(bool, leapNote);
        TFeatureRun run;
        run.Seed(Day(EncodeDate(2019, 5, 3), "\r\n  初日\r\n二行目"));
        run.Seed(Day(EncodeDate(2025, 5, 3), "海へ行った\r\n楽しかった", "連休"));
        run.Seed(Day(EncodeDate(2026, 5, 3), "今年", "今年の題"));
        run.Seed(Day(EncodeDate(2027, 5, 3), "来年"));
        run.Seed(Day(EncodeDate(2023, 2, 28), "雪", "前の年"));
        run.Seed(Day(EncodeDate(2024, 2, 29), "四年に一度", "閏日"));
        TDayLists lists(run.diary, run.store, run.events, run.params);
        lists.SelectTab(DayListTabCount);
        lists.DiaryListChange();
        run.Open(shown);
        const TPastYears& past = lists.PastYears();
        QStringList shownRows;
        for (int i = 0; i < past.List()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = past.List()->topLevelItem(i);
            shownRows << row->text(0) + u"|"_qs + row->text(1) + u"|"_qs + row->text(2);
        }
        QCOMPARE(shownRows, rows);
        QCOMPARE(!past.Note()->isHidden(), leapNote);
        QVERIFY(!past.View()->isHidden());
    }

    void pastYearsFollowTheDayAndItsWrites() {
        TFeatureRun run;
        FollowTheGrid(run);
        run.Seed(Day(EncodeDate(2024, 5, 3), "前の年", "", "", "", 3));
        run.Seed(Day(EncodeDate(2025, 5, 3), "去年", "", "", "", -1));
        TDayLists lists(run.diary, run.store, run.events, run.params);
        lists.SelectTab(DayListTabCount);
        lists.DiaryListChange();
        run.Open(EncodeDate(2026, 5, 3));
        QTreeWidget* list = lists.PastYears().List();
        list->resize(400, 200);
        QCOMPARE(list->topLevelItemCount(), 2);
        QVERIFY(list->topLevelItem(0)->icon(0).isNull());  // no weather mark
        QVERIFY(!list->topLevelItem(1)->icon(0).isNull());
        // A click opens the day; the list then holds the years before it.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(0)).center());
        QCOMPARE(run.store.CurrentDate(), EncodeDate(2025, 5, 3));
        QCOMPARE(WholeDay(run.diary.CalendarDate()), EncodeDate(2025, 5, 3));
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(2), u"前の年"_qs);
        // That page written there shows as written once its year is left.
        TDataInfo page = run.store.Current();
        page.Title = Sjis("書き直した");
        run.store.PutRecord(page);
        run.diary.SetCalendarDate(EncodeDate(2026, 5, 3));
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(1), u"書き直した"_qs);
        // The day lists come back on their own tabs.
        lists.SelectTab(0);
        lists.DiaryListChange();
        QVERIFY(lists.PastYears().View()->isHidden());
    }

    // Hidden, the past years read nothing; shown again, they hold what a panel that followed
    // every change holds.
    void pastYearsChangedWhileHidden_data() {
        QTest::addColumn<int>("change");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("another day") << 0 << QStringList{u"2024年(土)||四日"_qs};
        QTest::newRow("a page written in another year")
            << 1 << QStringList{u"2025年(土)|書き直した|去年"_qs, u"2024年(金)||前の年"_qs};
        QTest::newRow("a page deleted in another year")
            << 2 << QStringList{u"2024年(金)||前の年"_qs};
    }
    void pastYearsChangedWhileHidden() {
        QFETCH(int, change);
        QFETCH(QStringList, rows);
        TFeatureRun run;
        FollowTheGrid(run);
        run.Seed(Day(EncodeDate(2024, 5, 3), "前の年"));
        run.Seed(Day(EncodeDate(2024, 5, 4), "四日"));
        run.Seed(Day(EncodeDate(2025, 5, 3), "去年"));
        TDayLists lists(run.diary, run.store, run.events, run.params);
        TDayLists shownThroughout(run.diary, run.store, run.events, run.params);
        for (TDayLists* each : {&lists, &shownThroughout}) {
            each->SelectTab(DayListTabCount);
            each->DiaryListChange();
        }
        run.diary.SetCalendarDate(EncodeDate(2026, 5, 3));
        QTreeWidget* list = lists.PastYears().List();
        const QStringList before = PastRows(list);
        QCOMPARE(before.size(), 2);
        lists.SelectTab(0);
        lists.DiaryListChange();
        QVERIFY(lists.PastYears().View()->isHidden());

        const auto visit = [&run](const std::function<void()>& there) {
            run.diary.SetCalendarDate(EncodeDate(2025, 5, 3));
            there();
            run.diary.SetCalendarDate(EncodeDate(2026, 5, 3));
        };
        if (change == 0) {
            run.diary.SetCalendarDate(EncodeDate(2026, 5, 4));
        } else if (change == 1) {
            visit([&run] {
                TDataInfo page = run.store.Current();
                page.Title = Sjis("書き直した");
                run.store.PutRecord(page);
            });
        } else {
            visit([&run] { QVERIFY(run.store.DeleteByDate(EncodeDate(2025, 5, 3))); });
        }
        QCOMPARE(PastRows(list), before);

        lists.PastYearsButton()->click();
        QVERIFY(!lists.PastYears().View()->isHidden());
        QCOMPARE(PastRows(list), rows);
        QCOMPARE(PastRows(shownThroughout.PastYears().List()), rows);
    }

    void searchOverTheYearFiles() {
        TFeatureRun run;
        run.Seed(Day(EncodeDate(2019, 3, 3), "ﾃﾞｨｽﾞﾆｰへ行った"));
        run.Seed(Day(EncodeDate(2020, 8, 8), "雨", "", "でぃずにー の花火"));
        run.Seed(Day(EncodeDate(2021, 1, 1), "元日"));
        // A damaged year: its good lines are searched, the file is named and left alone.
        const std::string damaged =
            Sjis("x,0,,,ディズニー,,,,\r\n") + "43101,0,,," + Sjis("ディズニー日記") + ",,,,\r\n";
        run.Write("2018.dat", damaged);
        run.Open(EncodeDate(2021, 6, 1));
        QWidget window;
        // The page being written reaches the store before the search: the open year is
        // searched as the store holds it.
        TSearchWindow search(&window, run.store, run.params, [&run] {
            run.store.PutRecord(Day(EncodeDate(2021, 6, 1), "ディズニーランド"));
        });
        QList<int32_t> chosen;
        connect(&search, &TSearchWindow::DayChosen, &search,
                [&chosen](int32_t date) { chosen << date; });
        search.Open();
        QVERIFY(search.isVisible());
        TypeText(search.Query(), u"ディズニー"_qs);
        QTest::keyClick(search.Query(), Qt::Key_Return);
        WaitForSearch(search);
        QStringList dates;
        for (int i = 0; i < search.Results()->topLevelItemCount(); ++i)
            dates << search.Results()->topLevelItem(i)->text(0);
        QCOMPARE(dates, (QStringList{u"2021年6月1日 (火)"_qs, u"2020年8月8日 (土)"_qs,
                                     u"2019年3月3日 (日)"_qs, u"2018年1月1日 (月)"_qs}));
        QVERIFY(search.Status()->text().contains(u"2018.dat"_qs));
        std::string after;
        QVERIFY(ReadWholeFile(run.File("2018.dat"), after));
        QCOMPARE(after, damaged);
        QCOMPARE(search.Results()->topLevelItem(1)->text(1), search.Fields()->itemText(3));
        QVERIFY(SavePng(&search, u"search-window.png"_qs));
        // Oldest first.
        search.Order()->setCurrentIndex(1);
        search.StartSearch();
        WaitForSearch(search);
        QCOMPARE(search.Results()->topLevelItem(0)->text(0), u"2018年1月1日 (月)"_qs);
        // Choosing a result tells its day.
        search.Results()->setCurrentItem(search.Results()->topLevelItem(1));
        QTest::keyClick(search.Results(), Qt::Key_Return);
        QCOMPARE(chosen, QList<int32_t>{EncodeDate(2019, 3, 3)});
        // Each word of the query is highlighted where it shows, not only the first.
        search.Query()->setText(u"ディズニー　花火"_qs);
        search.StartSearch();
        WaitForSearch(search);
        QCOMPARE(search.Results()->topLevelItemCount(), 1);
        QTreeWidgetItem* both = search.Results()->topLevelItem(0);
        QCOMPARE(both->text(2), u"でぃずにー の花火"_qs);
        const QString html = both->data(2, TSearchWindow::HighlightRole).toString();
        QCOMPARE(html.count(u"<b "_qs), 2);
        QVERIFY2(html.contains(u">でぃずにー</b>"_qs) && html.contains(u">花火</b>"_qs),
                 qPrintable(html));
        QTest::keyClick(&search, Qt::Key_Escape);
        QVERIFY(!search.isVisible());
    }

    // In the window: Ctrl+F opens the search, which finds the page being written, and a chosen
    // result opens its day after the page left is stored.
    void searchFromTheWindow() {
        SetTodayForTesting(EncodeDate(2021, 6, 1));
        TWindowRun run;
        SeedRecord(run, Day(EncodeDate(2019, 3, 3), "ﾃﾞｨｽﾞﾆｰへ行った"));
        TForm1& form = run.Start();
        TypeText(Widgets(form).DiaryMemo, u"ディズニーランド"_qs);
        QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
        TSearchWindow& search = form.Search();
        QVERIFY(search.isVisible());
        TypeText(search.Query(), u"ディズニー"_qs);
        QTest::keyClick(search.Query(), Qt::Key_Return);
        WaitForSearch(search);
        QCOMPARE(search.Results()->topLevelItemCount(), 2);
        QCOMPARE(search.Results()->topLevelItem(0)->text(0), u"2021年6月1日 (火)"_qs);
        search.Results()->setCurrentItem(search.Results()->topLevelItem(1));
        QTest::keyClick(search.Results(), Qt::Key_Return);
        QCOMPARE(form.ScrapList().CurrentDate(), EncodeDate(2019, 3, 3));
        QCOMPARE(Widgets(form).DiaryMemo->toPlainText(), u"ﾃﾞｨｽﾞﾆｰへ行った"_qs);
        QCOMPARE(StoredRecord(run, 2021, EncodeDate(2021, 6, 1)).Text.Text(),
                 Sjis("ディズニーランド"));
        // Closed and opened again, it is the same window, and a result chosen from it opens
        // its day once more.
        QTest::keyClick(&search, Qt::Key_Escape);
        QVERIFY(!search.isVisible());
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(search.isVisible());
        QCOMPARE(&form.Search(), &search);
        QCOMPARE(form.findChildren<TSearchWindow*>().size(), 1);
        QCOMPARE(search.Query()->selectedText(), u"ディズニー"_qs);
        search.StartSearch();
        WaitForSearch(search);
        QCOMPARE(search.Results()->topLevelItemCount(), 2);
        search.Results()->setCurrentItem(search.Results()->topLevelItem(0));
        QTest::keyClick(search.Results(), Qt::Key_Return);
        QCOMPARE(form.ScrapList().CurrentDate(), EncodeDate(2021, 6, 1));
    }

    // A search stopped, closed or started anew lists nothing more of what its threads had already
    // found and sent.
    void interruptedSearchListsNothingOfIt_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("listed");
        QTest::newRow("cancelled") << u"cancel"_qs << QString();
        QTest::newRow("window closed") << u"close"_qs << QString();
        QTest::newRow("searched anew") << u"anew"_qs << u"雪"_qs;
    }
    void interruptedSearchListsNothingOfIt() {
        QFETCH(QString, how);
        QFETCH(QString, listed);
        TFeatureRun run;
        for (int year = 2001; year <= 2010; ++year) {
            run.Seed(Day(EncodeDate(year, 2, 2), "花"));
            run.Seed(Day(EncodeDate(year, 3, 3), "雪"));
        }
        run.Open(EncodeDate(2021, 6, 1));
        QWidget window;
        TSearchWindow search(&window, run.store, run.params, [] {});
        search.Open();
        search.Query()->setText(u"花"_qs);
        search.StartSearch();
        QVERIFY(search.Searching());
        // The threads finish meanwhile: what they found waits in the event queue.
        QThread::msleep(300);
        if (how == u"cancel"_qs) {
            search.CancelSearch();
        } else if (how == u"close"_qs) {
            search.close();
        } else {
            search.Query()->setText(u"雪"_qs);
            search.StartSearch();
        }
        WaitForSearch(search);
        QTest::qWait(50);
        QStringList texts;
        for (int i = 0; i < search.Results()->topLevelItemCount(); ++i)
            texts << search.Results()->topLevelItem(i)->text(2);
        QCOMPARE(texts, listed.isEmpty() ? QStringList() : QStringList(10, listed));
        QCOMPARE(search.Status()->text().contains(u"中止"_qs), listed.isEmpty());
    }

    void movePage_data() {
        QTest::addColumn<int32_t>("to");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<int>("questions");
        QTest::newRow("empty day") << EncodeDate(2020, 5, 20) << true << true << 0;
        QTest::newRow("day with a page, yes") << EncodeDate(2020, 5, 1) << true << true << 1;
        QTest::newRow("day with a page, no") << EncodeDate(2020, 5, 1) << false << false << 1;
        QTest::newRow("across the year") << EncodeDate(2021, 1, 1) << true << true << 0;
        QTest::newRow("page in another year, no") << EncodeDate(2019, 1, 1) << false << false << 1;
    }
    void movePage() {
        QFETCH(int32_t, to);
        QFETCH(bool, answer);
        QFETCH(bool, moved);
        QFETCH(int, questions);
        TMoveRun run;
        run.Seed(Day(EncodeDate(2020, 5, 1), "前", "前の題"));
        run.Seed(Day(EncodeDate(2019, 1, 1), "昔", "昔の題"));
        run.Open(EncodeDate(2020, 5, 3));
        run.page.View().Title()->setText(u"動く題"_qs);
        TypeText(run.page.View().Body(), u"動く"_qs);
        run.AnswerYes = answer;
        run.PickDate(to);
        run.Move();
        QCOMPARE(run.Questions.size(), questions);
        if (questions)
            QVERIFY(run.Questions.first().contains(u"動く題"_qs));
        QCOMPARE(run.Stored(to).Text == Sjis("動く"), moved);
        QCOMPARE(run.Stored(EncodeDate(2020, 5, 3)).Date == 0, moved);
        QCOMPARE(run.store.CurrentDate(), moved ? to : EncodeDate(2020, 5, 3));
        QCOMPARE(run.page.View().Body()->toPlainText(), u"動く"_qs);
        if (moved && DecodeDate(to).Year == 2020)
            QVERIFY(Rows(run.lists).join(',').contains(u"動く"_qs));
    }

    void moveIntoAReadOnlyFolderLosesNothing() {
        const int32_t from = EncodeDate(2020, 5, 3);
        const int32_t to = EncodeDate(2020, 5, 9);
        TMoveRun run;
        run.Seed(Day(from, "残る"));
        run.Open(from);
        run.PickDate(to);
        const std::string folder = run.Dir();
        {
            ScopedUnprivileged nobody(folder);
            QCOMPARE(::chmod(folder.c_str(), 0555), 0);
            run.Move();
            ::chmod(folder.c_str(), 0755);
        }
        QVERIFY(!run.Messages.isEmpty());
        QCOMPARE(run.Stored(from).Text, Sjis("残る"));
        QCOMPARE(run.Stored(to).Date, 0);
        QCOMPARE(run.store.CurrentDate(), from);
        QCOMPARE(run.store.FindByDate(to).Date, 0);
        QCOMPARE(run.page.View().Body()->toPlainText(), u"残る"_qs);
        QCOMPARE(Rows(run.lists), QStringList{u" 5月 3日|残る"_qs});
    }

    // The move dialog writes a date as the note editor does.
    void moveDialogWritesDatesAsTheNoteEditor() {
        SetTodayForTesting(EncodeDate(2019, 4, 29));
        TMoveRun run;
        run.Seed(Day(EncodeDate(2019, 4, 29), "祝日"));
        run.Open(EncodeDate(2019, 4, 29));
        TTodoMemo memo;
        memo.LoadNote(nullptr, true);
        QString shown;
        QTimer::singleShot(0, [&shown] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            shown = dialog->findChild<QDateEdit*>(u"MoveDate"_qs)->text();
            dialog->close();
        });
        run.Move();
        QCOMPARE(shown, u"2019年4月29日"_qs);
        QCOMPARE(shown, memo.MemDate->text());
        QCOMPARE(run.store.CurrentDate(), EncodeDate(2019, 4, 29));
    }

    void dayKeysFromTheEditor() {
        SetTodayForTesting(EncodeDate(2020, 5, 3));
        TFeatureRun run;
        run.Seed(Day(EncodeDate(2019, 12, 30), "前年"));
        run.Seed(Day(EncodeDate(2020, 5, 10), "後"));
        FollowTheGrid(run);
        run.Open(EncodeDate(2020, 5, 3));
        QWidget window;
        auto* editor = new QTextEdit(&window);
        TDayKeys keys(&window, run.diary, run.store);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        editor->setFocus();
        struct Step {
            Qt::Key key;
            int32_t date;
        };
        const Step steps[] = {
            {Qt::Key_Right, EncodeDate(2020, 5, 4)},     {Qt::Key_Left, EncodeDate(2020, 5, 3)},
            {Qt::Key_Down, EncodeDate(2020, 5, 10)},     {Qt::Key_Up, EncodeDate(2019, 12, 30)},
            {Qt::Key_PageDown, EncodeDate(2020, 1, 30)}, {Qt::Key_PageUp, EncodeDate(2019, 12, 30)},
            {Qt::Key_Home, EncodeDate(2020, 5, 3)}};
        for (const Step& step : steps) {
            QTest::keyClick(editor, step.key, Qt::AltModifier);
            QCOMPARE(run.store.CurrentDate(), step.date);
        }
        QCOMPARE(editor->toPlainText(), QString());
    }

    void screenshotsOfEachTab() {
        SetTodayForTesting(EncodeDate(2020, 5, 3));
        TWindowRun run;
        for (int day = 1; day <= 28; day += 3)
            SeedRecord(run, Day(EncodeDate(2020, 5, day),
                                "今日は朝から雨が降っていた。表通りで本を買った。", "散歩の日",
                                day % 2 ? "駅前の祭り" : "", day % 3 ? "内緒の話" : "", day % 33));
        TForm1& form = run.Start();
        form.resize(1000, 700);
        for (const int year : {2019, 2018, 2016})
            SeedRecord(run, Day(EncodeDate(year, 5, 3), "あの年の五月、庭の藤が見事に咲いた。",
                                "藤の花", "", "", year % 33));
        for (int tab = 0; tab < DayListTabCount; ++tab) {
            Widgets(form).DiaryList->setCurrentIndex(tab);
            QVERIFY(SavePng(&form, u"daylists-tab%1.png"_qs.arg(tab)));
        }
        form.findChild<QToolButton*>(u"PastYearsButton"_qs)->click();
        QVERIFY(SavePng(&form, u"daylists-pastyears.png"_qs));
    }
};

QTEST_MAIN(FindingDaysTest)
#include "FindingDaysTest.moc"
