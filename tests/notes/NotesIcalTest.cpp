#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/NotesIcal.h"
#include "notes/NoteForm.h"
#include "notes/NoteRec.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "support/TestFolder.h"

namespace {

const int32_t kToday = EncodeDate(2026, 3, 9);
constexpr int kYears = 20;

// A note as the editor makes it: the form of a new note, changed as the user would.
struct TEditorRule {
    const char* Name;
    bool Reminder;
    TYmd Date;
    std::function<void(TNoteForm&)> Edit;
};

TNoteRec MakeNote(const TEditorRule& rule) {
    const TNoteRec original = DefaultNote(kToday);
    const TNoteForm loaded = NoteToForm(original, rule.Reminder, kToday);
    TNoteForm edited = loaded;
    edited.Title = Sjis(rule.Name);
    edited.Date = rule.Date;
    if (rule.Edit)
        rule.Edit(edited);
    return FormToNote(original, loaded, edited, rule.Reminder);
}

std::function<void(TNoteForm&)> Repeat(std::function<void(TNoteForm&)> more) {
    return [more](TNoteForm& form) {
        form.Repeat = true;
        more(form);
    };
}

std::function<void(TNoteForm&)> Days(int period = 0) {
    return Repeat([period](TNoteForm& form) {
        form.Period = period != 0;
        form.PeriodLast = period;
    });
}

std::function<void(TNoteForm&)> Weeks(uint8_t weeks, uint8_t weekdays, uint16_t months = 0) {
    return Repeat([=](TNoteForm& form) {
        form.DayChoice = TDayChoice::Week;
        form.WeekBits = weeks;
        form.WeekdayBits = weekdays;
        form.ChosenMonths = months != 0;
        form.MonthBits = months;
    });
}

std::function<void(TNoteForm&)> MonthEnd(uint16_t months = 0) {
    return Repeat([=](TNoteForm& form) {
        form.DayChoice = TDayChoice::MonthEnd;
        form.ChosenMonths = months != 0;
        form.MonthBits = months;
    });
}

std::function<void(TNoteForm&)> InMonths(uint16_t months, int period = 0) {
    return Repeat([=](TNoteForm& form) {
        form.ChosenMonths = true;
        form.MonthBits = months;
        form.Period = period != 0;
        form.PeriodLast = period;
    });
}

std::function<void(TNoteForm&)> EndingIn(int32_t day, std::function<void(TNoteForm&)> more = {}) {
    return [=](TNoteForm& form) {
        if (more)
            more(form);
        form.HasEnd = true;
        form.EndDay = day;
    };
}

constexpr uint8_t kMon = 1 << 1, kTue = 1 << 2, kWed = 1 << 3, kFri = 1 << 5, kSat = 1 << 6,
                  kSun = 1 << 0;
constexpr uint16_t kFeb = 1 << 1, kMar = 1 << 2, kApr = 1 << 3, kJan = 1 << 0, kJul = 1 << 6,
                   kSep = 1 << 8, kOct = 1 << 9;

// Every kind of rule the note editor makes, reminders and anniversaries.
const std::vector<TEditorRule>& EditorRules() {
    static const std::vector<TEditorRule> rules = {
        {"一度だけ", true, {2026, 5, 20}, [](TNoteForm& f) { f.Once = true; }},
        {"毎年", true, {2024, 7, 7}, nullptr},
        {"毎年二月二十九日", true, {2024, 2, 29}, nullptr},
        {"毎年、終了つき", true, {2024, 12, 31}, EndingIn(EncodeDate(2031, 1, 1))},
        {"毎月十五日", true, {2024, 1, 15}, Days()},
        {"毎月二十九日", true, {2024, 1, 29}, Days()},
        {"毎月三十日", true, {2024, 1, 30}, Days()},
        {"毎月三十一日", true, {2024, 1, 31}, Days()},
        {"毎月三十一日、終了つき", true, {2024, 1, 31}, EndingIn(EncodeDate(2030, 6, 1), Days())},
        {"月末", true, {2024, 1, 31}, MonthEnd()},
        {"二月と四月の月末", true, {2024, 2, 29}, MonthEnd(kFeb | kApr)},
        {"四半期の三十日", true, {2024, 1, 30}, InMonths(kJan | kApr | kJul | kOct)},
        {"二月三月の三十日", true, {2024, 2, 29}, InMonths(kFeb | kMar)},
        {"月の指定なし", true, {2024, 1, 10}, InMonths(0)},
        {"期間十日から二十日", true, {2024, 1, 10}, Days(20)},
        {"期間二十五日から月末", true, {2024, 1, 25}, Days(31)},
        {"期間一日から三十一日", true, {2024, 1, 1}, Days(31)},
        {"期間二十九日から三十一日", true, {2024, 1, 29}, Days(31)},
        {"一月七月の期間二十九日から三十一日", true, {2024, 1, 29}, InMonths(kJan | kJul, 31)},
        {"第二火曜", true, {2024, 1, 9}, Weeks(1 << 1, kTue)},
        {"第二第四土曜", true, {2024, 1, 13}, Weeks((1 << 1) | (1 << 3), kSat)},
        {"第五日曜", true, {2024, 1, 28}, Weeks(1 << 4, kSun)},
        {"毎週月水金", true, {2024, 1, 1}, Weeks(0, kMon | kWed | kFri)},
        {"全週の月曜", true, {2024, 1, 1}, Weeks(0x1F, kMon)},
        {"毎日", true, {2024, 1, 1}, Weeks(0, 0)},
        {"第一週の毎日", true, {2024, 1, 1}, Weeks(1, 0)},
        {"三月九月の第一月曜", true, {2024, 3, 4}, Weeks(1, kMon, kMar | kSep)},
        {"月の指定なしの第三水曜", true, {2024, 1, 17}, Weeks(1 << 2, kWed, 0)},
        {"誕生日", false, {1970, 5, 3}, nullptr},
        {"二月二十九日生まれ", false, {1996, 2, 29}, nullptr},
        {"月一覧に出さない", false, {1985, 10, 1}, [](TNoteForm& f) { f.Hidden = true; }},
        {"故人", false, {1930, 5, 3}, EndingIn(EncodeDate(2010, 11, 18))},
        {"二月二十九日に逝去", false, {1920, 1, 5}, EndingIn(EncodeDate(2008, 2, 29))},
    };
    return rules;
}

struct TLists {
    std::vector<TNoteRec> Reminders;
    std::vector<TNoteRec> Anniversaries;
};

TLists EditorNotes() {
    TLists lists;
    for (const TEditorRule& rule : EditorRules())
        (rule.Reminder ? lists.Reminders : lists.Anniversaries).push_back(MakeNote(rule));
    // A reminder ticked done is the editor's note with the done mark.
    TNoteRec done = MakeNote({"済んだ用事", true, {2025, 6, 1}, nullptr});
    done.Kind = NoteDone;
    done.EndDate = EncodeDate(2025, 6, 2);
    lists.Reminders.push_back(done);
    return lists;
}

std::string Fields(const TNoteRec& note) {
    std::ostringstream text;
    text << int(note.Kind) << ' ' << note.MonthRule << ' ' << note.DayRule << ' ' << note.StartYear
         << ' ' << note.EndYear << ' ' << note.EndDate << ' ' << Cp932ToUtf8(note.Title);
    return text.str();
}

std::vector<std::string> AllFields(const std::vector<TNoteRec>& notes) {
    std::vector<std::string> fields;
    for (const TNoteRec& note : notes)
        fields.push_back(Fields(note));
    return fields;
}

// The days an anniversary is shown on, as a calendar should show them.
bool ShownOn(const TNoteRec& note, bool anniversary, int32_t day) {
    if (!anniversary || note.EndDate == 0)
        return NoteFallsOn(note, day);
    const TYmd death = DecodeDate(note.EndDate);
    TNoteRec memorial;
    memorial.MonthRule = static_cast<uint16_t>(death.Month);
    memorial.DayRule = static_cast<uint16_t>(death.Day);
    memorial.StartYear = static_cast<uint16_t>(death.Year);
    return NoteFallsOn(memorial, day);
}

std::string RemoveLines(const std::string& text, const std::string& prefix) {
    std::istringstream in(text);
    std::string out;
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) != 0)
            out += line + "\n";
    return out;
}

std::string ReadFile(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

// A time zone for the test's duration.
class TZone {
public:
    explicit TZone(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TZone() {
        if (old_.empty())
            unsetenv("TZ");
        else
            setenv("TZ", old_.c_str(), 1);
        tzset();
    }

private:
    std::string old_;
};

}  // namespace

// The days the exchange keeps are the days the program's own rule computation gives: in every
// month the rule names, a day is one of the note's exactly when CalcNextDate from it lands on it
// in an active year.
TEST(NotesIcal, NoteFallsOnAgreesWithCalcNextDateForEveryEditorRule) {
    const TLists lists = EditorNotes();
    for (const TNoteRec& original : lists.Reminders) {
        SCOPED_TRACE(Fields(original));
        for (int32_t day = EncodeDate(2023, 1, 1); day <= EncodeDate(2033, 12, 31); ++day) {
            const TYmd ymd = DecodeDate(day);
            const uint16_t rule = original.MonthRule;
            const bool namedMonth = rule == 0 || rule == ymd.Month ||
                                    (IsMonthSet(rule) && (rule & (1u << (ymd.Month - 1))));
            if (!namedMonth)
                continue;
            TNoteRec note = original;
            const bool active = CalcNextDate(note, day);
            ASSERT_EQ(NoteFallsOn(original, day), active && WholeDay(note.NextDate) == day)
                << ymd.Year << "-" << ymd.Month << "-" << ymd.Day;
        }
    }
}

// notes → .ics → notes gives back the same notes, for every rule the editor makes; imported
// again, nothing is added.
TEST(NotesIcal, RoundTripGivesBackEveryEditorNote) {
    TLists lists = EditorNotes();
    // Titles with what iCalendar escapes, a long line it folds, and characters beyond CP932.
    for (const char* title : {"a, b; c\\d \"引用\"",
                              "折り返される長い題名の予定、"
                              "とても長い題名の予定、とても長い題名の予定、とても長い題名の予定",
                              "絵文字 😀 と &amp; と 鷗外"}) {
        TNoteRec note = lists.Reminders.front();
        note.Title = Utf8ToCp932(title);
        lists.Reminders.push_back(note);
    }
    const TIcalExport ics = NotesToIcal(lists.Reminders, lists.Anniversaries, kToday);
    EXPECT_TRUE(ics.Left.empty());
    const TIcalImport back = IcalToNotes(ics.Text);
    EXPECT_EQ(back.Error, "");
    EXPECT_TRUE(back.Skipped.empty()) << Cp932ToUtf8(back.Skipped.at(0));
    EXPECT_EQ(AllFields(back.Reminders), AllFields(lists.Reminders));
    EXPECT_EQ(AllFields(back.Anniversaries), AllFields(lists.Anniversaries));
    EXPECT_TRUE(NewNotes(lists.Reminders, back.Reminders).empty());
    EXPECT_TRUE(NewNotes(lists.Anniversaries, back.Anniversaries).empty());
}

// Only periods starting past the end of a shorter month need explicit dates; they are listed.
TEST(NotesIcal, OnlyInexpressibleRulesGoOutAsDates) {
    const TLists lists = EditorNotes();
    const TIcalExport ics = NotesToIcal(lists.Reminders, lists.Anniversaries, kToday);
    std::vector<std::string> asDates;
    for (const std::string& title : ics.AsDates)
        asDates.push_back(Cp932ToUtf8(title));
    EXPECT_EQ(asDates, std::vector<std::string>{"期間二十九日から三十一日"});
}

// Without Velmora's own fields, as a calendar that drops unknown properties writes the file
// back, every rule still reads as a note on the same days.
TEST(NotesIcal, RrulesAloneReadAsNotesOnTheSameDays) {
    const TLists lists = EditorNotes();
    const TIcalExport ics = NotesToIcal(lists.Reminders, lists.Anniversaries, kToday);
    const TIcalImport back = IcalToNotes(RemoveLines(ics.Text, "X-VELMORA-"));
    ASSERT_EQ(back.Error, "");
    std::map<std::string, std::pair<TNoteRec, bool>> read;
    for (const TNoteRec& note : back.Reminders)
        read[note.Title] = {note, false};
    for (const TNoteRec& note : back.Anniversaries)
        read[note.Title] = {note, true};
    std::vector<std::string> skipped;
    for (const std::string& s : back.Skipped)
        skipped.push_back(Cp932ToUtf8(s));
    const auto check = [&](const TNoteRec& note, bool anniversary) {
        SCOPED_TRACE(Fields(note));
        const auto found = read.find(note.Title);
        if (anniversary && note.EndDate != 0) {
            // A memorial comes back as a yearly note on the memorial day: the birthday is gone
            // with Velmora's fields.
            ASSERT_NE(found, read.end());
            EXPECT_TRUE(found->second.second);
            return;
        }
        const bool asDates = Cp932ToUtf8(note.Title) == "期間二十九日から三十一日";
        if (asDates) {
            // Ten years of explicit dates name no rule.
            EXPECT_EQ(found, read.end());
            return;
        }
        ASSERT_NE(found, read.end()) << (skipped.empty() ? "" : skipped[0]);
        EXPECT_EQ(found->second.second, anniversary);
        // The done mark is iCalendar's own; "not in the month list" is Velmora's alone.
        EXPECT_EQ(found->second.first.Kind, anniversary ? NoteBirthday : note.Kind);
        for (int32_t day = EncodeDate(note.StartYear, 1, 1);
             day <= EncodeDate(note.StartYear + kYears, 12, 31); ++day)
            ASSERT_EQ(ShownOn(found->second.first, anniversary, day),
                      ShownOn(note, anniversary, day))
                << DecodeDate(day).Year << "-" << DecodeDate(day).Month << "-"
                << DecodeDate(day).Day;
    };
    for (const TNoteRec& note : lists.Reminders)
        check(note, false);
    for (const TNoteRec& note : lists.Anniversaries)
        check(note, true);
}

// An independent reader and recurrence expander (python3-icalendar and dateutil's rrule) gives,
// for 20 years from each entry's start, exactly the days Velmora's rules give.
TEST(NotesIcal, IndependentExpansionGivesTheSameDaysFor20Years) {
    const TLists lists = EditorNotes();
    const TIcalExport ics = NotesToIcal(lists.Reminders, lists.Anniversaries, kToday);
    TTestFolder folder;
    folder.Write("notes.ics", ics.Text);
    const std::string command = std::string("/usr/bin/python3 ") + VELMORA_EXPAND_ICS + " " +
                                folder.File("notes.ics") + " " + std::to_string(kYears) + " > " +
                                folder.File("days.txt");
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::istringstream lines(folder.Read("days.txt"));
    size_t entries = 0;
    for (std::string line; std::getline(lines, line); ++entries) {
        std::istringstream words(line);
        std::string uid;
        words >> uid;
        const bool anniversary = uid.rfind("velmora-mem-", 0) == 0;
        const int index = std::stoi(uid.substr(12));
        const TNoteRec& note = (anniversary ? lists.Anniversaries : lists.Reminders).at(index);
        SCOPED_TRACE(Fields(note));
        std::vector<int32_t> expanded;
        for (std::string word; words >> word;)
            expanded.push_back(EncodeDate(std::stoi(word.substr(0, 4)),
                                          std::stoi(word.substr(5, 2)),
                                          std::stoi(word.substr(8, 2))));
        ASSERT_FALSE(expanded.empty());
        const bool asDates =
            std::find(ics.AsDates.begin(), ics.AsDates.end(), note.Title) != ics.AsDates.end();
        const int lastYear =
            DecodeDate(expanded.front()).Year + (asDates ? kDateYears - 1 : kYears);
        std::vector<int32_t> own;
        for (int32_t day = expanded.front(); day <= EncodeDate(lastYear, 12, 31); ++day)
            if (ShownOn(note, anniversary, day))
                own.push_back(day);
        EXPECT_EQ(expanded, own);
    }
    EXPECT_EQ(entries, lists.Reminders.size() + lists.Anniversaries.size());
}

struct TFixtureCase {
    const char* File;
    const char* Title;
    const char* Expected;  // "tdo"/"mem" and the note's fields, or "skipped"
};

// Calendars as KOrganizer and Google Calendar write them (the RFC's examples among them): what a
// note can be becomes one, the rest is listed.
TEST(NotesIcal, ImportsCalendarFilesOfOtherPrograms) {
    const TZone tokyo("Asia/Tokyo");
    const TFixtureCase cases[] = {
        {"ical-korganizer.ics", "燃えるゴミ", "tdo 0 0 32786 2026 9999 0"},
        {"ical-korganizer.ics", "確定申告", "tdo 1 3 16 2026 2026 46091"},
        {"ical-korganizer.ics", "隔週の会議", "skipped"},
        {"ical-korganizer.ics", "山田花子の誕生日", "mem 3 7 4 1980 9999 0"},
        {"ical-korganizer.ics", "一月は毎日", "tdo 0 1 32768 2027 2029 0"},
        {"ical-korganizer.ics", "月初と月末", "skipped"},
        {"ical-korganizer.ics", "最後から二番目の月曜", "skipped"},
        {"ical-korganizer.ics", "四半期の締め", "tdo 0 33353 32 2026 9999 0"},
        {"ical-google.ics", "町内会", "tdo 0 0 33284 2026 9999 0"},
        {"ical-google.ics", "年賀状の確認", "tdo 0 1 1 2025 9999 0"},
        {"ical-google.ics", "打ち合わせ", "tdo 0 4 1 2026 2026 0"},
        {"ical-google.ics", "日記をつける", "tdo 0 0 32768 2026 2026 0"},
        {"ical-google.ics", "給料日", "skipped"},
        {"ical-google.ics", "朝の講座", "skipped"},
        {"ical-google.ics", "朝の講座（延長）", "skipped"},
        {"ical-google.ics", "三十一日だけ", "skipped"},
    };
    std::map<std::string, TIcalImport> files;
    for (const TFixtureCase& c : cases) {
        SCOPED_TRACE(std::string(c.File) + " " + c.Title);
        if (!files.count(c.File))
            files[c.File] = IcalToNotes(ReadFile(std::string(VELMORA_TEST_DATA) + "/" + c.File));
        const TIcalImport& read = files[c.File];
        ASSERT_EQ(read.Error, "");
        std::string found = "missing";
        for (const TNoteRec& note : read.Reminders)
            if (Cp932ToUtf8(note.Title) == c.Title)
                found = "tdo " + Fields(note);
        for (const TNoteRec& note : read.Anniversaries)
            if (Cp932ToUtf8(note.Title) == c.Title)
                found = "mem " + Fields(note);
        for (const std::string& skipped : read.Skipped)
            if (Cp932ToUtf8(skipped).rfind(std::string(c.Title) + ": ", 0) == 0)
                found = "skipped";
        const std::string expected = c.Expected == std::string("skipped")
                                         ? "skipped"
                                         : c.Expected + std::string(" ") + c.Title;
        EXPECT_EQ(found, expected);
    }
    size_t entries = 0;
    for (const auto& [file, read] : files)
        entries += read.Reminders.size() + read.Anniversaries.size() + read.Skipped.size();
    EXPECT_EQ(entries, std::size(cases));
}

// A file that is no calendar, or one with a line that cannot be read, is refused whole.
TEST(NotesIcal, BrokenFilesImportNothing) {
    const std::string good =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nUID:a\r\nSUMMARY:x\r\n"
        "DTSTART;VALUE=DATE:20260301\r\nEND:VTODO\r\n";
    const struct {
        const char* Name;
        std::string Text;
    } cases[] = {
        {"empty", ""},
        {"not a calendar", "hello, world\n"},
        {"a vCard", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nEND:VCARD\r\n"},
        {"a broken date", ReadFile(std::string(VELMORA_TEST_DATA) + "/ical-broken.ics")},
        {"a broken rule", good + "BEGIN:VTODO\r\nUID:b\r\nSUMMARY:y\r\n"
                                 "DTSTART;VALUE=DATE:20260301\r\nRRULE:FREQ=SOMETIMES\r\n"
                                 "END:VTODO\r\nEND:VCALENDAR\r\n"},
        {"cut in a value", good.substr(0, good.size() - 20)},
        {"cut after a line", good},
        {"cut after a part", good + "BEGIN:VTODO\r\nUID:b\r\nSUMMARY:y\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TIcalImport read = IcalToNotes(c.Text);
        EXPECT_NE(read.Error, "");
        EXPECT_TRUE(read.Reminders.empty() && read.Anniversaries.empty() && read.Skipped.empty());
    }
}

// An import adds only what the list lacks: the same title and rule once.
TEST(NotesIcal, NewNotesLeavesOutWhatIsThere) {
    TNoteRec a;
    a.MonthRule = 5;
    a.DayRule = 3;
    a.StartYear = 2020;
    a.Title = "a";
    TNoteRec otherDay = a;
    otherDay.DayRule = 4;
    TNoteRec otherTitle = a;
    otherTitle.Title = "b";
    const std::vector<TNoteRec> added = NewNotes({a}, {a, otherDay, otherTitle, otherDay});
    EXPECT_EQ(AllFields(added), AllFields({otherDay, otherTitle}));
}
