// Pages out and in: the Markdown round trip, a journal written by RedNotebook's own code, pages
// appended and never overwritten, bad input that imports nothing, and what each export holds.

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextStream>
#include <QTreeWidget>

#include "bridge/TextCodec.h"
#include "calendar/HolidayList.h"
#include "exchange/PageBody.h"
#include "exchange/PageCommands.h"
#include "exchange/PageExport.h"
#include "exchange/PageImport.h"
#include "exchange/PageMarkdown.h"
#include "mainwindow/BackupRun.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/exchange/Exchange.h"
#include "mainwindow/exchange/ExchangeDialogs.h"
#include "notes/NoteList.h"
#include "richtext/RtfPictures.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "storage/Clock.h"
#include "storage/Cp932.h"
#include "storage/DailyBackup.h"
#include "storage/DayNumber.h"
#include "storage/MachineState.h"
#include "storage/SafeWrite.h"
#include "storage/YearFile.h"
#include "support/FeatureRun.h"
#include "support/Screenshots.h"
#include "support/TestFolder.h"
#include "support/WindowRun.h"
#include "support/WindowWidgets.h"

namespace {

struct TPageSeed {
    QString Title = {};
    int Weather = -1;
    QString BodyHtml = {};  // empty: no body
    QString News = {};
    QString Private = {};
    bool Picture = false;
    QString Extra = {};  // the field the page does not edit, kept from older diaries
};

QImage TestPicture() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    for (int x = 0; x < 40; ++x)
        image.setPixel(x, x * 30 / 40, qRgb(250, 200, 0));
    return image;
}

TDataInfo MakePage(int32_t date, const TPageSeed& seed) {
    TDataInfo rec;
    rec.Date = date;
    rec.Title = ToCp932(seed.Title);
    rec.Weather = seed.Weather;
    rec.News = ToRecordLines(seed.News);
    rec.Private = ToRecordLines(seed.Private);
    rec.Extra = ToCp932(seed.Extra);
    QTextDocument body;
    body.setHtml(seed.BodyHtml);
    if (seed.Picture) {
        QTextDocument picture;
        ReadRtf("{\\rtf1 " + PngPictureGroup(TestPicture(), QSizeF(40, 30)) + "\\par}", picture);
        CopyPictures(picture, body);
        QTextCursor cursor(&body);
        cursor.movePosition(QTextCursor::End);
        cursor.insertBlock();
        cursor.insertFragment(QTextDocumentFragment(&picture));
    }
    if (!seed.BodyHtml.isEmpty() || seed.Picture)
        WriteBody(body, rec);
    return rec;
}

// What Markdown holds of a body: its Markdown, pictures named alike whatever their files.
QString BodySignature(const TDataInfo& rec) {
    QTextDocument body;
    ReadBody(rec, body);
    static const QRegularExpression picture(QStringLiteral(R"re(!\[[^\]]*\]\([^)]*\))re"));
    return body.toMarkdown(QTextDocument::MarkdownDialectGitHub)
        .replace(picture, QStringLiteral("![picture]"));
}

bool HasPicture(const TDataInfo& rec) {
    QTextDocument body;
    ReadBody(rec, body);
    return body.toPlainText().contains(QChar::ObjectReplacementCharacter);
}

std::vector<TDataInfo> YearRecords(const TTestFolder& folder, int year) {
    return ReadYearFile(YearFilePath(folder.Dir(), year)).Text.Records;
}

void PutPages(const TTestFolder& folder, const std::vector<TDataInfo>& pages) {
    std::map<int, std::vector<const TDataInfo*>> years;
    for (const TDataInfo& rec : pages)
        years[DecodeDate(rec.Date).Year].push_back(&rec);
    for (const auto& [year, records] : years)
        SafeWriteFile(YearFilePath(folder.Dir(), year), YearFileText(records));
}

QString Folder(const TTestFolder& folder) {
    return QString::fromStdString(folder.Path());
}

void WriteUtf8(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

QString ReadUtf8(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The names of the files a folder holds, its subfolders' included, for "nothing was written".
QStringList FilesIn(const QString& folder) {
    QStringList names;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(folder).relativeFilePath(it.next());
    names.sort();
    return names;
}

const int32_t kDay = EncodeDate(2024, 5, 3);

TNoteRec Note(uint8_t kind, uint16_t monthRule, uint16_t dayRule, uint16_t startYear,
              const char* title, int32_t endDate = 0) {
    TNoteRec note;
    note.Kind = kind;
    note.MonthRule = monthRule;
    note.DayRule = dayRule;
    note.StartYear = startYear;
    note.EndDate = endDate;
    note.Title = Sjis(title);
    return note;
}

void SeedNotes(const TWindowRun& run, const QString& name, const std::vector<TNoteRec>& notes) {
    TNoteList list;
    for (const TNoteRec& note : notes)
        list.AddNote(note);
    list.SaveToFile(run.CorePath(name));
}

// What a dialog shows under its preview, and whether its OK button can be pressed.
struct TDialogState {
    QString Text;
    QStringList Details;
    bool Ready = false;
};

TDialogState StateOf(const QDialog& dialog, const QString& text, const QString& details) {
    TDialogState state;
    state.Text = dialog.findChild<QLabel*>(text)->text();
    const auto* box = dialog.findChild<QPlainTextEdit*>(details);
    if (!box->isHidden())
        state.Details = box->toPlainText().split(u'\n');
    state.Ready = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled();
    return state;
}

// Imports the .ics at path through ファイル → インポート, as a user who presses 取り込む when
// it can be pressed; returns what the dialog showed.
TDialogState ImportIcs(TForm1& form, const QString& path) {
    TDialogState state;
    form.Exchange().RunImport = [&](TImportDialog& dialog) {
        dialog.SetSource(u"ics"_qs);
        dialog.SetPath(path);
        dialog.ShowPreview();
        state = StateOf(dialog, u"ImportSummary"_qs, u"ImportProblems"_qs);
        return state.Ready;
    };
    form.Exchange().ImportAction->trigger();
    return state;
}

QStringList Rows(const QTreeWidget* view) {
    QStringList rows;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        rows << view->topLevelItem(i)->text(1);
    return rows;
}

}  // namespace

Q_DECLARE_METATYPE(TPageSeed)
Q_DECLARE_METATYPE(TPageFormat)

class PageExchangeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void MarkdownRoundTrip_data();
    void MarkdownRoundTrip();
    void RedNotebookJournalImports();
    void RedNotebookMarkup_data();
    void RedNotebookMarkup();
    void ImportAppendsNeverOverwrites_data();
    void ImportAppendsNeverOverwrites();
    void BadInputImportsNothing_data();
    void BadInputImportsNothing();
    void FailedWritePutsYearsBack();
    void PrivateMemoOnlyWhenAsked_data();
    void PrivateMemoOnlyWhenAsked();
    void HtmlYearWithPictures();
    void HtmlNamesTheDiarysFaceFirst();
    void CancelledExport_data();
    void CancelledExport();
    void PicturesOnlyFromInsideTheFolder_data();
    void PicturesOnlyFromInsideTheFolder();
    void WindowImportKeepsTheTypedPage();
    void WindowExportsTheTypedPage();
    void WindowNotesOutAndBackIn();
    void WindowIcsImport_data();
    void WindowIcsImport();
    void ImportDialogEnterOnlyChecks();
    void cleanup() { SetTodayForTesting(std::nullopt); }
};

void PageExchangeTest::MarkdownRoundTrip_data() {
    QTest::addColumn<TPageSeed>("seed");
    QTest::newRow("plain Japanese") << TPageSeed{u"晴れの日"_qs, 0, u"<p>朝から散歩。</p>"_qs};
    QTest::newRow("bold and italic")
        << TPageSeed{u"題"_qs, 3, u"<p>とても<b>大事</b>で<i>少し斜め</i>な話</p>"_qs};
    QTest::newRow("lists") << TPageSeed{
        {}, -1, u"<ul><li>りんご</li><li>みかん</li></ul><ol><li>一</li><li>二</li></ol>"_qs};
    QTest::newRow("link") << TPageSeed{
        u"リンク"_qs, 12, u"<p>詳しくは <a href=\"https://example.org/a?b=1\">こちら</a></p>"_qs};
    QTest::newRow("memos of several lines")
        << TPageSeed{u"メモ"_qs, 31, u"<p>本文</p>"_qs, u"一行目\n二行目: コロン"_qs,
                     u"秘密の\n「メモ」 # 記号"_qs};
    QTest::newRow("table") << TPageSeed{
        u"表"_qs, 6,
        u"<table><tr><td>朝</td><td>パン</td></tr><tr><td>夜</td><td>魚</td></tr></table>"_qs};
    QTest::newRow("memo lines with blanks")
        << TPageSeed{{}, -1, u"<p>x</p>"_qs, u"  字下げ\n\n  空行の後"_qs, u"a:\n  - b"_qs};
    QTest::newRow("title alone") << TPageSeed{u"---題名だけ---"_qs, -1, {}};
    QTest::newRow("beyond CP932") << TPageSeed{u"絵文字 😀"_qs, 5, u"<p>鷗外と 😀</p>"_qs};
    QTest::newRow("picture") << TPageSeed{u"写真"_qs, 1, u"<p>写真を貼った</p>"_qs, {}, {}, true};
    QTest::newRow("extra field") << TPageSeed{{}, -1,    u"<p>本文</p>"_qs,     {},
                                              {}, false, u"古い版の欄, 続き"_qs};
}

// Velmora → Markdown → Velmora gives back the pages: every field and the body as far as
// Markdown holds it.
void PageExchangeTest::MarkdownRoundTrip() {
    QFETCH(TPageSeed, seed);
    const TTestFolder from;
    const TTestFolder notes;
    const TTestFolder to;
    const TDataInfo page = MakePage(kDay, seed);
    const TDataInfo other =
        MakePage(EncodeDate(2023, 12, 31), {u"大晦日"_qs, 2, u"<p>年越し</p>"_qs});
    PutPages(from, {other, page});

    QString messages;
    QTextStream err(&messages);
    QCOMPARE(ExportPages(Folder(from), u"markdown"_qs, Folder(notes), {}, {}, true, err), 0);
    QVERIFY(QFile::exists(Folder(notes) + u"/2024-05-03.md"_qs));
    QCOMPARE(ImportPages(Folder(to), u"markdown"_qs, Folder(notes), err), 0);

    const std::vector<TDataInfo> back = YearRecords(to, 2024);
    QCOMPARE(back.size(), size_t{1});
    const TDataInfo& rec = back[0];
    QCOMPARE(rec.Date, page.Date);
    QCOMPARE(FromCp932(rec.Title), FromCp932(page.Title));
    QCOMPARE(rec.Weather, page.Weather);
    QCOMPARE(FromCp932(rec.News), FromCp932(page.News));
    QCOMPARE(FromCp932(rec.Private), FromCp932(page.Private));
    QCOMPARE(FromCp932(rec.Extra), FromCp932(page.Extra));
    QCOMPARE(FromCp932(rec.Text.Text()), FromCp932(page.Text.Text()));
    QCOMPARE(BodySignature(rec), BodySignature(page));
    QCOMPARE(HasPicture(rec), seed.Picture);
    QCOMPARE(YearRecords(to, 2023).size(), size_t{1});

    // The same notes once more change nothing: the pages are already there.
    const std::string before = to.Read("2024.dat");
    QCOMPARE(ImportPages(Folder(to), u"markdown"_qs, Folder(notes), err), 0);
    QCOMPARE(to.Read("2024.dat"), before);
}

// A journal written by RedNotebook's storage code imports with every day and its text.
void PageExchangeTest::RedNotebookJournalImports() {
    const TTestFolder journal;
    const TTestFolder diary;
    const QString days = QStringLiteral(R"({
        "2023-12-31": {"text": "Year end.\nSecond line with **bold**"},
        "2024-01-01": {"text": "== 元日 ==\n初詣に行った。//静か//だった。\n- おみくじ\n- 甘酒",
                       "Cook": {"お雑煮": null}},
        "2024-02-29": {"text": "閏日 [RedNotebook \"\"https://rednotebook.app\"\"]\n[\"\"file://%1/p q\"\".png]"},
        "2024-03-10": {"text": "Only a tag #travel", "travel": null}
    })");
    QVERIFY(TestPicture().save(Folder(journal) + u"/p q.png"_qs));
    QProcess python;
    python.start(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral(VELMORA_TEST_DATA "/exchange/write_rednotebook.py"), Folder(journal)});
    QVERIFY(python.waitForStarted());
    python.write(days.arg(Folder(journal)).toUtf8());
    python.closeWriteChannel();
    QVERIFY(python.waitForFinished());
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    QCOMPARE(FilesIn(Folder(journal)),
             (QStringList{u"2023-12.txt"_qs, u"2024-01.txt"_qs, u"2024-02.txt"_qs,
                          u"2024-03.txt"_qs, u"p q.png"_qs}));

    QString messages;
    QTextStream err(&messages);
    QCOMPARE(ImportPages(Folder(diary), u"rednotebook"_qs, Folder(journal), err), 0);
    std::vector<TDataInfo> pages = YearRecords(diary, 2023);
    const std::vector<TDataInfo> year2024 = YearRecords(diary, 2024);
    pages.insert(pages.end(), year2024.begin(), year2024.end());
    QCOMPARE(pages.size(), size_t{4});

    struct TExpected {
        TYmd date;
        QString text;
        QString markdown;  // a piece of the body's Markdown: the formatting kept
        QString news;
    };
    const TExpected expected[] = {
        {{2023, 12, 31}, u"Year end.\r\nSecond line with bold"_qs, u"**bold**"_qs, {}},
        {{2024, 1, 1},
         u"元日\r\n初詣に行った。静かだった。\r\nおみくじ\r\n甘酒"_qs,
         u"*静か*"_qs,
         u"Cook: お雑煮"_qs},
        {{2024, 2, 29}, u"閏日 RedNotebook"_qs, u"[RedNotebook](https://rednotebook.app)"_qs, {}},
        {{2024, 3, 10}, u"Only a tag #travel"_qs, u"#travel"_qs, u"travel"_qs},
    };
    for (size_t i = 0; i < pages.size(); ++i) {
        const TExpected& e = expected[i];
        QCOMPARE(pages[i].Date, EncodeDate(e.date.Year, e.date.Month, e.date.Day));
        QCOMPARE(FromCp932(pages[i].Text.Text()), e.text);
        QVERIFY2(BodySignature(pages[i]).contains(e.markdown), qPrintable(BodySignature(pages[i])));
        QCOMPARE(FromCp932(pages[i].News), e.news);
        QCOMPARE(HasPicture(pages[i]), i == 2);
    }
    // A heading is kept as RTF keeps it: bold and larger than the text under it.
    QTextDocument heading;
    ReadBody(pages[1], heading);
    const QTextCharFormat headingFormat = heading.begin().begin().fragment().charFormat();
    const QTextCharFormat textFormat = heading.begin().next().begin().fragment().charFormat();
    QCOMPARE(headingFormat.fontWeight(), int(QFont::Bold));
    QVERIFY(headingFormat.font().pointSizeF() > textFormat.font().pointSizeF());
}

void PageExchangeTest::RedNotebookMarkup_data() {
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("markdown");
    QTest::newRow("heading levels") << u"= A =\n=== C ==="_qs << u"# A\n### C"_qs;
    QTest::newRow("a URL is no italic")
        << u"see http://a.org/x and //this//"_qs << u"see http://a.org/x and *this*"_qs;
    QTest::newRow("lines stay lines") << u"one\ntwo"_qs << u"one\n\ntwo"_qs;
    QTest::newRow("text after a list is no item")
        << u"- a\n+ b\nafter"_qs << u"- a\n1. b\n\nafter"_qs;
    QTest::newRow("struck and underlined") << u"--x-- __y__"_qs << u"~~x~~ y"_qs;
    QTest::newRow("picture") << u"[\"\"/tmp/p\"\".png]"_qs << u"![picture](</tmp/p.png>)"_qs;
    QTest::newRow("picture with a label, URL and width")
        << u"[Me \"\"file:///a b/p\"\".jpg?200]"_qs << u"![picture](<file:///a b/p.jpg>)"_qs;
    QTest::newRow("plain link") << u"[site https://a.org]"_qs << u"[site](https://a.org)"_qs;
}

void PageExchangeTest::RedNotebookMarkup() {
    QFETCH(QString, markup);
    QFETCH(QString, markdown);
    QCOMPARE(RedNotebookToMarkdown(markup), markdown);
}

void PageExchangeTest::ImportAppendsNeverOverwrites_data() {
    QTest::addColumn<TPageSeed>("existing");
    QTest::addColumn<TPageSeed>("imported");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("weather");
    QTest::newRow("body and memos")
        << TPageSeed{u"元の題"_qs, 4, u"<p><b>元の</b>本文</p>"_qs, u"元のメモ"_qs, u"元の秘密"_qs}
        << TPageSeed{u"新しい題"_qs, 9, u"<p>取り込む本文</p>"_qs, u"新メモ"_qs, u"新秘密"_qs}
        << u"元の題"_qs << 4;
    QTest::newRow("title and weather taken where none")
        << TPageSeed{{}, WeatherUnknown, u"<p>本文だけ</p>"_qs}
        << TPageSeed{u"新しい題"_qs, 9, u"<p>取り込む本文</p>"_qs} << u"新しい題"_qs << 9;
    QTest::newRow("picture kept on both sides")
        << TPageSeed{u"写真"_qs, 1, u"<p>元</p>"_qs, {}, {}, true}
        << TPageSeed{{}, -1, u"<p>追加</p>"_qs, {}, {}, true} << u"写真"_qs << 1;
}

// A day with a page keeps it: the import goes under a divider; the year file is backed up first.
void PageExchangeTest::ImportAppendsNeverOverwrites() {
    QFETCH(TPageSeed, existing);
    QFETCH(TPageSeed, imported);
    QFETCH(QString, title);
    QFETCH(int, weather);
    const TTestFolder diary;
    const TTestFolder notes;
    const TDataInfo old = MakePage(kDay, existing);
    const TDataInfo added = MakePage(kDay, imported);
    PutPages(diary, {old});
    const std::string before = diary.Read("2024.dat");
    QString note = FrontMatter(added, true);
    QTextDocument body;
    ReadBody(added, body);
    QDir(Folder(notes)).mkpath(u"images"_qs);
    // Pictures in a folder of their own beside the notes' folder, as note apps keep them.
    SavePictures(body, Folder(notes) + u"/journal"_qs, Folder(notes) + u"/images"_qs, u"x"_qs);
    note += body.toMarkdown();
    WriteUtf8(Folder(notes) + u"/journal/2024-05-03.md"_qs, note);
    // A new day beside it.
    WriteUtf8(Folder(notes) + u"/2024-05-04.txt"_qs, u"ただのテキスト\n二行目"_qs);

    const TImportRead read =
        ReadImportSource(TImportSource::Markdown, Folder(notes), [](int, int) { return true; });
    QCOMPARE(read.Problems, QStringList());
    const TImportPlan plan = PlanImport(diary.Dir(), read.Pages, nullptr);
    QCOMPARE(plan.New, 1);
    QCOMPARE(plan.Appended, 1);
    QCOMPARE(WriteImport(diary.Dir(), "Velmora", plan, nullptr), QString());

    const std::vector<TDataInfo> back = YearRecords(diary, 2024);
    QCOMPARE(back.size(), size_t{2});
    const TDataInfo& rec = back[0];
    QCOMPARE(FromCp932(rec.Title), title);
    QCOMPARE(rec.Weather, weather);
    const QString text = FromCp932(rec.Text.Text());
    QVERIFY2(text.startsWith(FromCp932(old.Text.Text())), qPrintable(text));
    QVERIFY2(text.endsWith(FromCp932(added.Text.Text())), qPrintable(text));
    QVERIFY(text.contains(u"取り込んだ日記"_qs));
    QVERIFY(BodySignature(rec).startsWith(BodySignature(old).trimmed().section(u'\n', 0, 0)));
    for (const auto& [field, was, addedText] :
         {std::tuple{&TDataInfo::News, existing.News, imported.News},
          std::tuple{&TDataInfo::Private, existing.Private, imported.Private}}) {
        const QString memo = FromCp932(rec.*field);
        QVERIFY(memo.startsWith(was));
        QVERIFY(memo.endsWith(addedText));
    }
    QTextDocument appended;
    ReadBody(rec, appended);
    QCOMPARE(appended.toPlainText().count(QChar::ObjectReplacementCharacter),
             int(existing.Picture) + int(imported.Picture));
    QCOMPARE(FromCp932(back[1].Text.Text()), u"ただのテキスト\r\n二行目"_qs);

    // The year file as it was before the import is kept, beside it and in today's backup.
    QCOMPARE(diary.Read("2024.dat.bak"), before);
    QCOMPARE(
        diary.Read("backup/" + HostFolderName() + "/" + BackupFolderName(Today()) + "/2024.dat"),
        before);
}

void PageExchangeTest::BadInputImportsNothing_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("badName");
    QTest::addColumn<QString>("badContents");
    QTest::addColumn<QString>("goodName");
    QTest::addColumn<QString>("goodContents");
    const QString goodMonth = u"3: {text: 良い日}\n"_qs;
    const QString goodNote = u"---\ntitle: 良い日\n---\n本文\n"_qs;
    // RedNotebook: each file must be a mapping of the month's days to mappings with a text.
    QTest::newRow("YAML list, not a journal") << u"rednotebook"_qs << u"2024-02.txt"_qs
                                              << u"- a\n- b\n"_qs << u"2024-01.txt"_qs << goodMonth;
    QTest::newRow("day beyond the month")
        << u"rednotebook"_qs << u"2023-02.txt"_qs << u"29: {text: x}\n"_qs << u"2024-01.txt"_qs
        << goodMonth;
    QTest::newRow("day is no mapping") << u"rednotebook"_qs << u"2024-02.txt"_qs
                                       << u"3: just text\n"_qs << u"2024-01.txt"_qs << goodMonth;
    QTest::newRow("broken YAML") << u"rednotebook"_qs << u"2024-02.txt"_qs
                                 << u"3: {text: [unclosed\n"_qs << u"2024-01.txt"_qs << goodMonth;
    QTest::newRow("month 13") << u"rednotebook"_qs << u"2024-13.txt"_qs << goodMonth
                              << u"2024-01.txt"_qs << goodMonth;
    // Daily notes: the name must be a real date, the front matter a mapping.
    QTest::newRow("impossible date")
        << u"markdown"_qs << u"2023-02-30.md"_qs << goodNote << u"2024-01-05.md"_qs << goodNote;
    QTest::newRow("front matter no mapping")
        << u"markdown"_qs << u"2024-01-06.md"_qs << u"---\n- a\n---\n本文\n"_qs
        << u"2024-01-05.md"_qs << goodNote;
    QTest::newRow("unknown weather")
        << u"markdown"_qs << u"2024-01-06.md"_qs << u"---\nweather: 飴が降る\n---\n"_qs
        << u"2024-01-05.md"_qs << goodNote;
    QTest::newRow("not UTF-8") << u"markdown"_qs << u"2024-01-06.txt"_qs << u"\xff"_qs
                               << u"2024-01-05.md"_qs << goodNote;
}

// One bad file stops the whole import before anything is written, and its message names it.
void PageExchangeTest::BadInputImportsNothing() {
    QFETCH(QString, format);
    QFETCH(QString, badName);
    QFETCH(QString, badContents);
    QFETCH(QString, goodName);
    QFETCH(QString, goodContents);
    const TTestFolder diary;
    const TTestFolder source;
    WriteUtf8(Folder(source) + u"/"_qs + goodName, goodContents);
    if (badContents == u"\xff"_qs) {
        QFile file(Folder(source) + u"/"_qs + badName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xff\xfe bad bytes");
    } else {
        WriteUtf8(Folder(source) + u"/"_qs + badName, badContents);
    }
    const TDataInfo kept = MakePage(EncodeDate(2024, 1, 3), {u"元"_qs, 1, u"<p>元</p>"_qs});
    PutPages(diary, {kept});
    const QStringList filesBefore = FilesIn(Folder(diary));
    const std::string yearBefore = diary.Read("2024.dat");

    QString messages;
    QTextStream err(&messages);
    QCOMPARE(ImportPages(Folder(diary), format, Folder(source), err), 1);
    err.flush();
    QVERIFY2(messages.contains(badName), qPrintable(messages));
    QVERIFY2(!messages.contains(goodName), qPrintable(messages));
    QCOMPARE(FilesIn(Folder(diary)), filesBefore);
    QCOMPARE(diary.Read("2024.dat"), yearBefore);
}

// A year that cannot be written after others were: those go back to what they held.
void PageExchangeTest::FailedWritePutsYearsBack() {
    const TTestFolder diary;
    const TDataInfo kept = MakePage(EncodeDate(2023, 3, 1), {u"元"_qs, 1, u"<p>元</p>"_qs});
    PutPages(diary, {kept});
    const std::string before = diary.Read("2023.dat");
    const std::vector<TDataInfo> pages{
        MakePage(EncodeDate(2023, 3, 1), {{}, -1, u"<p>追記</p>"_qs}),
        MakePage(EncodeDate(2023, 3, 2), {u"新"_qs, 2, u"<p>新しい日</p>"_qs}),
        MakePage(EncodeDate(2025, 1, 1), {u"次"_qs, 3, u"<p>書けない年</p>"_qs})};
    const TImportPlan plan = PlanImport(diary.Dir(), pages, nullptr);
    QCOMPARE(plan.Problems, QStringList());
    // After the plan was made, 2025's file came to lead into a folder that is not there.
    QVERIFY(QFile::link(Folder(diary) + u"/gone/2025.dat"_qs, Folder(diary) + u"/2025.dat"_qs));

    QVERIFY(!WriteImport(diary.Dir(), "Velmora", plan, nullptr).isEmpty());
    QCOMPARE(diary.Read("2023.dat"), before);
}

void PageExchangeTest::PrivateMemoOnlyWhenAsked_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("withPrivate");
    for (const char* format : {"html", "markdown", "odt", "text"}) {
        for (const bool withPrivate : {false, true}) {
            const QString name = QString::fromLatin1(format);
            const QString output = name == u"markdown"_qs ? u"notes"_qs
                                   : name == u"text"_qs   ? u"pages.txt"_qs
                                                          : u"pages."_qs + name;
            QTest::addRow("%s %s", format, withPrivate ? "with private memo" : "without")
                << name << output << withPrivate;
        }
    }
}

// The private memo goes out only when asked; everything else of the page always does.
void PageExchangeTest::PrivateMemoOnlyWhenAsked() {
    QFETCH(QString, format);
    QFETCH(QString, output);
    QFETCH(bool, withPrivate);
    const TTestFolder diary;
    const TTestFolder out;
    PutPages(diary, {MakePage(kDay, {u"公開の題"_qs, 0, u"<p>公開の本文</p>"_qs, u"出来事メモ"_qs,
                                     u"内緒の話"_qs})});
    QString messages;
    QTextStream err(&messages);
    const QString target = Folder(out) + u"/"_qs + output;
    QCOMPARE(ExportPages(Folder(diary), format, target, {}, {}, withPrivate, err), 0);
    QString written;
    if (format == u"odt"_qs) {
        // content.xml inside the OpenDocument package, read with unzip.
        QProcess unzip;
        unzip.start(u"unzip"_qs, {u"-p"_qs, target, u"content.xml"_qs});
        QVERIFY(unzip.waitForFinished());
        written = QString::fromUtf8(unzip.readAllStandardOutput());
        if (written.isEmpty())
            QSKIP("unzip is not installed");
    } else {
        written = ReadUtf8(format == u"markdown"_qs ? target + u"/2024-05-03.md"_qs : target);
    }
    for (const QString& always : {u"公開の題"_qs, u"公開の本文"_qs, u"出来事メモ"_qs})
        QVERIFY2(written.contains(always), qPrintable(always));
    QCOMPARE(written.contains(u"内緒の話"_qs), withPrivate);
}

// A year as HTML: a table of contents by month, headings with the weekday and the holiday,
// pictures as files beside it that the page shows.
// A face the diary names but this computer lacks is asked for first in an exported page, with
// the installed face standing in for it after it.
void PageExchangeTest::HtmlNamesTheDiarysFaceFirst() {
    const QString lacked = u"Velmora Lacked Face"_qs;
    const QString installed = QFontDatabase::families().value(0);
    QVERIFY(!installed.isEmpty());
    const TTestFolder diary;
    const TTestFolder out;
    PutPages(
        diary,
        {MakePage(EncodeDate(2024, 3, 3),
                  {{}, -1, u"<p><span style=\"font-family:'%1'\">面</span></p>"_qs.arg(lacked)})});
    QFont::insertSubstitution(lacked, installed);
    QString messages;
    QTextStream err(&messages);
    const QString html = Folder(out) + u"/2024.html"_qs;
    const int result = ExportPages(Folder(diary), u"html"_qs, html, QDate(2024, 3, 3),
                                   QDate(2024, 3, 3), false, err);
    QFont::removeSubstitutions(lacked);
    QCOMPARE(result, 0);
    const QString page = ReadUtf8(html);
    QVERIFY2(page.contains(u"font-family:'%1','%2'"_qs.arg(lacked, installed), Qt::CaseInsensitive),
             qPrintable(page));
}

void PageExchangeTest::HtmlYearWithPictures() {
    const TTestFolder diary;
    const TTestFolder out;
    QVERIFY(QFile::copy(QStringLiteral(VELMORA_TEST_DATA "/../../data/Velmora.hol"),
                        Folder(diary) + u"/Velmora.hol"_qs));
    PutPages(
        diary,
        {MakePage(
             EncodeDate(2024, 1, 1),
             {u"元日"_qs, 0, u"<p><b>新年</b>の朝</p><ul><li>おせち</li></ul>"_qs, {}, {}, true}),
         MakePage(EncodeDate(2024, 2, 11), {u"祝日"_qs, 2, u"<p>二月</p>"_qs}),
         MakePage(EncodeDate(2024, 2, 12), {{}, -1, u"<p>振替</p>"_qs}),
         MakePage(EncodeDate(2025, 1, 1), {u"範囲外"_qs, 0, u"<p>来年</p>"_qs})});
    QString messages;
    QTextStream err(&messages);
    const QString html = Folder(out) + u"/2024.html"_qs;
    QCOMPARE(ExportPages(Folder(diary), u"html"_qs, html, QDate(2024, 1, 1), QDate(2024, 12, 31),
                         false, err),
             0);
    const QString page = ReadUtf8(html);
    QVERIFY(page.contains(u"<a href=\"#m2024-01\">2024年1月</a>"_qs));
    QVERIFY(page.contains(u"<a href=\"#m2024-02\">2024年2月</a>"_qs));
    QVERIFY(page.contains(u"2024 年 1 月 1 日 (月)　元日"_qs));
    QVERIFY(page.contains(u"2024 年 2 月 12 日 (月)　振替休日"_qs));
    QVERIFY(!page.contains(u"範囲外"_qs));
    QVERIFY(page.contains(u"晴れ"_qs));
    QVERIFY(QFile::exists(Folder(out) + u"/2024_files/2024-01-01-1.png"_qs));
    QVERIFY(page.contains(u"src=\"2024_files/2024-01-01-1.png\""_qs));
    // Every picture the page names is a file beside it, and every tag reads as a browser reads
    // it: an attribute given twice is dropped by the browser, its second value lost.
    static const QRegularExpression source(QStringLiteral("<img [^>]*src=\"([^\"]+)\""));
    int pictures = 0;
    for (auto it = source.globalMatch(page); it.hasNext(); ++pictures) {
        const QString name = it.next().captured(1);
        QVERIFY2(QFileInfo(QDir(Folder(out)).filePath(name)).isFile(), qPrintable(name));
    }
    QCOMPARE(pictures, 1);
    static const QRegularExpression twice(
        QStringLiteral("<[a-z0-9]+\\b[^>]*\\s([a-z-]+)=\"[^\"]*\"[^>]*\\s\\1=\""));
    const QRegularExpressionMatch repeated = twice.match(page);
    QVERIFY2(!repeated.hasMatch(), qPrintable(repeated.captured()));

    // As a browser would show it: Qt's own HTML view, with the pictures from beside the file.
    QTextBrowser browser;
    browser.resize(760, 1100);
    browser.setSearchPaths({Folder(out)});
    browser.setSource(QUrl::fromLocalFile(html));
    QVERIFY(!browser.document()
                 ->resource(QTextDocument::ImageResource, QUrl(u"2024_files/2024-01-01-1.png"_qs))
                 .isNull());
    QVERIFY(SavePng(&browser, u"exchange-html-export.png"_qs));
}

void PageExchangeTest::CancelledExport_data() {
    QTest::addColumn<TPageFormat>("format");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("markdown keeps the notes written")
        << TPageFormat::Markdown << QStringList{u"out/2024-01-01.md"_qs};
    QTest::newRow("html writes nothing") << TPageFormat::Html << QStringList{};
    QTest::newRow("text writes nothing") << TPageFormat::Text << QStringList{};
}

// Cancelled after the first day: a one-file format leaves no half file behind.
void PageExchangeTest::CancelledExport() {
    QFETCH(TPageFormat, format);
    QFETCH(QStringList, files);
    const TTestFolder out;
    std::vector<TDataInfo> pages;
    for (int day = 1; day <= 3; ++day)
        pages.push_back(MakePage(EncodeDate(2024, 1, day), {u"題"_qs, 0, u"<p>本文</p>"_qs}));
    TExportRequest request;
    request.Format = format;
    request.Output = Folder(out) + u"/out"_qs;
    const TExportResult result =
        ExportPageRecords(pages, request, [](int done, int) { return done < 1; });
    QVERIFY(result.Cancelled);
    QCOMPARE(result.Pages, 1);
    QCOMPARE(FilesIn(Folder(out)), files);
}

void PageExchangeTest::PicturesOnlyFromInsideTheFolder_data() {
    QTest::addColumn<QString>("reference");  // %1: the notes' folder, %2: a folder beside it
    QTest::addColumn<bool>("kept");
    QTest::newRow("beside the note") << u"pic.png"_qs << true;
    QTest::newRow("in a subfolder, absolute") << u"%1/img/pic.png"_qs << true;
    QTest::newRow("another folder, absolute") << u"%2/pic.png"_qs << false;
    QTest::newRow("another folder, relative") << u"../%3/pic.png"_qs << false;
    QTest::newRow("a pipe named as a picture") << u"pipe.png"_qs << false;
    QTest::newRow("text named as a picture") << u"text.png"_qs << false;
    QTest::newRow("missing") << u"none.png"_qs << false;
}

// A note's pictures are read only from plain picture files inside the imported folder: a note
// cannot pull in another file of the user's, nor hang the import on a pipe.
void PageExchangeTest::PicturesOnlyFromInsideTheFolder() {
    QFETCH(QString, reference);
    QFETCH(bool, kept);
    const TTestFolder notes;
    const TTestFolder other;
    for (const QString& folder : {Folder(notes), Folder(notes) + u"/img"_qs, Folder(other)}) {
        QDir().mkpath(folder);
        QVERIFY(TestPicture().save(folder + u"/pic.png"_qs));
    }
    WriteUtf8(Folder(notes) + u"/text.png"_qs, u"no picture"_qs);
    QVERIFY(QProcess::execute(u"mkfifo"_qs, {Folder(notes) + u"/pipe.png"_qs}) == 0);
    const QString name = QString(reference)
                             .replace(u"%1"_qs, Folder(notes))
                             .replace(u"%2"_qs, Folder(other))
                             .replace(u"%3"_qs, QFileInfo(Folder(other)).fileName());
    WriteUtf8(Folder(notes) + u"/2024-05-03.md"_qs, u"写真 ![](%1) の日\n"_qs.arg(name));

    const TImportRead read =
        ReadImportSource(TImportSource::Markdown, Folder(notes), [](int, int) { return true; });
    QCOMPARE(read.Problems, QStringList());
    QCOMPARE(read.Pages.size(), size_t{1});
    QCOMPARE(HasPicture(read.Pages[0]), kept);
    QCOMPARE(FromCp932(read.Pages[0].Text.Text()), u"写真  の日"_qs);
}

// Importing in the window: the page being typed is stored first and the import appended to it;
// the page shows the result, and closing the window writes nothing over it.
void PageExchangeTest::WindowImportKeepsTheTypedPage() {
    SetTodayForTesting(kDay);
    const TTestFolder notes;
    WriteUtf8(Folder(notes) + u"/2024-05-03.md"_qs,
              u"---\ntitle: 取り込む題\n---\n取り込む**本文**\n"_qs);
    WriteUtf8(Folder(notes) + u"/2024-05-04.md"_qs, u"翌日の日記\n"_qs);
    TWindowRun run;
    TForm1& form = run.Start();
    const TWindowWidgets w = Widgets(form);
    QCOMPARE(w.MenuBar->actions().first()->text(), u"ファイル(&F)"_qs);
    TypeText(w.DiaryMemo, u"窓で書いた"_qs);

    QString summary;
    form.Exchange().RunImport = [&](TImportDialog& dialog) {
        dialog.SetSource(u"markdown"_qs);
        dialog.SetPath(Folder(notes));
        dialog.ShowPreview();
        summary = dialog.findChild<QLabel*>(u"ImportSummary"_qs)->text();
        dialog.resize(560, 220);
        SavePng(&dialog, u"exchange-import-dialog.png"_qs);
        return true;
    };
    form.Exchange().ImportAction->trigger();
    QVERIFY2(summary.startsWith(u"新しい日記 1 日、すでにある日記への追記 1 日。"_qs),
             qPrintable(summary));
    QVERIFY2(run.Messages.last().contains(u"取り込みました"_qs),
             qPrintable(run.Messages.join(u'|')));

    const QString shown = w.DiaryMemo->toPlainText();
    QVERIFY2(shown.startsWith(u"窓で書いた"_qs), qPrintable(shown));
    QVERIFY2(shown.endsWith(u"取り込む本文"_qs), qPrintable(shown));
    QCOMPARE(w.Comment->text(), u"取り込む題"_qs);
    QVERIFY(run.Stop());
    const std::vector<TDataInfo> stored = ReadYearFile(run.CorePath(u"2024.dat"_qs)).Text.Records;
    QCOMPARE(stored.size(), size_t{2});
    QVERIFY(FromCp932(stored[0].Text.Text()).startsWith(u"窓で書いた"_qs));
    QVERIFY(FromCp932(stored[0].Text.Text()).endsWith(u"取り込む本文"_qs));
    QCOMPARE(FromCp932(stored[1].Text.Text()), u"翌日の日記"_qs);
}

// Exporting in the window takes the page being typed, unsaved until then.
void PageExchangeTest::WindowExportsTheTypedPage() {
    SetTodayForTesting(kDay);
    const TTestFolder out;
    TWindowRun run;
    TForm1& form = run.Start();
    const TWindowWidgets w = Widgets(form);
    TypeText(w.DiaryMemo, u"書いたばかり"_qs);
    const QString target = Folder(out) + u"/2024.txt"_qs;
    QString preview;
    form.Exchange().RunExport = [&](TExportDialog& dialog) {
        auto* format = dialog.findChild<QComboBox*>(u"ExportFormat"_qs);
        format->setCurrentIndex(format->findData(u"text"_qs));
        dialog.findChild<QLineEdit*>(u"ExportTarget"_qs)->setText(target);
        preview = dialog.findChild<QLabel*>(u"ExportPreview"_qs)->text();
        dialog.resize(560, 200);
        SavePng(&dialog, u"exchange-export-dialog.png"_qs);
        return true;
    };
    form.Exchange().ExportAction->trigger();
    QCOMPARE(preview, u"1 日分の日記を1つのファイルに書き出します。"_qs);
    QVERIFY(ReadUtf8(target).contains(u"2024 年 5 月 3 日 (金)"_qs));
    QVERIFY(ReadUtf8(target).contains(u"書いたばかり"_qs));
}

// The window's notes out to a .ics and into another diary through the dialogs: the preview
// counts them and lists the rule written as dates; the import shows each note, puts them into
// the reminder panel at once and writes the same note files; a second import adds nothing.
void PageExchangeTest::WindowNotesOutAndBackIn() {
    SetTodayForTesting(kDay);
    const TTestFolder out;
    const QString ics = Folder(out) + u"/notes.ics"_qs;
    std::string todo;
    std::string memory;
    {
        TWindowRun run;
        SeedNotes(run, u"Velmora.tdo"_qs,
                  {Note(NoteOpen, 0, 15, 2024, "家賃"),
                   Note(NoteOpen, 0, MakePeriodRule(29, 31), 2024, "月末の三日間"),
                   Note(NoteDone, 6, 1, 2024, "衣替え", EncodeDate(2024, 5, 2))});
        SeedNotes(run, u"Velmora.mem"_qs, {Note(NoteBirthday, 5, 10, 1950, "母の誕生日")});
        TForm1& form = run.Start();
        TDialogState shown;
        form.Exchange().RunExport = [&](TExportDialog& dialog) {
            auto* format = dialog.findChild<QComboBox*>(u"ExportFormat"_qs);
            format->setCurrentIndex(format->findData(u"ics"_qs));
            dialog.findChild<QLineEdit*>(u"ExportTarget"_qs)->setText(ics);
            shown = StateOf(dialog, u"ExportPreview"_qs, u"ExportDetails"_qs);
            // The notes go out whole: the range is not theirs.
            shown.Ready =
                shown.Ready && !dialog.findChild<QDateEdit*>(u"ExportFrom"_qs)->isEnabled();
            dialog.resize(560, 260);
            SavePng(&dialog, u"exchange-export-ics.png"_qs);
            return shown.Ready;
        };
        form.Exchange().ExportAction->trigger();
        QCOMPARE(shown.Text, u"備忘録 3 件、記念日 1 件を1つのファイルに書き出します。"_qs);
        QCOMPARE(shown.Details.size(), 2);
        QVERIFY2(shown.Details[0].contains(u"10 年分の日付"_qs), qPrintable(shown.Details[0]));
        QCOMPARE(shown.Details[1], u"　月末の三日間"_qs);
        QCOMPARE(run.Messages.last(), u"備忘録 3 件、記念日 1 件を書き出しました。"_qs);
        QVERIFY(run.Stop());
        todo = run.Read(u"Velmora.tdo"_qs);
        memory = run.Read(u"Velmora.mem"_qs);
    }

    TWindowRun run;
    TForm1& form = run.Start();
    const TWindowWidgets w = Widgets(form);
    const TDialogState first = ImportIcs(form, ics);
    QCOMPARE(first.Text,
             u"備忘録 3 件、記念日 1 件を取り込みます（すでにあるもの 0 件、"
             u"取り込まないもの 0 件）。"_qs);
    QCOMPARE(first.Details.size(), 5);
    QCOMPARE(first.Details[0], u"取り込む予定:"_qs);
    QVERIFY2(first.Details[4].endsWith(u"　母の誕生日"_qs), qPrintable(first.Details[4]));
    QCOMPARE(run.Messages.last(), u"備忘録 3 件、記念日 1 件を取り込みました。"_qs);
    // The panel shows them at once, the month summary the birthday of the shown month.
    QVERIFY(!w.ListBox->findItems(u"母の誕生日"_qs, Qt::MatchContains).isEmpty());
    QCOMPARE(Rows(w.ShownTodoList()).size(), 3);
    QCOMPARE(Rows(w.ShownMemList()), QStringList{u"母の誕生日"_qs});
    // Written at once by the window, as the notes of the first diary were.
    QCOMPARE(run.Read(u"Velmora.tdo"_qs), todo);
    QCOMPARE(run.Read(u"Velmora.mem"_qs), memory);

    const TDialogState again = ImportIcs(form, ics);
    QVERIFY(!again.Ready);
    QVERIFY2(again.Text.contains(u"すでにあるもの 4 件"_qs), qPrintable(again.Text));
    QCOMPARE(Rows(w.ShownTodoList()).size(), 3);
    QVERIFY(run.Stop());
    QCOMPARE(run.Read(u"Velmora.tdo"_qs), todo);
}

void PageExchangeTest::WindowIcsImport_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");    // what the summary starts with
    QTest::addColumn<QString>("detail");  // a line the list holds; empty: no list
    QTest::addColumn<int>("added");
    QTest::newRow("another program's calendar")
        << u"ical-korganizer.ics"_qs << u"備忘録 4 件、記念日 1 件を取り込みます"_qs
        << u"　隔週の会議: この繰返しは備忘録の繰返しで表せません"_qs << 5;
    QTest::newRow("a broken file")
        << u"ical-broken.ics"_qs << u"iCalendar として読めないところがあります"_qs << QString()
        << 0;
    QTest::newRow("no file") << u"none.ics"_qs << u"ファイル "_qs << QString() << 0;
}

// A .ics from elsewhere: the preview lists what is left out and why; what is taken goes into
// the note lists once the note files as they were are in today's backup. A file that cannot
// be read cannot be imported.
void PageExchangeTest::WindowIcsImport() {
    QFETCH(QString, file);
    QFETCH(QString, text);
    QFETCH(QString, detail);
    QFETCH(int, added);
    SetTodayForTesting(kDay);
    TWindowRun run;
    SeedNotes(run, u"Velmora.tdo"_qs, {Note(NoteOpen, 0, 15, 2024, "家賃")});
    const std::string before = run.Read(u"Velmora.tdo"_qs);
    TForm1& form = run.Start();
    // The start's own copies are made; the import must make its own.
    form.Backup().Finish();
    QVERIFY(QDir(run.Path(u"backup"_qs)).removeRecursively());
    const TDialogState shown = ImportIcs(form, QStringLiteral(VELMORA_TEST_DATA "/") + file);
    QVERIFY2(shown.Text.startsWith(text), qPrintable(shown.Text));
    QCOMPARE(shown.Ready, added > 0);
    if (!detail.isEmpty())
        QVERIFY2(shown.Details.contains(detail), qPrintable(shown.Details.join(u'|')));
    const TWindowWidgets w = Widgets(form);
    QCOMPARE(w.ShownTodoList()->topLevelItemCount() + w.ShownMemList()->topLevelItemCount(),
             1 + added);
    const QString backup =
        u"backup/%1/2024-05-03/Velmora.tdo"_qs.arg(QString::fromStdString(HostFolderName()));
    QCOMPARE(QFile::exists(run.Path(backup)), added > 0);
    if (added > 0) {
        QCOMPARE(run.Read(backup), before);
        QVERIFY(run.Read(u"Velmora.tdo"_qs) != before);
    } else {
        QCOMPARE(run.Read(u"Velmora.tdo"_qs), before);
    }
}

// Enter in the path checks the source; the import itself, which writes the diary, takes a
// press of its own button once the preview could be read.
void PageExchangeTest::ImportDialogEnterOnlyChecks() {
    int checks = 0;
    TImportDialog dialog([&checks](const QString&, const QString& path) {
        ++checks;
        return TExchangePreview{u"確認した: "_qs + path, {}, true};
    });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.SetSource(u"ics"_qs);
    auto* path = dialog.findChild<QLineEdit*>(u"ImportFolder"_qs);
    path->setFocus();
    QTest::keyClicks(path, u"/tmp/a.ics"_qs);
    for (int press = 1; press <= 2; ++press) {
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(checks, press);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
    }
    QCOMPARE(dialog.findChild<QLabel*>(u"ImportSummary"_qs)->text(), u"確認した: /tmp/a.ics"_qs);
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

QTEST_MAIN(PageExchangeTest)
#include "PageExchangeTest.moc"
