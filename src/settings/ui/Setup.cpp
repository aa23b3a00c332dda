#include "settings/ui/Setup.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "bridge/Colors.h"
#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "controls/Diary.h"
#include "storage/DayNumber.h"
#include "widgets/BevLabel.h"
#include "widgets/BtnLabel.h"
#include "widgets/BtnList.h"
#include "widgets/Named.h"

namespace {

constexpr int kClientWidth = 412;
constexpr int kClientHeight = 295;
constexpr int kDesignFontPixels = 12;  // 9 points
constexpr int kSwatchWidth = 80;
constexpr int kSwatchHeight = 21;
constexpr int kColorListHeight = 22;
constexpr int kSampleHeight = 30;
constexpr int kPreviewWidth = 230;
constexpr int kPreviewHeight = 150;

// Entries of the colour list: the seven weekdays (ids 0..6), then these.
constexpr int kWeekdaysId = 7;
constexpr int kHolidayId = 8;
constexpr int kTodayId = 9;
constexpr int kMarkId = 10;
constexpr int kMonday = 2;
constexpr int kFriday = 6;

// Marks of the preview's sample days and how far apart those days are.
constexpr uint8_t kPreviewMarkBits = 7;
constexpr int kPreviewMarkEvery = 6;

QCheckBox* Check(const char* name, const QString& caption) {
    return Named(new QCheckBox(caption), name);
}

TColorButton* Swatch(const char* name, const QString& caption) {
    auto* swatch = Named(new TColorButton, name);
    swatch->SetCaption(caption);
    swatch->setFixedSize(kSwatchWidth, kSwatchHeight);
    return swatch;
}

}  // namespace

uint8_t PreviewMarks(double date) {
    const TYmd ymd = DecodeDate(static_cast<int32_t>(std::floor(date)));
    return ymd.Day % kPreviewMarkEvery == 1 ? kPreviewMarkBits : 0;
}

TSetupForm::TSetupForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SetupForm"));
    setWindowTitle(u"オプション"_qs);
    setFont(DesignFont(kPGothicFace, kDesignFontPixels));

    ChooseColor = [](const QColor& initial, QWidget* owner) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, owner);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    };
    ChooseFont = [](const QFont& initial, QWidget* owner) -> std::optional<QFont> {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, initial, owner);
        if (!ok)
            return std::nullopt;
        return chosen;
    };

    PageControl1 = Named(new QTabWidget, "PageControl1");
    PageControl1->addTab(BuildGeneralPage(), u"全般"_qs);
    PageControl1->addTab(BuildColorPage(), u"色設定"_qs);
    PageControl1->addTab(BuildFontPage(), u"フォント・タイトル"_qs);
    PageControl1->setCurrentIndex(0);

    OKButton = Named(new QPushButton(u"OK"_qs), "OKButton");
    OKButton->setDefault(true);
    BitBtn2 = Named(new QPushButton(u"キャンセル"_qs), "BitBtn2");
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(kClientWidth, kClientHeight)));
}

QWidget* TSetupForm::BuildGeneralPage() {
    auto* page = Named(new QWidget, "TabGeneral");
    WeatherMark = Check("WeatherMark", u"お天気マーク"_qs);
    ListKind = Check("ListKind", u"当月分だけ"_qs);
    DeathCheck = Check("DeathCheck", u"命日表示はしない"_qs);
    KazoeCheck = Check("KazoeCheck", u"数え年も表示"_qs);
    CelebrationAge = Named(new QComboBox, "CelebrationAge");
    CelebrationAge->addItems({u"満年齢"_qs, u"数え年"_qs});
    WeatherIcon = Check("WeatherIcon", u"お天気マーク"_qs);
    RokuyoCheck = Check("RokuyoCheck", u"六曜表示"_qs);
    SeasonGridCheck = Check("SeasonGridCheck", u"二十四節気・雑節"_qs);
    EraDateCheck = Check("EraDateCheck", u"和暦と年の干支"_qs);
    SeasonCheck = Check("SeasonCheck", u"二十四節気・雑節"_qs);
    DayEtoCheck = Check("DayEtoCheck", u"日の干支"_qs);
    EraYearCheck = Check("EraYearCheck", u"年の見出しを和暦で"_qs);
    StWeek = Named(new QComboBox, "StWeek");
    StWeek->addItems(
        {u"日曜"_qs, u"月曜"_qs, u"火曜"_qs, u"水曜"_qs, u"木曜"_qs, u"金曜"_qs, u"土曜"_qs});
    connect(StWeek, &QComboBox::currentIndexChanged, this, &TSetupForm::StWeekChange);

    auto* diaryGroup = Named(new QGroupBox(u"日記一覧"_qs), "GroupBox1");
    auto* diaryLayout = new QVBoxLayout(diaryGroup);
    diaryLayout->addWidget(WeatherMark);
    diaryLayout->addWidget(ListKind);
    auto* noteGroup = Named(new QGroupBox(u"備忘録一覧"_qs), "GroupBox2");
    auto* noteLayout = new QVBoxLayout(noteGroup);
    noteLayout->addWidget(DeathCheck);
    noteLayout->addWidget(KazoeCheck);
    auto* celebrationLabel = new QLabel(u"長寿祝い・享年"_qs);
    celebrationLabel->setBuddy(CelebrationAge);
    auto* celebrationRow = new QHBoxLayout;
    celebrationRow->addWidget(celebrationLabel);
    celebrationRow->addWidget(CelebrationAge);
    noteLayout->addLayout(celebrationRow);
    noteLayout->addStretch(1);
    auto* calendarGroup = Named(new QGroupBox(u"カレンダー"_qs), "GroupBox3");
    auto* calendarLayout = new QGridLayout(calendarGroup);
    calendarLayout->addWidget(WeatherIcon, 0, 0, 1, 2);
    calendarLayout->addWidget(RokuyoCheck, 1, 0, 1, 2);
    calendarLayout->addWidget(SeasonGridCheck, 2, 0, 1, 2);
    auto* weekLabel = new QLabel(u"先頭の曜日"_qs);
    weekLabel->setBuddy(StWeek);
    calendarLayout->addWidget(weekLabel, 3, 0);
    calendarLayout->addWidget(StWeek, 3, 1);
    calendarLayout->setColumnStretch(2, 1);

    auto* layout = new QGridLayout(page);
    layout->addWidget(diaryGroup, 0, 0);
    layout->addWidget(noteGroup, 0, 1);
    layout->addWidget(calendarGroup, 1, 0, 1, 2);
    auto* almanacGroup = Named(new QGroupBox(u"日付欄の暦"_qs), "GroupBox4");
    auto* almanacLayout = new QGridLayout(almanacGroup);
    almanacLayout->addWidget(EraDateCheck, 0, 0);
    almanacLayout->addWidget(SeasonCheck, 0, 1);
    almanacLayout->addWidget(DayEtoCheck, 1, 0);
    almanacLayout->addWidget(EraYearCheck, 1, 1);
    layout->addWidget(almanacGroup, 2, 0, 1, 2);
    layout->setRowStretch(3, 1);
    return page;
}

QWidget* TSetupForm::BuildColorPage() {
    auto* page = Named(new QWidget, "TabColor");
    ButtonList1 = Named(new TButtonList, "ButtonList1");
    ButtonList1->SetButtonAlign(baHorizontal);
    ButtonList1->SetStyle(tbsButton);
    ButtonList1->SetItems({u"日"_qs, u"月"_qs, u"火"_qs, u"水"_qs, u"木"_qs, u"金"_qs, u"土"_qs,
                           u"平日"_qs, u"休日"_qs, u"今日"_qs, u"ﾏｰｸ"_qs});
    ButtonList1->setFixedHeight(kColorListHeight);
    connect(ButtonList1, &TButtonList::OnClickButton, this, &TSetupForm::ButtonList1ClickButton);

    Diary1 = Named(new TDiary, "Diary1");
    Diary1->SetAutoChange(false);
    Diary1->setFixedSize(kPreviewWidth, kPreviewHeight);
    Diary1->OnEventDefine = [](TDiary*, double date) { return PreviewMarks(date); };

    DayTitle = Swatch("DayTitle", u"日付タイトル"_qs);
    Diary = Swatch("Diary", u"日記"_qs);
    Edit = Swatch("Edit", u"ひと言"_qs);
    News = Swatch("News", u"出来事"_qs);
    Memo = Swatch("Memo", u"私的メモ"_qs);
    DiaryList = Swatch("DiaryList", u"日記一覧"_qs);
    EventList = Swatch("EventList", u"イベント一覧"_qs);
    auto* swatches = new QVBoxLayout;
    for (TColorButton* swatch : {DayTitle, Diary, Edit, News, Memo, DiaryList, EventList}) {
        connect(swatch, &TColorButton::OnClick, this, [this, swatch] { DiaryListClick(swatch); });
        swatches->addWidget(swatch);
    }
    swatches->addStretch(1);

    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(u"カレンダー表示色"_qs), 0, 0, 1, 2);
    layout->addWidget(ButtonList1, 1, 0);
    layout->addWidget(Diary1, 2, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addLayout(swatches, 1, 1, 3, 1);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(3, 1);
    return page;
}

QWidget* TSetupForm::BuildFontPage() {
    auto* page = Named(new QWidget, "TabFont");
    auto* fontGroup = Named(new QGroupBox(u"フォント"_qs), "GroupBox4");
    auto* fontLayout = new QGridLayout(fontGroup);
    const std::array<std::pair<const char*, QString>, 3> buttons = {
        {{"DateFontBtn", u"日付"_qs},
         {"NewsFontBtn", u"出来事メモ"_qs},
         {"MemoFontBtn", u"私的メモ"_qs}}};
    const std::array<const char*, 3> samples = {"DateFont", "NewsFont", "MemoFont"};
    std::array<QPushButton*, 3> fontButtons{};
    std::array<TBevelLabel*, 3> fontSamples{};
    for (int tag = DateTag; tag <= MemoTag; ++tag) {
        auto* button = Named(new QPushButton(buttons[tag].second), buttons[tag].first);
        auto* sample = Named(new TBevelLabel, samples[tag]);
        sample->SetAlignment(taCenter);
        sample->SetLayout(tlCenter);
        sample->SetColor(clWindow);
        sample->setMinimumHeight(kSampleHeight);
        connect(button, &QPushButton::clicked, this, [this, tag] { FontChangeBtn(tag); });
        fontLayout->addWidget(button, tag, 0);
        fontLayout->addWidget(sample, tag, 1);
        fontButtons[tag] = button;
        fontSamples[tag] = sample;
    }
    fontLayout->setColumnStretch(1, 1);
    DateFontBtn = fontButtons[DateTag];
    NewsFontBtn = fontButtons[NewsTag];
    MemoFontBtn = fontButtons[MemoTag];
    DateFont = fontSamples[DateTag];
    NewsFont = fontSamples[NewsTag];
    MemoFont = fontSamples[MemoTag];

    auto* titleGroup = Named(new QGroupBox(u"タイトル・タブ表示"_qs), "GroupBox5");
    auto* titleLayout = new QGridLayout(titleGroup);
    titleLayout->addWidget(new QLabel(u"タブ表示"_qs), 0, 2);
    const std::array<QString, 3> labels = {u"一言メモ"_qs, u"出来事メモ"_qs, u"私的メモ"_qs};
    OneWord = Named(new QLineEdit, "OneWord");
    EventTitle = Named(new QLineEdit, "EventTitle");
    Personal = Named(new QLineEdit, "Personal");
    TabOneword = Named(new QLineEdit, "TabOneword");
    TabEvent = Named(new QLineEdit, "TabEvent");
    TabPersonal = Named(new QLineEdit, "TabPersonal");
    const std::array<QLineEdit*, 3> titles = {OneWord, EventTitle, Personal};
    const std::array<QLineEdit*, 3> tabs = {TabOneword, TabEvent, TabPersonal};
    for (int row = 0; row < 3; ++row) {
        auto* label = new QLabel(labels[row]);
        label->setBuddy(titles[row]);
        titleLayout->addWidget(label, row + 1, 0);
        titleLayout->addWidget(titles[row], row + 1, 1);
        titleLayout->addWidget(tabs[row], row + 1, 2);
    }
    titleLayout->setColumnStretch(1, 2);
    titleLayout->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(fontGroup);
    layout->addWidget(titleGroup);
    layout->addStretch(1);
    return page;
}

TBevelLabel* TSetupForm::Sample(int tag) const {
    switch (tag) {
        case DateTag:
            return DateFont;
        case NewsTag:
            return NewsFont;
        case MemoTag:
            return MemoFont;
        default:
            return nullptr;
    }
}

const TFontDesc& TSetupForm::SampleFont(int tag) const {
    return Sample(tag) ? fonts_[static_cast<size_t>(tag)] : fonts_[DateTag];
}

void TSetupForm::SetSampleFont(int tag, const TFontDesc& font) {
    TBevelLabel* sample = Sample(tag);
    if (!sample)
        return;
    fonts_[static_cast<size_t>(tag)] = font;
    sample->setFont(FontFromDesc(font));
    sample->SetFontColor(font.Color);
    sample->SetCaption(QStringLiteral("%1, %2pt").arg(FromCp932(font.Name)).arg(font.Size));
}

void TSetupForm::StWeekChange(int index) {
    Diary1->SetStartOfWeek(index);
}

void TSetupForm::DiaryListClick(TColorButton* swatch) {
    if (const auto chosen = ChooseColor(ToQColor(swatch->Color()), this))
        swatch->SetColor(FromQColor(*chosen));
}

void TSetupForm::ButtonList1ClickButton(QObject*, int id, bool) {
    if (id < 0 || id > kMarkId)
        return;
    TColor current = 0;
    if (id < kWeekdaysId)
        current = Diary1->WeekColor(id + 1);
    else if (id == kWeekdaysId)
        current = Diary1->WeekColor(kMonday);
    else if (id == kHolidayId)
        current = Diary1->HolidayColor();
    else if (id == kTodayId)
        current = Diary1->TodayColor();
    else
        current = Diary1->EventColor();

    const auto chosen = ChooseColor(ToQColor(current), this);
    if (!chosen)
        return;
    const TColor color = FromQColor(*chosen);
    if (id < kWeekdaysId) {
        Diary1->SetWeekColor(id + 1, color);
    } else if (id == kWeekdaysId) {
        for (int weekday = kMonday; weekday <= kFriday; ++weekday)
            Diary1->SetWeekColor(weekday, color);
    } else if (id == kHolidayId) {
        Diary1->SetHolidayColor(color);
    } else if (id == kTodayId) {
        Diary1->SetTodayColor(color);
    } else {
        Diary1->SetEventColor(color);
    }
    Diary1->update();
}

void TSetupForm::FontChangeBtn(int tag) {
    TBevelLabel* sample = Sample(tag);
    if (!sample)
        return;
    if (const auto chosen = ChooseFont(sample->font(), this))
        SetSampleFont(tag, DescFromFont(*chosen, fonts_[static_cast<size_t>(tag)]));
}
