#pragma once

#include <QObject>

class QAction;
class QMenu;
class QWidget;
class TDiary;
class TScrapList;

// Keys that move between days from anywhere in the window: Alt with the arrows, Home and the
// page keys, which the page's editors leave alone. They are offered in the menu "日付"; the
// window names them in the tooltips of the grid's buttons.
class TDayKeys : public QObject {
    Q_OBJECT
public:
    // window takes the keys.
    TDayKeys(QWidget* window, TDiary& diary, const TScrapList& store, QObject* parent = nullptr);

    QMenu* Menu() const { return menu_; }

    QAction* PrevDayAction;
    QAction* NextDayAction;
    QAction* PrevPageAction;
    QAction* NextPageAction;
    QAction* TodayAction;
    QAction* PrevMonthAction;
    QAction* NextMonthAction;

private:
    void MoveDays(int days);
    void MoveToPage(int direction);

    TDiary& diary_;
    const TScrapList& store_;
    QMenu* menu_;
};
