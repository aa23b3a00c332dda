#include "mainwindow/daypage/DayPageView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "bridge/Fonts.h"
#include "bridge/TextCodec.h"
#include "mainwindow/SplitterShare.h"
#include "mainwindow/daypage/BodyEdit.h"
#include "widgets/BandBox.h"
#include "widgets/BevLabel.h"
#include "widgets/ControlColors.h"
#include "widgets/Named.h"
#include "widgets/ToolIcons.h"

namespace {

// Design sizes in pixels.
constexpr int kDiaryMemoHeight = 195;
constexpr int kLabel1Width = 125;
constexpr int kNewsMemoHeight = 70;
// The body's part of the window's growth.
constexpr double kDiaryMemoShare = 0.5;

}  // namespace

TDayPageView::TDayPageView() {
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
    MonthList = Named(new QMenu(DateBar), "MonthList");

    DiaryMemo = Named(new TBodyEdit, "DiaryMemo");
    DiaryMemo->setAcceptRichText(true);
    // The body's default face is written into its rich text by name, so it keeps the Windows
    // face name that other writers of these files know; it is drawn through the substitution.
    QFont bodyFont(kPGothicFace);
    bodyFont.setPixelSize(16);
    DiaryMemo->setFont(bodyFont);
    DiaryMemo->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* toolBar3 = Named(new QWidget, "ToolBar3");
    auto* titleLayout = new QHBoxLayout(toolBar3);
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
    lowerLayout->addWidget(toolBar3);
    lowerLayout->addWidget(CoolBar2, 1);

    Splitter1 = Named(new QSplitter(Qt::Vertical), "Splitter1");
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(DiaryMemo);
    Splitter1->addWidget(lower);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kDiaryMemoHeight, kDesignWindowSize.height() - kDiaryMemoHeight});
    diaryMemoShare_ =
        new TSplitterShare(Splitter1, kDiaryMemoShare, kDiaryMemoHeight, kDesignWindowSize);
}

TDayPageView::~TDayPageView() {
    // Until the window places them, the roots are the view's own.
    for (QWidget* root : {DateBar.data(), static_cast<QWidget*>(Splitter1.data())})
        if (root && !root->parent())
            delete root;
}

void TDayPageView::SetColors(const std::array<TColor, 7>& colors) {
    SetControlColor(DateBar, colors[2]);
    DateDisp->SetColor(colors[2]);
    SetControlColor(DiaryMemo, colors[3]);
    SetControlColor(Comment, colors[4]);
    SetControlColor(NewsMemo, colors[5]);
    SetControlColor(PrivMemo, colors[6]);
}

std::array<int, 3> TDayPageView::SplitSizes() const {
    return {Splitter1->sizes().value(0), CoolBar2->ContentTop(1), CoolBar2->ContentTop(0)};
}

void TDayPageView::ApplyBodyHeight(const std::function<int(int current)>& next) {
    diaryMemoShare_->SetSaved(next(-1));
}

void TDayPageView::SetPrivMemoTop(int top) {
    CoolBar2->SetSecondContentTop(top);
}
