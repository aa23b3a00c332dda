// Japanese reaches every editor of the window and of its dialogs the way an input method (ibus,
// fcitx5) delivers it: as committed text after the preedit.

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QtTest>

#include "controls/SpinBtns.h"
#include "notes/ui/DateProp.h"
#include "settings/ui/Setup.h"
#include "storage/Clock.h"
#include "storage/DayNumber.h"
#include "support/WindowRun.h"

namespace {

QString TextOf(QWidget* editor) {
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        return line->text();
    if (auto* rich = qobject_cast<QTextEdit*>(editor))
        return rich->toPlainText();
    return static_cast<QPlainTextEdit*>(editor)->toPlainText();
}

// The editors a user types words into: spin boxes and the number spin control (TValueEdit)
// take numbers only, read-only views nothing.
QList<QWidget*> TextEditors(QWidget* top) {
    QList<QWidget*> editors;
    for (auto* line : top->findChildren<QLineEdit*>())
        if (!line->isReadOnly() && !qobject_cast<TValueEdit*>(line) &&
            !qobject_cast<QAbstractSpinBox*>(line->parentWidget()))
            editors << line;
    for (auto* rich : top->findChildren<QTextEdit*>())
        if (!rich->isReadOnly())
            editors << rich;
    for (auto* plain : top->findChildren<QPlainTextEdit*>())
        if (!plain->isReadOnly())
            editors << plain;
    return editors;
}

}  // namespace

class InputMethodTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { SetTodayForTesting(EncodeDate(2026, 5, 5)); }
    void cleanup() { SetTodayForTesting(std::nullopt); }

    void EveryEditorTakesCommittedJapanese_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("atLeast");
        // The page's four editors; the note's title; the options' field titles.
        QTest::newRow("window") << "window" << 4;
        QTest::newRow("note editor") << "note" << 1;
        QTest::newRow("options") << "options" << 4;
    }
    void EveryEditorTakesCommittedJapanese() {
        QFETCH(QString, where);
        QFETCH(int, atLeast);
        TWindowRun run;
        TForm1& form = run.Start();
        std::unique_ptr<QWidget> dialog;
        if (where == u"note"_qs)
            dialog = std::make_unique<TTodoMemo>(&form);
        else if (where == u"options"_qs)
            dialog = std::make_unique<TSetupForm>(&form);
        QWidget* top = dialog ? dialog.get() : static_cast<QWidget*>(&form);
        top->show();
        QVERIFY(QTest::qWaitForWindowExposed(top));
        const QList<QWidget*> editors = TextEditors(top);
        QVERIFY2(editors.size() >= atLeast, qPrintable(QString::number(editors.size())));
        for (QWidget* editor : editors) {
            const QString name = editor->objectName();
            QVERIFY2(editor->testAttribute(Qt::WA_InputMethodEnabled), qPrintable(name));
            if (!editor->isEnabled())
                continue;
            TypeText(editor, QStringLiteral("日本語"));
            QVERIFY2(TextOf(editor).contains(QStringLiteral("日本語")),
                     qPrintable(name + u" "_qs + editor->metaObject()->className()));
        }
    }
};

QTEST_MAIN(InputMethodTest)
#include "InputMethodTest.moc"
