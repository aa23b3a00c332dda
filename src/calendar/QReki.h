#pragma once

#include <cstdint>
#include <string>

// The old Japanese lunisolar calendar, the rokuyo and the 24 solar terms, from the precise
// moments of the new moons and of the sun's longitude (Ephemeris.h) at the fixed time zone of
// UTC+9, with the months numbered as LunisolarYear.h describes.
//
// Moments are counted in "day number" scale: the whole part of a date-time plus 2415018, so
// that 2451544.0 is 2000-01-01 00:00 local time. Names are CP932 text.

// Day number of day 0 of the date-times (1899-12-30).
inline constexpr int32_t kDayNumberOffset = 2415018;

// The days, as date-times, whose old date TKyureki reckons: 1899-01-01 .. 2101-12-31, the grid's
// years 1900 to 2100 and a year either side for the days of the neighbouring months that it
// shows around its range.
inline constexpr int32_t kKyurekiFirstDay = -363;
inline constexpr int32_t kKyurekiLastDay = 73780;

// Rokuyo names, index 0..5 ("先勝" .. "赤口").
const std::string& RokuyoNameAt(int index);
// Traditional month names, month 1..12 ("睦月" .. "師走").
const std::string& MonthNameAt(int month);
// Solar-term names, index 0..23; term k begins when the sun's apparent longitude reaches 15k
// degrees (0 = "春分", 6 = "夏至", 12 = "秋分", 18 = "冬至").
const std::string& SolarTermName(int index);

// x reduced to [0, 360) for x >= 0; for negative x the result lies in (0, 360], -360 giving 360.
double NormalizeAngle(double degrees);

// The moment, in day-number scale, of the last new moon at or before the moment x (time of day
// kept). Far outside the years 1700..2300 it does not search and returns x.
double NewMoonBefore(double moment);

// The solar term that begins on the day dayNumber (local midnight to midnight): 0..23, or -1.
int SolarTermOfDay(int32_t dayNumber);

class TKyureki {
public:
    // Fills every field for the day of aDate; the time of day is ignored. A date outside
    // kKyurekiFirstDay..kKyurekiLastDay (or not a number) has no old date: Year, Month and Day
    // are 0, Leap false, SolarTerm -1, and the names below are empty.
    void Calculate(double aDate);

    // The rokuyo of the old date last computed; call Calculate first.
    const std::string& RokuyoName() const;
    // 1 for "大安", 2 for "仏滅", 0 for the others and for no old date.
    uint8_t RokuyoKind() const;
    // The traditional name of the Gregorian month of Date() (April gives "卯月").
    const std::string& MonthName() const;

    // The day number of the last moment before moment x at which the sun's longitude was a whole
    // multiple of step degrees (90 or 30). Leaves that multiple in TermAngle(). Far outside the
    // years 1700..2300 it does not search and returns the whole day of x; x must lie within
    // int32_t.
    int32_t TermBefore(double step, double moment);

    double Date() const { return FDate; }
    int32_t Year() const { return FYear; }            // old-calendar year, Gregorian numbering
    int32_t Month() const { return FMonth; }          // 1..12
    int32_t Day() const { return FDay; }              // 1..30
    bool Leap() const { return FLeap; }               // Month() is an intercalary month
    int32_t SolarTerm() const { return FSolarTerm; }  // 0..23 begins on Date(), or -1
    double TermAngle() const { return FTermAngle; }
    // The rokuyo as an index into RokuyoNameAt, or -1 without an old date.
    int RokuyoIndex() const;

private:
    double FDate = 0;
    int32_t FYear = 0;
    int32_t FMonth = 0;
    int32_t FDay = 0;
    bool FLeap = false;
    int32_t FSolarTerm = 0;
    double FTermAngle = 0;
};
