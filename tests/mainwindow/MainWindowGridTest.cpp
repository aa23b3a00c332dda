#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QToolButton>

#include "MainWindowTest.h"
#include "bridge/Colors.h"
#include "mainwindow/MainLayout.h"
#include "storage/Cp932.h"
#include "support/Screenshots.h"
#include "widgets/AboutBox.h"
#include "widgets/WeatherIcons.h"

namespace {

// Seeds a year file with one record whose every field is filled.
void SeedFullDay(const TWindowRun& run, int32_t date, int weather) {
    TDataInfo rec;
    rec.Date = date;
    rec.Title = Sjis("記念日");
    rec.Text = Sjis("本文");
    rec.RichText = rec.Text;
    rec.Private = Sjis("秘密");
    rec.News = Sjis("出来事");
    rec.Weather = weather;
    SeedRecord(run, rec);
}

QRect CellOf(TDiary& grid, int32_t date) {
    for (int row = 1; row < 7; ++row)
        for (int col = 0; col < 7; ++col)
            if (grid.CellDate(col, row) == date)
                return grid.CellRect(col, row);
    return {};
}

// How many pixels of the region have the colour.
int CountColor(const QImage& image, const QRect& region, const QColor& color) {
    int n = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (image.pixelColor(x, y).rgb() == color.rgb())
                ++n;
    return n;
}

// Pixels of the region that differ from the cell's background.
int CountInk(const QImage& image, const QRect& region, const QColor& background) {
    return region.width() * region.height() - CountColor(image, region, background);
}

}  // namespace

void TMainWindowTest::gridAsTheWindowShowsIt() {
    const int32_t today = EncodeDate(2015, 2, 10);
    const int32_t holiday = EncodeDate(2015, 2, 11);
    const int32_t full = EncodeDate(2015, 2, 19);
    SetTodayForTesting(today);
    TWindowRun run;
    run.Put(u"Velmora.hol"_qs, ReadShippedHolidays());
    SeedFullDay(run, full, 14);
    TForm1& form = run.Start();
    TDiary& grid = form.Diary1();

    // February 2015 begins on a Sunday: the first week row holds 1 to 7, rows 5 and 6 March.
    QCOMPARE(grid.CellDate(0, 1), EncodeDate(2015, 2, 1));
    QCOMPARE(grid.CellDate(6, 1), EncodeDate(2015, 2, 7));
    QCOMPARE(grid.CellDate(0, 5), EncodeDate(2015, 3, 1));
    QCOMPARE(grid.CellDate(6, 6), EncodeDate(2015, 3, 14));
    QCOMPARE(form.Page().Diary1EventDefine(full), uint8_t(31));
    QCOMPARE(form.Page().Diary1EventDefine(holiday), uint8_t(0));

    const QImage plain = grid.grab().toImage();
    const QRect holidayCell = CellOf(grid, holiday);
    const QRect todayCell = CellOf(grid, today);
    const QRect fullCell = CellOf(grid, full);
    // Holiday colour $00EEEEFF and today's aqua fill their cells (inside today's frame).
    const QRect corner(holidayCell.right() - 7, holidayCell.bottom() - 6, 3, 3);
    QCOMPARE(CountColor(plain, corner, ToQColor(0x00EEEEFF)), 9);
    QCOMPARE(CountColor(plain, corner.translated(todayCell.topLeft() - holidayCell.topLeft()),
                        ToQColor(0x00FFFF00)),
             9);
    // The day with every field: blue marks at the top right and its weather at the bottom left.
    const QRect marks(fullCell.right() - 12, fullCell.top(), 12, fullCell.height() / 2);
    QVERIFY(CountColor(plain, marks, ToQColor(0x00FF0000)) > 10);
    const QRect weather(fullCell.left() + 1, fullCell.bottom() - 10, 10, 10);
    const QColor weekday = ToQColor(grid.WeekColor(5));
    QVERIFY(CountInk(plain, weather, weekday) > 10);
    // No rokuyo while "ROKUYO" is off: the lower right of an ordinary day stays blank.
    const QRect ordinary = CellOf(grid, EncodeDate(2015, 2, 17));
    const QRect rokuyoArea(ordinary.right() - 14, ordinary.bottom() - 8, 14, 8);
    const QColor tuesday = ToQColor(grid.WeekColor(3));
    QCOMPARE(CountInk(plain, rokuyoArea, tuesday), 0);
    run.Stop();

    // With "ROKUYO" on, the rokuyo name is drawn there in grey or red.
    std::string ini = run.Read(u"Velmora.ini"_qs);
    const size_t at = ini.find("ROKUYO=0");
    QVERIFY(at != std::string::npos);
    ini.replace(at, 8, "ROKUYO=1");
    run.Put(u"Velmora.ini"_qs, ini);
    TForm1& again = run.Start();
    const QImage withRokuyo = again.Diary1().grab().toImage();
    QVERIFY(CountInk(withRokuyo, rokuyoArea, tuesday) > 3);
}

void TMainWindowTest::gridStartOfWeekFromSettings() {
    SetTodayForTesting(EncodeDate(2015, 2, 10));
    TWindowRun run;
    // Monday first: the Sunday the month begins on is the last column of the first week row.
    run.Put(u"Velmora.ini"_qs, Sjis("DIARYCOLOR=0,0,0,0,0,0,0,0,0,0,1,\r\n"));
    TForm1& form = run.Start();
    TDiary& grid = form.Diary1();
    QCOMPARE(grid.StartOfWeek(), 1);
    QCOMPARE(grid.CellDate(6, 1), EncodeDate(2015, 2, 1));
    QCOMPARE(grid.CellDate(0, 1), EncodeDate(2015, 1, 26));
    QCOMPARE(grid.CellText(0, 0), u"月"_qs);
}

void TMainWindowTest::pagingStopsAtTheRange_data() {
    QTest::addColumn<int32_t>("today");
    QTest::addColumn<bool>("rokuyo");
    QTest::addColumn<int32_t>("edge");
    QTest::addColumn<int32_t>("beyond");  // a day of the neighbouring month the grid shows
    for (const bool rokuyo : {false, true}) {
        QTest::addRow("January 1900, rokuyo %s", rokuyo ? "on" : "off")
            << EncodeDate(1900, 1, 10) << rokuyo << EncodeDate(1900, 1, 1)
            << EncodeDate(1899, 12, 31);
        QTest::addRow("December 2100, rokuyo %s", rokuyo ? "on" : "off")
            << EncodeDate(2100, 12, 20) << rokuyo << EncodeDate(2100, 12, 31)
            << EncodeDate(2101, 1, 1);
    }
}

void TMainWindowTest::pagingStopsAtTheRange() {
    QFETCH(int32_t, today);
    QFETCH(bool, rokuyo);
    QFETCH(int32_t, edge);
    QFETCH(int32_t, beyond);
    SetTodayForTesting(today);
    TWindowRun run;
    run.Put(u"Velmora.ini"_qs, Sjis(rokuyo ? "ROKUYO=1\r\n" : "ROKUYO=0\r\n"));
    TForm1& form = run.Start();
    const TWindowWidgets ui = Widgets(form);
    TDiary& grid = form.Diary1();
    const bool back = edge < today;
    // Month, year, then a click on a day past the edge; each repaints the grid with its hook.
    for (QToolButton* button :
         {back ? ui.ToolButton10 : ui.ToolButton11, back ? ui.ToolButton12 : ui.ToolButton13}) {
        button->click();
        grid.grab();
        QCOMPARE(WholeDay(grid.CalendarDate()), edge);
        QVERIFY(!form.Page().Label1Text().contains(u"【】"_qs));
    }
    ClickDay(grid, beyond);
    const QImage image = grid.grab().toImage();
    QCOMPARE(WholeDay(grid.CalendarDate()), edge);
    QCOMPARE(form.ScrapList().CurrentDate(), edge);
    const TYmd ymd = DecodeDate(edge);
    QCOMPARE(ui.TodayBtn->text(), QStringLiteral("%1年 %2月").arg(ymd.Year).arg(ymd.Month));
    // The day beyond the edge carries its rokuyo in its lower right corner like any other.
    const QRect cell = CellOf(grid, beyond);
    const QRect rokuyoArea(cell.right() - 14, cell.bottom() - 8, 14, 8);
    QCOMPARE(CountInk(image, rokuyoArea, ToQColor(0x00DDDDDD)) > 3, rokuyo);
}

void TMainWindowTest::screenshots() {
    const int32_t today = EncodeDate(2026, 2, 11);
    SetTodayForTesting(today);
    TWindowRun run;
    run.Put(u"Velmora.hol"_qs, ReadShippedHolidays());
    run.Put(u"Velmora.ini"_qs, Sjis("ROKUYO=1\r\n"));
    SeedFullDay(run, EncodeDate(2026, 2, 3), 0);
    SeedFullDay(run, EncodeDate(2026, 2, 7), 15);
    SeedFullDay(run, EncodeDate(2026, 2, 9), 21);
    TForm1& form = run.Start();
    const TWindowWidgets ui = Widgets(form);
    ui.Comment->setText(u"建国記念の日、晴れて暖か"_qs);
    ui.DiaryMemo->setHtml(
        u"<p>朝は<b>快晴</b>。昼から公園を散歩して、<i>梅</i>の蕾を見つけた。</p>"
        "<p style='color:#2050b0'>夜は家族で鍋を囲んだ。</p>"_qs);
    ui.NewsMemo->setPlainText(u"駅前に新しいパン屋が開店"_qs);
    ui.PrivMemo->setPlainText(u"来週の予定を考える"_qs);
    ChooseWeather(form, 4);
    QVERIFY(SavePng(&form, u"mainwindow.png"_qs));

    QMenu* popup = form.Page().WeatherPopup();
    popup->popup(ui.WeatherBtn->mapToGlobal(QPoint(0, ui.WeatherBtn->height())));
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QVERIFY(SavePng(popup, u"mainwindow-weather.png"_qs));
    // Three columns: 14, 14 and 5 items.
    auto* first = popup->findChild<QToolButton*>(u"Weather0"_qs);
    auto* second = popup->findChild<QToolButton*>(u"Weather14"_qs);
    auto* third = popup->findChild<QToolButton*>(u"Weather28"_qs);
    auto* last = popup->findChild<QToolButton*>(u"Weather32"_qs);
    QVERIFY(first && second && third && last);
    QCOMPARE(second->y(), first->y());
    QCOMPARE(third->y(), first->y());
    QVERIFY(first->x() < second->x() && second->x() < third->x());
    QCOMPARE(last->x(), third->x());
    QCOMPARE(popup->findChild<QToolButton*>(u"Weather13"_qs)->x(), first->x());
    popup->close();

    std::unique_ptr<TAboutForm> about = form.About().CreateForm(&form);
    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about.get()));
    QVERIFY(about->Version->text().startsWith(u"Velmora\nVersion. "_qs));
    QVERIFY(SavePng(about.get(), u"mainwindow-about.png"_qs));
}

void TMainWindowTest::fullMonthScreenshots() {
    // Every day of February 2026 written, with every weather picture but "不明" on some days;
    // the rokuyo on. At the design size of the window and at a larger one.
    SetTodayForTesting(EncodeDate(2026, 2, 11));
    TWindowRun run;
    run.Put(u"Velmora.hol"_qs, ReadShippedHolidays());
    run.Put(u"Velmora.ini"_qs, Sjis("ROKUYO=1\r\nWEATHERICON=1\r\n"));
    for (int day = 1; day <= 28; ++day)
        SeedFullDay(run, EncodeDate(2026, 2, day), day % 9 == 0 ? WeatherUnknown : day * 3 % 32);
    TForm1& form = run.Start();
    TDiary& grid = form.Diary1();
    // Down to the design size from the first start's size: the grid gives back its share.
    form.resize(780, 580);
    QTest::qWait(50);
    QCOMPARE(grid.height(), 135);
    QCOMPARE(grid.width(), Widgets(form).Panel2->width());
    QVERIFY(SavePng(&grid, u"grid-full-month-design.png"_qs));
    QVERIFY(SavePng(&form, u"mainwindow-full-month-design.png"_qs));

    // "不明" draws no picture: the lower left of its cell stays the cell's colour.
    const QRect unknown = CellOf(grid, EncodeDate(2026, 2, 18));
    const QRect pictured = CellOf(grid, EncodeDate(2026, 2, 17));
    const QImage image = grid.grab().toImage();
    const QRect lowerLeft(1, unknown.height() - 4, 6, 4);
    QCOMPARE(CountInk(image, lowerLeft.translated(unknown.topLeft()), ToQColor(grid.WeekColor(4))),
             0);
    QVERIFY(CountInk(image, lowerLeft.translated(pictured.topLeft()), ToQColor(grid.WeekColor(3))) >
            5);

    form.resize(1200, 860);
    QTest::qWait(50);
    QVERIFY(grid.height() > 135);
    QVERIFY(SavePng(&grid, u"grid-full-month-larger.png"_qs));
    QVERIFY(SavePng(&form, u"mainwindow-full-month-larger.png"_qs));
    QVERIFY(SavePng(Widgets(form).DateBar, u"header-old-date.png"_qs));
}

void TMainWindowTest::cellPartsNeverOverlap_data() {
    QTest::addColumn<QSize>("window");
    QTest::addColumn<bool>("whole");  // every part has its room
    QTest::newRow("first start on a full HD screen")
        << FirstStartWindowSize(QSize(1920, 1040)) << true;
    QTest::newRow("design size") << FirstStartWindowSize(QSize(1024, 700)) << true;
    // Twice the scale halves the screen a window is sized by; cells too short for a second
    // line show the number and marks alone.
    QTest::newRow("first start on a full HD screen at twice the scale")
        << FirstStartWindowSize(QSize(1920, 1040) / 2) << false;
}

void TMainWindowTest::cellPartsNeverOverlap() {
    QFETCH(QSize, window);
    QFETCH(bool, whole);
    SetTodayForTesting(EncodeDate(2026, 2, 11));
    TWindowRun run;
    run.Put(u"Velmora.ini"_qs, Sjis("ROKUYO=1\r\nWEATHERICON=1\r\nSEKKIGRID=1\r\n"));
    TForm1& form = run.Start();
    form.resize(window);
    QTest::qWait(50);
    TDiary& grid = form.Diary1();
    for (int row = 1; row < 7; ++row) {
        for (int col = 0; col < 7; ++col) {
            const QRect cell = grid.CellRect(col, row);
            const TDiaryCellParts parts = grid.CellParts(col, row);
            QFont font = grid.font();
            font.setItalic(!grid.IsInShownMonth(grid.CellDate(col, row)));
            const int32_t date = grid.CellDate(col, row);
            std::optional<TRokuyoFaces::TLabel> season;
            const TDiaryBandParts band =
                form.Page().CellBandParts(font, parts.Owner, date, nullptr, &season);
            if (whole) {
                QVERIFY(!band.Label.isEmpty());
                QVERIFY(!band.Picture.isEmpty());
                // The seasonal days and solar terms of the month in the rokuyo's place.
                if (date == EncodeDate(2026, 2, 3) || date == EncodeDate(2026, 2, 4))
                    QVERIFY(season && band.Label.size() == season->Size);
            }
            const QList<QRect> rects = {parts.Number,   parts.Marks[0], parts.Marks[1],
                                        parts.Marks[2], parts.Marks[3], band.Label,
                                        band.Picture};
            for (qsizetype i = 0; i < rects.size(); ++i) {
                QVERIFY2(rects[i].isEmpty() || cell.contains(rects[i]),
                         qPrintable(QStringLiteral("part %1").arg(i)));
                for (qsizetype j = i + 1; j < rects.size(); ++j)
                    QVERIFY2(!rects[i].intersects(rects[j]),
                             qPrintable(QStringLiteral("parts %1 and %2 in %3x%4")
                                            .arg(i)
                                            .arg(j)
                                            .arg(cell.width())
                                            .arg(cell.height())));
            }
        }
    }
}

void TMainWindowTest::windowGrowthIsSharedAndSavedSizesStand() {
    SetTodayForTesting(EncodeDate(2026, 2, 11));
    TWindowRun run;
    TForm1& form = run.Start();
    const TWindowWidgets ui = Widgets(form);
    form.resize(780, 580);
    QTest::qWait(50);
    const std::array<int, 7> design = ui.SplitInfo();
    QCOMPARE(design[0], 236);
    QCOMPARE(design[1], 135);
    // As large as the screen lets it be.
    const QSize area = form.screen()->availableGeometry().size();
    const QSize growth = area - form.size();
    QVERIFY(growth.width() > 0 && growth.height() > 0);
    form.resize(area);
    QTest::qWait(50);
    const std::array<int, 7> grown = ui.SplitInfo();
    // The column, the grid and the body each take a part of the growth, the rest a part too.
    for (const int i : {0, 1, 2}) {
        QVERIFY2(grown[i] > design[i], qPrintable(QString::number(i)));
    }
    QVERIFY(grown[0] - design[0] < growth.width());
    QVERIFY(grown[1] - design[1] < growth.height());
    QVERIFY(grown[2] - design[2] < growth.height());
    run.Stop();

    // The sizes saved at that window size come back as they were.
    TForm1& again = run.Start();
    QCOMPARE(again.size(), area);
    QCOMPARE(Widgets(again).SplitInfo()[0], grown[0]);
    QCOMPARE(Widgets(again).SplitInfo()[1], grown[1]);
    QCOMPARE(Widgets(again).SplitInfo()[2], grown[2]);
}

void TMainWindowTest::firstStartSize_data() {
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QSize>("window");
    QTest::newRow("full HD") << QSize(1920, 1040) << QSize(1248, 832);
    QTest::newRow("4K: no larger than useful") << QSize(3840, 2100) << QSize(1400, 1000);
    QTest::newRow("small screen: the design size") << QSize(1024, 700) << QSize(780, 580);
    QTest::newRow("tiny screen: the whole area") << QSize(640, 480) << QSize(640, 480);
}

void TMainWindowTest::firstStartSize() {
    QFETCH(QSize, area);
    QFETCH(QSize, window);
    QCOMPARE(FirstStartWindowSize(area), window);
}

void TMainWindowTest::headerShowsTheOldDate_data() {
    QTest::addColumn<int32_t>("date");
    QTest::addColumn<QString>("start");
    QTest::newRow("leap month") << EncodeDate(2025, 7, 25)
                                << u"令和7年7月25日　文月　旧閏6月1日　【赤口】"_qs;
    QTest::newRow("old year before the new")
        << EncodeDate(2034, 1, 20) << u"令和16年1月20日　睦月　旧12月1日　【赤口】"_qs;
    QTest::newRow("2033 without 閏7月")
        << EncodeDate(2033, 8, 25) << u"令和15年8月25日　葉月　旧8月1日　【友引】"_qs;
}

void TMainWindowTest::headerShowsTheOldDate() {
    QFETCH(int32_t, date);
    QFETCH(QString, start);
    SetTodayForTesting(date);
    TWindowRun run;
    TForm1& form = run.Start();
    QVERIFY2(form.Page().Label1Text().startsWith(start), qPrintable(form.Page().Label1Text()));
    QCOMPARE(Widgets(form).Label1->text(), form.Page().Label1Text());
}
