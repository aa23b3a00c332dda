#include "exchange/NotesIcal.h"

#include <libical/ical.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <set>

#include "storage/Cp932.h"
#include "storage/DayNumber.h"

namespace {

// How far an entry without an end is compared with the note made of it.
constexpr int kComparedYears = 20;

const char* const kWeekdays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

struct TComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using TComponent = std::unique_ptr<icalcomponent, TComponentFree>;

std::string Number(int value) {
    return std::to_string(value);
}

icaltimetype DateValue(int32_t day) {
    const TYmd ymd = DecodeDate(day);
    icaltimetype t = icaltime_null_date();
    t.year = ymd.Year;
    t.month = ymd.Month;
    t.day = ymd.Day;
    return t;
}

// The months a month rule names, January first.
std::vector<int> RuleMonths(uint16_t monthRule) {
    std::vector<int> months;
    if (monthRule == 0) {
        for (int m = 1; m <= 12; ++m)
            months.push_back(m);
    } else if (IsMonthSet(monthRule) && (monthRule & 0xFFF) != 0) {
        for (int m = 1; m <= 12; ++m)
            if (monthRule & (1u << (m - 1)))
                months.push_back(m);
    } else {
        months.push_back(monthRule >= 1 && monthRule <= 12 ? monthRule : 1);
    }
    return months;
}

std::string List(const std::vector<int>& values) {
    std::string text;
    for (const int v : values)
        text += (text.empty() ? "" : ",") + Number(v);
    return text;
}

std::string Range(int first, int last) {
    std::vector<int> days;
    for (int d = first; d <= last; ++d)
        days.push_back(d);
    return List(days);
}

// The RRULE (without its end) naming the days NoteFallsOn gives for the rule in every year;
// nullopt when no RRULE can (a period that starts past the end of a shorter month, where the
// month's last day stands in for the whole period).
std::optional<std::string> RuleText(uint16_t monthRule, uint16_t dayRule) {
    const std::vector<int> months = RuleMonths(monthRule);
    int shortest = 31;
    for (const int m : months)
        shortest = std::min(shortest, m == 2 ? 28 : DaysInMonth(2001, m));
    const std::string byMonth = months.size() == 12 ? "" : ";BYMONTH=" + List(months);
    const std::string monthly = (months.size() == 1 ? "FREQ=YEARLY" : "FREQ=MONTHLY") + byMonth;

    if (IsWeekRule(dayRule)) {
        const unsigned weekdays = dayRule & 0x7F;
        const unsigned weeks = (dayRule >> 8) & 0x1F;
        const bool allWeeks = weeks == 0 || weeks == 0x1F;
        if (weekdays == 0 && allWeeks)
            return "FREQ=DAILY" + byMonth;
        if (weekdays == 0) {
            std::vector<int> days;
            for (int w = 0; w < 5; ++w)
                if (weeks & (1u << w))
                    for (int d = w * 7 + 1; d <= std::min(w * 7 + 7, 31); ++d)
                        days.push_back(d);
            return monthly + ";BYMONTHDAY=" + List(days);
        }
        std::string byDay;
        // The nth weekday of a month is the one in its nth week (days 1..7, 8..14, ...).
        for (int w = 0; w < 5; ++w) {
            if (!allWeeks && !(weeks & (1u << w)))
                continue;
            for (int d = 0; d < 7; ++d)
                if (weekdays & (1u << d))
                    byDay += (byDay.empty() ? "" : ",") +
                             (allWeeks ? std::string() : Number(w + 1)) + kWeekdays[d];
            if (allWeeks)
                break;
        }
        return (allWeeks ? "FREQ=WEEKLY" + byMonth : monthly) + ";BYDAY=" + byDay;
    }
    if (IsPeriodRule(dayRule)) {
        const int first = std::max(dayRule & 0x1F, 1);
        const int last = (dayRule >> 5) & 0x1F;
        if (first > last || first > shortest)
            return std::nullopt;
        return monthly + ";BYMONTHDAY=" + Range(first, last);
    }
    const int day = dayRule >= 1 && dayRule <= DayRuleLastDay ? dayRule : 1;
    if (day <= shortest)
        return monthly + ";BYMONTHDAY=" + Number(day);
    if (day >= 31)
        return monthly + ";BYMONTHDAY=-1";
    // The 29th or 30th, or the month's last day where it has fewer.
    return monthly + ";BYMONTHDAY=" + Range(28, day) + ";BYSETPOS=-1";
}

// The days an anniversary stands for: the birthday from the year of birth, or, once a day of
// death is known, the memorial day from the year of death.
bool AnniversaryFallsOn(const TNoteRec& note, int32_t day) {
    if (note.EndDate == 0)
        return NoteFallsOn(note, day);
    const TYmd death = DecodeDate(note.EndDate);
    TNoteRec memorial;
    memorial.MonthRule = static_cast<uint16_t>(death.Month);
    memorial.DayRule = static_cast<uint16_t>(death.Day);
    memorial.StartYear = static_cast<uint16_t>(death.Year);
    return NoteFallsOn(memorial, day);
}

bool FallsOn(const TNoteRec& note, bool anniversary, int32_t day) {
    return anniversary ? AnniversaryFallsOn(note, day) : NoteFallsOn(note, day);
}

int LastYear(const TNoteRec& note) {
    return HasEndYear(note) ? note.EndYear : 9999;
}

// The first day of the note from the start of its first year (or of fromYear, when later),
// searched for kComparedYears.
std::optional<int32_t> FirstDay(const TNoteRec& note, bool anniversary, int fromYear) {
    if (anniversary && note.EndDate != 0)
        return note.EndDate;
    const int year = std::max<int>({note.StartYear, fromYear, 1});
    const int32_t end = EncodeDate(std::min(year + kComparedYears, LastYear(note)), 12, 31);
    for (int32_t day = EncodeDate(year, 1, 1); day <= end; ++day)
        if (NoteFallsOn(note, day))
            return day;
    return std::nullopt;
}

void AddX(icalcomponent* c, const char* name, const std::string& value) {
    icalproperty* p = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(p, name);
    icalcomponent_add_property(c, p);
}

std::string NoteFields(const TNoteRec& note) {
    return Number(note.Kind) + " " + Number(note.MonthRule) + " " + Number(note.DayRule) + " " +
           Number(note.StartYear) + " " + Number(note.EndYear) + " " + Number(note.EndDate);
}

icaltimetype UtcNow() {
    return icaltime_from_timet_with_zone(std::time(nullptr), 0, icaltimezone_get_utc_timezone());
}

// One note as a component of calendar; false when it has no day to put it on.
bool AddNote(icalcomponent* calendar, const TNoteRec& note, bool anniversary, int index,
             int32_t today, TIcalExport& out) {
    // A memorial comes back on the day of death.
    TNoteRec rule = note;
    if (anniversary && note.EndDate != 0) {
        const TYmd death = DecodeDate(note.EndDate);
        rule.MonthRule = static_cast<uint16_t>(death.Month);
        rule.DayRule = static_cast<uint16_t>(death.Day);
        rule.EndYear = NoEndYear;
    }
    const std::optional<std::string> text = RuleText(rule.MonthRule, rule.DayRule);
    // Explicit dates start this year.
    const std::optional<int32_t> first =
        FirstDay(note, anniversary, text ? 0 : DecodeDate(today).Year);
    if (!first) {
        out.Left.push_back(note.Title);
        return false;
    }
    icalcomponent* c = anniversary ? icalcomponent_new_vevent() : icalcomponent_new_vtodo();
    icalcomponent_add_property(
        c, icalproperty_new_uid(
               ((anniversary ? "velmora-mem-" : "velmora-tdo-") + Number(index) + "@velmora")
                   .c_str()));
    icalcomponent_add_property(c, icalproperty_new_dtstamp(UtcNow()));
    icalcomponent_add_property(c, icalproperty_new_summary(Cp932ToUtf8(note.Title).c_str()));
    icalcomponent_add_property(c, icalproperty_new_dtstart(DateValue(*first)));
    if (anniversary) {
        icalcomponent_add_property(c, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
        icalcomponent_add_property(
            c, icalproperty_new_categories(note.EndDate != 0 ? "ANNIVERSARY" : "BIRTHDAY"));
    } else {
        const bool done = note.Kind == NoteDone;
        icalcomponent_add_property(
            c, icalproperty_new_status(done ? ICAL_STATUS_COMPLETED : ICAL_STATUS_NEEDSACTION));
        if (done && note.EndDate != 0) {
            // The day it was done, at noon UTC, so that every time zone reads the same date.
            icaltimetype at = DateValue(note.EndDate);
            at.is_date = 0;
            at.hour = 12;
            at.minute = 0;
            at.second = 0;
            at.zone = icaltimezone_get_utc_timezone();
            icalcomponent_add_property(c, icalproperty_new_completed(at));
        }
    }

    const bool yearlyOnce = rule.MonthRule >= 1 && rule.MonthRule <= 12 && rule.DayRule >= 1 &&
                            rule.DayRule <= DayRuleLastDay && rule.EndYear == rule.StartYear;
    if (text && !yearlyOnce) {
        std::string rrule = *text;
        if (HasEndYear(rule))
            rrule += ";UNTIL=" + Number(rule.EndYear) + "1231";
        icalcomponent_add_property(
            c, icalproperty_new_rrule(icalrecurrencetype_from_string(rrule.c_str())));
    } else if (!text) {
        const int from = DecodeDate(*first).Year;
        const int32_t end = EncodeDate(std::min(from + kDateYears - 1, LastYear(rule)), 12, 31);
        for (int32_t day = *first + 1; day <= end; ++day) {
            if (!NoteFallsOn(rule, day))
                continue;
            icaldatetimeperiodtype rdate{};
            rdate.time = DateValue(day);
            rdate.period = icalperiodtype_null_period();
            icalcomponent_add_property(c, icalproperty_new_rdate(rdate));
        }
        out.AsDates.push_back(note.Title);
    }
    AddX(c, "X-VELMORA-NOTE", NoteFields(note));
    icalcomponent_add_component(calendar, c);
    return true;
}

// --- Reading ---

struct TEntry {
    std::string Title;  // UTF-8
    bool Todo = false;
    bool Anniversary = false;
    bool Done = false;
    int32_t Completed = 0;
    int32_t First = 0;
    bool Finite = true;
    std::set<int32_t> Days;  // in the compared span
    int32_t SpanEnd = 0;     // last day compared
    std::optional<icalrecurrencetype> Rule;
    std::optional<TNoteRec> Own;  // from X-VELMORA-NOTE
};

// The local date of a time: a UTC time in this computer's zone, any other as written.
int32_t DayOf(const icaltimetype& t) {
    if (!t.is_date && icaltime_is_utc(t)) {
        const std::time_t at = icaltime_as_timet(t);
        std::tm local{};
        localtime_r(&at, &local);
        return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    }
    return EncodeDate(t.year, t.month, t.day);
}

std::optional<TNoteRec> ReadOwnFields(icalcomponent* c) {
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY)) {
        const char* name = icalproperty_get_x_name(p);
        const char* value = icalproperty_get_x(p);
        if (!name || !value || std::string_view(name) != "X-VELMORA-NOTE")
            continue;
        unsigned kind, month, day, start, end;
        int endDate;
        if (std::sscanf(value, "%u %u %u %u %u %d", &kind, &month, &day, &start, &end, &endDate) !=
                6 ||
            kind > 255 || month > 0xFFFF || day > 0xFFFF || start > 0xFFFF || end > 0xFFFF)
            return std::nullopt;
        TNoteRec note;
        note.Kind = static_cast<uint8_t>(kind);
        note.MonthRule = static_cast<uint16_t>(month);
        note.DayRule = static_cast<uint16_t>(day);
        note.StartYear = static_cast<uint16_t>(start);
        note.EndYear = static_cast<uint16_t>(end);
        note.EndDate = endDate;
        return note;
    }
    return std::nullopt;
}

bool HasCategory(icalcomponent* c, std::string_view wanted) {
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_CATEGORIES_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_CATEGORIES_PROPERTY)) {
        std::string value = icalproperty_get_categories(p) ? icalproperty_get_categories(p) : "";
        std::transform(value.begin(), value.end(), value.begin(),
                       [](unsigned char ch) { return std::toupper(ch); });
        if (value.find(wanted) != std::string::npos)
            return true;
    }
    return false;
}

// Reads the entry's days; "" or the reason (UTF-8) it cannot be a note.
std::string ReadEntry(icalcomponent* c, TEntry& entry) {
    entry.Todo = icalcomponent_isa(c) == ICAL_VTODO_COMPONENT;
    const char* summary = icalcomponent_get_summary(c);
    entry.Title = summary ? summary : "";
    icaltimetype start = icalcomponent_get_dtstart(c);
    if (icaltime_is_null_time(start) && entry.Todo)
        start = icalcomponent_get_due(c);
    if (icaltime_is_null_time(start) || !icaltime_is_valid_time(start))
        return "日付がありません";
    entry.First = DayOf(start);
    entry.Own = ReadOwnFields(c);

    if (entry.Todo) {
        icalproperty* status = icalcomponent_get_first_property(c, ICAL_STATUS_PROPERTY);
        icalproperty* completed = icalcomponent_get_first_property(c, ICAL_COMPLETED_PROPERTY);
        entry.Done =
            (status && icalproperty_get_status(status) == ICAL_STATUS_COMPLETED) || completed;
        if (completed)
            entry.Completed = DayOf(icalproperty_get_completed(completed));
    }

    int rules = 0;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_RRULE_PROPERTY)) {
        entry.Rule = icalproperty_get_rrule(p);
        ++rules;
    }
    if (rules > 1)
        return "繰返しの規則が二つ以上あります";
    if (entry.Rule && entry.Rule->freq != ICAL_YEARLY_RECURRENCE &&
        entry.Rule->freq != ICAL_MONTHLY_RECURRENCE && entry.Rule->freq != ICAL_WEEKLY_RECURRENCE &&
        entry.Rule->freq != ICAL_DAILY_RECURRENCE)
        return "一日に何度も繰返します";
    entry.Anniversary =
        !entry.Todo &&
        (entry.Own ? entry.Own->Kind != NoteOpen && entry.Own->Kind != NoteDone
                   : entry.Rule && entry.Rule->freq == ICAL_YEARLY_RECURRENCE &&
                         (HasCategory(c, "BIRTHDAY") || HasCategory(c, "ANNIVERSARY")));

    std::set<int32_t> days{entry.First};
    entry.Finite =
        !entry.Rule || entry.Rule->count != 0 || !icaltime_is_null_time(entry.Rule->until);
    const int32_t horizon = EncodeDate(DecodeDate(entry.First).Year + kComparedYears, 12, 31);
    if (entry.Rule) {
        icalrecur_iterator* it = icalrecur_iterator_new(*entry.Rule, start);
        if (!it)
            return "繰返しの規則が読めません";
        for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t);
             t = icalrecur_iterator_next(it)) {
            const int32_t day = DayOf(t);
            if (day > horizon)
                break;
            days.insert(day);
        }
        icalrecur_iterator_free(it);
    }
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
        if (!icaltime_is_null_time(rdate.time))
            days.insert(DayOf(rdate.time));
        else
            days.insert(DayOf(rdate.period.start));
    }
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_EXDATE_PROPERTY))
        days.erase(DayOf(icalproperty_get_exdate(p)));
    if (days.empty())
        return "日付がありません";
    entry.First = *days.begin();
    entry.SpanEnd = entry.Finite
                        ? EncodeDate(DecodeDate(*days.rbegin()).Year, 12, 31)
                        : EncodeDate(DecodeDate(entry.First).Year + kComparedYears, 12, 31);
    entry.Days = std::move(days);
    return {};
}

// True when note names exactly the entry's days from its first day to the end of the span.
bool SameDays(const TNoteRec& note, const TEntry& entry) {
    int32_t end = entry.SpanEnd;
    if (HasEndYear(note) && !entry.Anniversary)
        end = std::min(end, EncodeDate(note.EndYear, 12, 31));
    auto known = entry.Days.begin();
    for (int32_t day = entry.First; day <= end; ++day) {
        const bool inEntry = known != entry.Days.end() && *known == day;
        if (inEntry)
            ++known;
        if (FallsOn(note, entry.Anniversary, day) != inEntry)
            return false;
    }
    return known == entry.Days.end() || *known > end;
}

std::vector<int> Values(const short* array, int size) {
    std::vector<int> values;
    for (int i = 0; i < size && array[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        values.push_back(array[i]);
    return values;
}

// The note rule an RRULE reads as; the entry's days decide whether it is the same.
std::optional<TNoteRec> RuleNote(const TEntry& entry) {
    const TYmd first = DecodeDate(entry.First);
    TNoteRec note;
    note.StartYear = static_cast<uint16_t>(first.Year);
    note.EndYear =
        entry.Finite ? static_cast<uint16_t>(DecodeDate(*entry.Days.rbegin()).Year) : NoEndYear;
    note.MonthRule = static_cast<uint16_t>(first.Month);
    note.DayRule = static_cast<uint16_t>(first.Day);
    if (!entry.Rule)
        return note;
    const icalrecurrencetype& r = *entry.Rule;
    const std::vector<int> months = Values(r.by_month, ICAL_BY_MONTH_SIZE);
    const std::vector<int> monthDays = Values(r.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const std::vector<int> byDay = Values(r.by_day, ICAL_BY_DAY_SIZE);
    const std::vector<int> setPos = Values(r.by_set_pos, ICAL_BY_SETPOS_SIZE);

    if (months.size() == 1) {
        note.MonthRule = static_cast<uint16_t>(months[0]);
    } else if (!months.empty()) {
        note.MonthRule = MonthSetFlag;
        for (const int m : months)
            if (m >= 1 && m <= 12)
                note.MonthRule |= static_cast<uint16_t>(1u << (m - 1));
    } else if (r.freq != ICAL_YEARLY_RECURRENCE || !monthDays.empty() || !byDay.empty()) {
        note.MonthRule = 0;
    }

    if (!byDay.empty()) {
        int weekdays = 0;
        int weeks = 0;
        for (const int d : byDay) {
            weekdays |= 1 << (icalrecurrencetype_day_day_of_week(static_cast<short>(d)) - 1);
            const int n = icalrecurrencetype_day_position(static_cast<short>(d));
            if (n < 0 || n > 5)
                return std::nullopt;
            if (n > 0)
                weeks |= 1 << (n - 1);
        }
        for (const int d : monthDays)
            if (d >= 1)
                weeks |= 1 << ((d - 1) / 7);
        note.DayRule = MakeWeekRule(weekdays == 0x7F ? 0 : weekdays, weeks == 0x1F ? 0 : weeks);
    } else if (!monthDays.empty()) {
        const int low = *std::min_element(monthDays.begin(), monthDays.end());
        const int high = *std::max_element(monthDays.begin(), monthDays.end());
        if (setPos == std::vector<int>{-1} && low == 28 && high >= 29)
            note.DayRule = static_cast<uint16_t>(high == 31 ? DayRuleLastDay : high);
        else if (monthDays == std::vector<int>{-1})
            note.DayRule = DayRuleLastDay;
        else if (monthDays.size() == 1 && low >= 1)
            note.DayRule = static_cast<uint16_t>(low);
        else if (low >= 1 && high - low + 1 == static_cast<int>(monthDays.size())) {
            note.DayRule = MakePeriodRule(low, high);
        } else if (low >= 1) {
            // Whole weeks of the month.
            int weeks = 0;
            for (const int d : monthDays)
                weeks |= 1 << ((d - 1) / 7);
            note.DayRule = MakeWeekRule(0, weeks);
        }
    } else if (r.freq == ICAL_DAILY_RECURRENCE) {
        note.DayRule = MakeWeekRule(0, 0);
    } else if (r.freq == ICAL_WEEKLY_RECURRENCE) {
        note.DayRule = MakeWeekRule(1 << (DayOfWeek(entry.First) - 1), 0);
    }
    return note;
}

std::string Skip(const std::string& titleUtf8, const std::string& reason) {
    return Utf8ToCp932((titleUtf8.empty() ? std::string("（題なし）") : titleUtf8) + ": " + reason);
}

// The first parse error libical marked in c or its parts; "" when none.
std::string ParseError(icalcomponent* c) {
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY)) {
        const char* text = icalproperty_get_xlicerror(p);
        return text ? text : "?";
    }
    for (icalcomponent* inner = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); inner;
         inner = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT)) {
        const std::string error = ParseError(inner);
        if (!error.empty())
            return error;
    }
    return {};
}

void CollectCalendars(icalcomponent* root, std::vector<icalcomponent*>& calendars) {
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(root);
        return;
    }
    for (icalcomponent* inner = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
         inner; inner = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT))
        calendars.push_back(inner);
}

}  // namespace

TIcalExport NotesToIcal(const std::vector<TNoteRec>& reminders,
                        const std::vector<TNoteRec>& anniversaries, int32_t today) {
    icalerror_set_errors_are_fatal(0);
    TIcalExport out;
    TComponent calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Velmora//Velmora//JA"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    for (size_t i = 0; i < reminders.size(); ++i)
        out.Reminders +=
            AddNote(calendar.get(), reminders[i], false, static_cast<int>(i), today, out);
    for (size_t i = 0; i < anniversaries.size(); ++i)
        out.Anniversaries +=
            AddNote(calendar.get(), anniversaries[i], true, static_cast<int>(i), today, out);
    char* text = icalcomponent_as_ical_string_r(calendar.get());
    out.Text = text;
    icalmemory_free_buffer(text);
    return out;
}

TIcalImport IcalToNotes(std::string_view text) {
    icalerror_set_errors_are_fatal(0);
    TIcalImport out;
    const std::string owned(text);
    std::string upper = owned;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char ch) { return std::toupper(ch); });
    if (upper.find("BEGIN:VCALENDAR") == std::string::npos) {
        out.Error = Sjis(
            "iCalendar のファイルではありません（BEGIN:VCALENDAR がありません）。"
            "何も取り込んでいません。");
        return out;
    }
    TComponent root(icalparser_parse_string(owned.c_str()));
    std::vector<icalcomponent*> calendars;
    if (root)
        CollectCalendars(root.get(), calendars);
    if (calendars.empty()) {
        out.Error = Sjis(
            "iCalendar のファイルが途中で切れているか、BEGIN と END の組が合いません。"
            "何も取り込んでいません。");
        return out;
    }
    if (const std::string error = ParseError(root.get()); !error.empty()) {
        out.Error = Utf8ToCp932("iCalendar として読めないところがあります（" + error +
                                "）。何も取り込んでいません。");
        return out;
    }
    for (icalcomponent* calendar : calendars) {
        for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
             c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
            const icalcomponent_kind kind = icalcomponent_isa(c);
            if (kind != ICAL_VEVENT_COMPONENT && kind != ICAL_VTODO_COMPONENT)
                continue;
            if (icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY)) {
                const char* summary = icalcomponent_get_summary(c);
                out.Skipped.push_back(
                    Skip(summary ? summary : "", "繰返しの一回だけを変えた予定です"));
                continue;
            }
            TEntry entry;
            if (const std::string reason = ReadEntry(c, entry); !reason.empty()) {
                out.Skipped.push_back(Skip(entry.Title, reason));
                continue;
            }
            std::optional<TNoteRec> note;
            if (entry.Own && SameDays(*entry.Own, entry))
                note = entry.Own;
            if (!note) {
                const std::optional<TNoteRec> read = RuleNote(entry);
                if (read && SameDays(*read, entry))
                    note = read;
            }
            if (!note) {
                out.Skipped.push_back(Skip(entry.Title, "この繰返しは備忘録の繰返しで表せません"));
                continue;
            }
            note->Title = Utf8ToCp932(entry.Title);
            note->NextDate = 0;
            if (entry.Anniversary) {
                if (!entry.Own)
                    note->Kind = NoteBirthday;
                out.Anniversaries.push_back(*note);
            } else {
                if (!entry.Own || (entry.Own->Kind == NoteDone) != entry.Done) {
                    note->Kind = entry.Done ? NoteDone : NoteOpen;
                    note->EndDate = entry.Done ? (entry.Completed ? entry.Completed : entry.First)
                                               : (entry.Own ? entry.Own->EndDate : 0);
                }
                out.Reminders.push_back(*note);
            }
        }
    }
    return out;
}

std::vector<TNoteRec> NewNotes(const std::vector<TNoteRec>& existing,
                               const std::vector<TNoteRec>& incoming) {
    const auto same = [](const TNoteRec& a, const TNoteRec& b) {
        return a.Title == b.Title && a.MonthRule == b.MonthRule && a.DayRule == b.DayRule &&
               a.StartYear == b.StartYear && a.EndYear == b.EndYear;
    };
    std::vector<TNoteRec> added;
    for (const TNoteRec& note : incoming) {
        const auto known = [&](const TNoteRec& other) { return same(note, other); };
        if (std::none_of(existing.begin(), existing.end(), known) &&
            std::none_of(added.begin(), added.end(), known))
            added.push_back(note);
    }
    return added;
}
