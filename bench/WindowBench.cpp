// Paging through the main window as a user does with the next-month button: every step stores
// the page, moves the day store, rebuilds the header and page, and repaints the month grid with
// marks, weather icons and rokuyo. Twelve steps cross into the next year, which writes and
// loads a year file.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

#include "controls/Diary.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/daylists/DayLists.h"
#include "mainwindow/daypage/DayPage.h"
#include "settings/IniParam.h"
#include "storage/Clock.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/ScrapList.h"

namespace {

// A folder holding the program's files: two years of pages, every day of them, and the
// shipped holiday rules; "ROKUYO" on.
class TBenchFolder {
public:
    TBenchFolder() {
        std::string holidays;
        ReadWholeFile(VELMORA_SHIPPED_HOLIDAYS, holidays);
        SafeWriteFile(Path("Velmora.hol"), holidays);
        SafeWriteFile(Path("Velmora.ini"), "ROKUYO=1\r\n");
        for (int year : {2026, 2027}) {
            TScrapList store;
            store.LoadFromFile(Path(std::to_string(year) + ".dat"));
            for (int32_t d = EncodeDate(year, 1, 1); d <= EncodeDate(year, 12, 31); ++d) {
                TDataInfo rec;
                rec.Date = d;
                rec.Title = Sjis("一日のひと言");
                rec.Text = Sjis("今日は穏やかな一日だった。散歩をして本を読んだ。");
                rec.RichText = rec.Text;
                rec.News = Sjis("出来事");
                rec.Weather = d % 33;
                store.PutRecord(rec);
            }
            store.SaveToFile();
        }
    }
    std::string Path(const std::string& name) const {
        return QFile::encodeName(dir_.filePath(QString::fromStdString(name))).toStdString();
    }
    QString Executable() const { return dir_.filePath(QStringLiteral("Velmora")); }

private:
    QTemporaryDir dir_;
};

void BM_PageTwelveMonths(benchmark::State& state) {
    SetTodayForTesting(EncodeDate(2026, 1, 15));
    TBenchFolder folder;
    TInitParam params;
    TForm1 form(params, folder.Executable());
    form.show();
    TDiary& grid = form.Diary1();
    // Forward through a year, then back, so that every pass crosses a year end once.
    int direction = 1;
    for (auto _ : state) {
        for (int step = 0; step < 12; ++step) {
            form.Page().ToolButton11Click(direction > 0 ? 12 : 10);
            grid.repaint();
        }
        direction = -direction;
    }
    state.SetItemsProcessed(state.iterations() * 12);
    SetTodayForTesting(std::nullopt);
}
BENCHMARK(BM_PageTwelveMonths)->Unit(benchmark::kMillisecond);

// The day list of a whole year of 365 pages ("DIARYLIST" off): every row with its icon.
void BM_FillDayList(benchmark::State& state) {
    SetTodayForTesting(EncodeDate(2026, 1, 15));
    TBenchFolder folder;
    SafeWriteFile(folder.Path("Velmora.ini"), "DIARYLIST=0\r\n");
    TInitParam params;
    TForm1 form(params, folder.Executable());
    form.show();
    for (auto _ : state)
        form.DayLists().FillDayList();
    if (form.findChild<QTreeWidget*>(QStringLiteral("ListView1"))->topLevelItemCount() != 365)
        state.SkipWithError("the list does not show the whole year");
    state.SetItemsProcessed(state.iterations() * 365);
    SetTodayForTesting(std::nullopt);
}
BENCHMARK(BM_FillDayList)->Unit(benchmark::kMillisecond);

}  // namespace
