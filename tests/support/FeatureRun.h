#pragma once

#include <QString>
#include <cstdio>

#include "controls/Diary.h"
#include "mainwindow/StoreEvents.h"
#include "settings/IniParam.h"
#include "storage/DayNumber.h"
#include "storage/ScrapList.h"
#include "support/TestFolder.h"

// What a window feature is built on, without the window: a folder of its own for the year
// files, the settings record, the month grid, the day store and its events.
class TFeatureRun : public TTestFolder {
public:
    TFeatureRun() { store.SetDataDir(Dir()); }

    // Puts rec into its year file on disk, as an earlier run left it.
    void Seed(const TDataInfo& rec) const {
        TScrapList seed;
        seed.LoadFromFile(YearFile(rec.Date));
        seed.PutRecord(rec);
        seed.SaveToFile();
    }
    // The record of date in its year file on disk.
    TDataInfo Stored(int32_t date) const {
        TScrapList stored;
        stored.LoadFromFile(YearFile(date));
        return stored.FindByDate(date);
    }
    // Shows date in the grid and makes it the store's current day, as the window's page does.
    void Open(int32_t date) {
        diary.SetCalendarDate(date);
        store.SetDate(date);
    }

    TInitParam params;
    TDiary diary;
    TScrapList store;
    TStoreEvents events{store};

private:
    std::string YearFile(int32_t date) const {
        char name[16];
        std::snprintf(name, sizeof name, "%04d.dat", DecodeDate(date).Year);
        return File(name);
    }
};
