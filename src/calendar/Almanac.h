#pragma once

#include <cstdint>
#include <string>

// What a Japanese desk diary prints beside the date: the era date, the seasonal days (雑節) that
// go with the 24 solar terms, and the sexagenary cycle (干支) of years and days.
//
// Days are day numbers (storage/DayNumber.h); names are CP932 text, like those of QReki.h.
// The seasonal days come from the same solar longitudes as the solar terms, at UTC+9.

// The era date of a day: Era 0..4 for 明治, 大正, 昭和, 平成 and 令和, and the year within it
// (1 for the first year). Days before 明治 (1868-01-25, the first day of its first year, which
// the era was proclaimed to begin with) have no era: Era -1, Year 0.
struct TEraDate {
    int Era;
    int Year;
};
TEraDate EraOf(int32_t day);
const std::string& EraName(int era);

// "令和8年12月8日", "令和元年5月1日"; empty before 明治.
std::string EraDateText(int32_t day);
// The era years a Gregorian year spans, in order: "令和8年", "平成31年・令和元年"; empty before
// 明治.
std::string EraYearText(int year);

// The sexagenary cycle: index 0 is 甲子, 1 乙丑, ... 59 癸亥.
const std::string& EtoName(int index);
// The year's cycle, changing on 1 January as calendars print it (2026 is 丙午).
int YearEtoIndex(int year);
// The day's cycle (1900-01-01 was 甲戌, 2000-01-01 戊午).
int DayEtoIndex(int32_t day);

// The seasonal days on the day, several joined by "・" in the order of the year; empty on other
// days. 節分 is the day before 立春; 彼岸入り and 彼岸明け are 3 days before and after 春分 and
// 秋分; 八十八夜, 二百十日 and 二百二十日 are the 88th, 210th and 220th day counting the day of
// 立春 as the first; 入梅, 半夏生 and the four 土用入り are the days the sun reaches 80, 100 and
// 27, 117, 207, 297 degrees.
std::string ZassetsuText(int32_t day);

// The name of the solar term beginning on the day, or empty.
std::string SolarTermText(int32_t day);

// The old date as the almanac prints it: "旧10月30日", "旧閏4月1日"; empty without one.
std::string OldDateText(int month, int day, bool leap);
