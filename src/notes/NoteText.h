#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "notes/NoteRec.h"
#include "notes/TraditionalAge.h"
#include "storage/DayNumber.h"

class TNoteList;

// The texts the window shows for notes, in CP932: the rows of the note lists and the lines of
// the month summary.

// The date a note was entered with: its start year (0 when unknown), its month (the first chosen
// month; January for every month) and its day (the first day of a period, the month's last day
// for the month end, the 1st for a week rule). Rules read from a file are taken as they are.
TYmd NoteOwnDate(const TNoteRec& note);

// True for a reminder that comes in one year only: a one-month rule ending in its start year.
bool IsOnceOnly(const TNoteRec& note);

// The date column of a list row: "2026年 5月 3日" for one month (a birthday, a reminder once
// only), "毎年 5月 3日" for a reminder that comes back every year, "毎月15日", "指定月末",
// "毎月10-20日", "毎月／週・曜日", or "不明？？？".
std::string DescribeNoteDate(const TNoteRec& note, bool isReminder);
// The title column: the title, for a done reminder followed by the day it was ticked done.
std::string DescribeNoteTitle(const TNoteRec& note);
// A done reminder's title column as the tick shows it at once: "【完了:26年3月10日】".
std::string TickedTitle(const std::string& title, int32_t doneDay);

// The month summary line of an open reminder whose occurrence is note.NextDate, seen from today.
std::string TodoSummaryLine(const TNoteRec& note, int32_t today);
// How the month summary shows ages: the counted age beside the full one, and the count by which
// the long-life celebrations and 享年 go.
struct TAgeOptions {
    bool CountedBeside = false;
    TAgeCount Count = TAgeCount::Full;
};

// The month summary line of an anniversary whose occurrence in the shown year is
// note.NextDate; empty when the day of death is to be left out (noDeathDays). A birthday with a
// birth year shows the age reached and the long-life celebration of that year.
std::string MemorySummaryLine(const TNoteRec& note, int shownYear, bool noDeathDays,
                              const TAgeOptions& ages = {});
// The line between the reminders and the anniversaries.
std::string SummarySeparator();

// The whole month summary: the open reminders around today, the separator, then the
// anniversaries of the month that starts at firstOfMonth; no lines when there is neither.
// Rebuilds both lists' selections.
std::vector<std::string> MonthSummary(TNoteList& todoNotes, TNoteList& memoryNotes, int32_t today,
                                      int32_t firstOfMonth, bool noDeathDays,
                                      const TAgeOptions& ages = {});
