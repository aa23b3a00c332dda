#include "calendar/LunisolarYear.h"

#include <algorithm>
#include <cmath>

#include "calendar/Ephemeris.h"
#include "storage/DayNumber.h"

namespace {

constexpr double kWinterSolstice = 270;
constexpr double kDaysPerDegree = 365.242189 / 360;
// Day number of 1899-12-30, day 0 of the date-times.
constexpr int32_t kDayNumberOfDayZero = 2415018;
// JD in Universal Time of local midnight starting day number N is N + this: local time is nine
// hours ahead, and a Julian Day begins at noon.
constexpr double kLocalMidnight = 0.125;

// A dynamical moment near the winter solstice of a Gregorian year (21 December at noon UT).
double SolsticeGuess(int year) {
    return EncodeDate(year, 12, 21) + kDayNumberOfDayZero + 0.5;
}

int32_t SolsticeDay(int year) {
    return LocalDayOf(SunLongitudeMoment(kWinterSolstice, SolsticeGuess(year)));
}

int32_t NewMoonDay(int k) {
    return LocalDayOf(NewMoonMoment(k));
}

// The number of the new moon that begins the month holding the local day.
int MonthStartNumber(int32_t day) {
    // The last new moon before the end of the day.
    return NewMoonNumberAtOrBefore(DynamicalFromUniversal(day + 1 + kLocalMidnight));
}

int NextMonthNumber(int month) {
    return month % 12 + 1;
}

}  // namespace

int32_t LocalDayOf(double jde) {
    return static_cast<int32_t>(std::floor(UniversalFromDynamical(jde) - kLocalMidnight));
}

TLunisolarYear::TLunisolarYear(int year) : year_(year) {
    const int32_t solstice = SolsticeDay(year - 1);
    const int32_t nextSolstice = SolsticeDay(year);
    const int first = MonthStartNumber(solstice);
    const int last = MonthStartNumber(nextSolstice);  // begins the next year's 11th month

    // The principal terms from this winter solstice to the next, and every term that can begin
    // within the months (from 小雪, 240 degrees, of the year before).
    std::vector<int32_t> principal;
    double moment = SunLongitudeMoment(240, SolsticeGuess(year - 1) - 30 * kDaysPerDegree);
    for (int step = 0; step <= 26; ++step) {
        const double degrees = 240 + 15 * step;
        if (step > 0) {
            moment = SunLongitudeMoment(std::fmod(degrees, 360), moment + 15 * kDaysPerDegree);
        }
        const int32_t day = LocalDayOf(moment);
        const int index = static_cast<int>(std::fmod(degrees, 360)) / 15;
        terms_.push_back({day, index});
        if (index % 2 == 0) {
            principal.push_back(day);
        }
    }

    const bool hasLeapMonth = last - first == 13;
    bool leapFound = false;
    int month = 11;
    for (int k = first; k < last; ++k) {
        const int32_t start = NewMoonDay(k);
        const int32_t next = NewMoonDay(k + 1);
        bool leap = false;
        if (hasLeapMonth && !leapFound) {
            leap = std::none_of(principal.begin(), principal.end(),
                                [&](int32_t day) { return day >= start && day < next; });
            leapFound = leap;
        }
        if (k != first && !leap) {
            month = NextMonthNumber(month);
        }
        months_.push_back({start, month, leap});
    }
    end_ = NewMoonDay(last);
}

const TLunarMonth& TLunisolarYear::MonthOf(int32_t day) const {
    const auto after =
        std::upper_bound(months_.begin(), months_.end(), day,
                         [](int32_t d, const TLunarMonth& m) { return d < m.First; });
    return *(after == months_.begin() ? after : after - 1);
}

int TLunisolarYear::SolarTermOf(int32_t day) const {
    for (const TSolarTermDay& term : terms_) {
        if (term.Day == day) {
            return term.Index;
        }
    }
    return -1;
}

const TLunisolarYear& TLunisolarCache::YearOf(int32_t day) {
    for (auto it = years_.begin(); it != years_.end(); ++it) {
        if (it->Holds(day)) {
            std::rotate(it, it + 1, years_.end());
            return years_.back();
        }
    }
    // The year holding a day is the one of its Gregorian year, or the next one from the 11th
    // month on.
    int year = DecodeDate(day - kDayNumberOfDayZero).Year;
    TLunisolarYear found(year);
    ++reckoned_;
    if (!found.Holds(day)) {
        found = TLunisolarYear(day < found.FirstDay() ? year - 1 : year + 1);
        ++reckoned_;
    }
    if (years_.size() == kKept) {
        years_.erase(years_.begin());
    }
    years_.push_back(std::move(found));
    return years_.back();
}

TLunisolarCache& ThreadLunisolarCache() {
    thread_local TLunisolarCache cache;
    return cache;
}
