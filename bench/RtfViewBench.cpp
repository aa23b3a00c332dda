// Reading a body of many formatting runs in one paragraph into a shown editor, and writing it:
// both should grow linearly with the number of runs. Likewise a table with the number of rows.
// A page of one very long paragraph in the body editor: the time to show it, and what the
// editor does for each blink of the caret while the page is only shown.
#include "mainwindow/daypage/BodyEdit.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <string>

namespace {

QApplication& Application() {
    static int argc = 1;
    static char name[] = "rtf_view_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
    return application;
}

// One paragraph of runs that alternate between plain and bold, each a few Japanese characters.
std::string ManyRuns(int runs) {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat plain;
    plain.setFontFamilies({QStringLiteral("ＭＳ 明朝")});
    plain.setFontPointSize(10.5);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    for (int i = 0; i < runs; ++i) {
        cursor.insertText(QStringLiteral("晴れ%1 ").arg(i % 10), i % 2 == 0 ? plain : bold);
    }
    return WriteRtf(document);
}

// Reads the body into a shown editor until it is laid out and drawn.
void ReadIntoShownEditor(benchmark::State& state, const std::string& rtf) {
    QTextEdit edit;
    edit.resize(600, 400);
    edit.show();
    QApplication::processEvents();
    for (auto _ : state) {
        ReadRtf(rtf, *edit.document());
        benchmark::DoNotOptimize(edit.document()->documentLayout()->documentSize());
        QApplication::processEvents();
    }
    state.SetComplexityN(state.range(0));
}

void BM_ReadManyRunsIntoShownEditor(benchmark::State& state) {
    Application();
    ReadIntoShownEditor(state, ManyRuns(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ReadManyRunsIntoShownEditor)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// A table of three columns and the given rows, as a word processor writes it.
std::string TableRows(int rows) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 x;}}\\f0 ";
    for (int r = 0; r < rows; ++r) {
        rtf += "\\trowd\\trgaph108\\cellx1800\\cellx3600\\cellx5400\\pard\\intbl a" +
               std::to_string(r) + "\\cell b\\cell c\\cell\\row\r\n";
    }
    return rtf + "\\pard\\par}";
}

void BM_ReadTableRowsIntoShownEditor(benchmark::State& state) {
    Application();
    ReadIntoShownEditor(state, TableRows(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ReadTableRowsIntoShownEditor)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_WriteManyRuns(benchmark::State& state) {
    Application();
    QTextDocument document;
    ReadRtf(ManyRuns(static_cast<int>(state.range(0))), document);
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteRtf(document).size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WriteManyRuns)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// One paragraph of about the given bytes of RTF, plain text as a Western diary holds it.
std::string LongParagraph(int64_t bytes) {
    const std::string sentence = "The weather was fine today, so I went out for a walk. ";
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\f0\\fs21 ";
    while (static_cast<int64_t>(rtf.size()) < bytes) {
        rtf += sentence;
    }
    return rtf + "\\par}";
}

void ShowBodyEdit(TBodyEdit& edit) {
    edit.resize(560, 260);
    edit.show();
    edit.setFocus();
    QApplication::processEvents();
}

// Reading the page into a shown body editor until it is laid out and drawn.
void BM_ShowLongParagraph(benchmark::State& state) {
    Application();
    const std::string rtf = LongParagraph(state.range(0) * 1024);
    TBodyEdit edit;
    ShowBodyEdit(edit);
    for (auto _ : state) {
        ReadRtf(rtf, *edit.document());
        edit.viewport()->repaint();
        QApplication::processEvents();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ShowLongParagraph)
    ->Arg(1024)
    ->Arg(5 * 1024)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// What a caret blink asks of a shown page: where the caret is, and a repaint of that place.
void BM_BlinkInLongParagraph(benchmark::State& state) {
    Application();
    TBodyEdit edit;
    ShowBodyEdit(edit);
    ReadRtf(LongParagraph(state.range(0) * 1024), *edit.document());
    edit.moveCursor(QTextCursor::Start);  // where a loaded page puts it, in sight
    QApplication::processEvents();
    for (auto _ : state) {
        const QRect caret = edit.cursorRect();
        edit.viewport()->repaint(caret.adjusted(-1, -1, 1, 1));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BlinkInLongParagraph)
    ->Arg(64)
    ->Arg(512)
    ->Arg(5 * 1024)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
