#pragma once

#include <cstdint>
#include <vector>

class TScrapList;

// What a print command covers: the shown day, its month or its year.
enum class TPrintSpan { Day, Month, Year };

// A closed range of day numbers.
struct TDayRange {
    int32_t First;  // day number of the first day
    int32_t Last;   // day number of the last day, >= First
};

// The days a print of span covers around date: the day itself, its whole month or its whole
// year (February and leap years as the calendar has them).
TDayRange PrintRangeOf(TPrintSpan span, int32_t date);

// The days of range, in order, for which the store holds a page. The store holds one year;
// days of other years have none.
std::vector<int32_t> DaysWithPages(const TScrapList& store, TDayRange range);
