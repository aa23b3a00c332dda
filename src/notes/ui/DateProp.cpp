#include "notes/ui/DateProp.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "controls/RangeGrid.h"
#include "controls/SpinBtns.h"
#include "storage/Clock.h"
#include "storage/DayNumber.h"

namespace {

constexpr int kDialogWidth = 420;
constexpr int kButtonPanelHeight = 48;
constexpr int kDesignFontPixels = 12;  // 9 points
// The end of a note is a year before 9999, which stands for no end.
const QDate kLatestEnd(NoEndYear - 1, 12, 31);

QDate ToQDate(int32_t dayNumber) {
    const TYmd d = DecodeDate(dayNumber);
    return QDate(d.Year, d.Month, d.Day);
}

int32_t ToDayNumber(const QDate& date) {
    return EncodeDate(date.year(), date.month(), date.day());
}

template <typename W>
W* Placed(W* widget, QWidget* parent, const char* name, const QRect& geometry) {
    widget->setParent(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

void Caption(QWidget* parent, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
}

// A date picker with Japanese dates and a calendar that drops down.
QDateEdit* DatePicker(QWidget* parent, const char* name, const QRect& geometry) {
    auto* edit = Placed(new QDateEdit, parent, name, geometry);
    edit->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    edit->setDisplayFormat(u"yyyy年M月d日"_qs);
    edit->setCalendarPopup(true);
    edit->setDateRange(QDate(kEarliestShownYear, 1, 1), QDate(NoEndYear, 12, 31));
    return edit;
}

TSelectGrid* SelectGrid(QWidget* parent, const char* name, const QStringList& items,
                        const QRect& geometry) {
    auto* grid = Placed(new TSelectGrid, parent, name, geometry);
    grid->SetArrangeStyle(asHorizontal);
    grid->SetReversebit(true);
    grid->SetItems(items);
    grid->setGeometry(geometry);
    return grid;
}

TValueSpin* Spin(QWidget* parent, const char* name, int min, int max, int value,
                 const QRect& geometry) {
    auto* spin = Placed(new TValueSpin, parent, name, geometry);
    spin->SetMin(min);
    spin->SetMax(max);
    spin->SetValue(value);
    return spin;
}

}  // namespace

TTodoMemo::TTodoMemo(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TodoMemo"));
    setFont(DesignFont(kPGothicFace, kDesignFontPixels));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

    Caption(this, u"タイトル"_qs, {8, 10, 54, 14});
    Content = Placed(new QLineEdit, this, "Content", {64, 6, 344, 21});
    Caption(this, u"日付"_qs, {8, 36, 54, 14});
    MemDate = DatePicker(this, "MemDate", {64, 32, 130, 21});
    FinalYear = Placed(new QCheckBox, this, "FinalYear", {204, 34, 56, 17});
    FinalDate = DatePicker(this, "FinalDate", {264, 32, 144, 21});
    FinalDate->setMaximumDate(kLatestEnd);
    ListCheck =
        Placed(new QCheckBox(u"月一覧に表示しない"_qs), this, "ListCheck", {64, 60, 200, 17});
    // In the place of ListCheck, which only a birthday shows.
    auto* yearly = Placed(new QWidget, this, "YearlyBox", {64, 58, 200, 24});
    EveryYearItem = Placed(new QRadioButton(u"毎年"_qs), yearly, "EveryYearItem", {0, 2, 56, 20});
    OnceItem = Placed(new QRadioButton(u"一度だけ"_qs), yearly, "OnceItem", {60, 2, 90, 20});
    EveryYearItem->setChecked(true);
    RepeatBtn = Placed(new QPushButton(u"繰返し指定"_qs), this, "RepeatBtn", {308, 58, 100, 24});
    RepeatBtn->setCheckable(true);
    // Return confirms the dialog even while the toggle has the focus.
    RepeatBtn->setAutoDefault(false);
    BuildGroup();

    ButtonPanel =
        Placed(new QWidget, this, "ButtonPanel", {0, 0, kDialogWidth, kButtonPanelHeight});
    OKBtn = Placed(new QPushButton(u"OK"_qs), ButtonPanel, "OKBtn", {236, 12, 80, 25});
    OKBtn->setDefault(true);
    CancelBtn =
        Placed(new QPushButton(u"キャンセル"_qs), ButtonPanel, "CancelBtn", {324, 12, 80, 25});

    connect(MemDate, &QDateEdit::dateChanged, this, &TTodoMemo::MemDateChange);
    connect(FinalYear, &QCheckBox::toggled, this, &TTodoMemo::FinalYearClick);
    connect(PeriodCheck, &QCheckBox::toggled, this, &TTodoMemo::PeriodCheckClick);
    connect(RepeatBtn, &QPushButton::toggled, this, &TTodoMemo::RepeatBtnClick);
    connect(OnceItem, &QRadioButton::toggled, this, &TTodoMemo::YearlyClick);
    for (QRadioButton* item : {EveryMonth, ChosenMonth})
        connect(item, &QRadioButton::toggled, this, &TTodoMemo::RepMonthClick);
    for (QRadioButton* item : {DayItem, MonthEndItem, WeekItem})
        connect(item, &QRadioButton::toggled, this, &TTodoMemo::RepDateClick);
    connect(OKBtn, &QPushButton::clicked, this, &TTodoMemo::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    LoadNote(nullptr, true);
}

void TTodoMemo::BuildGroup() {
    GroupBox1 =
        Placed(new QGroupBox(u"繰返しパターンの指定"_qs), this, "GroupBox1", {8, 84, 404, 172});
    RepMonth = Placed(new QGroupBox(u"月"_qs), GroupBox1, "RepMonth", {8, 16, 388, 50});
    EveryMonth = Placed(new QRadioButton(u"毎月"_qs), RepMonth, "EveryMonth", {8, 20, 52, 20});
    ChosenMonth = Placed(new QRadioButton(u"指定月"_qs), RepMonth, "ChosenMonth", {62, 20, 60, 20});
    MonthSelect = SelectGrid(RepMonth, "MonthSelect",
                             {u"１"_qs, u"２"_qs, u"３"_qs, u"４"_qs, u"５"_qs, u"６"_qs, u"７"_qs,
                              u"８"_qs, u"９"_qs, u"10"_qs, u"11"_qs, u"12"_qs},
                             {124, 18, 256, 23});

    RepDate = Placed(new QGroupBox(u"日"_qs), GroupBox1, "RepDate", {8, 70, 388, 96});
    DayItem = Placed(new QRadioButton, RepDate, "DayItem", {8, 18, 60, 22});
    PeriodCheck = Placed(new QCheckBox(u"期間指定"_qs), RepDate, "PeriodCheck", {72, 20, 76, 18});
    DateUntil = Spin(RepDate, "DateUntil", 0, 100, 1, {150, 18, 48, 21});
    Caption(RepDate, u"日まで"_qs, {202, 21, 40, 14});
    MonthEndItem = Placed(new QRadioButton(u"月末"_qs), RepDate, "MonthEndItem", {8, 42, 60, 22});
    WeekItem = Placed(new QRadioButton(u"週＋曜日"_qs), RepDate, "WeekItem", {8, 66, 84, 22});
    WeekSelect = SelectGrid(RepDate, "WeekSelect", {u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs, u"5"_qs},
                            {94, 66, 100, 22});
    Caption(RepDate, u"週"_qs, {197, 70, 14, 14});
    DaySelect = SelectGrid(RepDate, "DaySelect",
                           {u"日"_qs, u"月"_qs, u"火"_qs, u"水"_qs, u"木"_qs, u"金"_qs, u"土"_qs},
                           {214, 66, 140, 22});
    Caption(RepDate, u"曜日"_qs, {357, 70, 26, 14});
    EveryMonth->setChecked(true);
    DayItem->setChecked(true);
}

int TTodoMemo::ExecuteNote(const TNoteRec* note, bool isReminder) {
    LoadNote(note, isReminder);
    return exec();
}

void TTodoMemo::LoadNote(const TNoteRec* note, bool isReminder) {
    isReminder_ = isReminder;
    original_ = note ? *note : DefaultNote(Today());
    note_ = original_;
    ShowForm(NoteToForm(original_, isReminder, Today()));
    loaded_ = ReadForm();
    Content->setFocus();
}

void TTodoMemo::ShowForm(const TNoteForm& form) {
    Content->setText(FromCp932(form.Title));
    MemDate->setDate(QDate(form.Date.Year, form.Date.Month, form.Date.Day));
    FinalYear->setChecked(form.HasEnd);
    FinalYear->setText(isReminder_ ? u"終了"_qs : u"逝去"_qs);
    FinalDate->setDate(ToQDate(form.EndDay));
    ListCheck->setVisible(!isReminder_);
    ListCheck->setChecked(form.Hidden);
    EveryYearItem->parentWidget()->setVisible(isReminder_);
    (form.Once ? OnceItem : EveryYearItem)->setChecked(true);
    RepeatBtn->setVisible(isReminder_);
    RepeatBtn->setChecked(form.Repeat);
    (form.ChosenMonths ? ChosenMonth : EveryMonth)->setChecked(true);
    MemDateChange();
    PeriodCheck->setChecked(form.Period);
    switch (form.DayChoice) {
        case TDayChoice::Day:
            DayItem->setChecked(true);
            break;
        case TDayChoice::MonthEnd:
            MonthEndItem->setChecked(true);
            break;
        case TDayChoice::Week:
            WeekItem->setChecked(true);
            break;
    }
    DateUntil->SetValue(form.PeriodLast);
    RepeatBtnClick();
    FinalYearClick();
    // The grids clear themselves while disabled: their bits go in once they are enabled.
    MonthSelect->SetSelectedBits(form.MonthBits);
    WeekSelect->SetSelectedBits(form.WeekBits);
    DaySelect->SetSelectedBits(form.WeekdayBits);
}

TNoteForm TTodoMemo::ReadForm() const {
    TNoteForm form;
    form.Title = ToCp932(Content->text(), original_.Title);
    const QDate date = MemDate->date();
    form.Date = {date.year(), date.month(), date.day()};
    form.Once = isReminder_ && !RepeatBtn->isChecked() && OnceItem->isChecked();
    form.HasEnd = FinalYear->isChecked() && !form.Once;
    form.EndDay = ToDayNumber(FinalDate->date());
    form.Hidden = !isReminder_ && ListCheck->isChecked();
    form.Repeat = isReminder_ && RepeatBtn->isChecked();
    form.ChosenMonths = ChosenMonth->isChecked();
    form.MonthBits = static_cast<uint16_t>(MonthSelect->SelectedBits() & 0x0FFF);
    form.DayChoice = MonthEndItem->isChecked() ? TDayChoice::MonthEnd
                     : WeekItem->isChecked()   ? TDayChoice::Week
                                               : TDayChoice::Day;
    form.Period = PeriodCheck->isChecked();
    form.PeriodLast = DateUntil->Value();
    form.WeekBits = static_cast<uint8_t>(WeekSelect->SelectedBits() & 0x1F);
    form.WeekdayBits = static_cast<uint8_t>(DaySelect->SelectedBits() & 0x7F);
    return form;
}

void TTodoMemo::MemDateChange() {
    const QDate date = MemDate->date();
    DayItem->setText(QStringLiteral("%1日").arg(date.day()));
    DateUntil->SetMax(date.daysInMonth());
    DateUntil->SetMin(date.day());
    DateUntil->SetValue(date.day());
    DateUntil->setEnabled(PeriodCheck->isChecked());
}

void TTodoMemo::FinalYearClick() {
    FinalDate->setEnabled(FinalYear->isChecked() && FinalYear->isEnabled());
}

void TTodoMemo::YearlyClick() {
    // A reminder once only ends with its own date.
    FinalYear->setEnabled(!(isReminder_ && !RepeatBtn->isChecked() && OnceItem->isChecked()));
    FinalYearClick();
}

void TTodoMemo::PeriodCheckClick() {
    DateUntil->setEnabled(PeriodCheck->isChecked());
}

void TTodoMemo::RepeatBtnClick() {
    const bool down = RepeatBtn->isChecked() && isReminder_;
    GroupBox1->setVisible(down);
    int height = ListCheck->geometry().bottom() + 1 + 2;
    if (isReminder_) {
        height = RepeatBtn->geometry().bottom() + 1 + 2;
        if (down)
            height += GroupBox1->height();
    }
    ButtonPanel->move(0, height);
    setFixedSize(kDialogWidth, height + ButtonPanel->height());
    // With a repeat rule the note comes back by that rule, not once a year.
    EveryYearItem->parentWidget()->setEnabled(!down);
    YearlyClick();
    RepMonth->setEnabled(down);
    RepMonthClick();
    RepDate->setEnabled(down);
    RepDateClick();
}

void TTodoMemo::RepMonthClick() {
    MonthSelect->setEnabled(ChosenMonth->isChecked() && RepMonth->isEnabled());
}

void TTodoMemo::RepDateClick() {
    const bool enabled = RepDate->isEnabled();
    WeekSelect->setEnabled(enabled && WeekItem->isChecked());
    DaySelect->setEnabled(enabled && WeekItem->isChecked());
    const bool periodAllowed = enabled && DayItem->isChecked();
    PeriodCheck->setEnabled(periodAllowed);
    if (!periodAllowed)
        PeriodCheck->setChecked(false);
    DateUntil->setEnabled(PeriodCheck->isChecked());
}

void TTodoMemo::OKBtnClick() {
    note_ = FormToNote(original_, loaded_, ReadForm(), isReminder_);
    accept();
}
