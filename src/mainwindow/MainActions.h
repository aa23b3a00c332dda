#pragma once

#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QWidget;
class TMActionList;

// The window's commands, each a QAction with its caption, hint and shortcut, and the menus
// that offer them. The owner connects the handlers; a command without a handler stays inert.
struct TMainActions {
    QAction* ExitAction = nullptr;
    QAction* PrintToday = nullptr;
    QAction* PrintMonth = nullptr;
    QAction* PrintYear = nullptr;
    QAction* FindAction = nullptr;
    QAction* MoveAction = nullptr;
    QAction* SaveNowAction = nullptr;
    QAction* UndoAction = nullptr;
    QAction* DeleteAction = nullptr;
    QAction* AboutAction = nullptr;
    QAction* HelpAction = nullptr;
    QAction* CutAction = nullptr;
    QAction* CopyAction = nullptr;
    QAction* PasteAction = nullptr;
    QAction* SetupAction = nullptr;
    QAction* BoldAction = nullptr;
    QAction* ItalicAction = nullptr;
    QAction* UnderAction = nullptr;
    QAction* ColorAction = nullptr;
    QAction* LeftAction = nullptr;
    QAction* CenterAction = nullptr;
    QAction* RightAction = nullptr;

    // Every action above, in table order.
    QList<QAction*> All;
    // The same actions under one switch.
    TMActionList* MActionList1 = nullptr;

    // MainMenu1: the drop-down menus opened from the menu tool bar.
    QMenu* PrintMenu = nullptr;
    QMenu* EditMenu = nullptr;
    QMenu* ToolMenu = nullptr;
    QMenu* HelpMenu = nullptr;
    QMenu* WeatherMenu = nullptr;

    // The body editor's context menu.
    QMenu* EditPopup = nullptr;

    // Creates the actions (owned by owner) and the menus (parented to menuParent).
    void Create(QObject* owner, QWidget* menuParent);
};
