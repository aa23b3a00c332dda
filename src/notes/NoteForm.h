#pragma once

#include <cstdint>
#include <string>

#include "notes/NoteRec.h"
#include "storage/DayNumber.h"

// What the note editor shows of one note, and the note it makes of the user's choices. The
// editor only maps these fields to its controls.

// The choice of day within a repeating month.
enum class TDayChoice { Day, MonthEnd, Week };

struct TNoteForm {
    std::string Title;          // CP932
    TYmd Date{};                // the note's date; the year is its start year
    bool HasEnd = false;        // 逝去 / 終了
    int32_t EndDay = 0;         // day number shown as the end
    bool Hidden = false;        // birthday left out of the month summary
    bool Repeat = false;        // the repeat rule is in use (reminders)
    bool Once = false;          // a reminder without a repeat rule comes in its year only
    bool ChosenMonths = false;  // 指定月 instead of 毎月
    uint16_t MonthBits = 0;     // bit 0 = January
    TDayChoice DayChoice = TDayChoice::Day;
    bool Period = false;
    int PeriodLast = 1;       // last day of the period, 1..31
    uint8_t WeekBits = 0;     // bit 0 = days 1..7
    uint8_t WeekdayBits = 0;  // bit 0 = Sunday
};

// The earliest year the editor's date shows; earlier start years (0: unknown) show in it.
constexpr int kEarliestShownYear = 1899;

// The form for note.
TNoteForm NoteToForm(const TNoteRec& note, bool isReminder, int32_t today);

// The note made of the form edited from loaded, which was made of original. Fields the user did
// not change keep the original's values: an untouched date keeps the start year, month and day
// (which the shown date cannot always hold), an untouched end keeps the end year and day.
// A reminder comes back open, a birthday as shown or hidden. A reminder once only ends in its
// start year, which every reader of the note file takes as a note of that year alone.
TNoteRec FormToNote(const TNoteRec& original, const TNoteForm& loaded, const TNoteForm& edited,
                    bool isReminder);

// The note a new entry starts from: today's month and day, open, no end, a title to replace.
TNoteRec DefaultNote(int32_t today);
