#include "notes/NoteText.h"

#include <algorithm>
#include <cstdio>
#include <type_traits>

#include "notes/NoteList.h"
#include "storage/Cp932.h"

namespace {

// Formats numbers into a CP932 pattern; titles are joined outside, so that their bytes are
// never read as a pattern.
template <typename... Numbers>
std::string Format(const char* pattern, Numbers... numbers) {
    static_assert((std::is_arithmetic_v<Numbers> && ...), "only numbers go into a pattern");
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, pattern, numbers...);
    return buffer;
}

// The memorial service held in a year after the death. The day of death counts as the first
// year: the first anniversary is 一周忌, the second 三回忌, the sixth 七回忌. Years without a
// service are the day of death with the years since.
std::string MemorialName(int yearsSince) {
    static constexpr struct {
        int YearsSince;
        const char* Name;  // UTF-8
    } kServices[] = {{1, "一周忌"},      {2, "三回忌"},      {6, "七回忌"},
                     {12, "十三回忌"},   {16, "十七回忌"},   {22, "二十三回忌"},
                     {26, "二十七回忌"}, {32, "三十三回忌"}, {49, "五十回忌"}};
    if (yearsSince <= 0) {
        return Sjis("命日");
    }
    for (const auto& service : kServices) {
        if (service.YearsSince == yearsSince) {
            return Sjis(service.Name);
        }
    }
    return Format(Sjis("祥月命日 没後%d年").c_str(), yearsSince);
}

int FirstChosenMonth(uint16_t monthRule) {
    if (monthRule >= 1 && monthRule <= 12) {
        return monthRule;
    }
    if (IsMonthSet(monthRule)) {
        for (int m = 1; m <= 12; ++m) {
            if (monthRule & (1u << (m - 1))) {
                return m;
            }
        }
    }
    return 1;
}

bool OneMonth(uint16_t monthRule) {
    return monthRule != 0 && !IsMonthSet(monthRule);
}

// The age reached on (year, month, day) by someone born on the note's own date.
int AgeOn(const TNoteRec& note, int year, int month, int day) {
    const TYmd born = NoteOwnDate(note);
    int age = year - note.StartYear;
    if (month < born.Month || (month == born.Month && day < born.Day)) {
        --age;
    }
    return age;
}

}  // namespace

TYmd NoteOwnDate(const TNoteRec& note) {
    const int year = note.StartYear;
    const int month = FirstChosenMonth(note.MonthRule);
    // Year 0 (unknown) has no own calendar; a leap year keeps 29 February.
    const int daysInMonth = DaysInMonth(year > 0 ? year : 2000, month);
    int day = 1;
    if (note.DayRule >= 1 && note.DayRule <= 31) {
        day = note.DayRule;
    } else if (note.DayRule == DayRuleLastDay) {
        day = daysInMonth;
    } else if (IsPeriodRule(note.DayRule)) {
        day = std::max(note.DayRule & 0x1F, 1);
    }
    return {year, month, std::min(day, daysInMonth)};
}

bool IsOnceOnly(const TNoteRec& note) {
    return OneMonth(note.MonthRule) && HasEndYear(note) && note.EndYear == note.StartYear;
}

std::string DescribeNoteDate(const TNoteRec& note, bool isReminder) {
    if (OneMonth(note.MonthRule)) {
        const TYmd own = NoteOwnDate(note);
        const std::string monthDay = Format(Sjis("%2d月%2d日").c_str(), own.Month, own.Day);
        if (isReminder && !IsOnceOnly(note)) {
            return Sjis("毎年") + monthDay;
        }
        const std::string year = own.Year > 0 ? Format("%4d", own.Year) : "----";
        return year + Sjis("年") + monthDay;
    }
    const std::string prefix = note.MonthRule == 0 ? Sjis("毎月") : Sjis("指定月");
    const uint16_t rule = note.DayRule;
    if (rule == DayRuleLastDay) {
        return prefix + Sjis("末");
    }
    if (rule >= 1 && rule <= 31) {
        return prefix + Format(Sjis("%2d日").c_str(), int(rule));
    }
    if (IsPeriodRule(rule)) {
        return prefix + Format(Sjis("%2d-%2d日").c_str(), rule & 0x1F, (rule >> 5) & 0x1F);
    }
    if (IsWeekRule(rule)) {
        return prefix + Sjis("／週・曜日");
    }
    return Sjis("不明？？？");
}

std::string DescribeNoteTitle(const TNoteRec& note) {
    if (note.Kind != NoteDone) {
        return note.Title;
    }
    // The day it was ticked done; a done reminder from a file without that day shows its own.
    TYmd done = NoteOwnDate(note);
    if (note.EndDate != 0) {
        done = DecodeDate(note.EndDate);
    }
    return note.Title +
           Format(Sjis("【完了:%d年%d月%d日】").c_str(), done.Year, done.Month, done.Day);
}

std::string TickedTitle(const std::string& title, int32_t doneDay) {
    const TYmd done = DecodeDate(doneDay);
    return title +
           Format(Sjis("【完了:%02d年%d月%d日】").c_str(), done.Year % 100, done.Month, done.Day);
}

std::string TodoSummaryLine(const TNoteRec& note, int32_t today) {
    const int32_t next = WholeDay(note.NextDate);
    const TYmd date = DecodeDate(next);
    const int days = next - today;
    if (days <= 0) {
        const std::string tag =
            days == 0 ? Sjis(" 本日！") : Format(Sjis("%2d日経過").c_str(), -days);
        return Format(Sjis("◆%2d/%2d: ").c_str(), date.Month, date.Day) + note.Title + " " +
               Sjis("【") + tag + Sjis("】");
    }
    const std::string head =
        Format(Sjis("□%2d/%2d: ").c_str(), date.Month, date.Day) + note.Title + " ";
    if (days == 1) {
        return head + " [" + Sjis("明日") + "]";
    }
    if (days == 2) {
        return head + " [" + Sjis("明後日") + "]";
    }
    return head + Format(Sjis("(あと %d日)").c_str(), days);
}

std::string MemorySummaryLine(const TNoteRec& note, int shownYear, bool noDeathDays,
                              const TAgeOptions& ages) {
    const TYmd date = DecodeDate(WholeDay(note.NextDate));
    const bool ageKnown = note.StartYear != 0;
    std::string suffix;
    if (note.Kind == NoteBirthday && HasEndYear(note) && note.EndDate == WholeDay(note.NextDate)) {
        if (noDeathDays) {
            return {};
        }
        const std::string service = MemorialName(shownYear - date.Year);
        const int diedAt = ages.Count == TAgeCount::Counted
                               ? CountedAge(note.StartYear, date.Year)
                               : AgeOn(note, date.Year, date.Month, date.Day);
        const std::string age =
            ageKnown ? Format(Sjis("(享年%d才)").c_str(), diedAt) : std::string();
        suffix = " [" + service + age + "]";
    } else if (note.Kind == NoteBirthday && ageKnown) {
        const int age = date.Year - note.StartYear;
        suffix = ages.CountedBeside ? Format(Sjis(" (%d才 数え%d)").c_str(), age,
                                             CountedAge(note.StartYear, date.Year))
                                    : Format(Sjis(" (%d才)").c_str(), age);
        if (const char* celebration = LongLifeCelebration(note.StartYear, date.Year, ages.Count)) {
            suffix += Sjis("【") + Sjis(celebration) + Sjis("】");
        }
    }
    return Format(Sjis("%4d日│").c_str(), date.Day) + note.Title + suffix;
}

std::string SummarySeparator() {
    std::string line = Sjis("━━━┯");
    for (int i = 0; i < 19; ++i) {
        line += Sjis("━");
    }
    return line;
}

std::vector<std::string> MonthSummary(TNoteList& todoNotes, TNoteList& memoryNotes, int32_t today,
                                      int32_t firstOfMonth, bool noDeathDays,
                                      const TAgeOptions& ages) {
    std::vector<std::string> lines;
    todoNotes.SelectForDate(today);
    for (int i = 0; i < todoNotes.SelectedCount(); ++i) {
        const TNoteRec* note = todoNotes.SelectedNote(i);
        if (note->Kind == NoteOpen) {
            lines.push_back(TodoSummaryLine(*note, today));
        }
    }
    const size_t reminders = lines.size();
    lines.push_back(SummarySeparator());
    memoryNotes.SelectForMonth(firstOfMonth);
    const int shownYear = DecodeDate(firstOfMonth).Year;
    for (int i = 0; i < memoryNotes.SelectedCount(); ++i) {
        std::string line =
            MemorySummaryLine(*memoryNotes.SelectedNote(i), shownYear, noDeathDays, ages);
        if (!line.empty()) {
            lines.push_back(std::move(line));
        }
    }
    // A separator with nothing to separate is no summary.
    if (reminders == 0 && lines.size() == 1) {
        lines.clear();
    }
    return lines;
}
