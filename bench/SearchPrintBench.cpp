// The search window over thirty years of diary, from Enter to the list filled, and printing a
// year of pages to a PDF, 365 pages against 730 so that a cost growing faster than the pages
// shows as a ratio of more than two.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "bridge/Fonts.h"
#include "controls/Diary.h"
#include "mainwindow/StoreEvents.h"
#include "mainwindow/pastyears/PastYears.h"
#include "mainwindow/printing/PrintDocument.h"
#include "mainwindow/search/SearchWindow.h"
#include "settings/IniParam.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/ScrapList.h"
#include "storage/YearFile.h"

namespace {

// Forty kanji of the first level, a few more of them new each day, as a diary over a year comes to
// use more and more characters.
std::string Kanji(int day) {
    constexpr int kPerLead = 188;
    constexpr int kLevelOne = 15 * kPerLead;
    std::string text;
    for (int i = 0; i < 40; ++i) {
        const int k = (day * 4 + i) % kLevelOne;
        const int trail = k % kPerLead;
        text += static_cast<char>(0x89 + k / kPerLead);
        text += static_cast<char>(trail < 63 ? 0x40 + trail : 0x80 + trail - 63);
    }
    return text + "\r\n";
}

// About 2 KB of prose with line breaks; one day in seven mentions the word searched for.
std::string Body(int day, size_t bytes = 2048) {
    std::string body = Sjis("第") + std::to_string(day) + Sjis("日 ") + Kanji(day);
    const std::string sentence =
        Sjis("今日は朝から雨が降っていた。表通りの本屋で、新しい本を買った。\r\n");
    while (body.size() < bytes)
        body += sentence;
    if (day % 7 == 0)
        body += Sjis("夕方はｿﾌﾄｸﾘｰﾑを食べた。");
    return body;
}

// The body as the page writes it: RTF with the text's characters as \'xx pairs.
std::string Rtf(const std::string& body) {
    static const char kHex[] = "0123456789abcdef";
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
        "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
        "\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs18 ";
    for (const char c : body) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            rtf += "\\par";
        else if (c == '\n')
            continue;
        else if (byte >= 0x80 || c == '\\' || c == '{' || c == '}')
            rtf += {'\\', '\'', kHex[byte >> 4], kHex[byte & 15]};
        else
            rtf += c;
    }
    return rtf + "\\par\r\n}\r\n";
}

TDataInfo Page(int32_t date, size_t bytes = 2048) {
    TDataInfo rec;
    rec.Date = date;
    rec.Weather = date % 32;
    rec.Title = Sjis("晴れのち曇り");
    rec.Text = Body(date, bytes);
    rec.RichText = Rtf(rec.Text.Text());
    rec.News = Sjis("ニュース");
    return rec;
}

// Thirty year files, 1997 to 2026, a page on every day.
class TThirtyYears {
public:
    TThirtyYears() {
        for (int year = 1997; year <= 2026; ++year) {
            TScrapList store;
            store.SetDataDir(Dir());
            store.LoadFromFile(YearFilePath(Dir(), year));
            for (int32_t d = EncodeDate(year, 1, 1); d <= EncodeDate(year, 12, 31); ++d)
                store.PutRecord(Page(d));
            store.SaveToFile();
        }
    }
    std::string Dir() const { return QFile::encodeName(dir_.path()).toStdString() + "/"; }

private:
    QTemporaryDir dir_;
};

// From Enter to the last result listed, with the year of 2026 open in the store: a word on one
// page in seven (argument 0), or on every page (argument 1).
void BM_SearchWindowThirtyYears(benchmark::State& state) {
    const bool everyPage = state.range(0) == 1;
    static const TThirtyYears years;
    TScrapList store;
    store.SetDataDir(years.Dir());
    store.SetDate(EncodeDate(2026, 6, 1));
    TInitParam params;
    TSearchWindow window(nullptr, store, params, {});
    window.Open();
    window.Query()->setText(everyPage ? u"雨"_qs : u"ソフト"_qs);
    int rows = 0;
    for (auto _ : state) {
        window.StartSearch();
        while (window.Searching())
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        rows = window.Results()->topLevelItemCount();
    }
    const int days = EncodeDate(2026, 12, 31) - EncodeDate(1997, 1, 1) + 1;
    const int expected = everyPage ? days : (days - 1) / 7 + 1;
    if (rows < expected - 1 || rows > expected + 1)
        state.SkipWithError("the list does not hold every page found");
    state.counters["rows"] = rows;
}
BENCHMARK(BM_SearchWindowThirtyYears)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The 過去の今日 tab filled for a day of 2026 from the twenty-nine earlier year files, a new day
// each time so that each fill finds other lines.
void BM_PastYearsThirtyYears(benchmark::State& state) {
    static const TThirtyYears years;
    TScrapList store;
    store.SetDataDir(years.Dir());
    store.SetDate(EncodeDate(2026, 1, 1));
    TStoreEvents events(store);
    TInitParam params;
    TDiary diary;
    TPastYears pastYears(diary, store, events, params);
    int32_t day = EncodeDate(2026, 1, 1);
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        day = day == EncodeDate(2026, 12, 31) ? EncodeDate(2026, 1, 1) : day + 1;
        const QSignalBlocker quiet(&events);
        store.SetDate(day);
        state.ResumeTiming();
        pastYears.Fill();
        rows = pastYears.List()->topLevelItemCount();
    }
    if (rows < 29)
        state.SkipWithError("a past year is missing");
    state.counters["rows"] = rows;
}
BENCHMARK(BM_PastYearsThirtyYears)->Unit(benchmark::kMillisecond)->UseRealTime();

// A page a day for state.range(0) days of state.range(1) bytes of body, each day on a sheet of
// its own, laid out and painted into a PDF.
void BM_PrintPages(benchmark::State& state) {
    const int days = static_cast<int>(state.range(0));
    std::vector<TDataInfo> records;
    for (int i = 0; i < days; ++i)
        records.push_back(Page(EncodeDate(2025, 1, 1) + i, state.range(1)));
    const TPrintLabels labels{[](int32_t date) { return QString::number(date); }, u"ニュース"_qs,
                              u"秘密"_qs};
    QTemporaryDir dir;
    int pages = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(u"year.pdf"_qs));
        printer.setPageSize(QPageSize(QPageSize::A4));
        QTextDocument document;
        QFont font = FontForFace(kPGothicFace);
        font.setPointSizeF(10.5);
        document.setDefaultFont(font);
        const auto go = [](int, int) { return true; };
        BuildPrintDocument(records, labels, TPrintOptions{}, document, go);
        PaintPages(document, printer, go);
        pages = document.pageCount();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PrintPages)
    ->Args({365, 2048})
    ->Args({730, 2048})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
