#pragma once

#include <QObject>
#include <cstdint>
#include <functional>

class QDate;
class QWidget;
class TDiary;
class TScrapList;

// Moving the current day's page to another day of any year: the user picks the day, is asked
// before a page there is replaced, and the grid, the lists and the page follow the page.
class TMoveCommand : public QObject {
    Q_OBJECT
public:
    // storePage puts the page being written into the store; reloadPage loads the page from the
    // store's current record.
    TMoveCommand(QWidget* window, TDiary& diary, TScrapList& store, std::function<void()> storePage,
                 std::function<void()> reloadPage, QObject* parent = nullptr);

    void MoveActionExecute();
    // Moves the current day's page to date, asking before a page there is replaced.
    bool MoveTo(int32_t date);

    // Picks the day to move to; replaced in tests.
    std::function<bool(QDate& date)> PickDate;

private:
    bool AskDate(QDate& date);

    QWidget* window_;
    TDiary& diary_;
    TScrapList& store_;
    std::function<void()> storePage_;
    std::function<void()> reloadPage_;
};
