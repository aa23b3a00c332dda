#include "mainwindow/daykeys/DayKeys.h"

#include <QAction>
#include <QMenu>

#include "controls/Diary.h"
#include "storage/Clock.h"
#include "storage/DayList.h"
#include "storage/ScrapList.h"

namespace {

QAction* MakeKey(QWidget* window, QMenu* menu, const char* name, const QString& caption,
                 const QKeySequence& key) {
    auto* action = new QAction(caption, window);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setToolTip(QStringLiteral("%1 (%2)").arg(QString(caption).remove(QLatin1Char('&')),
                                                     key.toString(QKeySequence::NativeText)));
    window->addAction(action);
    menu->addAction(action);
    return action;
}

}  // namespace

TDayKeys::TDayKeys(QWidget* window, TDiary& diary, const TScrapList& store, QObject* parent)
    : QObject(parent), diary_(diary), store_(store) {
    menu_ = new QMenu(u"日付(&D)"_qs, window);
    menu_->setObjectName(QStringLiteral("DayMenu"));
    PrevDayAction = MakeKey(window, menu_, "PrevDayAction", u"前の日(&P)"_qs,
                            QKeySequence(Qt::ALT | Qt::Key_Left));
    NextDayAction = MakeKey(window, menu_, "NextDayAction", u"次の日(&N)"_qs,
                            QKeySequence(Qt::ALT | Qt::Key_Right));
    menu_->addSeparator();
    PrevPageAction = MakeKey(window, menu_, "PrevPageAction", u"前の記入日(&B)"_qs,
                             QKeySequence(Qt::ALT | Qt::Key_Up));
    NextPageAction = MakeKey(window, menu_, "NextPageAction", u"次の記入日(&F)"_qs,
                             QKeySequence(Qt::ALT | Qt::Key_Down));
    menu_->addSeparator();
    TodayAction =
        MakeKey(window, menu_, "TodayAction", u"今日(&T)"_qs, QKeySequence(Qt::ALT | Qt::Key_Home));
    PrevMonthAction = MakeKey(window, menu_, "PrevMonthAction", u"前の月(&U)"_qs,
                              QKeySequence(Qt::ALT | Qt::Key_PageUp));
    NextMonthAction = MakeKey(window, menu_, "NextMonthAction", u"次の月(&D)"_qs,
                              QKeySequence(Qt::ALT | Qt::Key_PageDown));

    connect(PrevDayAction, &QAction::triggered, this, [this] { MoveDays(-1); });
    connect(NextDayAction, &QAction::triggered, this, [this] { MoveDays(1); });
    connect(PrevPageAction, &QAction::triggered, this, [this] { MoveToPage(-1); });
    connect(NextPageAction, &QAction::triggered, this, [this] { MoveToPage(1); });
    connect(TodayAction, &QAction::triggered, this, [this] { diary_.SetCalendarDate(Today()); });
    connect(PrevMonthAction, &QAction::triggered, this, [this] { diary_.MoveMonth(0, -1); });
    connect(NextMonthAction, &QAction::triggered, this, [this] { diary_.MoveMonth(0, 1); });
}

void TDayKeys::MoveDays(int days) {
    diary_.SetCalendarDate(diary_.CalendarDate() + days);
}

void TDayKeys::MoveToPage(int direction) {
    if (const int32_t date = NeighbourPageDate(store_, direction))
        diary_.SetCalendarDate(date);
}
