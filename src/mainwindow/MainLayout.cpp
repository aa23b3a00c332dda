#include "mainwindow/MainLayout.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "bridge/Fonts.h"
#include "controls/Diary.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/SplitterShare.h"
#include "widgets/BandBox.h"
#include "widgets/Named.h"
#include "widgets/ToolIcons.h"

namespace {

// Design sizes in pixels.
constexpr int kWindowWidth = kDesignWindowSize.width();
constexpr int kWindowHeight = kDesignWindowSize.height();
constexpr int kPanel2Width = 236;
constexpr int kDiaryHeight = 135;
constexpr int kDiaryListHeight = 150;
// Design colours of the month grid on this window.
constexpr TColor kGridHolidayColor = 0x00EEEEFF;
constexpr TColor kGridEventColor = 0x00FF0000;
constexpr TColor kGridTodayColor = 0x00FFFF00;
// Parts of the window's growth that go to the left column and the grid.
constexpr double kPanel2Share = 0.3;
constexpr double kDiaryShare = 0.6;

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

TMainLayout::TMainLayout(QMainWindow* window, TDiary* diary, const TMainActions& actions)
    : Window(window), Diary1(diary) {
    window->setFont(DesignFont(kPGothicFace, 12));
    window->resize(kWindowWidth, kWindowHeight);

    BuildMenuBar(actions);
    BuildLeftColumn();
    Panel1 = Named(new QWidget, "Panel1");
    pageColumn_ = new QVBoxLayout(Panel1);
    pageColumn_->setContentsMargins(0, 0, 0, 0);
    pageColumn_->setSpacing(0);

    Splitter3 = Named(new QSplitter(Qt::Horizontal), "Splitter3");
    Splitter3->setChildrenCollapsible(false);
    Splitter3->addWidget(Panel2);
    Splitter3->addWidget(Panel1);
    Splitter3->setStretchFactor(0, 0);
    Splitter3->setStretchFactor(1, 1);
    Splitter3->setSizes({kPanel2Width, kWindowWidth - kPanel2Width});
    window->setCentralWidget(Splitter3);

    panel2Share_ = new TSplitterShare(Splitter3, kPanel2Share, kPanel2Width, kDesignWindowSize);
    diaryShare_ = new TSplitterShare(Splitter2, kDiaryShare, kDiaryHeight, kDesignWindowSize);

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
    for (QWidget* source : {static_cast<QWidget*>(TodayBtn), static_cast<QWidget*>(Diary1)})
        connect(source, &QWidget::customContextMenuRequested, this,
                [this, source](const QPoint& pos) {
                    Q_EMIT MonthMenuRequested(source->mapToGlobal(pos));
                });
    column->addWidget(ToolBar4);

    Diary1->setObjectName(QStringLiteral("Diary1"));
    Diary1->SetHolidayColor(kGridHolidayColor);
    Diary1->SetEventColor(kGridEventColor);
    Diary1->SetTodayColor(kGridTodayColor);
    Diary1->SetStartOfWeek(0);
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

void TMainLayout::ShowKeys(const QAction* today, const QAction* prevMonth,
                           const QAction* nextMonth) {
    const std::pair<QToolButton*, const QAction*> keyed[] = {
        {TodayBtn, today}, {ToolButton10, prevMonth}, {ToolButton11, nextMonth}};
    for (const auto& [button, action] : keyed) {
        const QString hint = button->toolTip().isEmpty() ? button->text() : button->toolTip();
        button->setToolTip(QStringLiteral("%1 (%2)").arg(
            hint, action->shortcut().toString(QKeySequence::NativeText)));
    }
}

void TMainLayout::InsertMenu(QMenu* menu, QAction* before) {
    MenuBar->insertMenu(before, menu);
}

void TMainLayout::PlaceLeftBands(QWidget* dayLists, QWidget* dayListsCorner, QWidget* reminders) {
    CoolBar3->AddBand(u"日記一覧"_qs, dayLists);
    CoolBar3->SetBandCorner(0, dayListsCorner);
    CoolBar3->AddBand(QString(), reminders);
    CoolBar3->setSizes({kDiaryListHeight, kDiaryListHeight});
}

void TMainLayout::PlacePage(QToolBar* formatting, QWidget* header, QWidget* ruler, QWidget* sheet) {
    pageColumn_->addWidget(formatting);
    pageColumn_->addWidget(header);
    pageColumn_->addWidget(ruler);
    pageColumn_->addWidget(sheet, 1);
}

void TMainLayout::SetYearCaption(const QString& caption, const QString& tip) {
    CoolBar3->SetBandText(0, caption);
    CoolBar3->SetBandToolTip(0, tip);
}

void TMainLayout::SetMonthCaption(const QString& caption) {
    TodayBtn->setText(caption);
}

std::array<int, 4> TMainLayout::SplitSizes() const {
    return {Splitter3->sizes().value(0), Splitter2->sizes().value(0), CoolBar3->ContentTop(0),
            CoolBar3->ContentTop(1)};
}

void TMainLayout::ApplyColumnSizes(const std::function<int(int current)>& next) {
    panel2Share_->SetSaved(next(-1));
    diaryShare_->SetSaved(next(-1));
}

void TMainLayout::SetReminderTop(int top) {
    CoolBar3->SetSecondContentTop(top);
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
    Q_EMIT ColorsChanged(colors);
}
