#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "storage/DayNumber.h"  // DaysInMonth lives there

// Holidays and named days from the rules of the holiday file. Dates are date-times (days since
// 1899-12-30; the time of day is ignored). Names are CP932 text.

// One rule of the holiday file.
struct HolidayEntry {
    uint8_t Kind = 0;       // 0, 1: public holiday; 2, 4..7: named day; 3: never matched
    uint8_t Weekdays = 0;   // weekday bits (bit 0 = Sunday) or, for a term rule, term index 0..23
    uint16_t DateCode = 0;  // month 0..12 in the high byte, day code in the low byte
    int32_t FirstYear = 0;  // Gregorian years in which the rule applies, both inclusive
    int32_t LastYear = 0;
    std::string Name;
};

// Day codes (low byte of DateCode):
//   1..31             a fixed day of the month (month 0: of every month)
//   0                 the day of the month on which solar term Weekdays begins
//   0x80 | n          the n-th week (days 7(n-1)+1 .. 7n) on a weekday in Weekdays
//   0xC0 | mask       the weeks k (days 7k+1 .. 7k+7) whose bit is set in mask, weekday as above
inline constexpr uint8_t kWeekRule = 0x80;
inline constexpr uint8_t kWeekSetRule = 0x40;

// The fields of a line of the holiday file: separated by a comma or by blanks (codes 1..32),
// blanks after a comma skipped, two commas giving an empty field, a comma at the end giving an
// empty last field; a field opening with a double quote runs to the closing one, "" standing
// for one quote. Steps over CP932 characters whole.
std::vector<std::string> SplitCommaText(std::string_view text);

class THolidayList {
public:
    using TSettings = std::array<int32_t, 7>;

    // Empties the list and reads the rules of the file; a missing file leaves the list empty, one
    // that cannot be read throws VelmoraError "ファイル %s は開けません" with the reason.
    // A numeric field that is not a whole number throws VelmoraError "'%s' は整数ではありません"
    // with the field's text; the rules read before that line stay in the list.
    void LoadFromFile(const std::string& fileName);

    // Reads one line of the holiday file: a comment, a short line, the settings line or a rule.
    // Throws as LoadFromFile does.
    void ReadLine(std::string_view line);

    // Overwrites the entry with the same DateCode and the same Name (bytes), else appends.
    void AddOrReplace(const HolidayEntry& entry);
    // DateCode ascending, then Kind descending, then Name.
    void Sort();
    void Clear();

    size_t Count() const { return FItems.size(); }
    const HolidayEntry& Items(size_t index) const { return *FItems.at(index); }

    // termIndex is SolarTermOfDate(aDate), computed once by the caller.
    static bool EntryMatches(const HolidayEntry& entry, int termIndex, double aDate);

    // A rule of kind 0 or 1 matches; the substitute rule is not applied.
    bool IsHoliday(double aDate) const;
    // IsHoliday, or a Monday after a Sunday holiday (from 12 April 1973, when the law began it).
    bool HolidayOrSubstitute(double aDate) const;
    // The names of the day, one per line (CR LF), with "振替休日" for a substitute Monday that
    // no holiday rule covers; empty when nothing matches.
    std::string DayText(double aDate) const;

    // The solar term (0..23) that begins on the day of aDate, or -1.
    static int SolarTermOfDate(double aDate);

    // The built-in rule of the substitute Monday; never in the list.
    static const HolidayEntry& SubstituteEntry();

    // Seven values of the settings line, kept for whoever wants them.
    const TSettings& HolidayFileSettings() const { return FSettings; }

private:
    bool HasHolidayRule(double aDate, int termIndex) const;
    bool IsSubstituteMonday(double aDate) const;

    std::vector<std::unique_ptr<HolidayEntry>> FItems;
    TSettings FSettings = {0x00FF8888, 0x00808080, 0x00808080, 0x00808080,
                           0x00808080, 0x00808080, 0x00808080};
};
