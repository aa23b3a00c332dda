#include "notes/NoteForm.h"

#include <algorithm>

#include "notes/NoteText.h"
#include "storage/Cp932.h"

namespace {

bool SameDate(const TYmd& a, const TYmd& b) {
    return a.Year == b.Year && a.Month == b.Month && a.Day == b.Day;
}

bool RepeatsWithinYear(const TNoteRec& note) {
    return note.MonthRule == 0 || IsMonthSet(note.MonthRule) || note.DayRule == DayRuleLastDay ||
           IsPeriodRule(note.DayRule) || IsWeekRule(note.DayRule);
}

}  // namespace

TNoteRec DefaultNote(int32_t today) {
    const TYmd date = DecodeDate(today);
    TNoteRec note;
    note.Kind = NoteOpen;
    note.MonthRule = static_cast<uint16_t>(date.Month);
    note.DayRule = static_cast<uint16_t>(date.Day);
    note.StartYear = static_cast<uint16_t>(date.Year);
    note.EndYear = NoEndYear;
    note.EndDate = 0;
    note.Title = Sjis("ここに件名を入力してください");
    return note;
}

TNoteForm NoteToForm(const TNoteRec& note, bool isReminder, int32_t today) {
    TNoteForm form;
    form.Title = note.Title;
    const TYmd own = NoteOwnDate(note);
    const int year = std::max(own.Year, kEarliestShownYear);
    form.Date = {year, own.Month, std::min(own.Day, DaysInMonth(year, own.Month))};

    form.HasEnd = HasEndYear(note);
    form.EndDay = today;
    if (form.HasEnd) {
        // A reminder keeps only its end year (its EndDate is the day it was done).
        form.EndDay =
            !isReminder && note.EndDate != 0 ? note.EndDate : EncodeDate(note.EndYear, 12, 31);
    }
    form.Hidden = !isReminder && note.Kind == NoteHidden;

    form.Repeat = isReminder && RepeatsWithinYear(note);
    form.Once = isReminder && !form.Repeat && IsOnceOnly(note);
    if (form.Once) {
        // Its end is its own date, not an end the user set.
        form.HasEnd = false;
        form.EndDay = today;
    }
    form.ChosenMonths = IsMonthSet(note.MonthRule);
    form.MonthBits = form.ChosenMonths ? note.MonthRule & 0x0FFF : 0;
    if (form.Repeat && note.MonthRule >= 1 && note.MonthRule <= 12) {
        // A repeat within one month shows as that month chosen.
        form.ChosenMonths = true;
        form.MonthBits = static_cast<uint16_t>(1u << (note.MonthRule - 1));
    }
    form.PeriodLast = form.Date.Day;
    if (note.DayRule == DayRuleLastDay) {
        form.DayChoice = TDayChoice::MonthEnd;
    } else if (IsPeriodRule(note.DayRule)) {
        form.Period = true;
        form.PeriodLast = std::max((note.DayRule >> 5) & 0x1F, form.Date.Day);
    } else if (IsWeekRule(note.DayRule)) {
        form.DayChoice = TDayChoice::Week;
        form.WeekBits = (note.DayRule >> 8) & 0x1F;
        form.WeekdayBits = note.DayRule & 0x7F;
    }
    return form;
}

TNoteRec FormToNote(const TNoteRec& original, const TNoteForm& loaded, const TNoteForm& edited,
                    bool isReminder) {
    TNoteRec note = original;
    note.Title = edited.Title;
    note.Kind = isReminder ? NoteOpen : (edited.Hidden ? NoteHidden : NoteBirthday);

    int day = edited.Date.Day;
    if (SameDate(edited.Date, loaded.Date)) {
        // The shown date may have moved the note (a start year before the calendar, a day the
        // month lacks): an untouched date keeps the note's own.
        const TYmd own = NoteOwnDate(original);
        note.StartYear = original.StartYear;
        note.MonthRule = original.MonthRule >= 1 && original.MonthRule <= 12
                             ? original.MonthRule
                             : static_cast<uint16_t>(own.Month);
        note.DayRule = original.DayRule >= 1 && original.DayRule <= 31
                           ? original.DayRule
                           : static_cast<uint16_t>(own.Day);
        day = own.Day;
    } else {
        note.StartYear = static_cast<uint16_t>(edited.Date.Year);
        note.MonthRule = static_cast<uint16_t>(edited.Date.Month);
        note.DayRule = static_cast<uint16_t>(edited.Date.Day);
    }

    if (!edited.HasEnd) {
        note.EndYear = NoEndYear;
    } else if (!loaded.HasEnd || edited.EndDay != loaded.EndDay) {
        note.EndYear = static_cast<uint16_t>(DecodeDate(edited.EndDay).Year);
        if (!isReminder) {
            note.EndDate = edited.EndDay;
        }
    }

    if (isReminder && !edited.Repeat && edited.Once) {
        note.EndYear = note.StartYear;
    }

    if (isReminder && edited.Repeat) {
        note.MonthRule =
            edited.ChosenMonths ? static_cast<uint16_t>(MonthSetFlag | edited.MonthBits) : 0;
        const bool oneMonth = original.MonthRule >= 1 && original.MonthRule <= 12;
        if (oneMonth && edited.ChosenMonths &&
            edited.MonthBits == (1u << (original.MonthRule - 1))) {
            // The same single month keeps its own encoding.
            note.MonthRule = original.MonthRule;
        }
        switch (edited.DayChoice) {
            case TDayChoice::Day:
                if (edited.Period) {
                    note.DayRule = MakePeriodRule(day, edited.PeriodLast);
                }
                break;
            case TDayChoice::MonthEnd:
                note.DayRule = DayRuleLastDay;
                break;
            case TDayChoice::Week:
                note.DayRule = MakeWeekRule(edited.WeekdayBits, edited.WeekBits);
                break;
        }
    }
    return note;
}
