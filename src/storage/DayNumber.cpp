#include "storage/DayNumber.h"

#include <cmath>

namespace {
// Days from 1 January 1970 to 30 December 1899 is -25569.
constexpr int32_t kUnixEpochDayNumber = 25569;

// Days since 1970-01-01 of a civil date, counting in 400-year eras that start on 1 March so
// that the leap day falls at the end of the year being counted.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(y - era * 400);
    const unsigned dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}
}  // namespace

int32_t EncodeDate(int year, int month, int day) {
    return static_cast<int32_t>(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
        kUnixEpochDayNumber);
}

TYmd DecodeDate(int32_t dayNumber) {
    const int64_t z = static_cast<int64_t>(dayNumber) - kUnixEpochDayNumber + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(z - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    const unsigned d = dayOfYear - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = static_cast<int64_t>(yearOfEra) + era * 400 + (m <= 2 ? 1 : 0);
    return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

int DayOfWeek(int32_t dayNumber) {
    // Day 0, 30 December 1899, was a Saturday (7).
    const int r = static_cast<int>(((static_cast<int64_t>(dayNumber) + 6) % 7 + 7) % 7);
    return r + 1;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int32_t WholeDay(double dateTime) {
    return static_cast<int32_t>(std::floor(dateTime));
}
