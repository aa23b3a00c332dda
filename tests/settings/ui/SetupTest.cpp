#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <array>

#include "bridge/Colors.h"
#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "controls/Diary.h"
#include "settings/IniParam.h"
#include "settings/ui/Setup.h"
#include "storage/Clock.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "widgets/BevLabel.h"
#include "widgets/BtnLabel.h"
#include "widgets/BtnList.h"

namespace {

constexpr TColor kChosen = 0x00336699;

// Every colour the preview holds: weekdays 1..7, holiday, today, mark.
std::array<TColor, 10> PreviewColors(const TDiary& preview) {
    std::array<TColor, 10> colors{};
    for (int i = 1; i <= 7; ++i)
        colors[i - 1] = preview.WeekColor(i);
    colors[7] = preview.HolidayColor();
    colors[8] = preview.TodayColor();
    colors[9] = preview.EventColor();
    return colors;
}

// A dialog shown on the colour page, on a month without today in it.
struct TShownForm {
    TShownForm() {
        SetTodayForTesting(EncodeDate(2024, 1, 15));
        form.Diary1->SetCalendarDate(EncodeDate(2024, 7, 10));
        form.show();
        form.PageControl1->setCurrentIndex(1);
        [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(&form);
    }
    ~TShownForm() { SetTodayForTesting(std::nullopt); }
    TSetupForm form;
};

void ClickColorEntry(TSetupForm& form, int id) {
    QTest::mouseClick(form.ButtonList1->Button(id), Qt::LeftButton);
}

}  // namespace

class SetupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InstallFontSubstitutes(); }

    void colourEntryChangesItsTargetsOnly_data();
    void colourEntryChangesItsTargetsOnly();
    void cancelledChooserChangesNothing_data();
    void cancelledChooserChangesNothing();
    void swatchTakesTheChosenColour();
    void startOfWeekReordersThePreviewAtOnce();
    void chosenFontKeepsColourAndCharset();
    void previewMarksEverySixthDay_data();
    void previewMarksEverySixthDay();
};

void SetupTest::colourEntryChangesItsTargetsOnly_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QList<int>>("targets");  // indices into PreviewColors
    QTest::addColumn<int>("presetFrom");      // the index the chooser starts from
    QTest::newRow("日") << 0 << QList<int>{0} << 0;
    QTest::newRow("水") << 3 << QList<int>{3} << 3;
    QTest::newRow("土") << 6 << QList<int>{6} << 6;
    QTest::newRow("平日: Monday to Friday, not Sunday or Saturday")
        << 7 << QList<int>{1, 2, 3, 4, 5} << 1;
    QTest::newRow("休日") << 8 << QList<int>{7} << 7;
    QTest::newRow("今日") << 9 << QList<int>{8} << 8;
    QTest::newRow("ﾏｰｸ") << 10 << QList<int>{9} << 9;
}

void SetupTest::colourEntryChangesItsTargetsOnly() {
    QFETCH(int, id);
    QFETCH(QList<int>, targets);
    QFETCH(int, presetFrom);
    TShownForm shown;
    TSetupForm& form = shown.form;
    // Distinct starting colours, so the preset shows which target was read.
    for (int i = 1; i <= 7; ++i)
        form.Diary1->SetWeekColor(i, 0x00101010u * static_cast<TColor>(i));
    const std::array<TColor, 10> before = PreviewColors(*form.Diary1);
    QColor preset;
    form.ChooseColor = [&](const QColor& initial, QWidget*) -> std::optional<QColor> {
        preset = initial;
        return ToQColor(kChosen);
    };

    ClickColorEntry(form, id);

    QCOMPARE(FromQColor(preset), before[presetFrom]);
    const std::array<TColor, 10> after = PreviewColors(*form.Diary1);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(after[i], targets.contains(i) ? kChosen : before[i]);
    if (id == 7) {
        // The preview paints it: a Monday and a Friday take the colour, Sunday and Saturday not.
        QTest::qWait(0);
        const QImage image = form.Diary1->grab().toImage();
        auto cellColor = [&](int32_t date) {
            for (int row = 1; row < 7; ++row)
                for (int col = 0; col < 7; ++col)
                    if (form.Diary1->CellDate(col, row) == date)
                        return FromQColor(image.pixelColor(
                            form.Diary1->CellRect(col, row).bottomLeft() + QPoint(4, -4)));
            return TColor{0};
        };
        QCOMPARE(cellColor(EncodeDate(2024, 7, 22)), kChosen);  // Monday
        QCOMPARE(cellColor(EncodeDate(2024, 7, 26)), kChosen);  // Friday
        QCOMPARE(cellColor(EncodeDate(2024, 7, 21)), before[0]);
        QCOMPARE(cellColor(EncodeDate(2024, 7, 27)), before[6]);
    }
}

void SetupTest::cancelledChooserChangesNothing_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("index");
    QTest::newRow("swatch 日付タイトル") << u"swatch"_qs << 0;
    QTest::newRow("swatch イベント一覧") << u"swatch"_qs << 6;
    QTest::newRow("colour 日") << u"entry"_qs << 0;
    QTest::newRow("colour 平日") << u"entry"_qs << 7;
    QTest::newRow("colour ﾏｰｸ") << u"entry"_qs << 10;
    QTest::newRow("font 日付") << u"font"_qs << 0;
    QTest::newRow("font 出来事メモ") << u"font"_qs << 1;
    QTest::newRow("font 私的メモ") << u"font"_qs << 2;
}

void SetupTest::cancelledChooserChangesNothing() {
    QFETCH(QString, control);
    QFETCH(int, index);
    TShownForm shown;
    TSetupForm& form = shown.form;
    const std::array<TColorButton*, 7> swatches = {
        form.DayTitle, form.Diary, form.Edit, form.News, form.Memo, form.DiaryList, form.EventList};
    for (size_t i = 0; i < swatches.size(); ++i)
        swatches[i]->SetColor(0x00202020u * static_cast<TColor>(i + 1));
    TFontDesc font = DefaultFont();
    font.Name = Sjis("IPAGothic");
    font.Size = 11;
    for (int tag = 0; tag < 3; ++tag)
        form.SetSampleFont(tag, font);
    int asked = 0;
    form.ChooseColor = [&](const QColor&, QWidget*) -> std::optional<QColor> {
        ++asked;
        return std::nullopt;
    };
    form.ChooseFont = [&](const QFont&, QWidget*) -> std::optional<QFont> {
        ++asked;
        return std::nullopt;
    };
    const std::array<TColor, 10> previewBefore = PreviewColors(*form.Diary1);
    const QImage previewImage = form.Diary1->grab().toImage();

    if (control == u"swatch"_qs) {
        QTest::mouseClick(swatches[static_cast<size_t>(index)], Qt::LeftButton);
    } else if (control == u"entry"_qs) {
        ClickColorEntry(form, index);
    } else {
        form.PageControl1->setCurrentIndex(2);
        QTest::mouseClick(std::array{form.DateFontBtn, form.NewsFontBtn, form.MemoFontBtn}[index],
                          Qt::LeftButton);
    }

    QCOMPARE(asked, 1);
    for (size_t i = 0; i < swatches.size(); ++i)
        QCOMPARE(swatches[i]->Color(), 0x00202020u * static_cast<TColor>(i + 1));
    QCOMPARE(PreviewColors(*form.Diary1), previewBefore);
    QCOMPARE(form.Diary1->grab().toImage(), previewImage);
    const std::array<TBevelLabel*, 3> samples = {form.DateFont, form.NewsFont, form.MemoFont};
    for (int tag = 0; tag < 3; ++tag) {
        QCOMPARE(form.SampleFont(tag).Name, font.Name);
        QCOMPARE(form.SampleFont(tag).Size, font.Size);
        QCOMPARE(samples[tag]->Caption(), u"IPAGothic, 11pt"_qs);
    }
}

void SetupTest::swatchTakesTheChosenColour() {
    TShownForm shown;
    TSetupForm& form = shown.form;
    form.Memo->SetColor(0x00EEEEFF);
    QColor preset;
    form.ChooseColor = [&](const QColor& initial, QWidget*) -> std::optional<QColor> {
        preset = initial;
        return ToQColor(kChosen);
    };
    QTest::mouseClick(form.Memo, Qt::LeftButton);
    QCOMPARE(FromQColor(preset), TColor{0x00EEEEFF});
    QCOMPARE(form.Memo->Color(), kChosen);
    QCOMPARE(form.Diary->Color(), TColor{clBtnFace});
}

void SetupTest::startOfWeekReordersThePreviewAtOnce() {
    TShownForm shown;
    TSetupForm& form = shown.form;
    form.PageControl1->setCurrentIndex(0);
    const int32_t first = form.Diary1->CellDate(0, 1);
    form.StWeek->setCurrentIndex(1);
    QCOMPARE(form.Diary1->StartOfWeek(), 1);
    QCOMPARE(form.Diary1->CellText(0, 0), u"月"_qs);
    QCOMPARE(form.Diary1->CellText(6, 0), u"日"_qs);
    QCOMPARE(DayOfWeek(form.Diary1->CellDate(0, 2)), 2);  // a Monday heads each week
    QVERIFY(form.Diary1->CellDate(0, 1) != first);
}

void SetupTest::chosenFontKeepsColourAndCharset() {
    TShownForm shown;
    TSetupForm& form = shown.form;
    TFontDesc memo = DefaultFont();
    memo.Name = Sjis("ＭＳ ゴシック");
    memo.Color = 0x000000FF;
    memo.Charset = 128;
    memo.Size = 12;
    form.SetSampleFont(TSetupForm::MemoTag, memo);
    form.SetSampleFont(TSetupForm::DateTag, DefaultFont());
    QCOMPARE(form.MemoFont->Caption(), u"ＭＳ ゴシック, 12pt"_qs);

    QFont preset;
    form.ChooseFont = [&](const QFont& initial, QWidget*) -> std::optional<QFont> {
        preset = initial;
        QFont chosen(u"IPAPMincho"_qs, 14);
        chosen.setBold(true);
        chosen.setItalic(true);
        return chosen;
    };
    form.PageControl1->setCurrentIndex(2);
    QTest::mouseClick(form.MemoFontBtn, Qt::LeftButton);

    QCOMPARE(preset.pointSize(), 12);
    const TFontDesc& chosen = form.SampleFont(TSetupForm::MemoTag);
    QCOMPARE(FromCp932(chosen.Name), u"IPAPMincho"_qs);
    QCOMPARE(chosen.Size, 14);
    QCOMPARE(chosen.Style, uint8_t(FontBold | FontItalic));
    QCOMPARE(chosen.Color, TColor{0x000000FF});
    QCOMPARE(chosen.Charset, uint8_t(128));
    QCOMPARE(form.MemoFont->Caption(), u"IPAPMincho, 14pt"_qs);
    QCOMPARE(form.MemoFont->font().pointSize(), 14);
    QVERIFY(form.MemoFont->font().bold());
    // The other samples are untouched.
    QCOMPARE(form.SampleFont(TSetupForm::DateTag).Name, DefaultFont().Name);
}

void SetupTest::previewMarksEverySixthDay_data() {
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("marks");
    for (int day : {1, 7, 13, 19, 25, 31})
        QTest::addRow("%d marked", day) << day << 7;
    for (int day : {2, 6, 12, 18, 24, 30})
        QTest::addRow("%d plain", day) << day << 0;
}

void SetupTest::previewMarksEverySixthDay() {
    QFETCH(int, day);
    QFETCH(int, marks);
    // A time of day does not move the day.
    QCOMPARE(int(PreviewMarks(EncodeDate(2024, 12, day) + 0.75)), marks);
}

QTEST_MAIN(SetupTest)
#include "SetupTest.moc"
