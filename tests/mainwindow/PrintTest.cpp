// Printing a day, a month and a year, built on a store without the window (the page being
// edited is printed from the window): the PDFs are read back with poppler's tools.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include "bridge/Fonts.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/printing/PrintCommands.h"
#include "mainwindow/printing/PrintDocument.h"
#include "mainwindow/printing/PrintOptionsDialog.h"
#include "richtext/RtfFormat.h"
#include "storage/Cp932.h"
#include "support/FeatureRun.h"
#include "support/Screenshots.h"
#include "support/WindowRun.h"
#include "support/WindowWidgets.h"
#include "widgets/WeatherIcons.h"

namespace {

struct TSeedDay {
    TYmd date;
    const char* title;
    const char* body;
    const char* priv;
};

// Days of 2024 with pages, out of date order; 2 March has a bold body in RTF.
const TSeedDay kDays[] = {
    {{2024, 3, 15}, "春分の前", "梅が咲いた", "ひみつ十五日"},
    {{2024, 3, 2}, "雛祭り前", nullptr, "ひみつ二日"},
    {{2024, 2, 29}, "閏日", "四年に一度", ""},
    {{2024, 12, 31}, "大晦日", "年越しそばと本", ""},
};

// Puts the days into run's year files with put(run, record).
template <typename Run, typename Put>
void SeedDays(const Run& run, Put put) {
    for (const TSeedDay& d : kDays) {
        TDataInfo rec;
        rec.Date = EncodeDate(d.date.Year, d.date.Month, d.date.Day);
        rec.Title = Sjis(d.title);
        if (d.body) {
            rec.Text = Sjis(d.body);
            rec.RichText = rec.Text;
        } else {
            rec.Text = Sjis("太字の文章");
            rec.RichText =
                "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
                "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}"
                "\r\n\\viewkind4\\uc1\\pard\\qc\\b\\f0\\fs28 " +
                Sjis("太字の文章") + "\\par\r\n}\r\n";
        }
        rec.Private = Sjis(d.priv);
        rec.News = Sjis("ニュース");
        rec.Weather = 7;
        put(run, rec);
    }
}

void SeedDays(const TWindowRun& run) {
    SeedDays(run, SeedRecord);
}

void SeedDays(const TFeatureRun& run) {
    SeedDays(run, [](const TFeatureRun& r, const TDataInfo& rec) { r.Seed(rec); });
}

// Printing on a store of its own that shows 15 March 2024, without the window; messages are
// recorded instead of shown.
class TPrintRun : public TFeatureRun {
public:
    TPrintRun() {
        SetUserMessageHook([this](const QString& text) { Messages << text; });
    }
    ~TPrintRun() { SetUserMessageHook({}); }
    void Start() { Open(EncodeDate(2024, 3, 15)); }
    QString Path(const QString& name) const {
        return QString::fromStdString(File(name.toStdString()));
    }
    void Put(const QString& name, const std::string& bytes) const {
        Write(name.toStdString(), bytes);
    }

    QMainWindow window;
    TMainActions actions = Created(&window);
    TPrintCommands printing{&window, actions, store, params};
    QStringList Messages;

private:
    static TMainActions Created(QWidget* window) {
        TMainActions made;
        made.Create(window, window);
        return made;
    }
};

QString Tool(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfText(const QString& pdf) {
    return Tool(u"pdftotext"_qs, {u"-enc"_qs, u"UTF-8"_qs, pdf, u"-"_qs});
}

QString PdfInfo(const QString& pdf, const QString& field) {
    for (const QString& line : Tool(u"pdfinfo"_qs, {pdf}).split(QLatin1Char('\n')))
        if (line.startsWith(field + QLatin1Char(':')))
            return line.mid(field.size() + 1).trimmed();
    return {};
}

const TPrintProgress kNoProgress = [](int, int) { return true; };

class TPrintTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InstallFontSubstitutes(); }
    void init() { SetTodayForTesting(EncodeDate(2024, 3, 15)); }
    void cleanup() { SetTodayForTesting(std::nullopt); }

    void printedPdfHoldsTheDays_data();
    void printedPdfHoldsTheDays();
    void commandSavesThePdfAndCancelWritesNothing();
    void pageBeingEditedIsPrinted();
    void monthWithoutPagesIsReported();
    void optionsDialogReturnsTheChoice();
    void pagesAsPngAndPreviewScreenshot();
    void bodyPicturesArePrinted();
    void weatherOnlyWhereChosen_data();
    void weatherOnlyWhereChosen();
    void progressFillsOnce_data();
    void progressFillsOnce();
    void bodyShownWithoutFormattingIsPrintedSo();
};

}  // namespace

void TPrintTest::printedPdfHoldsTheDays_data() {
    QTest::addColumn<int>("span");
    QTest::addColumn<bool>("privateMemo");
    QTest::addColumn<bool>("newSheet");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("pages");  // -1: fewer than the days
    const QStringList march = {u"2024 年 3 月 2 日 (土)"_qs,
                               u"雛祭り前"_qs,
                               u"太字の文章"_qs,
                               u"2024 年 3 月 15 日 (金)"_qs,
                               u"春分の前"_qs,
                               u"梅が咲いた"_qs,
                               u"ニュース"_qs,
                               u"曇り"_qs};
    QTest::newRow("day") << int(TPrintSpan::Day) << false << true
                         << QStringList{u"2024 年 3 月 15 日 (金)"_qs, u"梅が咲いた"_qs}
                         << QStringList{u"3 月 2 日"_qs, u"ひみつ十五日"_qs} << u"2024年3月15日"_qs
                         << 1;
    QTest::newRow("day with private memo")
        << int(TPrintSpan::Day) << true << true << QStringList{u"ひみつ十五日"_qs}
        << QStringList{u"ひみつ二日"_qs} << u"2024年3月15日"_qs << 1;
    QTest::newRow("month") << int(TPrintSpan::Month) << false << true << march
                           << QStringList{u"閏日"_qs, u"大晦日"_qs, u"ひみつ"_qs}
                           << u"2024年3月1日～2024年3月31日"_qs << 2;
    QTest::newRow("month flowing on") << int(TPrintSpan::Month) << true << false
                                      << (march + QStringList{u"ひみつ二日"_qs, u"ひみつ十五日"_qs})
                                      << QStringList{} << u"2024年3月1日～2024年3月31日"_qs << 1;
    QTest::newRow("year") << int(TPrintSpan::Year) << false << true
                          << (march + QStringList{u"閏日"_qs, u"四年に一度"_qs, u"大晦日"_qs})
                          << QStringList{u"ひみつ"_qs} << u"2024年1月1日～2024年12月31日"_qs << 4;
}

void TPrintTest::printedPdfHoldsTheDays() {
    QFETCH(int, span);
    QFETCH(bool, privateMemo);
    QFETCH(bool, newSheet);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    QFETCH(QString, title);
    QFETCH(int, pages);
    TPrintRun run;
    SeedDays(run);
    run.Start();
    const std::string pdf =
        run.printing.PdfBytes(static_cast<TPrintSpan>(span), {privateMemo, newSheet}, kNoProgress);
    QVERIFY(pdf.size() > 1000);
    const QString path = run.Path(u"out.pdf"_qs);
    run.Put(u"out.pdf"_qs, pdf);
    const QString text = PdfText(path);
    for (const QString& s : present)
        QVERIFY2(text.contains(s), qPrintable(s + u" missing from:\n"_qs + text));
    for (const QString& s : absent)
        QVERIFY2(!text.contains(s), qPrintable(s + u" printed:\n"_qs + text));
    QCOMPARE(PdfInfo(path, u"Title"_qs), title);
    QVERIFY(!text.contains(u"Test"_qs));
    // Page numbers in the footer.
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("1\\s*/\\s*%1").arg(pages))));
    QCOMPARE(PdfInfo(path, u"Pages"_qs).toInt(), pages);
    // Days in date order.
    if (span != int(TPrintSpan::Day))
        QVERIFY(text.indexOf(u"3 月 2 日"_qs) < text.indexOf(u"3 月 15 日"_qs));
}

void TPrintTest::commandSavesThePdfAndCancelWritesNothing() {
    TPrintRun run;
    SeedDays(run);
    run.Start();
    TPrintCommands& printing = run.printing;
    printing.AskHow = [](TPrintSpan) {
        return TPrintCommands::TRequest{TPrintOptionsDialog::SavePdf, {false, true}};
    };
    const QString path = run.Path(u"month.pdf"_qs);
    QString suggested;
    printing.AskPdfPath = [&](const QString& s) {
        suggested = s;
        return path;
    };
    QVERIFY(run.actions.PrintMonth->isEnabled());
    run.actions.PrintMonth->trigger();
    QVERIFY(suggested.endsWith(u"diary-2024-03.pdf"_qs));
    QVERIFY(QFile::exists(path));
    QVERIFY(PdfText(path).contains(u"梅が咲いた"_qs));
    QVERIFY(run.Messages.isEmpty());
    // Where it went is said without a box to close.
    QCOMPARE(run.window.statusBar()->currentMessage(), u"PDFを保存しました: "_qs + path);

    // Cancelled half way: nothing is written.
    int calls = 0;
    const TPrintProgress cancelSoon = [&calls](int, int) { return ++calls < 3; };
    QVERIFY(printing.PdfBytes(TPrintSpan::Year, {}, cancelSoon).empty());
    QVERIFY(calls >= 3);
    printing.AskHow = [](TPrintSpan) { return std::optional<TPrintCommands::TRequest>(); };
    QFile::remove(path);
    run.actions.PrintYear->trigger();
    QVERIFY(!QFile::exists(path));
}

void TPrintTest::pageBeingEditedIsPrinted() {
    TWindowRun run;
    SeedDays(run);
    TForm1& form = run.Start();
    TypeText(Widgets(form).DiaryMemo, u"いま書いた行"_qs);
    const QString path = run.Path(u"today.pdf"_qs);
    form.Printing().AskHow = [](TPrintSpan) {
        return TPrintCommands::TRequest{TPrintOptionsDialog::SavePdf, {}};
    };
    form.Printing().AskPdfPath = [&](const QString&) { return path; };
    form.Actions().PrintToday->trigger();
    QVERIFY(PdfText(path).contains(u"いま書いた行"_qs));
    // Undo still returns to the page as loaded.
    QVERIFY(form.Page().Changed());
}

void TPrintTest::monthWithoutPagesIsReported() {
    TPrintRun run;
    run.Start();
    bool asked = false;
    run.printing.AskHow = [&](TPrintSpan) {
        asked = true;
        return std::optional<TPrintCommands::TRequest>();
    };
    run.actions.PrintMonth->trigger();
    QVERIFY(!asked);
    QCOMPARE(run.Messages, QStringList{u"印刷する日記がありません。"_qs});
    // The day itself prints even when empty.
    run.actions.PrintToday->trigger();
    QVERIFY(asked);
}

void TPrintTest::optionsDialogReturnsTheChoice() {
    const std::pair<const char*, int> buttons[] = {{"PrintButton", TPrintOptionsDialog::Print},
                                                   {"PreviewButton", TPrintOptionsDialog::Preview},
                                                   {"PdfButton", TPrintOptionsDialog::SavePdf}};
    for (const auto& [name, choice] : buttons) {
        TPrintOptionsDialog dialog(u"今月の日記を印刷します。"_qs, {});
        QVERIFY(!dialog.Options().PrivateMemo);
        dialog.findChild<QAbstractButton*>(u"PrivateMemo"_qs)->click();
        dialog.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
        QCOMPARE(dialog.result(), choice);
        QVERIFY(dialog.Options().PrivateMemo);
        QVERIFY(dialog.Options().NewSheetPerDay);
    }
}

void TPrintTest::pagesAsPngAndPreviewScreenshot() {
    TPrintRun run;
    run.params.ShowRokuyo = true;
    SeedDays(run);
    run.Start();
    const QString path = run.Path(u"month.pdf"_qs);
    run.Put(u"month.pdf"_qs, run.printing.PdfBytes(TPrintSpan::Month, {true, true}, kNoProgress));
    // With rokuyo on, the heading carries the old-calendar date: 15 March 2024 is 6 February.
    QVERIFY2(PdfText(path).contains(u"旧暦 2月6日"_qs), qPrintable(PdfText(path)));
    // And the era date, on by default.
    QVERIFY2(PdfText(path).contains(u"（令和6年3月15日）"_qs), qPrintable(PdfText(path)));
    QDir().mkpath(QStringLiteral(VELMORA_PNG_DIR));
    Tool(u"pdftoppm"_qs,
         {u"-png"_qs, u"-r"_qs, u"60"_qs, path, QStringLiteral(VELMORA_PNG_DIR "/print-month")});
    QVERIFY(QFile::exists(QStringLiteral(VELMORA_PNG_DIR "/print-month-1.png")));

    auto preview = run.printing.Preview(TPrintSpan::Month, {false, true});
    preview->resize(900, 700);
    preview->show();
    QVERIFY(QTest::qWaitForWindowExposed(preview.get()));
    QTest::qWait(200);
    QVERIFY(SavePng(preview.get(), u"print-preview-month.png"_qs));
    preview->close();
}

// A body's pictures reach the printed document with their images, not as empty boxes.
void TPrintTest::bodyPicturesArePrinted() {
    TDataInfo rec;
    rec.Date = EncodeDate(2024, 3, 15);
    rec.Weather = -1;
    rec.Text = std::string(1, 'a');
    rec.RichText = "{\\rtf1 a{\\pict\\wmetafile8\\picwgoal300\\pichgoal150 0100}\\par}";
    const TPrintLabels labels{[](int32_t) { return u"見出し"_qs; }, u"出来事"_qs, u"私的メモ"_qs};
    QTextDocument document;
    QVERIFY(BuildPrintDocument({rec}, labels, TPrintOptions{}, document,
                               [](int, int) { return true; }));
    int pictures = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat() &&
                format.toImageFormat().name().startsWith(QLatin1String(kRtfPictureScheme))) {
                ++pictures;
                const QVariant image = document.resource(QTextDocument::ImageResource,
                                                         QUrl(format.toImageFormat().name()));
                QVERIFY(!image.value<QImage>().isNull());
            }
        }
    }
    QCOMPARE(pictures, 1);
}

// The weather of a day prints when the page has one; a day without a page has none, although
// an empty record's weather field holds 0, the index of 晴れ.
void TPrintTest::weatherOnlyWhereChosen_data() {
    QTest::addColumn<int>("weather");  // -2: no page
    QTest::addColumn<QString>("printed");
    QTest::newRow("no page") << -2 << QString();
    QTest::newRow("page without weather") << -1 << QString();
    QTest::newRow("晴れ chosen") << 0 << WeatherName(0);
    QTest::newRow("曇り chosen") << 7 << WeatherName(7);
}

void TPrintTest::weatherOnlyWhereChosen() {
    QFETCH(int, weather);
    QFETCH(QString, printed);
    TPrintRun run;
    if (weather != -2) {
        TDataInfo rec;
        rec.Date = EncodeDate(2024, 3, 15);
        rec.Title = Sjis("題");
        rec.Weather = weather;
        run.Seed(rec);
    }
    run.Start();
    QTextDocument document;
    QVERIFY(run.printing.Build(TPrintSpan::Day, {}, document, kNoProgress));
    const QString text = document.toPlainText();
    QVERIFY2(text.contains(u"2024 年 3 月 15 日"_qs), qPrintable(text));
    for (int i = 0; i < WeatherCount(); ++i)
        QVERIFY2(WeatherName(i) == printed || !text.contains(WeatherName(i)),
                 qPrintable(WeatherName(i) + u" printed:\n"_qs + text));
    if (!printed.isEmpty())
        QVERIFY2(text.contains(printed), qPrintable(text));
}

// Laying out and painting tell one progress that only grows and ends once.
void TPrintTest::progressFillsOnce_data() {
    QTest::addColumn<int>("span");
    QTest::newRow("day") << int(TPrintSpan::Day);
    QTest::newRow("month") << int(TPrintSpan::Month);
    QTest::newRow("year") << int(TPrintSpan::Year);
}

void TPrintTest::progressFillsOnce() {
    QFETCH(int, span);
    TPrintRun run;
    SeedDays(run);
    run.Start();
    QList<QPair<int, int>> told;
    const TPrintProgress record = [&told](int done, int total) {
        told.append({done, total});
        return true;
    };
    QVERIFY(!run.printing.PdfBytes(static_cast<TPrintSpan>(span), {}, record).empty());
    QVERIFY(told.size() >= 4);
    const int total = told.first().second;
    QVERIFY(total > 0);
    for (qsizetype i = 0; i < told.size(); ++i) {
        QCOMPARE(told[i].second, total);
        if (i > 0)
            QVERIFY2(told[i].first >= told[i - 1].first,
                     qPrintable(QStringLiteral("went back at %1: %2 after %3")
                                    .arg(i)
                                    .arg(told[i].first)
                                    .arg(told[i - 1].first)));
        QVERIFY(told[i].first < total || i == told.size() - 1);
    }
    QCOMPARE(told.last().first, total);
}

// A body whose RTF tells another text than the page's text field is printed as the page shows
// it: the field.
void TPrintTest::bodyShownWithoutFormattingIsPrintedSo() {
    TDataInfo rec;
    rec.Date = EncodeDate(2024, 3, 15);
    rec.Weather = -1;
    rec.Text = Sjis("朝から雨");
    rec.RichText = "{\\rtf1\\ansi\\ansicpg932 \\'92\\'a9\\'82\\'a9\\'82\\'e7\\'90\\'e1\\par}";
    const TPrintLabels labels{[](int32_t) { return u"見出し"_qs; }, u"出来事"_qs, u"私的メモ"_qs};
    QTextDocument document;
    QVERIFY(BuildPrintDocument({rec}, labels, TPrintOptions{}, document,
                               [](int, int) { return true; }));
    QVERIFY2(document.toPlainText().contains(u"朝から雨"_qs), qPrintable(document.toPlainText()));
    QVERIFY(!document.toPlainText().contains(u"雪"_qs));
}

QTEST_MAIN(TPrintTest)
#include "PrintTest.moc"
