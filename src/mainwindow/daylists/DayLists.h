#pragma once

#include <QObject>

#include "mainwindow/MainLayout.h"
#include "storage/DataInfo.h"

class TDiary;
class TInitParam;
class TStoreEvents;

// The lists of the year's diary days, one tab per page field, and the user's titles of those
// fields, which the lists' tabs and the page's captions carry.
class TDayLists : public QObject {
    Q_OBJECT
public:
    TDayLists(const TDayListWidgets& ui, TDiary& diary, TStoreEvents& events,
              const TInitParam& params, QObject* parent = nullptr);

    // Puts the user's titles on the page's captions and the lists' tabs.
    void ApplyTitles();

    // Store notifications.
    void DayRecordChanged(const TDataInfo& rec);
    void DayRecordDeleted(const TDataInfo& rec);

private:
    TDayListWidgets ui_;
    TDiary& diary_;
    const TInitParam& params_;
};
