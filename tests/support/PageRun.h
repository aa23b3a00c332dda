#pragma once

#include <QAction>
#include <QWidget>

#include "calendar/QReki.h"
#include "controls/Diary.h"
#include "mainwindow/PageState.h"
#include "mainwindow/WriteSchedule.h"
#include "mainwindow/daypage/DayPage.h"
#include "notes/NoteList.h"
#include "support/FeatureRun.h"

// The day page and the schedule of its writes on a feature run, connected to each other and to
// the grid as the window connects them, without the window.
class TPageRun : public TFeatureRun {
public:
    TPageRun() {
        QObject::connect(&diary, &TDiary::OnChange, &page,
                         [this] { writes.WriteAfter([this] { page.CalendarChange(); }); });
        QObject::connect(&diary, &TDiary::OnChangeDate, &page, [this](double date) {
            writes.WriteAfter([this, date] { page.Diary1ChangeDate(date); });
        });
        // The mark of unwritten changes, as the window's title carries it.
        window.setWindowTitle(QStringLiteral("Velmora[*]"));
        QObject::connect(&page, &TDayPage::Edited, &writes, &TWriteSchedule::Edited);
        QObject::connect(&page, &TDayPage::StateChanged, &writes, &TWriteSchedule::UpdateSaveState);
    }
    // Leaves the shown day for date, as a click in the grid does.
    void Leave(int32_t date) {
        writes.WriteAfter([this, date] { page.Diary1ChangeDate(date); });
    }

    QWidget window;
    QAction saveCommand;
    TPageState state{saveCommand, window};
    TKyureki kyureki;
    TNoteList todo;
    TNoteList memory;
    TDayPage page{diary, store, events, state, kyureki, params};
    TWriteSchedule writes{page, store, {&todo, &memory}, state};
};
