#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "storage/DataInfo.h"
#include "storage/DayMerge.h"
#include "storage/SafeWrite.h"
#include "storage/ThreeWayMerge.h"

// What the day store took from another program's version of its year file (TakeDiskChanges).
struct TDiskMerge {
    std::string Path;  // the year file
    TFileStamp Stamp;  // the other version's stamp, as it was read
    TYearMerge Merge;  // ChangedDays: the days the store took; Conflicts: kept ours, both here
};

// Flags of OnDateChanged, combined by bitwise or.
constexpr uint8_t DayChanged = 8;    // the date differs from the old one
constexpr uint8_t MonthChanged = 4;  // the month (first day of the month) differs
constexpr uint8_t YearChanged = 2;   // the year differs; its year file has been loaded

// The day store: the records of one year, ascending by Date with at most one per day, the
// current date with a copy of its record, and the year file (DataDir + year + ".dat", one
// ValuesToLine line per day ended by CR LF).
//
// Records are separate objects whose address stays fixed while they are in the store, so the
// owner may keep references and the events pass them. Events are optional, run synchronously
// inside the operation that raises them, and a handler may call back into the store.
//
// Failed loads and saves are reported through ReportMessage, never thrown:
// - a line that cannot be read is skipped and reported (its message, CR LF, the path and line
//   number, CR LF, "データが読込めません!"); the rest of the file is read, and before the first
//   save over that file it is kept as found under a backup name (KeepBackup), as it is when a
//   later line of the same day replaced an earlier one, a line without a date was passed over
//   or a line held more than one record's fields;
// - a line that ends inside a quoted field was cut short (a truncated file): its record is read
//   as far as it goes, that is reported (ReportCutLines), and the file is kept the same way;
// - a year file written in UTF-8 is read as such and reported, and kept as found before the first
//   save over it (which writes CP932); a file still as the store last wrote it is CP932; a folder
//   or an unreadable file in place of the year file is reported as a load that failed;
// - before a year file is written over, a file that another program changed since it was read or
//   written here is kept under a backup name and that is reported (KeepIfChangedOnDisk);
// - a failed save is reported (its message, CR LF, "データが書込めません!"), leaves the file on
//   disk as it was and keeps the changes: Modified stays true, and a year left while unsaved is
//   held in memory, written at the next SaveIfModified and shown again if its year comes back.
class TScrapList {
public:
    std::function<void(TScrapList& sender, uint8_t flags, uint16_t year, uint16_t month,
                       uint16_t day)>
        OnDateChanged;
    std::function<void(TScrapList& sender, int32_t oldDate)> OnLeaveDate;
    std::function<void(TScrapList& sender, const TDataInfo& rec)> OnRecordChanged;
    // Raised while the record is still in the store.
    std::function<void(TScrapList& sender, const TDataInfo& rec)> OnRecordDeleted;
    std::function<void(TScrapList& sender)> OnListChanged;
    // Raised after the store took another program's version of its year file in, when that
    // changed a day or met a conflict.
    std::function<void(TScrapList& sender, const TDiskMerge& merge)> OnDiskMerged;

    const std::string& DataDir() const { return dataDir_; }
    // The folder of the year files, ending with a path separator.
    void SetDataDir(std::string dir) { dataDir_ = std::move(dir); }
    // This computer's state folder for the diary (StateFolder), where the base of each year file
    // (YearMergeBase) is kept as the file is read from disk or written, for merging another
    // computer's version of it later; "" (the default) keeps none.
    void SetStateDir(std::string dir) { bases_.SetStateDir(std::move(dir)); }
    // Holds the bases back until ReleaseBases (TMergeBases), e.g. while the window starts.
    void HoldBases() { bases_.Hold(); }
    void ReleaseBases() { bases_.Release(); }
    // The year file last loaded; empty until the first load.
    const std::string& FileName() const { return fileName_; }
    int32_t CurrentDate() const { return currentDate_; }
    const TDataInfo& Current() const { return current_; }
    bool Modified() const { return modified_; }
    // True while a year left unsaved by a failed write is held in memory.
    bool HoldsUnsaved() const { return !unsaved_.empty(); }
    // Whether the year file at path is still as the store last wrote it, and so CP932.
    bool WroteAsItIs(const std::string& path) const;
    bool Loading() const { return loading_; }

    int Count() const { return static_cast<int>(records_.size()); }
    const TDataInfo& Items(int index) const { return *records_[index]; }
    void GetRecord(int index, TDataInfo& rec) const { rec = *records_[index]; }

    // Makes day d current: raises OnLeaveDate with the old date when d differs, loads the year
    // file when the year changes (after writing the old one if changed), copies d's record into
    // Current, raises OnListChanged after a load and OnDateChanged when any flag is set.
    void SetDate(int32_t d);
    // The record whose Date equals dateTime exactly (binary search), or EmptyDataInfo; a value
    // with a time of day matches none.
    const TDataInfo& FindByDate(double dateTime) const;
    // Stores rec (a copy, so a record of the store itself may be passed), replacing the record of
    // the same day. Returns the index at which it
    // was stored (for a new record, before sorting), or -1 when rec.Date is 0.
    int PutRecord(TDataInfo rec);
    // Deletes the record of the whole day of dateTime; false when there is none.
    bool DeleteByDate(double dateTime);
    // Deletes the record at index; false only for an index outside the store.
    bool DeleteAt(int index);
    void SortByDate();
    // For the current date: 0 the first day of its month, 1 its year, 2 its month, 3 its day;
    // -1 for any other kind.
    int32_t DatePart(int kind) const;

    // Writes the year loaded so far if changed, then reads path (a missing file gives an
    // empty year). Modified is false afterwards unless the year came back unsaved.
    void LoadFromFile(const std::string& path);
    // Writes the current year if Modified, and any year left unsaved by an earlier failure.
    void SaveIfModified();
    // Writes the current year (nothing before the first load); Modified false on success.
    void SaveToFile();
    // Removes every record; Modified true.
    void Clear();
    // Each year file not written since it changed (the current year when Modified, and every
    // year held unsaved), with the contents it should hold.
    std::map<std::string, std::string> UnwrittenYears();
    // Whether another program changed the loaded year file since the store last read or wrote it.
    bool ChangedOnDisk() const;
    // Reads the loaded year file again when another program changed it and merges it day by
    // day (MergeYear) against the base in the state folder: a day changed only there is taken
    // at once, a day the store changed since it read the file stays; a day changed differently
    // on both sides keeps the store's version, and both are in the result's Conflicts. A file
    // that does not read whole is left to the save, which keeps it beside (KeepIfChangedOnDisk).
    // Raises OnListChanged and OnDiskMerged when a day changed or a conflict was met. A save of
    // the loaded year runs this first, so it never writes over days it has not read.
    TDiskMerge TakeDiskChanges();
    // Keeps the loaded year file as it is on disk under a backup name (KeepBackup) before the
    // next save over it: for a page about to be rewritten whose old form the user has not seen.
    void KeepBeforeSave();

private:
    bool WriteYearFile(const std::string& path, const std::string& contents);
    std::string YearFileContents();
    std::optional<std::string> TakeUnsaved(const std::string& path);
    void ReadYearFile(const std::string& path, std::string contents);
    void RememberBase(const std::string& path, const std::string& written, TMergeSource source);

    std::vector<std::unique_ptr<TDataInfo>> records_;
    std::string fileName_;
    std::string dataDir_;
    TMergeBases bases_;
    int32_t currentDate_ = 0;
    TDataInfo current_;
    bool modified_ = false;
    bool loading_ = false;
    // Year files holding lines that were not loaded: kept as found before they are overwritten.
    std::set<std::string> keepBeforeSave_;
    // Years whose save failed when they were left: path to file contents.
    std::map<std::string, std::string> unsaved_;
    // Each year file as it was last read or written here.
    std::map<std::string, TFileStamp> stamps_;
    // Each year file as it was last written here.
    std::map<std::string, TFileStamp> written_;
};
