// Reading and writing a diary body of about 6 KB of RTF with mixed formatting, and comparing a
// body with its text field as every page load does.
#include "bridge/TextCodec.h"
#include "richtext/BodyAgreement.h"
#include "richtext/BodyText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <benchmark/benchmark.h>

#include <QColor>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <string>

namespace {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "rtf_bench";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication application(argc, argv);
    }
}

// Paragraphs of Japanese with some Latin text, an emoji, and changes of face, size, style,
// colour, alignment and indent every few words.
void FillBody(QTextDocument& document) {
    QTextCursor cursor(&document);
    const QString words[] = {QStringLiteral("今日は朝から晴れて、"),
                             QStringLiteral("散歩に出かけた。"),
                             QStringLiteral("Café で "),
                             QStringLiteral("友達と話した😀。"),
                             QStringLiteral("夕方には雨が降り、"),
                             QStringLiteral("①②③ 表示～ "),
                             QStringLiteral("明日の予定を書く。")};
    for (int paragraph = 0; paragraph < 11; ++paragraph) {
        QTextBlockFormat block;
        block.setAlignment(paragraph % 3 == 0 ? Qt::AlignHCenter : Qt::AlignLeft);
        block.setTextIndent(paragraph % 2 == 0 ? 14 : 0);
        if (paragraph > 0) {
            cursor.insertBlock(block);
        } else {
            cursor.setBlockFormat(block);
        }
        for (int i = 0; i < 7; ++i) {
            QTextCharFormat format;
            format.setFontFamilies(
                {i % 2 == 0 ? QStringLiteral("ＭＳ 明朝") : QStringLiteral("Arial")});
            format.setFontPointSize(9 + i % 3 * 1.5);
            format.setFontWeight(i % 3 == 1 ? QFont::Bold : QFont::Normal);
            format.setFontItalic(i % 4 == 2);
            format.setFontUnderline(i % 5 == 3);
            if (i % 3 == 2) {
                format.setForeground(QColor(200, 30 * i, 0));
            }
            cursor.insertText(words[(paragraph + i) % 7], format);
        }
    }
}

void BM_ReadRtf(benchmark::State& state) {
    EnsureApplication();
    QTextDocument source;
    FillBody(source);
    const std::string rtf = WriteRtf(source);
    for (auto _ : state) {
        QTextDocument document;
        ReadRtf(rtf, document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * rtf.size()));
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_ReadRtf);

void BM_WriteRtf(benchmark::State& state) {
    EnsureApplication();
    QTextDocument document;
    FillBody(document);
    size_t size = 0;
    for (auto _ : state) {
        const std::string rtf = WriteRtf(document);
        size = rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
    state.counters["rtf_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_WriteRtf);

// The body FillBody makes, state.range(0) times over, against the field a save writes beside it.
void BM_CompareBody(benchmark::State& state) {
    EnsureApplication();
    QTextDocument document;
    for (int64_t i = 0; i < state.range(0); ++i) {
        FillBody(document);
    }
    const std::string rtf = WriteRtf(document);
    const std::string field = ToCp932(PlainTextForField(document));
    for (auto _ : state) {
        benchmark::DoNotOptimize(CompareBody(rtf, document, field));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * field.size()));
    state.counters["field_bytes"] = static_cast<double>(field.size());
}
BENCHMARK(BM_CompareBody)->Arg(1)->Arg(500)->Unit(benchmark::kMicrosecond);

}  // namespace
