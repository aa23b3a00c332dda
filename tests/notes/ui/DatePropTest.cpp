#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "controls/RangeGrid.h"
#include "controls/SpinBtns.h"
#include "notes/ui/DateProp.h"
#include "storage/Clock.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "support/Screenshots.h"

namespace {

TNoteRec Note(uint8_t kind, uint16_t monthRule, uint16_t dayRule, uint16_t startYear) {
    TNoteRec note;
    note.Kind = kind;
    note.MonthRule = monthRule;
    note.DayRule = dayRule;
    note.StartYear = startYear;
    note.Title = Sjis("件名");
    return note;
}

// Clicks the cell of a selection grid that shows item index.
void ClickCell(TSelectGrid* grid, int index) {
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(index, 0).center());
}

}  // namespace

class DatePropTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        InstallFontSubstitutes();
        SetTodayForTesting(EncodeDate(2026, 3, 10));
    }
    void cleanupTestCase() { SetTodayForTesting(std::nullopt); }

    void clientHeights() {
        TTodoMemo memo;
        memo.LoadNote(nullptr, true);
        QCOMPARE(memo.height(), 132);
        memo.RepeatBtn->click();
        QCOMPARE(memo.height(), 304);
        QVERIFY(!memo.GroupBox1->isHidden());
        memo.RepeatBtn->click();
        QCOMPARE(memo.height(), 132);
        memo.LoadNote(nullptr, false);
        QCOMPARE(memo.height(), 127);
        QVERIFY(memo.RepeatBtn->isHidden());
        QVERIFY(!memo.ListCheck->isHidden());
        QCOMPARE(memo.FinalYear->text(), u"逝去"_qs);
    }

    void newReminderConfirmedAtOnce() {
        TTodoMemo memo;
        memo.LoadNote(nullptr, true);
        QCOMPARE(memo.FinalYear->text(), u"終了"_qs);
        memo.OKBtn->click();
        QCOMPARE(memo.result(), int(QDialog::Accepted));
        const TNoteRec& n = memo.Note();
        QCOMPARE(n.Kind, NoteOpen);
        QCOMPARE(n.MonthRule, 3);
        QCOMPARE(n.DayRule, 10);
        QCOMPARE(n.StartYear, 2026);
        QCOMPARE(n.EndYear, NoEndYear);
        QCOMPARE(FromCp932(n.Title), u"ここに件名を入力してください"_qs);
    }

    // Rules chosen with the mouse, and the value they store.
    void storedRules_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("monthRule");
        QTest::addColumn<int>("dayRule");
        QTest::newRow("指定月 with no month") << 0 << 32768 << 10;
        QTest::newRow("period 10th to 20th") << 1 << 0 << 17034;
        QTest::newRow("weeks 2 and 4, Saturday") << 2 << 0 << 35392;
        QTest::newRow("month end, months 1 and 12") << 3 << (0x8000 | 0x801) << 32;
        QTest::newRow("repeat released: a plain date") << 4 << 3 << 10;
    }
    void storedRules() {
        QFETCH(int, choice);
        QFETCH(int, monthRule);
        QFETCH(int, dayRule);
        TTodoMemo memo;
        memo.LoadNote(nullptr, true);
        memo.RepeatBtn->click();
        switch (choice) {
            case 0:
                memo.ChosenMonth->click();
                break;
            case 1:
                memo.PeriodCheck->click();
                memo.DateUntil->SetValue(20);
                break;
            case 2:
                memo.WeekItem->click();
                ClickCell(memo.WeekSelect, 1);
                ClickCell(memo.WeekSelect, 3);
                ClickCell(memo.DaySelect, 6);
                break;
            case 3:
                memo.ChosenMonth->click();
                ClickCell(memo.MonthSelect, 0);
                ClickCell(memo.MonthSelect, 11);
                memo.MonthEndItem->click();
                break;
            case 4:
                memo.ChosenMonth->click();
                ClickCell(memo.MonthSelect, 4);
                memo.WeekItem->click();
                ClickCell(memo.DaySelect, 2);
                memo.RepeatBtn->click();
                break;
        }
        memo.OKBtn->click();
        QCOMPARE(int(memo.Note().MonthRule), monthRule);
        QCOMPARE(int(memo.Note().DayRule), dayRule);
    }

    void switchingAwayClearsTheGrids() {
        TTodoMemo memo;
        memo.LoadNote(nullptr, true);
        memo.RepeatBtn->click();
        memo.ChosenMonth->click();
        ClickCell(memo.MonthSelect, 2);
        QCOMPARE(memo.MonthSelect->SelectedBits(), 4u);
        memo.EveryMonth->click();
        memo.ChosenMonth->click();
        QCOMPARE(memo.MonthSelect->SelectedBits(), 0u);

        memo.WeekItem->click();
        ClickCell(memo.WeekSelect, 0);
        ClickCell(memo.DaySelect, 1);
        memo.DayItem->click();
        memo.WeekItem->click();
        QCOMPARE(memo.WeekSelect->SelectedBits(), 0u);
        QCOMPARE(memo.DaySelect->SelectedBits(), 0u);

        // The period is only for the day item.
        memo.DayItem->click();
        memo.PeriodCheck->click();
        QVERIFY(memo.DateUntil->isEnabled());
        memo.MonthEndItem->click();
        QVERIFY(!memo.PeriodCheck->isChecked());
        QVERIFY(!memo.DateUntil->isEnabled());
    }

    // Without a repeat rule a reminder comes every year or once only; a repeat rule decides
    // for itself.
    void everyYearOrOnce_data() {
        QTest::addColumn<int>("endYear");
        QTest::addColumn<bool>("clickOnce");
        QTest::addColumn<bool>("onceShown");
        QTest::addColumn<int>("storedEndYear");
        QTest::newRow("new, every year") << -1 << false << false << int(NoEndYear);
        QTest::newRow("new, once") << -1 << true << false << 2026;
        QTest::newRow("once, kept") << 2024 << false << true << 2024;
        QTest::newRow("ending later: every year, its end kept") << 2030 << false << false << 2030;
        QTest::newRow("ending later, made once") << 2030 << true << false << 2024;
    }
    void everyYearOrOnce() {
        QFETCH(int, endYear);
        QFETCH(bool, clickOnce);
        QFETCH(bool, onceShown);
        QFETCH(int, storedEndYear);
        TNoteRec note = Note(NoteOpen, 6, 1, 2024);
        note.EndYear = static_cast<uint16_t>(endYear);
        TTodoMemo memo;
        memo.LoadNote(endYear < 0 ? nullptr : &note, true);
        QVERIFY(memo.OnceItem->isVisibleTo(&memo));
        QVERIFY(memo.OnceItem->isEnabled());
        QCOMPARE(memo.OnceItem->isChecked(), onceShown);
        QCOMPARE(memo.EveryYearItem->isChecked(), !onceShown);
        // Once only ends with its own date: the end cannot be set beside it.
        QCOMPARE(memo.FinalYear->isEnabled(), !onceShown);
        if (clickOnce) {
            memo.OnceItem->click();
            QVERIFY(!memo.FinalYear->isEnabled());
            QVERIFY(!memo.FinalDate->isEnabled());
        }
        memo.OKBtn->click();
        QCOMPARE(int(memo.Note().EndYear), storedEndYear);
    }

    void repeatRuleSetsOnceAside() {
        TTodoMemo memo;
        memo.LoadNote(nullptr, true);
        memo.OnceItem->click();
        memo.RepeatBtn->click();
        QVERIFY(!memo.OnceItem->isEnabled());
        QVERIFY(memo.FinalYear->isEnabled());
        memo.OKBtn->click();
        QCOMPARE(int(memo.Note().MonthRule), 0);
        QCOMPARE(int(memo.Note().EndYear), int(NoEndYear));
        // A birthday has neither choice.
        memo.LoadNote(nullptr, false);
        QVERIFY(!memo.OnceItem->isVisibleTo(&memo));
        QVERIFY(memo.FinalYear->isEnabled());
    }

    // The interval of working days and days off has no place in a note: it is not offered.
    void noIntervalChoice() {
        TTodoMemo memo;
        QVERIFY(!memo.findChild<QWidget*>(u"IntervalItem"_qs));
        QVERIFY(!memo.findChild<QWidget*>(u"DayInt"_qs));
        QVERIFY(!memo.findChild<QWidget*>(u"DayInt2"_qs));
        const auto items = memo.RepDate->findChildren<QRadioButton*>();
        QStringList texts;
        for (const QRadioButton* item : items)
            texts << item->text();
        QCOMPARE(texts, (QStringList{u"10日"_qs, u"月末"_qs, u"週＋曜日"_qs}));
    }

    void doneReminderComesBackOpen() {
        TNoteRec done = Note(NoteDone, 0, 15, 2020);
        done.EndDate = EncodeDate(2026, 2, 15);
        TTodoMemo memo;
        memo.LoadNote(&done, true);
        QVERIFY(memo.RepeatBtn->isChecked());
        memo.OKBtn->click();
        QCOMPARE(memo.Note().Kind, NoteOpen);
        QCOMPARE(memo.Note().EndDate, done.EndDate);
        QCOMPARE(memo.Note().MonthRule, 0);
        QCOMPARE(memo.Note().DayRule, 15);
    }

    void listCheckRoundTrip() {
        TTodoMemo memo;
        TNoteRec birthday = Note(NoteBirthday, 5, 3, 1970);
        memo.LoadNote(&birthday, false);
        QVERIFY(!memo.ListCheck->isChecked());
        memo.ListCheck->click();
        memo.OKBtn->click();
        QCOMPARE(memo.Note().Kind, NoteHidden);
        const TNoteRec hidden = memo.Note();
        TTodoMemo again;
        again.LoadNote(&hidden, false);
        QVERIFY(again.ListCheck->isChecked());
        again.ListCheck->click();
        again.OKBtn->click();
        QCOMPARE(again.Note().Kind, NoteBirthday);
    }

    // A note opened and confirmed with only its title changed keeps its date and rule.
    void titleEditKeepsTheDate_data() {
        QTest::addColumn<int>("monthRule");
        QTest::addColumn<int>("dayRule");
        QTest::addColumn<int>("startYear");
        QTest::addColumn<bool>("isReminder");
        QTest::newRow("every month 10th-20th from 2003") << 0 << 17034 << 2003 << true;
        QTest::newRow("every month 25th-31st") << 0 << int(MakePeriodRule(25, 31)) << 2003 << true;
        QTest::newRow("month set, second Tuesdays")
            << (0x8000 | 0x5) << int(MakeWeekRule(4, 2)) << 2010 << true;
        QTest::newRow("birthday, year unknown") << 5 << 3 << 0 << false;
    }
    void titleEditKeepsTheDate() {
        QFETCH(int, monthRule);
        QFETCH(int, dayRule);
        QFETCH(int, startYear);
        QFETCH(bool, isReminder);
        const TNoteRec note =
            Note(isReminder ? NoteOpen : NoteBirthday, monthRule, dayRule, startYear);
        TTodoMemo memo;
        memo.LoadNote(&note, isReminder);
        memo.Content->setText(u"新しい件名"_qs);
        memo.OKBtn->click();
        QCOMPARE(int(memo.Note().MonthRule), monthRule);
        QCOMPARE(int(memo.Note().DayRule), dayRule);
        QCOMPARE(int(memo.Note().StartYear), startYear);
        QCOMPARE(FromCp932(memo.Note().Title), u"新しい件名"_qs);
    }

    void deathDateStoredForBirthdayOnly() {
        TTodoMemo memo;
        TNoteRec birthday = Note(NoteBirthday, 5, 10, 1950);
        memo.LoadNote(&birthday, false);
        QVERIFY(!memo.FinalDate->isEnabled());
        memo.FinalYear->click();
        QVERIFY(memo.FinalDate->isEnabled());
        memo.FinalDate->setDate(QDate(2020, 8, 1));
        memo.OKBtn->click();
        QCOMPARE(memo.Note().EndYear, 2020);
        QCOMPARE(memo.Note().EndDate, EncodeDate(2020, 8, 1));

        TTodoMemo reminder;
        TNoteRec task = Note(NoteOpen, 6, 1, 2020);
        reminder.LoadNote(&task, true);
        reminder.FinalYear->click();
        reminder.FinalDate->setDate(QDate(2028, 4, 4));
        reminder.OKBtn->click();
        QCOMPARE(reminder.Note().EndYear, 2028);
        QCOMPARE(reminder.Note().EndDate, 0);
    }

    void screenshots() {
        QDir().mkpath(QStringLiteral(VELMORA_PNG_DIR));
        TNoteRec birthday = Note(NoteBirthday, 5, 3, 1970);
        birthday.Title = Sjis("山田花子");
        TTodoMemo memo;
        memo.setWindowTitle(u"誕生日 - 修正"_qs);
        memo.LoadNote(&birthday, false);
        memo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        QVERIFY(SavePng(&memo, u"note-editor-birthday.png"_qs));

        TNoteRec reminder = Note(NoteOpen, 0x8000 | 0x111, MakeWeekRule(0x40, 0x0A), 2026);
        reminder.Title = Sjis("資源ごみの日");
        TTodoMemo repeat;
        repeat.setWindowTitle(u"備忘録 - 修正"_qs);
        repeat.LoadNote(&reminder, true);
        repeat.show();
        QVERIFY(QTest::qWaitForWindowExposed(&repeat));
        QCOMPARE(repeat.MonthSelect->SelectedBits(), 0x111u);
        QCOMPARE(repeat.WeekSelect->SelectedBits(), 0x0Au);
        QCOMPARE(repeat.DaySelect->SelectedBits(), 0x40u);
        QVERIFY(SavePng(&repeat, u"note-editor-reminder.png"_qs));
    }
};

QTEST_MAIN(DatePropTest)
#include "DatePropTest.moc"
