#pragma once

#include <cstdint>
#include <string>

// One reminder or anniversary note and the rule that makes it come back.

constexpr uint8_t NoteOpen = 0;      // reminder, open
constexpr uint8_t NoteDone = 1;      // reminder ticked done; EndDate is the day it was done
constexpr uint8_t NoteBirthday = 3;  // anniversary shown in the month list, with the age
constexpr uint8_t NoteHidden = 255;  // anniversary left out of the month list
constexpr uint16_t NoEndYear = 9999;

// MonthRule: 0 every month, 1..12 that month, MonthSetFlag | bits (bit 0 = January) chosen
// months; anything else January.
constexpr uint16_t MonthSetFlag = 0x8000;
// DayRule: 1..31 that day, DayRuleLastDay the month's last day, PeriodRuleFlag | first day in
// bits 0..4 | last day in bits 5..9, WeekRuleFlag | weekday set in bits 0..6 (bit 0 = Sunday) |
// week set in bits 8..12 (bit 0 = days 1..7); anything else day 1.
constexpr uint16_t DayRuleLastDay = 32;
constexpr uint16_t PeriodRuleFlag = 0x4000;
constexpr uint16_t WeekRuleFlag = 0x8000;

struct TNoteRec {
    uint8_t Kind = NoteOpen;
    uint16_t MonthRule = 0;
    uint16_t DayRule = 0;
    uint16_t StartYear = 0;        // first year; for a birthday the year of birth
    uint16_t EndYear = NoEndYear;  // last year; NoEndYear or 0: no end
    int32_t EndDate = 0;           // day number of death or of completion; 0 none
    double NextDate = 0;           // occurrence found by CalcNextDate; never stored
    std::string Title;             // CP932
};

// The rule kinds behind the encodings above.
bool IsMonthSet(uint16_t monthRule);
bool IsPeriodRule(uint16_t dayRule);
bool IsWeekRule(uint16_t dayRule);
uint16_t MakePeriodRule(int firstDay, int lastDay);    // days 1..31
uint16_t MakeWeekRule(int weekdayBits, int weekBits);  // 7 and 5 bits

// Sets note.NextDate to the occurrence of the note for referenceDay (a day number; a fraction
// is ignored) and returns true when the note is active in the year of referenceDay. A day the
// candidate month does not have becomes that month's last day; the computation never fails.
bool CalcNextDate(TNoteRec& note, double referenceDay);

// True when EndYear names a real last year (1..9998).
bool HasEndYear(const TNoteRec& note);

// True when the note's rule names day (a day number): its year lies from StartYear to EndYear,
// its month is one the month rule names and its day one the day rule names, a day the month does
// not have standing for the month's last day (the 31st every month falls on 30 April), as
// CalcNextDate takes it. These are the days a calendar shows the note on.
bool NoteFallsOn(const TNoteRec& note, int32_t day);
