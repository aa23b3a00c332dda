#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "storage/DataInfo.h"

// This day in past years (過去の今日): the pages of the same month and day in earlier years.

// The days of years (any order) before date's year that share its month and day, newest first.
// A 29 February has no day in a common year; its pages are shown on 28 February of a common
// year: in each earlier leap year the 29th comes before the 28th.
std::vector<int32_t> SameDayInEarlierYears(int32_t date, std::vector<int> years);

// Whether the days of date bring in pages of 29 February: 28 February of a common year.
bool ShowsLeapDayPages(int32_t date);

// The first line of a body that holds more than blanks, trimmed; "" for none.
std::string FirstBodyLine(const std::string& text);

// The pages of SameDayInEarlierYears(date, years) from the year files in dir (which ends with a
// path separator), newest first, each year file read for those days only (ReadYearFileDays);
// ownWrite tells whether a year file is as Velmora wrote it. Every record a year file holds for
// those days is a page; damaged receives the years whose file could not be read.
std::vector<TDataInfo> ReadPastDays(const std::string& dir, int32_t date,
                                    const std::vector<int>& years,
                                    const std::function<bool(const std::string&)>& ownWrite,
                                    std::vector<int>* damaged = nullptr);
