#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The old calendar's months and the solar terms of one "year" from winter solstice to winter
// solstice, worked out once from the precise moments of the new moons and of the sun.
//
// Days are day numbers (see QReki.h), local time UTC+9. The months are numbered by the rule of
// the calendar in common use since 1844: the month holding the winter solstice (冬至) is the
// 11th; when 13 months lie between one 11th month and the next, the first of them holding no
// principal term (中気, a longitude that is a multiple of 30 degrees) is the leap month and takes
// the number of the month before it.

struct TLunarMonth {
    int32_t First;  // day number of the day of the new moon
    int Month;      // 1..12
    bool Leap;
};

struct TSolarTermDay {
    int32_t Day;  // day number of the day the term begins
    int Index;    // 0..23, 0 = "春分" (longitude 0)
};

class TLunisolarYear {
public:
    // The months from the 11th month holding the winter solstice of year - 1 to the last month
    // before the 11th month holding the one of year, and the solar terms that begin within
    // them.
    explicit TLunisolarYear(int year);

    int Year() const { return year_; }
    // First day of the first month, and the day after the last month.
    int32_t FirstDay() const { return months_.front().First; }
    int32_t EndDay() const { return end_; }
    bool Holds(int32_t day) const { return day >= FirstDay() && day < end_; }

    // The month holding day, which must lie in FirstDay()..EndDay() - 1.
    const TLunarMonth& MonthOf(int32_t day) const;
    // The solar term beginning on day (0..23), or -1.
    int SolarTermOf(int32_t day) const;

    const std::vector<TLunarMonth>& Months() const { return months_; }

private:
    int year_;
    std::vector<TLunarMonth> months_;  // 12 or 13
    int32_t end_;
    std::vector<TSolarTermDay> terms_;
};

// The last few reckoned years, so that a run of days is reckoned from one set of moments.
class TLunisolarCache {
public:
    // The year whose months hold day; day must lie within about 1800..2200. The reference holds
    // until the next call.
    const TLunisolarYear& YearOf(int32_t day);
    // How many years this cache has reckoned so far.
    size_t Reckoned() const { return reckoned_; }

private:
    static constexpr size_t kKept = 4;
    std::vector<TLunisolarYear> years_;  // most recently used last
    size_t reckoned_ = 0;
};

// The calling thread's cache, shared by every reckoning on that thread (the old dates, the solar
// terms), so that a year is worked out once however many ask for it; each thread has its own.
TLunisolarCache& ThreadLunisolarCache();

// The local day (day number) of a dynamical moment.
int32_t LocalDayOf(double jde);
