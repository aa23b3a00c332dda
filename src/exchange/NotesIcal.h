#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "notes/NoteRec.h"

// Reminders and anniversaries as iCalendar (RFC 5545), for the calendars of the desktop and the
// phone, and back.
//
// A reminder is a VTODO: its rule becomes the RRULE that names the same days (NoteFallsOn), its
// end year an UNTIL at the year's end, a done mark STATUS:COMPLETED with the day it was done as
// COMPLETED. An anniversary is a yearly all-day VEVENT on the birthday from the year of birth,
// or, once a day of death is set, on the memorial day from the year of death. Each component
// carries the note's own fields in X-VELMORA-NOTE ("kind month-rule day-rule start-year
// end-year end-date"), so that a re-import gives back the very note; a calendar that changed the
// dates since wins over them. A rule no RRULE can name (a period starting past the end of a
// shorter month) goes out as the explicit dates (RDATE) of kDateYears years.

inline constexpr int kDateYears = 10;

struct TIcalExport {
    std::string Text;                  // the .ics, UTF-8
    std::vector<std::string> AsDates;  // titles (CP932) of the notes written as explicit dates
    std::vector<std::string> Left;     // titles (CP932) of notes with no day at all, left out
    int Reminders = 0;                 // reminders written
    int Anniversaries = 0;             // anniversaries written
};

// The .ics of both lists; today (a day number) starts the explicit dates.
TIcalExport NotesToIcal(const std::vector<TNoteRec>& reminders,
                        const std::vector<TNoteRec>& anniversaries, int32_t today);

struct TIcalImport {
    std::vector<TNoteRec> Reminders;
    std::vector<TNoteRec> Anniversaries;
    std::vector<std::string> Skipped;  // CP932 "title: reason", one per entry not taken
    std::string Error;                 // CP932; set when the text is no calendar: nothing taken
};

// The notes of an iCalendar text. VEVENT and VTODO, all-day or timed (a timed entry takes its
// date as written, in its own time zone; a UTC time the local date), with RRULE, RDATE and
// EXDATE; an entry becomes a note when a note names exactly its days (from its first day on,
// for 20 years or to its end), else it is listed in Skipped with the reason. A VEVENT becomes
// an anniversary when it is marked as one (X-VELMORA-NOTE, or CATEGORIES with BIRTHDAY or
// ANNIVERSARY on a yearly event), every other entry a reminder.
TIcalImport IcalToNotes(std::string_view text);

// The notes of incoming that existing lacks (same title, rule, start and end year), in order:
// what an import adds, so that importing a file twice adds nothing the second time.
std::vector<TNoteRec> NewNotes(const std::vector<TNoteRec>& existing,
                               const std::vector<TNoteRec>& incoming);
