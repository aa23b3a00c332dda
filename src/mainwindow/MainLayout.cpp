#include "mainwindow/MainLayout.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "controls/SpinBtns.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/SplitterShare.h"
#include "mainwindow/daypage/BodyEdit.h"
#include "mainwindow/daypage/DayPage.h"
#include "mainwindow/formatting/Formatting.h"
#include "settings/IniFile.h"
#include "widgets/BandBox.h"
#include "widgets/BevLabel.h"
#include "widgets/ControlColors.h"
#include "widgets/Named.h"
#include "widgets/ToolIcons.h"

namespace {

// Design sizes in pixels.
constexpr int kWindowWidth = 780;
constexpr int kWindowHeight = 580;
constexpr int kPanel2Width = 236;
constexpr int kDiaryHeight = 135;
constexpr int kDiaryMemoHeight = 195;
constexpr int kLabel1Width = 125;
constexpr int kDiaryListHeight = 150;
constexpr int kNewsMemoHeight = 70;
// Parts of the window's growth that go to the left column, the grid and the diary body.
constexpr double kPanel2Share = 0.3;
constexpr double kDiaryShare = 0.6;
constexpr double kDiaryMemoShare = 0.5;

// Design colours ($00BBGGRR).
constexpr TColor kListBoxColor = 0x0066EE99;
constexpr TColor kDateBarColor = 0x00EEFFEE;
constexpr TColor kDiaryMemoColor = 0x00EEFFFF;
constexpr TColor kCommentColor = 0x00FFEEFF;
constexpr TColor kNewsMemoColor = 0x00FFCCFF;
constexpr TColor kPrivMemoColor = 0x00FFEEEE;

// A first start takes these parts of the screen's free area, up to a size past which a diary
// window gains nothing.
constexpr double kFirstStartWidthPart = 0.65;
constexpr double kFirstStartHeightPart = 0.8;
constexpr int kFirstStartMaxWidth = 1400;
constexpr int kFirstStartMaxHeight = 1000;

QToolButton* TagButton(const char* name, const QString& caption, int tag, TToolIcon icon) {
    auto* button = Named(new QToolButton, name);
    button->setText(caption);
    button->setToolTip(caption);
    button->setIcon(ToolIcon(icon));
    button->setProperty("tag", tag);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

QSize FirstStartWindowSize(const QSize& area) {
    const auto part = [](int extent, double share, int design, int most) {
        return std::clamp(static_cast<int>(extent * share), design, std::max(design, most));
    };
    return QSize(part(area.width(), kFirstStartWidthPart, kWindowWidth, kFirstStartMaxWidth),
                 part(area.height(), kFirstStartHeightPart, kWindowHeight, kFirstStartMaxHeight))
        .boundedTo(area);
}

TMainLayout::TMainLayout(QMainWindow* window, QWidget* diary, const TMainActions& actions)
    : Window(window), Diary1(diary) {
    window->setFont(DesignFont(kPGothicFace, 12));
    window->resize(kWindowWidth, kWindowHeight);

    BuildMenuBar(actions);
    BuildLeftColumn();
    BuildPage(actions);

    Splitter3 = Named(new QSplitter(Qt::Horizontal), "Splitter3");
    Splitter3->setChildrenCollapsible(false);
    Splitter3->addWidget(Panel2);
    Splitter3->addWidget(Panel1);
    Splitter3->setStretchFactor(0, 0);
    Splitter3->setStretchFactor(1, 1);
    Splitter3->setSizes({kPanel2Width, kWindowWidth - kPanel2Width});
    window->setCentralWidget(Splitter3);

    const QSize design(kWindowWidth, kWindowHeight);
    panel2Share_ = new TSplitterShare(Splitter3, kPanel2Share, kPanel2Width, design);
    diaryShare_ = new TSplitterShare(Splitter2, kDiaryShare, kDiaryHeight, design);
    diaryMemoShare_ = new TSplitterShare(Splitter1, kDiaryMemoShare, kDiaryMemoHeight, design);

    StatusBar1 = Named(new QStatusBar, "StatusBar1");
    StatusBar1->setSizeGripEnabled(true);
    window->setStatusBar(StatusBar1);

    colors_ = {kListBoxColor, clWindow,       kDateBarColor, kDiaryMemoColor,
               kCommentColor, kNewsMemoColor, kPrivMemoColor};
    SetColors(colors_);
}

void TMainLayout::BuildMenuBar(const TMainActions& actions) {
    CoolBar1 = Named(new QToolBar, "CoolBar1");
    CoolBar1->setMovable(false);
    CoolBar1->setFloatable(false);
    CoolBar1->setIconSize(kToolIconSize);
    CoolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    ExitBtn = Named(new QToolButton, "ExitBtn");
    ExitBtn->setDefaultAction(actions.ExitAction);
    ExitBtn->setAutoRaise(true);
    ExitBtn->setToolButtonStyle(Qt::ToolButtonIconOnly);
    CoolBar1->addWidget(ExitBtn);
    PrintBtn = Named(new QToolButton, "PrintBtn");
    PrintBtn->setDefaultAction(actions.PrintToday);
    PrintBtn->setAutoRaise(true);
    CoolBar1->addWidget(PrintBtn);

    MenuBar = Named(new QMenuBar, "MenuBar");
    MenuBar->setNativeMenuBar(false);
    MenuBar->addMenu(actions.PrintMenu);
    MenuBar->addMenu(actions.EditMenu);
    MenuBar->addMenu(actions.ToolMenu);
    MenuBar->addMenu(actions.HelpMenu);
    CoolBar1->addWidget(MenuBar);
    Window->addToolBar(Qt::TopToolBarArea, CoolBar1);
}

void TMainLayout::BuildLeftColumn() {
    Panel2 = Named(new QWidget, "Panel2");
    auto* column = new QVBoxLayout(Panel2);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    ToolBar4 = Named(new QToolBar, "ToolBar4");
    ToolBar4->setIconSize(kToolIconSize);
    ToolButton12 = TagButton("ToolButton12", u"前年"_qs, 1, TToolIcon::PrevYear);
    ToolButton10 = TagButton("ToolButton10", u"前月"_qs, 10, TToolIcon::PrevMonth);
    TodayBtn = Named(new QToolButton, "TodayBtn");
    TodayBtn->setText(u"今日の日付"_qs);
    TodayBtn->setToolTip(u"今日の日付"_qs);
    TodayBtn->setAutoRaise(true);
    TodayBtn->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    TodayBtn->setContextMenuPolicy(Qt::CustomContextMenu);
    ToolButton11 = TagButton("ToolButton11", u"次月"_qs, 12, TToolIcon::NextMonth);
    ToolButton13 = TagButton("ToolButton13", u"次年"_qs, 21, TToolIcon::NextYear);
    for (QToolButton* b : {ToolButton12, ToolButton10, TodayBtn, ToolButton11, ToolButton13})
        ToolBar4->addWidget(b);
    for (QToolButton* b : {ToolButton12, ToolButton10, ToolButton11, ToolButton13})
        connect(b, &QToolButton::clicked, this,
                [this, b] { Q_EMIT PageStep(b->property("tag").toInt()); });
    connect(TodayBtn, &QToolButton::clicked, this, &TMainLayout::TodayClicked);
    for (QWidget* source : {static_cast<QWidget*>(TodayBtn), Diary1})
        connect(source, &QWidget::customContextMenuRequested, this,
                [this, source](const QPoint& pos) {
                    Q_EMIT MonthMenuRequested(source->mapToGlobal(pos));
                });
    column->addWidget(ToolBar4);

    MonthList = Named(new QMenu(Window), "MonthList");

    Diary1->setObjectName(QStringLiteral("Diary1"));
    Diary1->setContextMenuPolicy(Qt::CustomContextMenu);

    CoolBar3 = Named(new TBandBox, "CoolBar3");

    Splitter2 = Named(new QSplitter(Qt::Vertical), "Splitter2");
    Splitter2->setChildrenCollapsible(false);
    Splitter2->addWidget(Diary1);
    Splitter2->addWidget(CoolBar3);
    Splitter2->setStretchFactor(0, 0);
    Splitter2->setStretchFactor(1, 1);
    Splitter2->setSizes({kDiaryHeight, kWindowHeight - kDiaryHeight});
    column->addWidget(Splitter2, 1);
}

void TMainLayout::BuildPage(const TMainActions& actions) {
    Panel1 = Named(new QWidget, "Panel1");
    auto* page = new QVBoxLayout(Panel1);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    StandardToolBar = Named(new QToolBar, "StandardToolBar");
    StandardToolBar->setIconSize(kToolIconSize);
    StandardToolBar->addActions({actions.SaveNowAction, actions.UndoAction, actions.DeleteAction});
    StandardToolBar->addSeparator();
    StandardToolBar->addActions({actions.CutAction, actions.CopyAction, actions.PasteAction});
    StandardToolBar->addSeparator();
    StandardToolBar->addActions(
        {actions.BoldAction, actions.ItalicAction, actions.UnderAction, actions.ColorAction});
    StandardToolBar->addSeparator();
    StandardToolBar->addActions({actions.LeftAction, actions.CenterAction, actions.RightAction});
    StandardToolBar->addSeparator();
    FontName = Named(new QComboBox, "FontName");
    FontName->setMaxVisibleItems(10);
    FontName->setMinimumContentsLength(7);
    FontName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    StandardToolBar->addWidget(FontName);
    FontSize = Named(new TValueSpin, "FontSize");
    FontSize->SetMin(0);
    FontSize->SetMax(100);
    FontSize->SetIncrement(1);
    FontSize->setFixedWidth(40);
    StandardToolBar->addWidget(FontSize);
    page->addWidget(StandardToolBar);

    DateBar = Named(new QWidget, "DateBar");
    auto* dateLayout = new QHBoxLayout(DateBar);
    dateLayout->setContentsMargins(2, 2, 2, 2);
    dateLayout->setSpacing(4);
    WeatherBtn = Named(new QToolButton, "WeatherBtn");
    WeatherBtn->setPopupMode(QToolButton::InstantPopup);
    WeatherBtn->setIconSize(kToolIconSize);
    WeatherBtn->setAutoRaise(true);
    DateDisp = Named(new TBevelLabel, "DateDisp");
    DateDisp->setFont(DesignFont(kPGothicFace, 19, true));
    DateDisp->SetBevelInner(bvNone);
    DateDisp->SetLayout(tlCenter);
    DateDisp->SetTextOffset(4);
    DateDisp->setMinimumHeight(26);
    DateDisp->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    Label1 = Named(new QLabel, "Label1");
    // At least its design width, wider when the old date and the rokuyo need it.
    Label1->setMinimumWidth(kLabel1Width);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    dateLayout->addWidget(WeatherBtn);
    dateLayout->addWidget(DateDisp, 1);
    dateLayout->addWidget(Label1);
    page->addWidget(DateBar);

    TrackBar1 = Named(new QSlider(Qt::Horizontal), "TrackBar1");
    TrackBar1->setRange(0, 100);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setFocusPolicy(Qt::NoFocus);
    page->addWidget(TrackBar1);

    DiaryMemo = Named(new TBodyEdit, "DiaryMemo");
    DiaryMemo->setAcceptRichText(true);
    // The body's default face is written into its rich text by name, so it keeps the Windows
    // face name that other writers of these files know; it is drawn through the substitution.
    QFont bodyFont(kPGothicFace);
    bodyFont.setPixelSize(16);
    DiaryMemo->setFont(bodyFont);
    DiaryMemo->setContextMenuPolicy(Qt::CustomContextMenu);

    ToolBar3 = Named(new QWidget, "ToolBar3");
    auto* titleLayout = new QHBoxLayout(ToolBar3);
    titleLayout->setContentsMargins(2, 2, 2, 2);
    DateLabel = Named(new QLabel(u"今日のひと言："_qs), "DateLabel");
    DateLabel->setFont(DesignFont(kPGothicFace, 12, true));
    Comment = Named(new QLineEdit, "Comment");
    Comment->setFont(DesignFont(kPGothicFace, 13));
    titleLayout->addWidget(DateLabel);
    titleLayout->addWidget(Comment, 1);

    NewsMemo = Named(new QPlainTextEdit, "NewsMemo");
    NewsMemo->setFont(DesignFont(kPGothicFace, 13));
    PrivMemo = Named(new QPlainTextEdit, "PrivMemo");
    PrivMemo->setFont(DesignFont(kPGothicFace, 13));
    // Saved pane sizes win over the editors' own wishes.
    for (QWidget* editor : {static_cast<QWidget*>(NewsMemo), static_cast<QWidget*>(PrivMemo),
                            static_cast<QWidget*>(DiaryMemo)})
        editor->setMinimumHeight(24);
    CoolBar2 = Named(new TBandBox, "CoolBar2");
    CoolBar2->AddBand(u"今日の出来事"_qs, NewsMemo);
    CoolBar2->AddBand(u"私的メモ　または　内緒日記"_qs, PrivMemo);
    CoolBar2->setSizes({kNewsMemoHeight, kNewsMemoHeight});

    auto* lower = Named(new QWidget, "PageLower");
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);
    lowerLayout->addWidget(ToolBar3);
    lowerLayout->addWidget(CoolBar2, 1);

    Splitter1 = Named(new QSplitter(Qt::Vertical), "Splitter1");
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(DiaryMemo);
    Splitter1->addWidget(lower);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kDiaryMemoHeight, kWindowHeight - kDiaryMemoHeight});
    page->addWidget(Splitter1, 1);
}

void TMainLayout::InsertMenu(QMenu* menu, QAction* before) {
    MenuBar->insertMenu(before, menu);
}

void TMainLayout::PopupMonthList(const QPoint& global) {
    MonthList->popup(global);
}

void TMainLayout::PlaceLeftBands(QWidget* dayLists, QWidget* reminders) {
    CoolBar3->AddBand(u"日記一覧"_qs, dayLists);
    CoolBar3->AddBand(QString(), reminders);
    CoolBar3->setSizes({kDiaryListHeight, kDiaryListHeight});
}

std::array<int, 7> TMainLayout::SplitInfo() const {
    return {Splitter3->sizes().value(0), Splitter2->sizes().value(0), Splitter1->sizes().value(0),
            CoolBar3->ContentTop(0),     CoolBar3->ContentTop(1),     CoolBar2->ContentTop(1),
            CoolBar2->ContentTop(0)};
}

void TMainLayout::ApplySplitInfo(const std::function<int(int current)>& next) {
    // A saved size stands as it is; a missing one leaves the pane to take its share of the
    // window's growth from the design size.
    auto setFirst = [&next](QSplitter* splitter, TSplitterShare* share) {
        const int first = next(-1);
        if (first < 0)
            return;
        share->Keep();
        const QList<int> sizes = splitter->sizes();
        if (first == sizes.value(0))
            return;
        const int total = sizes.value(0) + sizes.value(1);
        splitter->setSizes({first, std::max(total - first, 1)});
    };
    setFirst(Splitter3, panel2Share_);
    setFirst(Splitter2, diaryShare_);
    setFirst(Splitter1, diaryMemoShare_);
    const std::array<int, 7> current = SplitInfo();
    // The list's own top follows from its band caption; it is read for the record's order.
    next(current[3]);
    const int reminderTop = next(current[4]);
    const int privTop = next(current[5]);
    next(current[6]);
    CoolBar3->SetSecondContentTop(reminderTop);
    CoolBar2->SetSecondContentTop(privTop);
}

std::array<TColor, 7> TMainLayout::ColorInfo() const {
    return colors_;
}

void TMainLayout::ApplyColorInfo(const std::function<int(int current)>& next) {
    std::array<TColor, 7> colors = colors_;
    for (TColor& c : colors)
        c = static_cast<TColor>(next(static_cast<int>(c)));
    SetColors(colors);
}

void TMainLayout::SetColors(const std::array<TColor, 7>& colors) {
    colors_ = colors;
    SetControlColor(DateBar, colors[2]);
    DateDisp->SetColor(colors[2]);
    SetControlColor(DiaryMemo, colors[3]);
    SetControlColor(Comment, colors[4]);
    SetControlColor(NewsMemo, colors[5]);
    SetControlColor(PrivMemo, colors[6]);
    Q_EMIT ColorsChanged(colors);
}

TDayPageWidgets TMainLayout::DayPageRegion() const {
    return {Window,    TodayBtn, CoolBar3, MonthList, WeatherBtn, DateDisp, Label1,
            DiaryMemo, Comment,  NewsMemo, PrivMemo,  DateLabel,  CoolBar2};
}

TFormattingWidgets TMainLayout::FormattingRegion() const {
    return {Window, StandardToolBar, FontName, FontSize, TrackBar1,
            Panel1, DiaryMemo,       NewsMemo, PrivMemo, Comment};
}
