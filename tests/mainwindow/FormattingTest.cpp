// Formatting, the clipboard commands and the time key on the day page without the window, and
// in the window where a page is written and read again; each run in its own folder.

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "controls/SpinBtns.h"
#include "mainwindow/PageState.h"
#include "mainwindow/formatting/ClipboardCommands.h"
#include "mainwindow/formatting/Formatting.h"
#include "mainwindow/formatting/TimeKey.h"
#include "richtext/BodyText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "storage/Cp932.h"
#include "support/PageRun.h"
#include "support/Screenshots.h"
#include "support/WindowRun.h"
#include "support/WindowWidgets.h"

namespace {

const int32_t kDay = EncodeDate(2024, 3, 15);

// Three paragraphs: plain, a bold 20-point run after "A", indented by 2 points; centred; right
// and indented by 12 points.
const char* const kFormattedBody =
    "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
    "\\viewkind4\\uc1\\pard\\fi40\\f0\\fs24 A\\b\\fs40 BC\\b0\\fs24 D\\par\r\n"
    "\\pard\\qc xyz\\par\r\n"
    "\\pard\\qr\\fi240 last\\par\r\n}\r\n";

class TFormattingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InstallFontSubstitutes(); }
    void init() { SetTodayForTesting(kDay); }
    void cleanup() { SetTodayForTesting(std::nullopt); }

    void caretShowsTheLetterTypingFollows();
    void toolBarShowsWhatTypingGets_data();
    void toolBarShowsWhatTypingGets();
    void choosingFaceOrSizeReturnsToTheBody_data();
    void choosingFaceOrSizeReturnsToTheBody();
    void rulerFollowsParagraphsWithoutChangingThem();
    void rulerPositionSetsTheIndent_data();
    void rulerPositionSetsTheIndent();
    void commandsChangeTheTextAndMarkThePage_data();
    void commandsChangeTheTextAndMarkThePage();
    void commandsDoNothingWhileUpdating();
    void formattedPageRewritesTheSameRtf();
    void pasteFollowsTheClipboard_data();
    void pasteFollowsTheClipboard();
    void cutAndCopyFollowTheSelection_data();
    void cutAndCopyFollowTheSelection();
    void cutAndPasteReachTheFocusedEditor();
    void pastedPictureIsSavedWithThePage();
    void ctrlDInsertsTheTime_data();
    void ctrlDInsertsTheTime();
    void longTimeTextHasNoZone_data();
    void longTimeTextHasNoZone();
    void toolBarScreenshot();
};

// A page as a save here leaves it: the body's text beside its RTF.
TDataInfo BodyRecord(const std::string& rtf) {
    QTextDocument body;
    ReadRtf(rtf, body);
    TDataInfo rec;
    rec.Date = kDay;
    rec.Title = Sjis("題");
    rec.Text = ToCp932(PlainTextForField(body));
    rec.RichText = rtf;
    return rec;
}

void SeedBody(const TWindowRun& run, const std::string& rtf) {
    SeedRecord(run, BodyRecord(rtf));
}

void SeedBody(const TFeatureRun& run, const std::string& rtf) {
    run.Seed(BodyRecord(rtf));
}

// Formatting, the clipboard commands and the time key on the day page, in a widget of their own
// laid out as the window's page column, connected as the window connects them.
class TFormattingRun : public TPageRun {
public:
    TFormattingRun() {
        auto* column = new QVBoxLayout(&window);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        column->addWidget(formatting_.View().ToolBar());
        column->addWidget(page.View().Header());
        column->addWidget(formatting_.View().Ruler());
        column->addWidget(page.View().Sheet(), 1);
        QObject::connect(&page, &TDayPage::Loaded, &formatting_, &TFormatting::SelectionChange);
        QObject::connect(&formatting_, &TFormatting::Formatted, &page, &TDayPage::BodyFormatted);
    }
    // Shows the page of kDay at the window's design size.
    void Start() {
        Open(kDay);
        window.resize(780, 580);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    void activateWindow() { window.activateWindow(); }
    template <typename T>
    T findChild(const QString& name) const {
        return window.findChild<T>(name);
    }

    TMainActions& Actions() { return actions_; }
    TDayPage& Page() { return page; }
    TPageState& PageState() { return state; }
    TFormatting& Formatting() { return formatting_; }
    TClipboardCommands& Clipboard() { return clipboard_; }
    TTimeKey& TimeKey() { return timeKey_; }

private:
    static TMainActions Created(QWidget* window) {
        TMainActions actions;
        actions.Create(window, window);
        return actions;
    }

    TMainActions actions_ = Created(&window);
    TClipboardCommands clipboard_{page.View().Body(),
                                  {page.View().Title(), page.View().News(), page.View().Private()},
                                  actions_};
    TFormatting formatting_{page.View().Body(), actions_, state, clipboard_};
    TTimeKey timeKey_{page.View().Body(), page.View().News(), page.View().Private()};
};

// The page's controls that the tests drive, found by name.
struct TPageWidgets {
    QTextEdit* DiaryMemo;
    QLineEdit* Comment;
    QPlainTextEdit* NewsMemo;
    QPlainTextEdit* PrivMemo;
    QComboBox* FontName;
    TValueSpin* FontSize;
    QSlider* TrackBar1;
};

TPageWidgets Widgets(const TFormattingRun& run) {
    return {run.findChild<QTextEdit*>(u"DiaryMemo"_qs),
            run.findChild<QLineEdit*>(u"Comment"_qs),
            run.findChild<QPlainTextEdit*>(u"NewsMemo"_qs),
            run.findChild<QPlainTextEdit*>(u"PrivMemo"_qs),
            run.findChild<QComboBox*>(u"FontName"_qs),
            run.findChild<TValueSpin*>(u"FontSize"_qs),
            run.findChild<QSlider*>(u"TrackBar1"_qs)};
}

void PutCaret(QTextEdit* edit, int position) {
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(position);
    edit->setTextCursor(cursor);
}

template <typename Run>
std::string BodyRtf(Run& form) {
    return form.Page().PageRecord(kDay).RichText.Text();
}

}  // namespace

// The caret shows the letter before it, or at a paragraph's start the letter after it: what
// typing there gets.
void TFormattingTest::caretShowsTheLetterTypingFollows() {
    TFormattingRun form;
    SeedBody(form, kFormattedBody);
    form.Start();
    form.Formatting().ListFonts();
    const TPageWidgets ui = Widgets(form);
    TMainActions& actions = form.Actions();
    // At the start after loading: "A", 12 points of Arial, drawn in its substitute.
    QCOMPARE(ui.DiaryMemo->textCursor().position(), 0);
    QCOMPARE(ui.FontSize->Value(), 12);
    QVERIFY(!actions.BoldAction->isChecked());
    QCOMPARE(ui.FontName->currentText(), QFontInfo(QFont(u"Arial"_qs)).family());
    // After "AB" and after "ABC": the bold 20-point run, up to its last letter.
    for (const int position : {2, 3}) {
        PutCaret(ui.DiaryMemo, position);
        QCOMPARE(ui.FontSize->Value(), 20);
        QVERIFY(actions.BoldAction->isChecked());
    }
    // After "ABCD" and at the very end: plain 12 points again.
    for (const int position : {4, ui.DiaryMemo->document()->characterCount() - 1}) {
        PutCaret(ui.DiaryMemo, position);
        QCOMPARE(ui.FontSize->Value(), 12);
        QVERIFY(!actions.BoldAction->isChecked());
    }
    QVERIFY(actions.RightAction->isChecked());
    QVERIFY(!form.Page().Changed());
}

// The format a character typed at the caret gets, read as the tool bar shows it.
struct TShownFormat {
    QString Face;
    int Size = 0;
    bool Bold = false;
};

TShownFormat BarFormat(TFormattingRun& form) {
    return {Widgets(form).FontName->currentText(), Widgets(form).FontSize->Value(),
            form.Actions().BoldAction->isChecked()};
}

TShownFormat TypedFormat(QTextEdit* edit) {
    QTextCursor cursor = edit->textCursor();
    cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
    const QTextCharFormat format = cursor.charFormat();
    const QFont font = format.font().resolve(edit->document()->defaultFont());
    return {QFontInfo(font).family(), int(std::lround(QFontInfo(font).pointSizeF())),
            format.fontWeight() >= QFont::DemiBold};
}

// Each row is a sequence of steps: "face" chooses IPAMincho, "size" 20 points, "bold" clicks B
// once, "start" and "end" move the caret, "day" goes to the next (empty) day and back is
// "back", "type" types a letter, "return" presses Return.
void TFormattingTest::toolBarShowsWhatTypingGets_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("bold");        // the typed letter is bold
    QTest::addColumn<bool>("chosenFace");  // the typed letter is in IPAMincho
    const auto steps = [](const char* list) {
        return QString::fromLatin1(list).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    };
    QTest::newRow("first start, empty day") << steps("") << false << false;
    QTest::newRow("first start, caret before Arial") << steps("start") << false << false;
    QTest::newRow("face at start, change day") << steps("face day") << false << false;
    QTest::newRow("face at start, type") << steps("face") << false << true;
    QTest::newRow("bold at end, change day") << steps("end bold day") << false << false;
    QTest::newRow("bold at end, change day, one click")
        << steps("end bold day bold") << true << false;
    QTest::newRow("bold at end, back to the day")
        << steps("end bold day back end") << false << false;
    QTest::newRow("bold at start, type") << steps("bold") << true << false;
    QTest::newRow("Return after bold") << steps("end bold type return") << true << false;
    QTest::newRow("Return after bold, B off")
        << steps("end bold type return bold") << false << false;
    QTest::newRow("size and face on an empty day")
        << steps("day size face type return") << false << true;
    QTest::newRow("bold twice") << steps("end bold bold") << false << false;
}

void TFormattingTest::toolBarShowsWhatTypingGets() {
    QFETCH(QStringList, steps);
    QFETCH(bool, bold);
    QFETCH(bool, chosenFace);
    TFormattingRun form;
    // The first start shows an empty day, whose face is the uninstalled Windows default.
    if (!steps.isEmpty())
        SeedBody(form,
                 "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs24 abcd\\par\r\n}");
    form.Start();
    form.Formatting().ListFonts();
    const TPageWidgets ui = Widgets(form);
    QTextEdit* body = ui.DiaryMemo;
    for (const QString& step : steps) {
        if (step == u"face"_qs) {
            const int mincho = ui.FontName->findText(u"IPAMincho"_qs);
            QVERIFY(mincho >= 0);
            ui.FontName->setCurrentIndex(mincho);
        } else if (step == u"size"_qs) {
            ui.FontSize->SetValue(20);
        } else if (step == u"bold"_qs) {
            form.Actions().BoldAction->trigger();
        } else if (step == u"start"_qs || step == u"end"_qs) {
            body->moveCursor(step == u"start"_qs ? QTextCursor::Start : QTextCursor::End);
        } else if (step == u"day"_qs || step == u"back"_qs) {
            form.Leave(step == u"day"_qs ? kDay + 1 : kDay);
        } else if (step == u"type"_qs) {
            QTest::keyClick(body, Qt::Key_A);
        } else if (step == u"return"_qs) {
            QTest::keyClick(body, Qt::Key_Return);
        }
    }
    const TShownFormat bar = BarFormat(form);
    QVERIFY2(!bar.Face.isEmpty(), "the face box shows the face in use");
    QTest::keyClick(body, Qt::Key_Q);
    const TShownFormat typed = TypedFormat(body);
    QCOMPARE(typed.Bold, bold);
    QCOMPARE(typed.Face == u"IPAMincho"_qs, chosenFace);
    QCOMPARE(bar.Bold, typed.Bold);
    QCOMPARE(bar.Face, typed.Face);
    QCOMPARE(bar.Size, typed.Size);
}

// After a face or a size is chosen, typing goes on in the body.
void TFormattingTest::choosingFaceOrSizeReturnsToTheBody_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("face") << u"FontName"_qs;
    QTest::newRow("size") << u"FontSize"_qs;
}

void TFormattingTest::choosingFaceOrSizeReturnsToTheBody() {
    QFETCH(QString, control);
    TFormattingRun form;
    form.Start();
    form.Formatting().ListFonts();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    const TPageWidgets ui = Widgets(form);
    if (control == u"FontName"_qs) {
        ui.FontName->setFocus();
        QTest::keyClick(ui.FontName, Qt::Key_Down);
    } else {
        ui.FontSize->Edit()->setFocus();
        ui.FontSize->Edit()->selectAll();
        QTest::keyClicks(ui.FontSize->Edit(), u"14"_qs);
        QTest::keyClick(ui.FontSize->Edit(), Qt::Key_Return);
        QCOMPARE(ui.FontSize->Value(), 14);
    }
    QCOMPARE(QApplication::focusWidget(), ui.DiaryMemo);
    QTest::keyClicks(ui.DiaryMemo, u"ab"_qs);
    QCOMPARE(ui.DiaryMemo->toPlainText(), u"ab"_qs);
}

void TFormattingTest::rulerFollowsParagraphsWithoutChangingThem() {
    TFormattingRun form;
    SeedBody(form, kFormattedBody);
    form.Start();
    const TPageWidgets ui = Widgets(form);
    const std::string before = BodyRtf(form);
    // Paragraph starts: 0 "ABCD", 5 "xyz", 9 "last". 2 points show at 2, 0 at 0, 12 at 16.
    const std::pair<int, int> stops[] = {{1, 2}, {6, 0}, {10, 16}, {3, 2}};
    for (const auto& [position, ruler] : stops) {
        PutCaret(ui.DiaryMemo, position);
        QCOMPARE(ui.TrackBar1->value(), ruler);
    }
    QVERIFY(!form.Page().Changed());
    QVERIFY(!form.Actions().UndoAction->isEnabled());
    QCOMPARE(BodyRtf(form), before);
}

void TFormattingTest::rulerPositionSetsTheIndent_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("word");  // \fi in twips: 3 x position / 4 points x 20
    QTest::newRow("4 sets 3 points") << 4 << u"\\fi60"_qs;
    QTest::newRow("5 truncates to 3 points") << 5 << u"\\fi60"_qs;
    QTest::newRow("16 sets 12 points") << 16 << u"\\fi240"_qs;
    QTest::newRow("1 sets nothing") << 1 << QString();
}

void TFormattingTest::rulerPositionSetsTheIndent() {
    QFETCH(int, position);
    QFETCH(QString, word);
    TFormattingRun form;
    SeedBody(form, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0 plain\\par\r\n}");
    form.Start();
    QSlider* ruler = Widgets(form).TrackBar1;
    QVERIFY(ruler->maximum() > 16);
    ruler->setValue(position);
    QVERIFY(form.Page().Changed());
    const QString rtf = QString::fromStdString(BodyRtf(form));
    if (word.isEmpty())
        QVERIFY2(!rtf.contains(u"\\fi"_qs), qPrintable(rtf));
    else
        QVERIFY2(rtf.contains(word + QLatin1Char('\\')) || rtf.contains(word + QLatin1Char(' ')),
                 qPrintable(rtf));
}

void TFormattingTest::commandsChangeTheTextAndMarkThePage_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("expected");  // in the body's RTF afterwards
    QTest::newRow("bold, selection") << u"bold"_qs << true << u"\\b "_qs;
    QTest::newRow("italic, selection") << u"italic"_qs << true << u"\\i "_qs;
    QTest::newRow("underline, selection") << u"underline"_qs << true << u"\\ul "_qs;
    QTest::newRow("bold, caret") << u"bold"_qs << false << u"\\b "_qs;
    QTest::newRow("italic, caret") << u"italic"_qs << false << u"\\i "_qs;
    QTest::newRow("underline, caret") << u"underline"_qs << false << u"\\ul "_qs;
    QTest::newRow("centre") << u"centre"_qs << false << u"\\qc"_qs;
    QTest::newRow("right") << u"right"_qs << false << u"\\qr"_qs;
    QTest::newRow("size, selection") << u"size"_qs << true << u"\\fs40"_qs;
    QTest::newRow("size, caret") << u"size"_qs << false << u"\\fs40"_qs;
    QTest::newRow("colour, selection") << u"colour"_qs << true << u"\\red255\\green0\\blue0"_qs;
    QTest::newRow("colour, caret") << u"colour"_qs << false << u"\\red255\\green0\\blue0"_qs;
    QTest::newRow("face, selection") << u"face"_qs << true << u"FACE"_qs;
}

void TFormattingTest::commandsChangeTheTextAndMarkThePage() {
    QFETCH(QString, command);
    QFETCH(bool, selectAll);
    QFETCH(QString, expected);
    TFormattingRun form;
    SeedBody(form, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs24 abcd\\par\r\n}");
    form.Start();
    const TPageWidgets ui = Widgets(form);
    TMainActions& actions = form.Actions();
    form.Formatting().ChooseColor = [](const QColor&) { return QColor(255, 0, 0); };
    if (selectAll)
        ui.DiaryMemo->selectAll();
    else
        PutCaret(ui.DiaryMemo, 2);
    QVERIFY(!form.Page().Changed());

    QString face;
    if (command == u"bold"_qs)
        actions.BoldAction->trigger();
    else if (command == u"italic"_qs)
        actions.ItalicAction->trigger();
    else if (command == u"underline"_qs)
        actions.UnderAction->trigger();
    else if (command == u"centre"_qs)
        actions.CenterAction->trigger();
    else if (command == u"right"_qs)
        actions.RightAction->trigger();
    else if (command == u"size"_qs)
        ui.FontSize->SetValue(20);
    else if (command == u"colour"_qs)
        actions.ColorAction->trigger();
    else if (command == u"face"_qs) {
        QVERIFY(ui.FontName->count() > 1 || (form.Formatting().ListFonts(), true));
        const int other = ui.FontName->findText(u"IPAPGothic"_qs);
        QVERIFY(other >= 0);
        face = ui.FontName->itemText(other);
        ui.FontName->setCurrentIndex(other);
    }
    QVERIFY(form.Page().Changed());
    QVERIFY(form.Page().Unwritten());
    if (!selectAll)
        TypeText(ui.DiaryMemo, u"Z"_qs);
    const QString rtf = QString::fromStdString(BodyRtf(form));
    QVERIFY2(rtf.contains(face.isEmpty() ? expected : face), qPrintable(rtf));
    // The toolbar shows what the command did.
    if (command == u"bold"_qs)
        QVERIFY(actions.BoldAction->isChecked());
    if (command == u"centre"_qs)
        QVERIFY(actions.CenterAction->isChecked() && !actions.LeftAction->isChecked());
}

void TFormattingTest::commandsDoNothingWhileUpdating() {
    TFormattingRun form;
    SeedBody(form, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs24 abcd\\par\r\n}");
    form.Start();
    form.Formatting().ChooseColor = [](const QColor&) { return QColor(255, 0, 0); };
    const std::string before = BodyRtf(form);
    Widgets(form).DiaryMemo->selectAll();
    {
        const auto updating = form.PageState().UpdatingScope();
        form.Formatting().BoldButtonClick(true);
        form.Formatting().ColorActionExecute();
        form.Formatting().LineAlignClick(2);
        form.Formatting().TrackBar1Change(16);
        Widgets(form).FontSize->SetValue(30);
    }
    QVERIFY(!form.Page().Changed());
    QCOMPARE(BodyRtf(form), before);
}

void TFormattingTest::formattedPageRewritesTheSameRtf() {
    TWindowRun run;
    SeedBody(run,
             "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs24 "
             "\\'93\\'fa\\'8b\\'4c abcd\\par\r\nnext\\par\r\n}");
    {
        TForm1& form = run.Start();
        const TWindowWidgets ui = Widgets(form);
        form.Formatting().ChooseColor = [](const QColor&) { return QColor(0, 128, 255); };
        QTextCursor cursor = ui.DiaryMemo->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        ui.DiaryMemo->setTextCursor(cursor);
        form.Actions().BoldAction->trigger();
        form.Actions().ColorAction->trigger();
        ui.FontSize->SetValue(18);
        form.Actions().CenterAction->trigger();
        PutCaret(ui.DiaryMemo, 9);
        ui.TrackBar1->setValue(8);
        form.DataSaveClick();
        QVERIFY(run.Stop());
    }
    const std::string saved = StoredRecord(run, 2024, kDay).RichText.Text();
    QVERIFY(QString::fromStdString(saved).contains(u"\\qc"_qs));
    QVERIFY(QString::fromStdString(saved).contains(u"\\fi120"_qs));
    // Loaded again and rewritten through the editor, the same bytes come out.
    TForm1& form = run.Start();
    QCOMPARE(BodyRtf(form), saved);
    form.Page().BodyFormatted();
    QCOMPARE(BodyRtf(form), saved);
    form.DataSaveClick();
    QCOMPARE(StoredRecord(run, 2024, kDay).RichText.Text(), saved);
}

void TFormattingTest::pasteFollowsTheClipboard_data() {
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("takesPictures");
    for (const char* name : {"DiaryMemo", "Comment", "NewsMemo", "PrivMemo"})
        QTest::newRow(name) << QString::fromLatin1(name) << (qstrcmp(name, "DiaryMemo") == 0);
}

void TFormattingTest::pasteFollowsTheClipboard() {
    QFETCH(QString, editor);
    QFETCH(bool, takesPictures);
    TFormattingRun form;
    form.Start();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    QAction* paste = form.Actions().PasteAction;
    QClipboard* clipboard = QGuiApplication::clipboard();
    form.findChild<QWidget*>(editor)->setFocus();
    clipboard->clear();
    QVERIFY(!paste->isEnabled());
    // Another program copies text.
    clipboard->setText(u"他のプログラムから"_qs);
    QVERIFY(paste->isEnabled());
    // A picture alone pastes into the body only, whichever editor had the focus before.
    auto* picture = new QMimeData;
    picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
    clipboard->setMimeData(picture);
    QCOMPARE(paste->isEnabled(), takesPictures);
    Widgets(form).DiaryMemo->setFocus();
    QVERIFY(paste->isEnabled());
    form.findChild<QWidget*>(editor)->setFocus();
    QCOMPARE(paste->isEnabled(), takesPictures);
    clipboard->clear();
    QVERIFY(!paste->isEnabled());
}

void TFormattingTest::cutAndCopyFollowTheSelection_data() {
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("atOnce");  // the body tells at every caret move
    QTest::newRow("DiaryMemo") << u"DiaryMemo"_qs << true;
    QTest::newRow("Comment") << u"Comment"_qs << false;
    QTest::newRow("NewsMemo") << u"NewsMemo"_qs << false;
    QTest::newRow("PrivMemo") << u"PrivMemo"_qs << false;
}

void TFormattingTest::cutAndCopyFollowTheSelection() {
    QFETCH(QString, editor);
    QFETCH(bool, atOnce);
    TFormattingRun form;
    form.Start();
    QAction* cut = form.Actions().CutAction;
    QAction* copy = form.Actions().CopyAction;
    QWidget* widget = form.findChild<QWidget*>(editor);
    QWidget* mouseTarget = widget;
    widget->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setText(u"abcdef"_qs);
        QVERIFY(!cut->isEnabled());
        line->setSelection(0, 3);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        plain->setPlainText(u"abcdef"_qs);
        mouseTarget = plain->viewport();
        QVERIFY(!cut->isEnabled());
        plain->selectAll();
    } else if (auto* rich = qobject_cast<QTextEdit*>(widget)) {
        rich->setPlainText(u"abcdef"_qs);
        mouseTarget = rich->viewport();
        QVERIFY(!cut->isEnabled());
        rich->selectAll();
    }
    QCOMPARE(cut->isEnabled(), atOnce);
    QTest::mouseRelease(mouseTarget, Qt::LeftButton, {}, QPoint(200, 5));
    QApplication::processEvents();
    // The release does not drop the selection that the test made: cut and copy are offered.
    QVERIFY(cut->isEnabled());
    QCOMPARE(copy->isEnabled(), cut->isEnabled());
}

void TFormattingTest::cutAndPasteReachTheFocusedEditor() {
    TFormattingRun form;
    form.Start();
    const TPageWidgets ui = Widgets(form);
    ui.NewsMemo->setFocus();
    ui.NewsMemo->setPlainText(u"切り取る"_qs);
    ui.NewsMemo->selectAll();
    QCOMPARE(form.Clipboard().TargetEdit(), ui.NewsMemo);
    form.Actions().CutAction->setEnabled(true);
    form.Actions().CutAction->trigger();
    QCOMPARE(ui.NewsMemo->toPlainText(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), u"切り取る"_qs);
    QVERIFY(!form.Actions().CutAction->isEnabled());
    QVERIFY(form.Actions().PasteAction->isEnabled());
    ui.PrivMemo->setFocus();
    form.Actions().PasteAction->trigger();
    QCOMPARE(ui.PrivMemo->toPlainText(), u"切り取る"_qs);
    QVERIFY(form.Page().Changed());
    // Without a focused memo or title the body is the target.
    ui.DiaryMemo->setFocus();
    QCOMPARE(form.Clipboard().TargetEdit(), ui.DiaryMemo);
    form.Actions().PasteAction->trigger();
    QCOMPARE(ui.DiaryMemo->toPlainText(), u"切り取る"_qs);
}

// A picture pasted into the body goes through the year file and shows again at the next start.
void TFormattingTest::pastedPictureIsSavedWithThePage() {
    TWindowRun run;
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(30, 120, 200));
    {
        TForm1& form = run.Start();
        TypeText(Widgets(form).DiaryMemo, u"写真"_qs);
        QGuiApplication::clipboard()->setImage(picture);
        Widgets(form).DiaryMemo->setFocus();
        form.Actions().PasteAction->trigger();
        QVERIFY(form.Page().Changed());
        form.DataSaveClick();
        QVERIFY(run.Stop());
    }
    QVERIFY(QString::fromStdString(StoredRecord(run, 2024, kDay).RichText.Text())
                .contains(u"\\pngblip"_qs));
    TForm1& form = run.Start();
    QTextEdit* body = Widgets(form).DiaryMemo;
    QCOMPARE(body->toPlainText(), u"写真\uFFFC"_qs);
    QTextCursor cursor(body->document());
    cursor.setPosition(3);
    const QTextImageFormat shown = cursor.charFormat().toImageFormat();
    QVERIFY(shown.isValid());
    QCOMPARE(body->document()
                 ->resource(QTextDocument::ImageResource, QUrl(shown.name()))
                 .value<QImage>()
                 .convertToFormat(QImage::Format_RGB32),
             picture);
}

void TFormattingTest::ctrlDInsertsTheTime_data() {
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("inserts");
    QTest::newRow("DiaryMemo") << u"DiaryMemo"_qs << true;
    QTest::newRow("NewsMemo") << u"NewsMemo"_qs << true;
    QTest::newRow("PrivMemo") << u"PrivMemo"_qs << true;
    QTest::newRow("Comment") << u"Comment"_qs << false;
}

void TFormattingTest::ctrlDInsertsTheTime() {
    QFETCH(QString, editor);
    QFETCH(bool, inserts);
    TFormattingRun form;
    form.Start();
    const QTime at(9, 5, 7);
    form.TimeKey().Now = [at] { return at; };
    QWidget* widget = form.findChild<QWidget*>(editor);
    TypeText(widget, u"朝"_qs);
    QTest::keyClick(widget, Qt::Key_D, Qt::ControlModifier);
    const QString time = TTimeKey::LongTimeText(QLocale(), at);
    QString text;
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        text = line->text();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
        text = plain->toPlainText();
    else if (auto* rich = qobject_cast<QTextEdit*>(widget))
        text = rich->toPlainText();
    QCOMPARE(text, inserts ? u"朝"_qs + time : u"朝"_qs);
    QVERIFY(form.Page().Changed());
}

void TFormattingTest::longTimeTextHasNoZone_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    // Expected values: Qt 6.4's long time formats of these locales ("H時mm分ss秒 t",
    // "HH:mm:ss t", "h:mm:ss AP t") without the zone field.
    QTest::newRow("Japanese") << u"ja_JP"_qs << u"9時05分07秒"_qs;
    QTest::newRow("German") << u"de_DE"_qs << u"09:05:07"_qs;
    QTest::newRow("English") << u"en_US"_qs << u"9:05:07 AM"_qs;
}

void TFormattingTest::longTimeTextHasNoZone() {
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(TTimeKey::LongTimeText(QLocale(locale), QTime(9, 5, 7)), expected);
}

void TFormattingTest::toolBarScreenshot() {
    TWindowRun run;
    SeedBody(run, kFormattedBody);
    TForm1& form = run.Start();
    form.Formatting().ListFonts();
    PutCaret(Widgets(form).DiaryMemo, 11);
    QVERIFY(SavePng(&form, u"formatting-toolbar.png"_qs));
    QVERIFY(form.Actions().RightAction->isChecked());
    // A face and B chosen at the page's end, then the next day: its tool bar shows plain text
    // in the body's face.
    Widgets(form).DiaryMemo->moveCursor(QTextCursor::End);
    Widgets(form).FontName->setCurrentIndex(Widgets(form).FontName->findText(u"IPAMincho"_qs));
    form.Actions().BoldAction->trigger();
    ClickDay(form.Diary1(), kDay + 1);
    QVERIFY(SavePng(&form, u"formatting-toolbar-next-day.png"_qs));
    QVERIFY(!form.Actions().BoldAction->isChecked());
    QCOMPARE(Widgets(form).FontName->currentText(),
             QFontInfo(Widgets(form).DiaryMemo->font()).family());
}

QTEST_MAIN(TFormattingTest)
#include "FormattingTest.moc"
