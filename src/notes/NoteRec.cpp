#include "notes/NoteRec.h"

#include <algorithm>

#include "storage/DayNumber.h"

namespace {

constexpr uint16_t kRuleKindMask = 0xC000;

// The day number of (year, month, day), a day beyond the month's end taken as its last day and
// a day below 1 as the first.
int32_t ClampedDate(int year, int month, int day) {
    return EncodeDate(year, month, std::clamp(day, 1, DaysInMonth(year, month)));
}

int CandidateMonth(uint16_t monthRule, int referenceMonth) {
    if (monthRule == 0) {
        return referenceMonth;
    }
    if (monthRule <= 12) {
        return monthRule;
    }
    if (IsMonthSet(monthRule)) {
        for (int m = referenceMonth; m <= 12; ++m) {
            if (monthRule & (1u << (m - 1))) {
                return m;
            }
        }
    }
    // No chosen month from the reference month on (the year is not advanced), or an unknown
    // rule.
    return 1;
}

// The first day from start on, across month and year ends, whose week of the month and weekday
// are in the rule's sets; an empty set stands for all.
int32_t NextWeekRuleDay(uint16_t dayRule, int32_t start) {
    unsigned weekdays = dayRule & 0x7F;
    unsigned weeks = (dayRule >> 8) & 0x1F;
    if (weekdays == 0) {
        weekdays = 0x7F;
    }
    if (weeks == 0) {
        weeks = 0x1F;
    }
    // Every weekday falls in every week of the month within a few years, so the walk ends.
    for (int32_t day = start;; ++day) {
        const int week = (DecodeDate(day).Day - 1) / 7;
        if ((weeks & (1u << week)) && (weekdays & (1u << (DayOfWeek(day) - 1)))) {
            return day;
        }
    }
}

}  // namespace

bool IsMonthSet(uint16_t monthRule) {
    return (monthRule & MonthSetFlag) != 0;
}

bool IsPeriodRule(uint16_t dayRule) {
    return (dayRule & kRuleKindMask) == PeriodRuleFlag;
}

bool IsWeekRule(uint16_t dayRule) {
    return (dayRule & kRuleKindMask) == WeekRuleFlag;
}

uint16_t MakePeriodRule(int firstDay, int lastDay) {
    return static_cast<uint16_t>(PeriodRuleFlag | ((lastDay & 0x1F) << 5) | (firstDay & 0x1F));
}

uint16_t MakeWeekRule(int weekdayBits, int weekBits) {
    return static_cast<uint16_t>(WeekRuleFlag | ((weekBits & 0x1F) << 8) | (weekdayBits & 0x7F));
}

bool CalcNextDate(TNoteRec& note, double referenceDay) {
    const int32_t reference = WholeDay(referenceDay);
    const TYmd ref = DecodeDate(reference);

    int year = ref.Year;
    if (note.StartYear > ref.Year) {
        year = note.StartYear;
    } else if (note.EndYear != 0 && note.EndYear < ref.Year) {
        year = note.EndYear;
    }
    const bool active = year == ref.Year;

    int month = CandidateMonth(note.MonthRule, ref.Month);
    const uint16_t dayRule = note.DayRule;
    if (IsWeekRule(dayRule)) {
        note.NextDate = NextWeekRuleDay(dayRule, ClampedDate(year, month, ref.Day));
        return active;
    }

    int day = 1;
    if (dayRule >= 1 && dayRule <= 31) {
        day = dayRule;
    } else if (dayRule == DayRuleLastDay) {
        day = DaysInMonth(year, month);
    } else if (IsPeriodRule(dayRule)) {
        const int first = dayRule & 0x1F;
        const int last = (dayRule >> 5) & 0x1F;
        day = first;
        if (last < ref.Day) {
            // This month's period is over: the next one starts next month.
            if (++month > 12) {
                month = 1;
                ++year;
            }
        } else if (first <= ref.Day) {
            day = ref.Day;
        }
    }

    int32_t next = ClampedDate(year, month, day);
    if (note.EndYear != 0 && note.EndYear <= ref.Year && next < reference) {
        next = note.EndDate;
    }
    note.NextDate = next;
    return active;
}

bool NoteFallsOn(const TNoteRec& note, int32_t day) {
    const TYmd ymd = DecodeDate(day);
    if (ymd.Year < note.StartYear || (note.EndYear != 0 && ymd.Year > note.EndYear)) {
        return false;
    }
    // An empty month set, like an unknown rule, stands for January.
    const uint16_t monthRule = note.MonthRule;
    const unsigned monthSet = IsMonthSet(monthRule) ? monthRule & 0xFFFu : 0;
    if (monthSet != 0 ? !(monthSet & (1u << (ymd.Month - 1)))
                      : monthRule != 0 && ymd.Month != (monthRule <= 12 ? monthRule : 1)) {
        return false;
    }
    const int lastDay = DaysInMonth(ymd.Year, ymd.Month);
    const auto clamped = [lastDay](int d) { return std::min(d, lastDay); };
    const uint16_t dayRule = note.DayRule;
    if (IsWeekRule(dayRule)) {
        const unsigned weekdays = dayRule & 0x7F;
        const unsigned weeks = (dayRule >> 8) & 0x1F;
        return (weekdays == 0 || (weekdays & (1u << (DayOfWeek(day) - 1)))) &&
               (weeks == 0 || (weeks & (1u << ((ymd.Day - 1) / 7))));
    }
    if (IsPeriodRule(dayRule)) {
        const int first = clamped(std::max(dayRule & 0x1F, 1));
        const int last = clamped((dayRule >> 5) & 0x1F);
        return ymd.Day >= first && ymd.Day <= last;
    }
    if (dayRule >= 1 && dayRule <= DayRuleLastDay) {
        return ymd.Day == clamped(dayRule);
    }
    return ymd.Day == 1;
}

bool HasEndYear(const TNoteRec& note) {
    return note.EndYear >= 1 && note.EndYear <= 9998;
}
