#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "storage/DataInfo.h"

// What the day lists show: one tab per page field, each with its column letters and the letter
// of the field its rows show (letters as FieldText takes them).
struct TDayListTab {
    std::string_view Columns;  // 'D' date, 'c' body, 'C' private memo, 'N' news memo, 'P' title
    char RowLetter;            // the field a row shows; FieldText's letter
};

constexpr int DayListTabCount = 4;

// The tab's codes; tabs outside 0..3 take tab 0's.
TDayListTab DayListTab(int tab);

// The row text of rec on a list whose rows show rowLetter: FieldText, "" for a day whose field
// is blank; with monthOnly only records of month (1..12) are listed.
std::string DayListRowText(const TDataInfo& rec, char rowLetter, bool monthOnly, int month);

class TScrapList;

// The nearest day after (direction 1) or before (direction -1) the store's current day that has
// a page: in the store's year, then in the year files of the store's folder. 0 when none.
int32_t NeighbourPageDate(const TScrapList& store, int direction);
