#include "mainwindow/MainActions.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>

#include "widgets/ActionList.h"
#include "widgets/ToolIcons.h"

namespace {

QAction* MakeAction(QObject* owner, const char* name, const QString& caption, const QString& hint,
                    const QKeySequence& shortcut = {}) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(hint.isEmpty() ? QString(caption).remove(QLatin1Char('&')) : hint);
    // A focused editor keeps its own meaning of these keys; the window's command takes them
    // everywhere else.
    action->setShortcut(shortcut);
    return action;
}

QMenu* MakeMenu(QWidget* parent, const char* name, const QString& title) {
    auto* menu = new QMenu(title, parent);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

}  // namespace

void TMainActions::Create(QObject* owner, QWidget* menuParent) {
    ExitAction = MakeAction(owner, "ExitAction", u"終了(&X)"_qs, u"終了"_qs);
    PrintToday = MakeAction(owner, "PrintToday", u"今日の日記(&D)..."_qs, u"印刷"_qs);
    PrintMonth = MakeAction(owner, "PrintMonth", u"今月の日記(&M)..."_qs, {});
    PrintYear = MakeAction(owner, "PrintYear", u"今年の日記(&Y)..."_qs, {});
    FindAction = MakeAction(owner, "FindAction", u"検索(&F)..."_qs, u"検索"_qs,
                            QKeySequence(Qt::CTRL | Qt::Key_F));
    MoveAction = MakeAction(owner, "MoveAction", u"移動(&G)..."_qs, u"日記を移動"_qs);
    SaveNowAction = MakeAction(owner, "SaveNowAction", u"保存(&S)"_qs, u"今すぐ保存"_qs,
                               QKeySequence(Qt::CTRL | Qt::Key_S));
    UndoAction = MakeAction(owner, "UndoAction", u"元に戻す(&U)"_qs, u"編集の取消し"_qs,
                            QKeySequence(Qt::CTRL | Qt::Key_Z));
    DeleteAction = MakeAction(owner, "DeleteAction", u"削除(&D)"_qs, u"データを削除"_qs);
    AboutAction = MakeAction(owner, "AboutAction", u"バージョン情報(&A)"_qs, u"バージョン情報"_qs);
    HelpAction = MakeAction(owner, "HelpAction", u"ヘルプ目次(&C)"_qs, u"ヘルプ目次"_qs,
                            QKeySequence(Qt::Key_F1));
    CutAction = MakeAction(owner, "CutAction", u"切り取り(&T)"_qs, u"切取り"_qs,
                           QKeySequence(Qt::CTRL | Qt::Key_X));
    CopyAction = MakeAction(owner, "CopyAction", u"コピー(&C)"_qs, u"コピー"_qs,
                            QKeySequence(Qt::CTRL | Qt::Key_C));
    PasteAction = MakeAction(owner, "PasteAction", u"貼り付け(&P)"_qs, u"貼付け"_qs,
                             QKeySequence(Qt::CTRL | Qt::Key_V));
    SetupAction = MakeAction(owner, "SetupAction", u"オプション(&O)..."_qs, u"オプション設定"_qs);
    BoldAction = MakeAction(owner, "BoldAction", u"太字(&B)"_qs, u"太字"_qs);
    ItalicAction = MakeAction(owner, "ItalicAction", u"斜体(&I)"_qs, u"斜体"_qs);
    UnderAction = MakeAction(owner, "UnderAction", u"下線(&U)"_qs, u"下線"_qs);
    ColorAction = MakeAction(owner, "ColorAction", u"文字色(&F)"_qs, u"文字色"_qs);
    LeftAction = MakeAction(owner, "LeftAction", u"左揃え(&L)"_qs, u"左揃え"_qs);
    CenterAction = MakeAction(owner, "CenterAction", u"中央揃え(&C)"_qs, u"中央揃え"_qs);
    RightAction = MakeAction(owner, "RightAction", u"右揃え(&R)"_qs, u"右揃え"_qs);

    All = {ExitAction,    PrintToday,  PrintMonth,   PrintYear,   FindAction,   MoveAction,
           SaveNowAction, UndoAction,  DeleteAction, AboutAction, HelpAction,   CutAction,
           CopyAction,    PasteAction, SetupAction,  BoldAction,  ItalicAction, UnderAction,
           ColorAction,   LeftAction,  CenterAction, RightAction};

    // The list's switch is off before the actions join it, so each keeps its own state.
    MActionList1 = new TMActionList(owner);
    MActionList1->setObjectName(QStringLiteral("MActionList1"));
    MActionList1->SetEnabled(false);
    for (QAction* a : All)
        MActionList1->AddAction(a);
    for (QAction* a : All)
        a->setEnabled(true);

    SaveNowAction->setEnabled(false);
    UndoAction->setEnabled(false);
    PasteAction->setEnabled(false);

    for (QAction* a :
         {BoldAction, ItalicAction, UnderAction, LeftAction, CenterAction, RightAction})
        a->setCheckable(true);
    auto* alignGroup = new QActionGroup(owner);
    for (QAction* a : {LeftAction, CenterAction, RightAction})
        alignGroup->addAction(a);
    LeftAction->setChecked(true);

    ExitAction->setIcon(ToolIcon(TToolIcon::Exit));
    SaveNowAction->setIcon(ToolIcon(TToolIcon::Save));
    UndoAction->setIcon(ToolIcon(TToolIcon::Undo));
    DeleteAction->setIcon(ToolIcon(TToolIcon::Delete));
    CutAction->setIcon(ToolIcon(TToolIcon::Cut));
    CopyAction->setIcon(ToolIcon(TToolIcon::Copy));
    PasteAction->setIcon(ToolIcon(TToolIcon::Paste));
    BoldAction->setIcon(ToolIcon(TToolIcon::Bold));
    ItalicAction->setIcon(ToolIcon(TToolIcon::Italic));
    UnderAction->setIcon(ToolIcon(TToolIcon::Underline));
    ColorAction->setIcon(ToolIcon(TToolIcon::Color));
    LeftAction->setIcon(ToolIcon(TToolIcon::AlignLeft));
    CenterAction->setIcon(ToolIcon(TToolIcon::AlignCenter));
    RightAction->setIcon(ToolIcon(TToolIcon::AlignRight));
    PrintToday->setIcon(ToolIcon(TToolIcon::Print));

    PrintMenu = MakeMenu(menuParent, "PrintMenu", u"印刷(&P)"_qs);
    PrintMenu->addActions({PrintToday, PrintMonth, PrintYear});
    EditMenu = MakeMenu(menuParent, "EditMenu", u"編集(&E)"_qs);
    EditMenu->addAction(UndoAction);
    EditMenu->addSeparator();
    EditMenu->addActions({CutAction, CopyAction, PasteAction});
    EditMenu->addSeparator();
    EditMenu->addActions({FindAction, MoveAction});
    ToolMenu = MakeMenu(menuParent, "ToolMenu", u"ツール(&T)"_qs);
    ToolMenu->addAction(SetupAction);
    HelpMenu = MakeMenu(menuParent, "HelpMenu", u"ヘルプ(&H)"_qs);
    HelpMenu->addAction(HelpAction);
    HelpMenu->addSeparator();
    HelpMenu->addAction(AboutAction);
    WeatherMenu = MakeMenu(menuParent, "WeatherMenu", u"天気(&W)"_qs);

    EditPopup = MakeMenu(menuParent, "EditPopup", {});
    EditPopup->addAction(UndoAction);
    EditPopup->addSeparator();
    EditPopup->addActions({CutAction, CopyAction, PasteAction});
    EditPopup->addSeparator();
    QMenu* charMenu = EditPopup->addMenu(u"文字修飾..."_qs);
    charMenu->setObjectName(QStringLiteral("CharMenu"));
    charMenu->addActions({BoldAction, ItalicAction, UnderAction, ColorAction});
    QMenu* paraMenu = EditPopup->addMenu(u"段落..."_qs);
    paraMenu->setObjectName(QStringLiteral("ParaMenu"));
    paraMenu->addActions({LeftAction, CenterAction, RightAction});
}
