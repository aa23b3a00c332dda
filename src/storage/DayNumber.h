#pragma once

#include <cstdint>

// Day numbers: whole days counted from 30 December 1899 (day 0); 1 January 2003 is 37622.
// A date-time is the same count as a double whose fraction is the time of day.

struct TYmd {
    int Year;   // 1..9999 for the dates the program shows
    int Month;  // 1..12
    int Day;    // 1..31
};

// Proleptic Gregorian calendar throughout; any day number converts, negative ones included.
int32_t EncodeDate(int year, int month, int day);
TYmd DecodeDate(int32_t dayNumber);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(int32_t dayNumber);

bool IsLeapYear(int year);
// The Gregorian month length, February 29 days in leap years; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// The whole day of a date-time (the time of day cut off, towards minus infinity).
int32_t WholeDay(double dateTime);
