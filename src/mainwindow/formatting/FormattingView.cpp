#include "mainwindow/formatting/FormattingView.h"

#include <QComboBox>
#include <QSlider>
#include <QToolBar>

#include "controls/SpinBtns.h"
#include "mainwindow/MainActions.h"
#include "widgets/Named.h"
#include "widgets/ToolIcons.h"

TFormattingView::TFormattingView(const TMainActions& actions) {
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

    TrackBar1 = Named(new QSlider(Qt::Horizontal), "TrackBar1");
    TrackBar1->setRange(0, 100);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setFocusPolicy(Qt::NoFocus);
}

TFormattingView::~TFormattingView() {
    // Until the window places them, the roots are the view's own.
    for (QWidget* root :
         {static_cast<QWidget*>(StandardToolBar.data()), static_cast<QWidget*>(TrackBar1.data())})
        if (root && !root->parent())
            delete root;
}

QWidget* TFormattingView::Ruler() const {
    return TrackBar1;
}
