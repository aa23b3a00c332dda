#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "settings/IniFile.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TBevelLabel;
class TButtonList;
class TColorButton;
class TDiary;

// The options dialog: display options, the calendar's and the window's colours, three fonts and
// the user's titles. The caller fills its controls, runs it modally and reads them back after
// OK; the dialog itself keeps its preview calendar and font samples in step with the choices
// and writes nowhere.
class TSetupForm : public QDialog {
    Q_OBJECT
public:
    // A chooser returns the value the user confirmed, or nothing when they cancelled.
    using TColorChooser =
        std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)>;
    using TFontChooser = std::function<std::optional<QFont>(const QFont& initial, QWidget* parent)>;

    // Tags of the font buttons and their samples.
    enum TFontTag { DateTag = 0, NewsTag = 1, MemoTag = 2 };

    explicit TSetupForm(QWidget* parent = nullptr);

    // The font a sample holds; any tag outside 0..2 reads the date font.
    const TFontDesc& SampleFont(int tag) const;
    // The sample shows the font as "face, size pt" written in that font.
    void SetSampleFont(int tag, const TFontDesc& font);

    void StWeekChange(int index);
    void DiaryListClick(TColorButton* swatch);
    void ButtonList1ClickButton(QObject* sender, int id, bool aStat);
    void FontChangeBtn(int tag);

    // Qt's choosers unless replaced (tests answer them without a modal loop).
    TColorChooser ChooseColor;
    TFontChooser ChooseFont;

    QTabWidget* PageControl1;
    // "全般"
    QCheckBox* WeatherMark;
    QCheckBox* ListKind;
    QCheckBox* DeathCheck;
    QCheckBox* KazoeCheck;      // 数え年 beside the age
    QComboBox* CelebrationAge;  // 長寿祝い and 享年: 0 満年齢, 1 数え年
    QCheckBox* WeatherIcon;
    QCheckBox* RokuyoCheck;
    QCheckBox* SeasonGridCheck;
    QCheckBox* EraDateCheck;
    QCheckBox* SeasonCheck;
    QCheckBox* DayEtoCheck;
    QCheckBox* EraYearCheck;
    QComboBox* StWeek;
    // "色設定"
    TButtonList* ButtonList1;
    TDiary* Diary1;
    TColorButton* DayTitle;
    TColorButton* Diary;
    TColorButton* Edit;
    TColorButton* News;
    TColorButton* Memo;
    TColorButton* DiaryList;
    TColorButton* EventList;
    // "フォント・タイトル"
    QPushButton* DateFontBtn;
    QPushButton* NewsFontBtn;
    QPushButton* MemoFontBtn;
    TBevelLabel* DateFont;
    TBevelLabel* NewsFont;
    TBevelLabel* MemoFont;
    QLineEdit* OneWord;
    QLineEdit* EventTitle;
    QLineEdit* Personal;
    QLineEdit* TabOneword;
    QLineEdit* TabEvent;
    QLineEdit* TabPersonal;

    QPushButton* OKButton;
    QPushButton* BitBtn2;

private:
    QWidget* BuildGeneralPage();
    QWidget* BuildColorPage();
    QWidget* BuildFontPage();
    TBevelLabel* Sample(int tag) const;

    std::array<TFontDesc, 3> fonts_;
};

// The preview's day marks: every sixth day from the 1st (1, 7, 13, 19, 25, 31) carries the
// square, the circle and the triangle, so the mark colour can be seen.
uint8_t PreviewMarks(double date);
