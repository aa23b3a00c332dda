#pragma once

#include <QObject>
#include <cstdint>

#include "storage/DataInfo.h"

class TScrapList;

// The day store's events as Qt signals, so that any number of panels can listen, each with its
// own lifetime. It takes the store's handlers while it lives and clears them when it goes; the
// store must outlive it. Signals run at once, inside the store's operation, as its events do.
class TStoreEvents : public QObject {
    Q_OBJECT
public:
    explicit TStoreEvents(TScrapList& store, QObject* parent = nullptr);
    ~TStoreEvents() override;

Q_SIGNALS:
    // flags: YearChanged, MonthChanged and DayChanged of the store, or'ed.
    void DateChanged(uint8_t flags, int year, int month, int day);
    void LeaveDate(int32_t oldDate);
    void RecordChanged(const TDataInfo& rec);
    // Raised while the record is still in the store.
    void RecordDeleted(const TDataInfo& rec);
    void ListChanged();

private:
    TScrapList& store_;
};
