#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "storage/DataInfo.h"
#include "storage/ThreeWayMerge.h"

// The three-way merge of a year file's days (see ThreeWayMerge): a day is known by its date and
// compared by its line as the year file stores it.

// A day changed differently on both sides. Both versions are kept here until the user chooses.
struct TDayConflict {
    int32_t Date = 0;
    std::optional<TDataInfo> Ours;    // nullopt: our side deleted the day
    std::optional<TDataInfo> Theirs;  // nullopt: their side deleted the day
};

struct TYearMerge {
    // The merged year, ascending by date: for a conflicting day the side that still has it, ours
    // when both do.
    std::vector<TDataInfo> Records;
    std::vector<TDayConflict> Conflicts;  // ascending by date
    // The days where the merged year differs from ours, ascending: taken from their side
    // (changed, added or deleted there only), or a conflict that only their side still has.
    std::vector<int32_t> ChangedDays;
};

// The base of a year's records, to be saved as the year file is read or written.
TMergeBase YearMergeBase(const std::vector<TDataInfo>& records);

// Merges the records of two versions of a year file (each one record per date, as ParseYearFile
// gives them) against base.
TYearMerge MergeYear(const TMergeBase& base, const std::vector<TDataInfo>& ours,
                     const std::vector<TDataInfo>& theirs);
