#include "mainwindow/StoreEvents.h"

#include "storage/ScrapList.h"

TStoreEvents::TStoreEvents(TScrapList& store, QObject* parent) : QObject(parent), store_(store) {
    store_.OnDateChanged = [this](TScrapList&, uint8_t flags, uint16_t y, uint16_t m, uint16_t d) {
        Q_EMIT DateChanged(flags, y, m, d);
    };
    store_.OnLeaveDate = [this](TScrapList&, int32_t oldDate) { Q_EMIT LeaveDate(oldDate); };
    store_.OnRecordChanged = [this](TScrapList&, const TDataInfo& rec) {
        Q_EMIT RecordChanged(rec);
    };
    store_.OnRecordDeleted = [this](TScrapList&, const TDataInfo& rec) {
        Q_EMIT RecordDeleted(rec);
    };
    store_.OnListChanged = [this](TScrapList&) { Q_EMIT ListChanged(); };
}

TStoreEvents::~TStoreEvents() {
    store_.OnDateChanged = nullptr;
    store_.OnLeaveDate = nullptr;
    store_.OnRecordChanged = nullptr;
    store_.OnRecordDeleted = nullptr;
    store_.OnListChanged = nullptr;
}
