#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <map>

#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "calendar/Almanac.h"
#include "mainwindow/options/Options.h"
#include "settings/ui/Setup.h"
#include "storage/Cp932.h"
#include "support/FeatureRun.h"
#include "support/Screenshots.h"
#include "support/WindowRun.h"
#include "support/WindowWidgets.h"
#include "widgets/BevLabel.h"
#include "widgets/BtnLabel.h"
#include "widgets/BtnList.h"

namespace {

// Opens the options from their command, runs use on the dialog while it is up, then closes it
// with OK or Cancel. Returns the page the dialog opened on.
int RunSetup(TForm1& form, const std::function<void(TSetupForm&)>& use, bool ok) {
    int openedOn = -1;
    QTimer::singleShot(0, &form, [&] {
        auto* dialog = form.findChild<TSetupForm*>();
        if (!dialog)
            return;
        openedOn = dialog->PageControl1->currentIndex();
        use(*dialog);
        QTest::mouseClick(ok ? dialog->OKButton : dialog->BitBtn2, Qt::LeftButton);
    });
    form.Actions().SetupAction->trigger();
    return openedOn;
}

// The same for the options on their own, whose dialog stands over window.
int RunSetup(QWidget& window, TOptions& options, const std::function<void(TSetupForm&)>& use,
             bool ok) {
    int openedOn = -1;
    QTimer::singleShot(0, &window, [&] {
        auto* dialog = window.findChild<TSetupForm*>();
        if (!dialog)
            return;
        openedOn = dialog->PageControl1->currentIndex();
        use(*dialog);
        QTest::mouseClick(ok ? dialog->OKButton : dialog->BitBtn2, Qt::LeftButton);
    });
    options.SetupActionExecute();
    return openedOn;
}

// The colour most pixels of the area have.
TColor Dominant(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](auto& a, auto& b) { return a.second < b.second; });
    return FromQColor(QColor(most->first));
}

bool Contains(const QImage& image, const QRect& area, TColor color) {
    const QRgb wanted = ToQColor(color).rgb();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == wanted)
                return true;
    return false;
}

QRect InWindow(const TForm1& form, const QWidget* widget, const QRect& rect) {
    return QRect(widget->mapTo(&form, rect.topLeft()), rect.size());
}

QRect DayCell(TForm1& form, int32_t date) {
    TDiary& grid = form.Diary1();
    for (int row = 1; row < 7; ++row)
        for (int col = 0; col < 7; ++col)
            if (grid.CellDate(col, row) == date)
                return InWindow(form, &grid, grid.CellRect(col, row));
    return {};
}

constexpr int kYear = 2024;
constexpr int kMonth = 5;
constexpr int kToday = 15;
constexpr int kHoliday = 3;       // 憲法記念日, a Friday
constexpr int kMarkedDay = 22;    // holds a page
constexpr int kSelectedDay = 28;  // clicked after the start, so today is not framed
constexpr int kSunday = 19;       // Sunday 19 .. Saturday 25 are plain days

TColor Colour(int i) {
    return FromQColor(QColor::fromRgb((40 + 9 * i) % 256, (200 - 6 * i) % 256, (60 + 7 * i) % 256));
}

QFont ChosenFont(int tag) {
    QFont font(std::array{u"IPAGothic"_qs, u"IPAPMincho"_qs, u"IPAMincho"_qs}[tag], 11 + tag);
    font.setBold(tag != 1);
    font.setItalic(tag == 1);
    return font;
}

const std::array<QString, 6> kTitles = {
    u"一言"_qs, u"旅の記録, \"メモ\""_qs, u"内緒　日記"_qs, u"言"_qs, u"旅"_qs, u"秘密"_qs};

// One value of the options: how the user changes it in the dialog, how the dialog shows it
// when opened again, and, where the window shows it, how the window does.
struct TOptionRow {
    const char* Name;
    std::function<void(TSetupForm&)> Change;
    std::function<bool(TSetupForm&)> DialogHas;
    std::function<bool(TForm1&, const QImage&)> WindowShows;
};

std::vector<TOptionRow> OptionRows() {
    std::vector<TOptionRow> rows;
    auto check = [&rows](const char* name, QCheckBox* TSetupForm::*box) {
        rows.push_back({name,
                        [box](TSetupForm& f) { (f.*box)->click(); },
                        [box](TSetupForm& f) { return (f.*box)->isChecked() != true; },
                        {}});
    };
    // Defaults: WeatherMark, WeatherIcon and ListKind on; DeathCheck and RokuyoCheck off.
    check("WeatherMark", &TSetupForm::WeatherMark);
    check("WeatherIcon", &TSetupForm::WeatherIcon);
    check("ListKind", &TSetupForm::ListKind);
    rows.push_back({"DeathCheck",
                    [](TSetupForm& f) { f.DeathCheck->click(); },
                    [](TSetupForm& f) { return f.DeathCheck->isChecked(); },
                    {}});
    rows.push_back({"KazoeCheck",
                    [](TSetupForm& f) { f.KazoeCheck->click(); },
                    [](TSetupForm& f) { return f.KazoeCheck->isChecked(); },
                    {}});
    rows.push_back({"CelebrationAge",
                    [](TSetupForm& f) { f.CelebrationAge->setCurrentIndex(1); },
                    [](TSetupForm& f) { return f.CelebrationAge->currentIndex() == 1; },
                    {}});
    rows.push_back({"RokuyoCheck",
                    [](TSetupForm& f) { f.RokuyoCheck->click(); },
                    [](TSetupForm& f) { return f.RokuyoCheck->isChecked(); },
                    {}});
    // The almanac in the date header: the era date on, the day's 干支 off by default.
    check("SeasonGridCheck", &TSetupForm::SeasonGridCheck);
    check("SeasonCheck", &TSetupForm::SeasonCheck);
    rows.push_back(
        {"EraDateCheck", [](TSetupForm& f) { f.EraDateCheck->click(); },
         [](TSetupForm& f) { return !f.EraDateCheck->isChecked(); },
         [](TForm1& w, const QImage&) { return !w.Page().Label1Text().contains(u"年"_qs); }});
    rows.push_back({"DayEtoCheck", [](TSetupForm& f) { f.DayEtoCheck->click(); },
                    [](TSetupForm& f) { return f.DayEtoCheck->isChecked(); },
                    [](TForm1& w, const QImage&) {
                        const int32_t day = WholeDay(w.Diary1().CalendarDate());
                        return Widgets(w).Label1->text().contains(
                            FromCp932(EtoName(DayEtoIndex(day))) + u"日"_qs);
                    }});
    rows.push_back({"EraYearCheck",
                    [](TSetupForm& f) { f.EraYearCheck->click(); },
                    [](TSetupForm& f) { return f.EraYearCheck->isChecked(); },
                    {}});
    rows.push_back({"StWeek", [](TSetupForm& f) { f.StWeek->setCurrentIndex(3); },
                    [](TSetupForm& f) { return f.StWeek->currentIndex() == 3; },
                    [](TForm1& w, const QImage&) {
                        return w.Diary1().StartOfWeek() == 3 &&
                               w.Diary1().CellText(0, 0) == u"水"_qs;
                    }});
    // The colour list: weekdays, holiday, today, mark.
    for (int id = 0; id <= 10; ++id) {
        if (id == 7)
            continue;  // "平日" sets what the five weekday entries set
        rows.push_back(
            {"colour list entry",
             [id](TSetupForm& f) {
                 f.PageControl1->setCurrentIndex(1);
                 f.ChooseColor = [id](const QColor&, QWidget*) { return ToQColor(Colour(id)); };
                 QTest::mouseClick(f.ButtonList1->Button(id), Qt::LeftButton);
             },
             [id](TSetupForm& f) {
                 const TDiary& p = *f.Diary1;
                 const TColor c = id < 7    ? p.WeekColor(id + 1)
                                  : id == 8 ? p.HolidayColor()
                                  : id == 9 ? p.TodayColor()
                                            : p.EventColor();
                 return c == Colour(id);
             },
             [id](TForm1& w, const QImage& image) {
                 const int day = id < 7 ? kSunday + id : id == 8 ? kHoliday : kToday;
                 const QRect cell = DayCell(w, EncodeDate(kYear, kMonth, day));
                 if (id == 10)
                     return Contains(image, DayCell(w, EncodeDate(kYear, kMonth, kMarkedDay)),
                                     Colour(id));
                 return Dominant(image, cell) == Colour(id);
             }});
    }
    // The seven swatches, in the order of the window's colours.
    const std::array<TColorButton * TSetupForm::*, 7> swatches = {
        &TSetupForm::EventList, &TSetupForm::DiaryList, &TSetupForm::DayTitle, &TSetupForm::Diary,
        &TSetupForm::Edit,      &TSetupForm::News,      &TSetupForm::Memo};
    for (int i = 0; i < 7; ++i) {
        const TColor colour = Colour(20 + i);
        auto swatch = swatches[i];
        rows.push_back(
            {"swatch",
             [swatch, colour](TSetupForm& f) {
                 f.PageControl1->setCurrentIndex(1);
                 f.ChooseColor = [colour](const QColor&, QWidget*) { return ToQColor(colour); };
                 QTest::mouseClick(f.*swatch, Qt::LeftButton);
             },
             [swatch, colour](TSetupForm& f) { return (f.*swatch)->Color() == colour; },
             [i, colour](TForm1& w, const QImage& image) {
                 const TWindowWidgets ui = Widgets(w);
                 const std::array<QWidget*, 7> shown = {ui.ListBox->viewport(),
                                                        ui.ListView1->viewport(),
                                                        ui.DateDisp,
                                                        ui.DiaryMemo->viewport(),
                                                        ui.Comment,
                                                        ui.NewsMemo->viewport(),
                                                        ui.PrivMemo->viewport()};
                 return Dominant(image, InWindow(w, shown[i], shown[i]->rect())) == colour;
             }});
    }
    // The three fonts.
    for (int tag = 0; tag < 3; ++tag) {
        rows.push_back(
            {"font",
             [tag](TSetupForm& f) {
                 f.PageControl1->setCurrentIndex(2);
                 f.ChooseFont = [tag](const QFont&, QWidget*) { return ChosenFont(tag); };
                 QTest::mouseClick(std::array{f.DateFontBtn, f.NewsFontBtn, f.MemoFontBtn}[tag],
                                   Qt::LeftButton);
             },
             [tag](TSetupForm& f) {
                 const TFontDesc& d = f.SampleFont(tag);
                 return FromCp932(d.Name) == ChosenFont(tag).family() &&
                        d.Size == ChosenFont(tag).pointSize();
             },
             [tag](TForm1& w, const QImage&) {
                 const std::array<QWidget*, 3> shown = {Widgets(w).DateDisp, Widgets(w).NewsMemo,
                                                        Widgets(w).PrivMemo};
                 const QFont font = shown[tag]->font();
                 const QFont want = ChosenFont(tag);
                 return font.family() == want.family() && font.pointSize() == want.pointSize() &&
                        font.bold() == want.bold() && font.italic() == want.italic();
             }});
    }
    // The six titles.
    for (int i = 0; i < 6; ++i) {
        auto edit = [i](TSetupForm& f) {
            return std::array{f.OneWord,    f.EventTitle, f.Personal,
                              f.TabOneword, f.TabEvent,   f.TabPersonal}[i];
        };
        rows.push_back({"title",
                        [edit, i](TSetupForm& f) {
                            f.PageControl1->setCurrentIndex(2);
                            edit(f)->selectAll();
                            TypeText(edit(f), kTitles[i]);
                        },
                        [edit, i](TSetupForm& f) { return edit(f)->text() == kTitles[i]; },
                        [i](TForm1& w, const QImage&) {
                            const TWindowWidgets ui = Widgets(w);
                            const std::array<QString, 6> shown = {
                                ui.DateLabel->text(),     ui.CoolBar2->BandText(0),
                                ui.CoolBar2->BandText(1), ui.DiaryList->tabText(3),
                                ui.DiaryList->tabText(2), ui.DiaryList->tabText(1)};
                            return shown[i] == kTitles[i];
                        }});
    }
    return rows;
}

// A run on a month with a holiday, today and a day with a page on it.
TForm1& StartOnTheMonth(TWindowRun& run) {
    SetTodayForTesting(EncodeDate(kYear, kMonth, kToday));
    run.Put(u"Velmora.hol"_qs, ReadShippedHolidays());
    TForm1& form = run.Start();
    return form;
}

// The window as it shows itself with the grid in focus (a closed dialog leaves the focus
// wherever the platform puts it).
QImage Settled(TForm1& form) {
    QApplication::setActiveWindow(&form);
    ClickDay(form.Diary1(), EncodeDate(kYear, kMonth, kSelectedDay));
    form.Diary1().setFocus();
    QTest::qWait(0);
    return form.grab().toImage();
}

}  // namespace

class OptionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InstallFontSubstitutes(); }
    void cleanup() { SetTodayForTesting(std::nullopt); }

    void everyValueComesBackAfterRestart();
    void cancelLeavesWindowAndFileUnchanged();
    void startOfWeekReachesTheWindowOnlyAfterOk();
    void opensOnTheFirstPageEveryTime();
    void screenshots();
};

void OptionsTest::everyValueComesBackAfterRestart() {
    const std::vector<TOptionRow> rows = OptionRows();
    TWindowRun run;
    SetTodayForTesting(EncodeDate(kYear, kMonth, kToday));
    TDataInfo page = EmptyDataInfo;
    page.Date = EncodeDate(kYear, kMonth, kMarkedDay);
    page.Title = Sjis("ページ");
    SeedRecord(run, page);
    TForm1& first = StartOnTheMonth(run);
    RunSetup(
        first,
        [&rows](TSetupForm& f) {
            for (const TOptionRow& row : rows)
                row.Change(f);
        },
        true);
    // The window shows every value at once, and again after a restart.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1)
            QVERIFY(run.Stop());
        TForm1& form = pass == 0 ? first : StartOnTheMonth(run);
        const QImage image = Settled(form);
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].WindowShows)
                QVERIFY2(rows[i].WindowShows(form, image),
                         qPrintable(QStringLiteral("pass %1, row %2 (%3)")
                                        .arg(pass)
                                        .arg(i)
                                        .arg(QLatin1String(rows[i].Name))));
    }
    std::vector<bool> back(rows.size(), false);
    RunSetup(
        run.Form(),
        [&](TSetupForm& f) {
            for (size_t i = 0; i < rows.size(); ++i)
                back[i] = rows[i].DialogHas(f);
        },
        false);
    for (size_t i = 0; i < rows.size(); ++i)
        QVERIFY2(back[i], qPrintable(QStringLiteral("row %1 (%2) in the dialog")
                                         .arg(i)
                                         .arg(QLatin1String(rows[i].Name))));
}

void OptionsTest::cancelLeavesWindowAndFileUnchanged() {
    const std::vector<TOptionRow> rows = OptionRows();
    TWindowRun run;
    StartOnTheMonth(run);
    QVERIFY(run.Stop());
    const std::string written = run.Read(u"Velmora.ini"_qs);
    TForm1& form = StartOnTheMonth(run);
    const QImage before = Settled(form);
    RunSetup(
        form,
        [&rows](TSetupForm& f) {
            for (const TOptionRow& row : rows)
                row.Change(f);
        },
        false);
    const QImage after = Settled(form);
    QCOMPARE(after, before);
    QVERIFY(run.Stop());
    QCOMPARE(run.Read(u"Velmora.ini"_qs), written);
}

void OptionsTest::startOfWeekReachesTheWindowOnlyAfterOk() {
    TWindowRun run;
    TForm1& form = StartOnTheMonth(run);
    int mainWhileOpen = -1;
    QString previewHead;
    RunSetup(
        form,
        [&](TSetupForm& f) {
            f.StWeek->setCurrentIndex(1);
            previewHead = f.Diary1->CellText(0, 0);
            mainWhileOpen = form.Diary1().StartOfWeek();
        },
        true);
    QCOMPARE(previewHead, u"月"_qs);
    QCOMPARE(mainWhileOpen, 0);
    QCOMPARE(form.Diary1().StartOfWeek(), 1);
    QCOMPARE(form.Diary1().CellText(0, 0), u"月"_qs);
}

void OptionsTest::opensOnTheFirstPageEveryTime() {
    TFeatureRun run;
    QWidget window;
    TOptions options(&window, run.diary, run.params);
    std::array<TColor, 7> given{};
    for (size_t i = 0; i < given.size(); ++i)
        given[i] = Colour(static_cast<int>(i));
    options.SetColors(given);
    int changes = 0;
    std::array<TColor, 7> out{};
    connect(&options, &TOptions::Changed, &options,
            [&](const TInitParam&, const std::array<TColor, 7>& colors) {
                ++changes;
                out = colors;
            });
    QStringList pages;
    const int firstTime = RunSetup(
        window, options,
        [&pages](TSetupForm& f) {
            for (int i = 0; i < f.PageControl1->count(); ++i)
                pages << f.PageControl1->tabText(i);
            f.PageControl1->setCurrentIndex(2);
        },
        true);
    QCOMPARE(pages, (QStringList{u"全般"_qs, u"色設定"_qs, u"フォント・タイトル"_qs}));
    QCOMPARE(firstTime, 0);
    // The colours taken in come back out unchanged; Cancel gives out nothing.
    QCOMPARE(changes, 1);
    QCOMPARE(out, given);
    QCOMPARE(RunSetup(
                 window, options, [](TSetupForm& f) { f.PageControl1->setCurrentIndex(1); }, false),
             0);
    QCOMPARE(changes, 1);
    QCOMPARE(RunSetup(
                 window, options, [](TSetupForm&) {}, true),
             0);
    QCOMPARE(changes, 2);
}

void OptionsTest::screenshots() {
    TWindowRun run;
    TForm1& form = StartOnTheMonth(run);
    RunSetup(
        form,
        [](TSetupForm& f) {
            f.RokuyoCheck->setChecked(true);
            f.ChooseColor = [](const QColor&, QWidget*) { return QColor(0xFF, 0xDD, 0x99); };
            f.PageControl1->setCurrentIndex(1);
            QTest::mouseClick(f.ButtonList1->Button(7), Qt::LeftButton);
            QTest::mouseClick(f.DayTitle, Qt::LeftButton);
            f.ChooseFont = [](const QFont&, QWidget*) { return QFont(u"IPAPMincho"_qs, 20); };
            f.PageControl1->setCurrentIndex(2);
            QTest::mouseClick(f.DateFontBtn, Qt::LeftButton);
            const std::array<QString, 3> names = {u"setup-general.png"_qs, u"setup-colors.png"_qs,
                                                  u"setup-fonts.png"_qs};
            for (int i = 0; i < 3; ++i) {
                f.PageControl1->setCurrentIndex(i);
                QTest::qWait(0);
                QVERIFY(SavePng(&f, names[i]));
            }
        },
        true);
    QTest::qWait(0);
    QVERIFY(SavePng(&form, u"options-window.png"_qs));
}

QTEST_MAIN(OptionsTest)
#include "OptionsTest.moc"
