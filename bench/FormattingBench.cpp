// Caret moves through a long formatted body, each synchronising the formatting controls, and a
// leap year of pages printed to PDF, each day on its own sheet.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>
#include <memory>

#include "bridge/Fonts.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/formatting/Formatting.h"
#include "mainwindow/printing/PrintCommands.h"
#include "settings/IniParam.h"
#include "storage/Clock.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/ScrapList.h"

namespace {

// About 20 KB of RTF: paragraphs with changing indents, alignments, sizes and styles.
std::string FormattedBody() {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
        "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1";
    const std::string words = Sjis("今日は穏やかな一日だった。");
    for (int p = 0; rtf.size() < 20000; ++p) {
        rtf += "\\pard\\fi" + std::to_string(20 * (p % 7)) + (p % 3 == 1 ? "\\qc" : "") +
               "\\f0\\fs" + std::to_string(18 + 2 * (p % 5)) + " " + words + "\\b " + words +
               "\\b0\\cf1 " + words + "\\cf0\\par\r\n";
    }
    return rtf + "}\r\n";
}

class TBenchRun {
public:
    explicit TBenchRun(bool everyDay) {
        InstallFontSubstitutes();
        const int32_t shown = EncodeDate(2024, 6, 1);
        SetTodayForTesting(shown);
        TScrapList store;
        store.LoadFromFile(Path("2024.dat"));
        for (int32_t d = EncodeDate(2024, 1, 1); d <= EncodeDate(2024, 12, 31); ++d) {
            if (!everyDay && d != shown)
                continue;
            TDataInfo rec;
            rec.Date = d;
            rec.Title = Sjis("一日のひと言");
            rec.Text = Sjis("本文");
            rec.RichText = everyDay ? "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0 Arial;}}"
                                      "\\pard\\qc\\b\\f0\\fs24 " +
                                          Sjis("散歩をして本を読んだ。") + "\\par\r\n}"
                                    : FormattedBody();
            rec.News = Sjis("出来事");
            rec.Private = Sjis("内緒");
            rec.Weather = d % 33;
            store.PutRecord(rec);
        }
        store.SaveToFile();
        form_ = std::make_unique<TForm1>(params_, dir_.filePath(QStringLiteral("Velmora")));
        form_->show();
    }
    ~TBenchRun() { SetTodayForTesting(std::nullopt); }
    TForm1& Form() { return *form_; }

private:
    std::string Path(const std::string& name) const {
        return QFile::encodeName(dir_.filePath(QString::fromStdString(name))).toStdString();
    }
    QTemporaryDir dir_;
    TInitParam params_;
    std::unique_ptr<TForm1> form_;
};

void BM_SelectionChangeOn20KBody(benchmark::State& state) {
    TBenchRun run(false);
    QTextEdit* body = run.Form().findChild<QTextEdit*>(QStringLiteral("DiaryMemo"));
    const int length = body->document()->characterCount() - 1;
    int position = 0;
    for (auto _ : state) {
        // Each move runs SelectionChange through the editor's caret notification.
        QTextCursor cursor = body->textCursor();
        position = (position + 997) % length;
        cursor.setPosition(position);
        body->setTextCursor(cursor);
    }
    state.counters["bodyChars"] = length;
}
BENCHMARK(BM_SelectionChangeOn20KBody)->Unit(benchmark::kMicrosecond);

void BM_SelectionChangeWholeBodySelected(benchmark::State& state) {
    TBenchRun run(false);
    QTextEdit* body = run.Form().findChild<QTextEdit*>(QStringLiteral("DiaryMemo"));
    body->selectAll();
    for (auto _ : state)
        run.Form().Formatting().SelectionChange();
}
BENCHMARK(BM_SelectionChangeWholeBodySelected)->Unit(benchmark::kMicrosecond);

void BM_PrintYearOf366PagesToPdf(benchmark::State& state) {
    TBenchRun run(true);
    const TPrintProgress progress = [](int, int) { return true; };
    size_t bytes = 0;
    for (auto _ : state)
        bytes = run.Form().Printing().PdfBytes(TPrintSpan::Year, {true, true}, progress).size();
    state.counters["pdfBytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PrintYearOf366PagesToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
