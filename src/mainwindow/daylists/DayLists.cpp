#include "mainwindow/daylists/DayLists.h"

#include <QLabel>
#include <QTabBar>

#include "bridge/TextCodec.h"
#include "controls/Diary.h"
#include "mainwindow/StoreEvents.h"
#include "settings/IniParam.h"

TDayLists::TDayLists(const TDayListWidgets& ui, TDiary& diary, TStoreEvents& events,
                     const TInitParam& params, QObject* parent)
    : QObject(parent), ui_(ui), diary_(diary), params_(params) {
    connect(&events, &TStoreEvents::RecordChanged, this, &TDayLists::DayRecordChanged);
    connect(&events, &TStoreEvents::RecordDeleted, this, &TDayLists::DayRecordDeleted);
    connect(&events, &TStoreEvents::ListChanged, this, &TDayLists::ApplyTitles);
}

void TDayLists::ApplyTitles() {
    ui_.DateLabel->setText(FromCp932(params_.Titles[0]));
    ui_.CoolBar2->SetBandText(0, FromCp932(params_.Titles[1]));
    ui_.CoolBar2->SetBandText(1, FromCp932(params_.Titles[2]));
    ui_.DiaryList->setTabText(1, FromCp932(params_.TabTitles[2]));
    ui_.DiaryList->setTabText(2, FromCp932(params_.TabTitles[1]));
    ui_.DiaryList->setTabText(3, FromCp932(params_.TabTitles[0]));
}

void TDayLists::DayRecordChanged(const TDataInfo&) {
    diary_.RefreshCurrentCell();
}

void TDayLists::DayRecordDeleted(const TDataInfo&) {
    diary_.RefreshCurrentCell();
}
