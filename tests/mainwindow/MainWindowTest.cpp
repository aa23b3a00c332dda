#include <sys/stat.h>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTextEdit>
#include <QToolButton>

#include "MainWindowTest.h"
#include "bridge/TextCodec.h"
#include "calendar/QReki.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/PageState.h"
#include "mainwindow/daykeys/DayKeys.h"
#include "mainwindow/daypage/DayPage.h"
#include "mainwindow/search/SearchWindow.h"
#include "richtext/RtfReader.h"
#include "storage/Cp932.h"
#include "storage/ScrapList.h"
#include "storage/VelmoraError.h"
#include "support/FeatureRun.h"
#include "support/ScopedUnprivileged.h"
#include "widgets/BevLabel.h"
#include "widgets/WeatherIcons.h"

namespace {

QStringList IniLines(const std::string& bytes) {
    return FromCp932(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

// Selects a range of the body and makes it bold, as a formatting command would.
void MakeBold(QTextEdit* editor, int from, int to) {
    QTextCursor cursor(editor->document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(bold);
}

}  // namespace

void TMainWindowTest::firstStartWithNoFiles() {
    SetTodayForTesting(EncodeDate(2026, 3, 10));
    TWindowRun run;
    TForm1& form = run.Start();
    const TWindowWidgets ui = Widgets(form);

    QCOMPARE(form.windowTitle().left(7), QStringLiteral("Velmora"));
    QCOMPARE(form.Diary1().CalendarDate(), double(EncodeDate(2026, 3, 10)));
    QCOMPARE(ui.DateDisp->Caption(), u"2026 年 3 月 10 日 (火)"_qs);
    QVERIFY(ui.Comment->text().isEmpty());
    QVERIFY(ui.DiaryMemo->toPlainText().isEmpty());
    QCOMPARE(form.Page().Weather(), WeatherUnknown);
    QVERIFY(!form.Actions().SaveNowAction->isEnabled());
    QVERIFY(!form.Actions().UndoAction->isEnabled());
    QVERIFY(!form.Actions().DeleteAction->isEnabled());
    QCOMPARE(ui.DiaryList->currentIndex(), 0);
    // The day keys are in the menu bar and named in the tooltips of the grid's buttons.
    QVERIFY(ui.MenuBar->actions().contains(form.DayKeys().Menu()->menuAction()));
    QCOMPARE(ui.ToolButton11->toolTip(),
             u"次月 (%1)"_qs.arg(
                 form.DayKeys().NextMonthAction->shortcut().toString(QKeySequence::NativeText)));
    QVERIFY(run.Messages.isEmpty());
    // The window is the only thing on screen.
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible() || w == &form, qPrintable(w->objectName()));
    // What it does not show waits for its first use: the search window, the weather marks (the
    // button has its menu, and so its arrow, from the start).
    QVERIFY(!form.findChild<TSearchWindow*>());
    QCOMPARE(ui.WeatherBtn->menu(), form.Page().WeatherPopup());
    QVERIFY(form.Page().WeatherPopup()->actions().isEmpty());

    run.Stop();
    QCOMPARE(run.Files(), QStringList{u"Velmora.ini"_qs});
    const QStringList lines = IniLines(run.Read(u"Velmora.ini"_qs));
    QStringList sorted = lines;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(lines, sorted);
    // Defaults of the settings record, then the window's own design values.
    for (const QString& expected :
         {u"KEYWORD=0,"_qs, u"WEATHERMARK=1"_qs, u"DIARYLIST=1"_qs, u"DEATHDISP=0"_qs,
          u"ROKUYO=0"_qs, u"DIARYTABS=0"_qs,
          u"DIARYCOLOR=15658751,16777215,16777215,16777215,16777215,16777215,16768477,"
          u"15658751,16711680,16776960,0,"_qs})
        QVERIFY2(lines.contains(expected), qPrintable(lines.join(u'\n')));
    // The first start opens larger than the design size where the screen allows, and the left
    // column, the grid and the body hold at least their design sizes of 236, 135 and 195.
    const QString split = lines.filter(QRegularExpression(u"^SPLITINFO="_qs)).value(0);
    const QStringList fields = split.mid(QStringLiteral("SPLITINFO=").size()).split(u',');
    QVERIFY2(fields.size() >= 3, qPrintable(split));
    QVERIFY2(fields[0].toInt() >= 236 && fields[1].toInt() >= 135 && fields[2].toInt() >= 195,
             qPrintable(split));
    QVERIFY(!lines.filter(QRegularExpression(u"^DATEFONT=\"ＭＳ Ｐゴシック\""_qs)).isEmpty());
}

void TMainWindowTest::usersDayComesBackAfterRestart() {
    const int32_t jan31 = EncodeDate(2026, 1, 31);
    SetTodayForTesting(jan31);
    TWindowRun run;
    {
        TForm1& form = run.Start();
        const TWindowWidgets ui = Widgets(form);
        TypeText(ui.Comment, u"初雪の日"_qs);
        QVERIFY(form.Actions().SaveNowAction->isEnabled());
        QVERIFY(form.Actions().UndoAction->isEnabled());
        TypeText(ui.DiaryMemo, u"朝から雪が降った"_qs);
        MakeBold(ui.DiaryMemo, 0, 2);
        ui.NewsMemo->setPlainText(u"駅前の店が開いた"_qs);
        ui.PrivMemo->setPlainText(u"内緒"_qs);
        ChooseWeather(form, 21);
        QCOMPARE(form.Page().Weather(), 21);

        // Leaving the day stores the page, writes the year file and the grid marks the day.
        QVERIFY(run.Read(u"2026.dat"_qs).empty());
        ClickDay(form.Diary1(), EncodeDate(2026, 1, 30));
        QCOMPARE(form.ScrapList().CurrentDate(), EncodeDate(2026, 1, 30));
        QCOMPARE(FromCp932(StoredRecord(run, 2026, jan31).Title), u"初雪の日"_qs);
        QVERIFY(!form.ScrapList().Modified());
        QVERIFY(!form.isWindowModified());
        const TDataInfo& stored = form.ScrapList().FindByDate(jan31);
        QCOMPARE(stored.Date, jan31);
        QCOMPARE(FromCp932(stored.Title), u"初雪の日"_qs);
        QCOMPARE(FromCp932(stored.Text.Text()), u"朝から雪が降った"_qs);
        QCOMPARE(stored.Weather, 21);
        // A body typed here names the Windows face in its font table, as other writers do.
        QVERIFY(
            QString::fromLatin1(stored.RichText.Text())
                .contains(u"\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53"_qs, Qt::CaseInsensitive));
        QCOMPARE(form.Page().Diary1EventDefine(jan31), uint8_t(1 | 2 | 4 | 8 | 16));
        QVERIFY(ui.Comment->text().isEmpty());
        QVERIFY(!form.Actions().SaveNowAction->isEnabled());
        // The editors' own undo cannot bring the day left back into this one.
        QVERIFY(!ui.DiaryMemo->document()->isUndoAvailable());
        QVERIFY(!ui.NewsMemo->document()->isUndoAvailable());
        QVERIFY(!ui.Comment->isUndoAvailable());

        // The next month from 31 January lands on the last day of February.
        ClickDay(form.Diary1(), jan31);
        QCOMPARE(FromCp932(form.ScrapList().Current().Title), u"初雪の日"_qs);
        QTest::mouseClick(ui.ToolButton11, Qt::LeftButton);
        QCOMPARE(form.Diary1().CalendarDate(), double(EncodeDate(2026, 2, 28)));
        QCOMPARE(ui.TodayBtn->text(), u"2026年 2月"_qs);

        // The month menu goes to the first of the chosen month and ticks it.
        QAction* may = ui.MonthList->actions().at(4);
        may->trigger();
        QCOMPARE(form.Diary1().CalendarDate(), double(EncodeDate(2026, 5, 1)));
        QVERIFY(may->isChecked());
        ClickDay(form.Diary1(), EncodeDate(2026, 4, 30));
        QVERIFY(ui.MonthList->actions().at(3)->isChecked());
        ui.MonthList->actions().at(1)->trigger();
        ClickDay(form.Diary1(), EncodeDate(2026, 2, 28));

        // A day in another year: the year being left is written before the other is loaded.
        QTest::mouseClick(ui.ToolButton13, Qt::LeftButton);
        QCOMPARE(form.Diary1().CalendarDate(), double(EncodeDate(2027, 2, 28)));
        QCOMPARE(ui.CoolBar3->BandText(0), u"2027年日記"_qs);
        QCOMPARE(StoredRecord(run, 2026, jan31).Weather, 21);
        ui.Comment->setText(u"来年の日"_qs);
        QTest::mouseClick(ui.ToolButton12, Qt::LeftButton);
        QCOMPARE(ui.CoolBar3->BandText(0), u"2026年日記"_qs);
        QCOMPARE(FromCp932(StoredRecord(run, 2027, EncodeDate(2027, 2, 28)).Title), u"来年の日"_qs);

        form.Actions().SaveNowAction->trigger();
        run.Stop();
    }
    QVERIFY(run.Messages.isEmpty());

    TForm1& again = run.Start();
    const TWindowWidgets ui = Widgets(again);
    QCOMPARE(ui.Comment->text(), u"初雪の日"_qs);
    QCOMPARE(ui.DiaryMemo->toPlainText(), u"朝から雪が降った"_qs);
    QCOMPARE(ui.NewsMemo->toPlainText(), u"駅前の店が開いた"_qs);
    QCOMPARE(ui.PrivMemo->toPlainText(), u"内緒"_qs);
    QCOMPARE(again.Page().Weather(), 21);
    QTextCursor cursor(ui.DiaryMemo->document());
    cursor.setPosition(1);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
    cursor.setPosition(4);
    QVERIFY(cursor.charFormat().fontWeight() != int(QFont::Bold));
    QVERIFY(again.Actions().DeleteAction->isEnabled());
    QVERIFY(!again.Actions().SaveNowAction->isEnabled());
}

void TMainWindowTest::blankPageKeepsNoRecord() {
    const int32_t day = EncodeDate(2026, 5, 20);
    SetTodayForTesting(day);
    TWindowRun run;
    TForm1& form = run.Start();
    const TWindowWidgets ui = Widgets(form);
    ui.Comment->setText(u"消す予定"_qs);
    ChooseWeather(form, 0);
    form.DataSaveClick();
    QCOMPARE(form.ScrapList().FindByDate(day).Date, day);
    QVERIFY(form.Actions().DeleteAction->isEnabled());

    // Blanking every text keeps the day for its weather; taking the weather off as well deletes
    // the record, and the page reloads.
    ui.Comment->setText(u"  "_qs);
    form.DataSaveClick();
    QCOMPARE(form.ScrapList().FindByDate(day).Weather, 0);
    ChooseWeather(form, WeatherUnknown);
    form.DataSaveClick();
    QCOMPARE(form.ScrapList().FindByDate(day).Date, 0);
    QCOMPARE(form.Page().Weather(), WeatherUnknown);

    // A body alone keeps its text and rich text; a cleared body keeps no rich text.
    TypeText(ui.DiaryMemo, u"本文だけ"_qs);
    form.DataSaveClick();
    QCOMPARE(FromCp932(form.ScrapList().FindByDate(day).Text.Text()), u"本文だけ"_qs);
    QVERIFY(IsRtf(form.ScrapList().FindByDate(day).RichText.Text()));
    ui.Comment->setText(u"題"_qs);
    ui.DiaryMemo->clear();
    form.DataSaveClick();
    QCOMPARE(form.ScrapList().FindByDate(day).Text, std::string());
    QCOMPARE(form.ScrapList().FindByDate(day).RichText.Text(), std::string());
    ui.Comment->clear();
    form.DataSaveClick();
    QCOMPARE(form.ScrapList().Count(), 0);

    // The delete command removes the day's record at once.
    ui.NewsMemo->setPlainText(u"記録"_qs);
    form.DataSaveClick();
    QCOMPARE(form.ScrapList().Count(), 1);
    form.Actions().DeleteAction->trigger();
    QCOMPARE(form.ScrapList().Count(), 0);
    QVERIFY(ui.NewsMemo->toPlainText().isEmpty());
    form.DataSaveClick();
    QCOMPARE(StoredRecord(run, 2026, day).Date, 0);
}

void TMainWindowTest::untouchedBodyIsWrittenBackByteForByte() {
    // A body as another writer left it: odd spacing and groups this program would not write.
    const std::string rtf = Sjis(
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
        "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
        "\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs24 \\b\\'93\\'fa\\'8b\\'4c\\b0  "
        "body\\par\r\n}\r\n");
    const int32_t day = EncodeDate(2026, 6, 1);
    SetTodayForTesting(day);
    TWindowRun run;
    {
        TScrapList seed;
        seed.LoadFromFile(run.CorePath(u"2026.dat"_qs));
        TDataInfo rec;
        rec.Date = day;
        rec.Title = "t";
        rec.Text = Sjis("日記 body");
        rec.RichText = rtf;
        rec.Weather = -1;
        seed.PutRecord(rec);
        seed.SaveToFile();
    }
    TForm1& form = run.Start();
    QCOMPARE(Widgets(form).DiaryMemo->toPlainText(), u"日記 body"_qs);
    Widgets(form).Comment->setText(u"title only"_qs);
    form.DataSaveClick();
    const TDataInfo stored = StoredRecord(run, 2026, day);
    QCOMPARE(FromCp932(stored.Title), u"title only"_qs);
    QCOMPARE(stored.RichText.Text(), rtf);

    // Once the body is edited it is written anew, and still reads back the same text.
    Widgets(form).DiaryMemo->moveCursor(QTextCursor::End);
    QTest::keyClicks(Widgets(form).DiaryMemo, "!");
    form.DataSaveClick();
    const TDataInfo edited = StoredRecord(run, 2026, day);
    QVERIFY(edited.RichText.Text() != rtf);
    QCOMPARE(FromCp932(edited.Text.Text()), u"日記 body!"_qs);
}

// A body that holds a picture and no text has an empty text field; the day keeps it all the
// same, untouched or edited, and the calendar marks it.
void TMainWindowTest::bodyOfOnlyAPictureIsKept() {
    const std::string picture = "{\\pict\\wmetafile8\\picw100\\pich100 0100090000}";
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil "
        "Arial;}}\r\n\\pard\\f0\\fs24 " +
        picture + "\\par\r\n}\r\n";
    const int32_t day = EncodeDate(2026, 6, 1);
    SetTodayForTesting(day);
    TWindowRun run;
    TDataInfo rec;
    rec.Date = day;
    rec.RichText = rtf;
    rec.Weather = -1;
    SeedRecord(run, rec);
    TForm1& form = run.Start();
    QTextEdit* body = Widgets(form).DiaryMemo;
    QCOMPARE(body->toPlainText(), QString(QChar::ObjectReplacementCharacter));
    QVERIFY(form.Page().Diary1EventDefine(day) & 1);

    // Untouched: leaving the day and saving keep the bytes as read.
    ClickDay(form.Diary1(), day + 1);
    ClickDay(form.Diary1(), day);
    form.DataSaveClick();
    QCOMPARE(StoredRecord(run, 2026, day).RichText.Text(), rtf);

    // Edited and blanked again around the picture: written anew, the picture in it unchanged.
    body->moveCursor(QTextCursor::End);
    QTest::keyClicks(body, "a");
    QTest::keyClick(body, Qt::Key_Backspace);
    ClickDay(form.Diary1(), day + 1);
    const TDataInfo stored = StoredRecord(run, 2026, day);
    QCOMPARE(stored.Date, day);
    QCOMPARE(stored.Text, std::string());
    QVERIFY(stored.RichText.Text() != rtf);
    QVERIFY(stored.RichText.Text().find(picture) != std::string::npos);

    // Deleting the picture leaves a blank page, which keeps no record.
    ClickDay(form.Diary1(), day);
    body->selectAll();
    QTest::keyClick(body, Qt::Key_Delete);
    ClickDay(form.Diary1(), day + 1);
    QCOMPARE(StoredRecord(run, 2026, day).Date, 0);
}

// The almanac's switches of the header rows.
enum : int { kEraDate = 1, kSeason = 2, kDayEto = 4, kEraYear = 8, kDefaultAlmanac = 3 };

void TMainWindowTest::headerTexts_data() {
    QTest::addColumn<int32_t>("date");
    QTest::addColumn<int>("almanac");
    QTest::addColumn<QString>("dateDisp");
    QTest::addColumn<QString>("label1Start");
    QTest::addColumn<QString>("label1End");
    QTest::addColumn<QString>("yearCaption");
    // Weekdays from the calendar; holidays from the shipped rules file.
    QTest::newRow("ordinary Saturday")
        << EncodeDate(2026, 1, 31) << int(kDefaultAlmanac) << u"2026 年 1 月 31 日 (土)"_qs
        << u"令和8年1月31日　睦月　旧12月13日"_qs << u"】\r\n丙午年"_qs << u"2026年日記"_qs;
    QTest::newRow("National Foundation Day")
        << EncodeDate(2015, 2, 11) << int(kDefaultAlmanac) << u"2015 年 2 月 11 日 (水)"_qs
        << u"平成27年2月11日　如月"_qs << u"】\r\n乙未年 《建国記念の日》"_qs << u"2015年日記"_qs;
    QTest::newRow("New Year's Day, Sunday")
        << EncodeDate(2023, 1, 1) << int(kDefaultAlmanac) << u"2023 年 1 月 1 日 (日)"_qs
        << u"令和5年1月1日"_qs << u"】\r\n癸卯年 《元日》"_qs << u"2023年日記"_qs;
    QTest::newRow("節分") << EncodeDate(2026, 2, 3) << int(kDefaultAlmanac)
                          << u"2026 年 2 月 3 日 (火)"_qs << u"令和8年2月3日"_qs
                          << u"】\r\n丙午年　節分"_qs << u"2026年日記"_qs;
    QTest::newRow("春分 and its holiday")
        << EncodeDate(2026, 3, 20) << int(kDefaultAlmanac) << u"2026 年 3 月 20 日 (金)"_qs
        << u"令和8年3月20日"_qs << u"】\r\n丙午年　春分 《春分の日》"_qs << u"2026年日記"_qs;
    QTest::newRow("first day of 令和, era years")
        << EncodeDate(2019, 5, 1) << int(kDefaultAlmanac | kEraYear) << u"2019 年 5 月 1 日 (水)"_qs
        << u"令和元年5月1日　皐月"_qs << u"】\r\n己亥年 《休日（祝日扱い）》"_qs
        << u"平成31年・令和元年日記"_qs;
    QTest::newRow("day's 干支 only")
        << EncodeDate(2026, 1, 1) << int(kDayEto) << u"2026 年 1 月 1 日 (木)"_qs << u"睦月"_qs
        << u"】\r\n乙亥日 《元日》"_qs << u"2026年日記"_qs;
    QTest::newRow("everything") << EncodeDate(2026, 7, 20) << int(kEraDate | kSeason | kDayEto)
                                << u"2026 年 7 月 20 日 (月)"_qs << u"令和8年7月20日　文月"_qs
                                << u"】\r\n丙午年　乙未日　土用入り 《海の日》"_qs
                                << u"2026年日記"_qs;
    QTest::newRow("all off") << EncodeDate(2026, 2, 4) << 0 << u"2026 年 2 月 4 日 (水)"_qs
                             << u"如月"_qs << u"】\r\n"_qs << u"2026年日記"_qs;
}

void TMainWindowTest::headerTexts() {
    QFETCH(int32_t, date);
    QFETCH(int, almanac);
    QFETCH(QString, dateDisp);
    QFETCH(QString, label1Start);
    QFETCH(QString, label1End);
    QFETCH(QString, yearCaption);
    SetTodayForTesting(date);
    // The day page on its own, without the window: its captions for the window are signals.
    TFeatureRun run;
    run.Write("Velmora.hol", ReadShippedHolidays());
    run.diary.SetHolidayFileName(QString::fromStdString(run.File("Velmora.hol")));
    QWidget window;
    QAction save;
    TPageState state(save, window);
    TKyureki kyureki;
    run.params.ShowEraDate = almanac & kEraDate;
    run.params.ShowSeason = almanac & kSeason;
    run.params.ShowDayEto = almanac & kDayEto;
    run.params.EraYearCaption = almanac & kEraYear;
    TDayPage page(run.diary, run.store, run.events, state, kyureki, run.params);
    QString year;
    QString yearTip;
    QString month;
    QObject::connect(&page, &TDayPage::YearShown,
                     [&year, &yearTip](const QString& s, const QString& tip) {
                         year = s;
                         yearTip = tip;
                     });
    QObject::connect(&page, &TDayPage::MonthShown, [&month](const QString& s) { month = s; });
    page.CalendarChange();
    const TYmd ymd = DecodeDate(date);
    auto* header = page.View().Header()->findChild<TBevelLabel*>(u"DateDisp"_qs);
    QVERIFY(header);
    QCOMPARE(header->Caption(), dateDisp);
    QVERIFY2(page.Label1Text().startsWith(label1Start), qPrintable(page.Label1Text()));
    QVERIFY2(page.Label1Text().endsWith(label1End), qPrintable(page.Label1Text()));
    QVERIFY(page.Label1Text().contains(u"　【"_qs));
    QCOMPARE(month, QStringLiteral("%1年 %2月").arg(ymd.Year).arg(ymd.Month));
    QCOMPARE(year, yearCaption);
    // The tip names the year both ways and its 干支, whatever the caption shows.
    QVERIFY2(yearTip.startsWith(QStringLiteral("%1年（").arg(ymd.Year)), qPrintable(yearTip));
    if (ymd.Year == 2026)
        QCOMPARE(yearTip, u"2026年（令和8年）　丙午年"_qs);
    if (ymd.Year == 2019)
        QCOMPARE(yearTip, u"2019年（平成31年・令和元年）　己亥年"_qs);
}

void TMainWindowTest::savedLayoutRestoredAndWritten() {
    SetTodayForTesting(EncodeDate(2026, 4, 1));
    TWindowRun run;
    // Fields of 0 or below keep the design value: black, a system colour, a start of week 0.
    run.Put(u"Velmora.ini"_qs, Sjis("WINDOWINFO=0,10,20,710,560\r\n"
                                    "SPLITINFO=260,150,220,0,-3\r\n"
                                    "COLORINFO=0,-2147483643,255,65535,\r\n"
                                    "DIARYCOLOR=1,2,3,4,5,6,7,8,9,10,0,\r\n"
                                    "DIARYTABS=2\r\n"));
    TForm1& form = run.Start();
    const TWindowWidgets ui = Widgets(form);
    const std::array<int, 7> split = ui.SplitInfo();
    QCOMPARE(split[0], 260);
    QCOMPARE(split[1], 150);
    QCOMPARE(split[2], 220);
    const std::array<TColor, 7> colors = ui.ColorInfo();
    QCOMPARE(colors[0], TColor(0x0066EE99));
    QCOMPARE(colors[1], clWindow);
    QCOMPARE(colors[2], TColor(255));
    QCOMPARE(colors[3], TColor(65535));
    QCOMPARE(colors[4], TColor(0x00FFEEFF));
    QCOMPARE(ui.DiaryMemo->palette().color(QPalette::Base), QColor(255, 255, 0));
    QCOMPARE(form.Diary1().WeekColor(1), TColor(1));
    QCOMPARE(form.Diary1().TodayColor(), TColor(10));
    QCOMPARE(form.Diary1().StartOfWeek(), 0);
    QCOMPARE(ui.DiaryList->currentIndex(), 2);
    QCOMPARE(form.size(), QSize(700, 540));

    run.Stop();
    const QStringList lines = IniLines(run.Read(u"Velmora.ini"_qs));
    QVERIFY2(lines.contains(u"WINDOWINFO=0,10,20,710,560"_qs), qPrintable(lines.join(u'\n')));
    QVERIFY(lines.contains(u"DIARYCOLOR=1,2,3,4,5,6,7,8,9,10,0,"_qs));
    QVERIFY(lines.contains(u"DIARYTABS=2"_qs));
    QVERIFY(
        lines.contains(u"COLORINFO=6745753,-2147483643,255,65535,16772863,16764159,16772846,"_qs));
    const QString splitLine = lines.filter(QRegularExpression(u"^SPLITINFO="_qs)).value(0);
    QVERIFY2(splitLine.startsWith(u"SPLITINFO=260,150,220,"_qs), qPrintable(splitLine));

    // What was written comes back unchanged at the next start.
    TForm1& again = run.Start();
    for (size_t i = 0; i < split.size(); ++i)
        QCOMPARE(Widgets(again).SplitInfo()[i], split[i]);
    Widgets(again).Splitter3->setSizes({300, 600});
    const std::array<int, 7> moved = Widgets(again).SplitInfo();
    run.Stop();
    TForm1& third = run.Start();
    QCOMPARE(Widgets(third).SplitInfo(), moved);
    run.Stop();

    // A window closed while minimised comes back as a normal window of its saved size.
    run.Put(u"Velmora.ini"_qs, Sjis("WINDOWINFO=1,10,20,610,470\r\n"));
    TForm1& shown = run.Start();
    QVERIFY(!shown.isMinimized());
    QCOMPARE(shown.size(), QSize(600, 450));
}

void TMainWindowTest::resizeKeepsControlsFilled() {
    SetTodayForTesting(EncodeDate(2026, 4, 1));
    TWindowRun run;
    TForm1& form = run.Start();
    const TWindowWidgets ui = Widgets(form);
    auto widths = [&ui] {
        return std::array<int, 9>{
            ui.Comment->width(),  ui.DateDisp->width(), ui.NewsMemo->width(),
            ui.PrivMemo->width(), ui.Label1->width(),   ui.Panel2->width(),
            ui.TodayBtn->width(), ui.Reminder->width(), ui.DiaryListPanel->width()};
    };
    const std::array<int, 9> before = widths();
    // At least its design width; the old date makes it wider.
    QVERIFY(before[4] >= 125);

    // A wider window widens the left column by a part of the growth and the page's filling
    // controls by the rest; the column's own controls follow the column.
    form.resize(form.width() + 200, form.height());
    QApplication::processEvents();
    const std::array<int, 9> wider = widths();
    const int columnGrowth = wider[5] - before[5];
    QVERIFY(columnGrowth > 0 && columnGrowth < 100);
    for (int i : {0, 1, 2, 3})
        QCOMPARE(wider[i], before[i] + 200 - columnGrowth);
    QCOMPARE(wider[4], before[4]);
    for (int i : {6, 7, 8})
        QCOMPARE(wider[i], before[i] + columnGrowth);

    // A wider left column widens the today button and both lists by as much.
    ui.Splitter3->setSizes({wider[5] + 40, ui.Splitter3->sizes()[1] - 40});
    QApplication::processEvents();
    const std::array<int, 9> column = widths();
    for (int i : {5, 6, 7, 8})
        QCOMPARE(column[i], wider[i] + 40);
    QCOMPARE(column[0], wider[0] - 40);
}

void TMainWindowTest::badFieldAtStartShownAndWindowComesUp_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("contents");
    QTest::addColumn<QString>("message");
    QTest::newRow("settings") << u"Velmora.ini"_qs << u"DIARYTABS=x1\r\n"_qs
                              << u"'x1' は整数ではありません"_qs;
    QTest::newRow("holidays") << u"Velmora.hol"_qs
                              << u"1,1,0,1949,9999,0,元日\r\n1,q,0,1949,9999,0,x\r\n"_qs
                              << u"は整数ではありません"_qs;
    QTest::newRow("reminders") << u"Velmora.tdo"_qs << u"z,0,0,0,0,0,件名,\r\n"_qs
                               << u"は整数ではありません"_qs;
}

void TMainWindowTest::badFieldAtStartShownAndWindowComesUp() {
    QFETCH(QString, file);
    QFETCH(QString, contents);
    QFETCH(QString, message);
    SetTodayForTesting(EncodeDate(2026, 8, 8));
    TWindowRun run;
    run.Put(file, ToCp932(contents));
    TForm1& form = run.Start();
    QCOMPARE(run.Messages.size(), 1);
    QVERIFY2(run.Messages[0].contains(message), qPrintable(run.Messages[0]));
    QVERIFY(form.isVisible());
    QCOMPARE(Widgets(form).DateDisp->Caption(), u"2026 年 8 月 8 日 (土)"_qs);
    Widgets(form).Comment->setText(u"動く"_qs);
    form.DataSaveClick();
    QCOMPARE(FromCp932(StoredRecord(run, 2026, EncodeDate(2026, 8, 8)).Title), u"動く"_qs);
}

void TMainWindowTest::readOnlyFolderKeepsPageUntilSaveSucceeds() {
    const int32_t day = EncodeDate(2026, 9, 1);
    SetTodayForTesting(day);
    TWindowRun run;
    TForm1& form = run.Start();
    Widgets(form).Comment->setText(u"書けない日"_qs);
    const std::string folder = QFile::encodeName(run.Folder()).toStdString();
    {
        ScopedUnprivileged asUser(folder);
        QVERIFY(::chmod(folder.c_str(), 0555) == 0);
        form.DataSaveClick();
        QVERIFY(::chmod(folder.c_str(), 0755) == 0);
    }
    QCOMPARE(run.Messages.size(), 1);
    const QString expected =
        FromCp932(FormatMessage(Sjis("ファイル %s は開けません"), run.CorePath(u"2026.dat"_qs))) +
        u" (許可がありません)\r\nデータが書込めません!"_qs;
    QCOMPARE(run.Messages[0], expected);
    QCOMPARE(Widgets(form).Comment->text(), u"書けない日"_qs);
    QCOMPARE(FromCp932(form.ScrapList().FindByDate(day).Title), u"書けない日"_qs);
    QVERIFY(form.ScrapList().Modified());

    // Closing while the page cannot be written asks first; No keeps the window and the page.
    {
        ScopedUnprivileged asUser(folder);
        QVERIFY(::chmod(folder.c_str(), 0555) == 0);
        run.AnswerYes = false;
        QVERIFY(!run.Stop());
        QVERIFY(::chmod(folder.c_str(), 0755) == 0);
    }
    QCOMPARE(run.Questions.size(), 1);
    QVERIFY(form.isVisible());
    QCOMPARE(run.Messages.size(), 2);

    form.DataSaveClick();
    QCOMPARE(run.Messages.size(), 2);
    QCOMPARE(FromCp932(StoredRecord(run, 2026, day).Title), u"書けない日"_qs);
    QVERIFY(run.Stop());
    QCOMPARE(run.Questions.size(), 1);
}

void TMainWindowTest::yearLeftUnsavedIsNeitherLostNorUnsaveable() {
    const int32_t day = EncodeDate(2026, 12, 31);
    SetTodayForTesting(day);
    TWindowRun run;
    TForm1& form = run.Start();
    QAction* save = form.Actions().SaveNowAction;
    Widgets(form).Comment->setText(u"大晦日"_qs);
    const std::string folder = QFile::encodeName(run.Folder()).toStdString();
    {
        ScopedUnprivileged asUser(folder);
        QVERIFY(::chmod(folder.c_str(), 0555) == 0);
        // Leaving the year writes it; the write fails and the year is held in memory.
        QTest::mouseClick(Widgets(form).ToolButton13, Qt::LeftButton);
        QCOMPARE(run.Messages.size(), 1);
        QVERIFY(!form.ScrapList().Modified());
        // The save command stays offered while anything is unwritten.
        save->trigger();
        QCOMPARE(run.Messages.size(), 2);
        QVERIFY(save->isEnabled());
        // Closing asks although the year shown is unchanged; No keeps the window.
        run.AnswerYes = false;
        QVERIFY(!run.Stop());
        QCOMPARE(run.Questions.size(), 1);
        QVERIFY(::chmod(folder.c_str(), 0755) == 0);
    }
    save->trigger();
    QCOMPARE(run.Messages.size(), 3);
    QVERIFY(!save->isEnabled());
    QCOMPARE(FromCp932(StoredRecord(run, 2026, day).Title), u"大晦日"_qs);
    QVERIFY(run.Stop());
    QCOMPARE(run.Questions.size(), 1);
}

void TMainWindowTest::windowsFacesDrawJapanese_data() {
    QTest::addColumn<QString>("face");
    // Faces of the window's design fonts and of the settings' default fonts.
    QTest::newRow("design and settings default") << u"ＭＳ Ｐゴシック"_qs;
    QTest::newRow("reminder lists") << u"ＭＳ ゴシック"_qs;
    QTest::newRow("serif face of older settings") << u"ＭＳ 明朝"_qs;
}

void TMainWindowTest::windowsFacesDrawJapanese() {
    QFETCH(QString, face);
    const QFontInfo resolved(FontForFace(face));
    QVERIFY2(QFont::substitutes(face).contains(resolved.family(), Qt::CaseInsensitive),
             qPrintable(resolved.family()));
    QVERIFY(QFontMetrics(FontForFace(face)).inFontUcs4(U'日'));
    // One face: a font naming several has every fallback of the system sorted for each of its
    // styles and scripts as soon as it is used, which slowed the start.
    const QStringList named = FontForFace(face).families();
    QCOMPARE(named.size(), 1);
    QCOMPARE(named[0].toLower(), resolved.family().toLower());

    // Where only a later face of the list is installed, that one is used.
    const QString alias = u"Velmora Test Face"_qs;
    QFont::insertSubstitutions(alias, {u"Velmora Face Not Installed"_qs, resolved.family()});
    const QString family = QFontInfo(FontForFace(alias)).family();
    QFont::removeSubstitutions(alias);
    QCOMPARE(family, resolved.family());
}

QTEST_MAIN(TMainWindowTest)
#include "MainWindowTest.moc"
