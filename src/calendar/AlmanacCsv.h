#pragma once

#include <string>

class THolidayList;

// The almanac of a Gregorian year as UTF-8 comma-separated text, for other programs and for
// checks against other almanacs: the header line
//   date,era,old_date,rokuyo,eto_day,holiday,sekki,zassetsu
// then one line per day (date as YYYY-MM-DD), each ending in LF. The holiday field holds the
// day's names from the holiday list joined by "・"; fields without a value are empty.
inline constexpr const char* kAlmanacHeader =
    "date,era,old_date,rokuyo,eto_day,holiday,sekki,zassetsu";
std::string AlmanacCsv(int year, const THolidayList& holidays);
