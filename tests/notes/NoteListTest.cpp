#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "notes/NoteList.h"
#include "storage/Clock.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/Report.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"
#include "support/ScopedUnprivileged.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

TNoteRec Note(uint8_t kind, uint16_t monthRule, uint16_t dayRule, const std::string& title,
              uint16_t startYear = 2000, uint16_t endYear = NoEndYear, int32_t endDate = 0) {
    TNoteRec note;
    note.Kind = kind;
    note.MonthRule = monthRule;
    note.DayRule = dayRule;
    note.StartYear = startYear;
    note.EndYear = endYear;
    note.EndDate = endDate;
    note.Title = title;
    return note;
}

// Every field of a note in one text, for comparing records.
std::string Fields(const TNoteRec& note) {
    return std::to_string(note.Kind) + "/" + std::to_string(note.MonthRule) + "/" +
           std::to_string(note.DayRule) + "/" + std::to_string(note.StartYear) + "/" +
           std::to_string(note.EndYear) + "/" + std::to_string(note.EndDate) + "/" +
           std::to_string(note.NextDate) + "/" + note.Title;
}

std::vector<std::string> Titles(const TNoteList& list) {
    std::vector<std::string> titles;
    for (int i = 0; i < list.Count(); ++i) {
        titles.push_back(list.Items(i)->Title);
    }
    return titles;
}

std::vector<std::string> SelectedTitles(const TNoteList& list) {
    std::vector<std::string> titles;
    for (int i = 0; i < list.SelectedCount(); ++i) {
        titles.push_back(list.SelectedNote(i)->Title);
    }
    return titles;
}

class NoteFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = folder_.Path();
        path_ = dir_ + "/Velmora.tdo";
        SetMessageSink([this](const std::string& text) { messages_.push_back(text); });
        SetTodayForTesting(EncodeDate(2024, 4, 15));
    }
    void TearDown() override {
        SetTodayForTesting(std::nullopt);
        SetMessageSink(nullptr);
    }
    std::string Read(const std::string& path) const {
        std::string contents;
        EXPECT_TRUE(ReadWholeFile(path, contents));
        return contents;
    }
    void Write(const std::string& contents) const { SafeWriteFile(path_, contents); }

    TTestFolder folder_;
    std::string dir_;
    std::string path_;
    std::vector<std::string> messages_;
};

TEST_F(NoteFileTest, RoundTripKeepsEveryRuleAndTitle) {
    const std::vector<TNoteRec> notes = {
        Note(NoteBirthday, 5, 3, Sjis("山田 太郎"), 1970),
        Note(NoteHidden, 12, 24, "a,b", 1980, 2020, EncodeDate(2020, 8, 12)),
        Note(NoteOpen, 0, 1, "say \"hi\""),
        Note(NoteDone, 3, 10, "C:\\x\\", 2020, 2024, EncodeDate(2024, 3, 15)),
        Note(NoteOpen, MonthSetFlag | 0x0FFF, 32, Sjis("表ソ能")),  // 0x5C second bytes
        Note(NoteOpen, 0, MakePeriodRule(10, 20), "  leading and trailing  "),
        Note(NoteOpen, MonthSetFlag, MakeWeekRule(0x7F, 0x1F), Sjis("全角　空白")),
        Note(NoteOpen, 0, WeekRuleFlag, "line\r\nbreak\ttab"),
        Note(7, 13, 0xC000, ""),  // an unknown kind and rules are kept as they are
    };
    TNoteList list;
    for (const TNoteRec& note : notes) {
        list.AddNote(note);
    }
    list.SaveToFile(path_);
    EXPECT_FALSE(list.Modified());
    EXPECT_NE(Read(path_).find(Sjis("3,5,3,1970,9999,0,\"山田 太郎\",\r\n")), std::string::npos);

    TNoteList loaded;
    loaded.LoadFromFile(path_);
    EXPECT_FALSE(loaded.Modified());
    std::vector<std::string> expected;
    for (const TNoteRec& note : notes) {
        expected.push_back(Fields(note));
    }
    std::vector<std::string> read;
    for (int i = 0; i < loaded.Count(); ++i) {
        read.push_back(Fields(*loaded.Items(i)));
    }
    std::sort(expected.begin(), expected.end());
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, expected);
    // The same lines come back in the sorted order, and a second load and save changes nothing.
    const std::string written = Read(path_);
    loaded.SaveToFile(path_ + "2");
    const std::string sorted = Read(path_ + "2");
    EXPECT_EQ(sorted.size(), written.size());
    TNoteList again;
    again.LoadFromFile(path_ + "2");
    again.Save();
    EXPECT_EQ(Read(path_ + "2"), sorted);
}

TEST_F(NoteFileTest, ReadsCommentsFieldWidthsAndMissingFiles) {
    TNoteList list;
    list.LoadFromFile(path_);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.FileName(), path_);
    list.Save();
    EXPECT_EQ(Read(path_), "");

    Write(
        "; a comment\r\n"
        "  \t;an indented comment\r\n"
        "\r\n"
        "259,65537,12,2000,,,kept\r\n"
        "0,1,5,$7D0,9999,0,hex year\r\n");
    list.LoadFromFile(path_);
    EXPECT_EQ(messages_.size(), 1u) << "a save drops the comments: said once";
    ASSERT_EQ(list.Count(), 2);
    // Values are cut to the field widths; empty fields read as 0.
    const TNoteRec* cut = list.Items(0);
    EXPECT_EQ(cut->Title, "hex year");
    EXPECT_EQ(cut->StartYear, 2000);
    const TNoteRec* kept = list.Items(1);
    EXPECT_EQ(kept->Title, "kept");
    EXPECT_EQ(kept->Kind, 3);
    EXPECT_EQ(kept->MonthRule, 1);
    EXPECT_EQ(kept->EndYear, 0);
}

TEST_F(NoteFileTest, BadLineIsReportedSkippedAndTheFileKept) {
    const std::string original =
        "0,1,5,2000,9999,0,first,\r\n"
        "0,x,5,2000,9999,0,bad,\r\n"
        "0,2,5,2000,9999,0,third,\r\n";
    Write(original);
    TNoteList list;
    list.LoadFromFile(path_);
    EXPECT_EQ(Titles(list), (std::vector<std::string>{"first", "third"}));
    EXPECT_FALSE(list.Modified());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], Sjis("'x' は整数ではありません\r\n") + path_ +
                                Sjis(" (2行目)\r\nデータが読込めません!"));

    list.Save();
    EXPECT_EQ(Read(path_ + ".bak"), original);
    EXPECT_EQ(Read(path_), "0,1,5,2000,9999,0,first,\r\n0,2,5,2000,9999,0,third,\r\n");
    list.Save();
    EXPECT_FALSE(FileExists(path_ + ".bak2"));
}

TEST_F(NoteFileTest, ForeignLineEndsReadEveryNote) {
    const struct {
        const char* original;
        const char* why;
    } cases[] = {
        {"0,1,5,2000,9999,0,first,\n0,2,5,2000,9999,0,second,\n", "LF, as editors and git leave"},
        {"0,1,5,2000,9999,0,first,\r0,2,5,2000,9999,0,second,", "CR alone, no end at the end"},
        {"0,1,5,2000,9999,0,first,\r\n0,2,5,2000,9999,0,second,\n", "mixed"},
        {"0,1,5,2000,9999,0,first,\r\n0,2,5,2000,9999,0,second,\r\n\x1A", "an end mark"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Write(c.original);
        TNoteList list;
        list.LoadFromFile(path_);
        EXPECT_EQ(Titles(list), (std::vector<std::string>{"first", "second"}));
        list.NewNote();
        list.Save();
        EXPECT_FALSE(FileExists(path_ + ".bak")) << "nothing was lost, nothing to keep";
        const std::string written = "0,1,5,2000,9999,0,first,\r\n0,2,5,2000,9999,0,second,\r\n";
        EXPECT_EQ(Read(path_).substr(0, written.size()), written) << "written with CR LF";
    }
}

TEST_F(NoteFileTest, TitlesWithStrayBytesReadBackAsThemselves) {
    const std::vector<std::string> titles = {"cut\x81", "\x81,next", std::string("a\0b", 3),
                                             "end\x1A of file", "\x9F\"quote\""};
    TNoteList list;
    for (const std::string& title : titles) {
        list.AddNote(Note(NoteOpen, 0, 1, title));
    }
    list.SaveToFile(path_);
    TNoteList loaded;
    loaded.LoadFromFile(path_);
    std::vector<std::string> read = Titles(loaded);
    std::vector<std::string> expected = titles;
    std::sort(read.begin(), read.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(read, expected);
    EXPECT_TRUE(messages_.empty());
}

// Another program's notes are merged before the list writes, so the save loses none of them;
// where one note was changed differently on both sides and there is no state folder for the
// other version to wait in, the other program's file is kept beside.
TEST_F(NoteFileTest, FileChangedOnDiskIsMergedBeforeTheListWrites) {
    Write("0,1,5,2000,9999,0,ours,\r\n");
    TNoteList list;
    list.LoadFromFile(path_);
    // Another program writes in place.
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    std::fputs("0,1,5,2000,9999,0,ours,\r\n0,1,5,2000,9999,0,theirs,\r\n", file);
    std::fclose(file);
    list.NewNote();
    list.Save();
    for (const char* title : {"ours,", "theirs,", "項目1,"})
        EXPECT_NE(Read(path_).find(Sjis(title)), std::string::npos) << title;
    EXPECT_FALSE(FileExists(path_ + ".bak"));
    EXPECT_TRUE(messages_.empty());

    // The same note changed differently on both sides.
    list.Items(0)->Kind = NoteDone;
    file = std::fopen(path_.c_str(), "wb");
    std::fputs("0,2,5,2000,9999,0,ours,\r\n", file);
    std::fclose(file);
    list.Save();
    EXPECT_EQ(Read(path_ + ".bak"), "0,2,5,2000,9999,0,ours,\r\n");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], Sjis("ファイル ") + path_ +
                                Sjis(" は他のプログラムに変更されていました。その内容を ") + path_ +
                                Sjis(".bak に保存しました。"));
    list.NewNote();
    list.Save();
    EXPECT_FALSE(FileExists(path_ + ".bak2")) << "the list's own writes are no changes";
    EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(NoteFileTest, FilesNotReadAsWrittenAreKeptBeforeTheFirstSave) {
    const struct {
        std::string original;
        std::string title;
        size_t messages;
    } cases[] = {
        {"\xEF\xBB\xBF"
         "0,1,5,2000,9999,0,誕生日,\r\n",
         Sjis("誕生日"), 1},
        {"0,1,5,2000,9999,0,誕生日,\n", Sjis("誕生日"), 1},
        {"; my own notes\r\n0,1,5,2000,9999,0,x,\r\n", "x", 1},
        {"0,1,5,2000,9999,0,\"cut, short", "cut, short", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.original);
        fs::remove(path_ + ".bak");
        messages_.clear();
        Write(c.original);
        TNoteList list;
        list.LoadFromFile(path_);
        EXPECT_EQ(Titles(list), std::vector<std::string>{c.title});
        EXPECT_EQ(messages_.size(), c.messages);
        list.NewNote();
        list.Save();
        EXPECT_EQ(Read(path_ + ".bak"), c.original);
    }
}

TEST_F(NoteFileTest, FileAsTheListWroteItIsCp932) {
    // CP932 of a second-level kanji, "｡", the same kanji and "｢"; as UTF-8 they read "メモ".
    const std::string title = "\xE3\x83\xA1\xE3\x83\xA2";
    TNoteList list;
    list.LoadFromFile(path_);
    list.AddNote(Note(NoteOpen, 1, 5, title));
    list.Save();
    list.LoadFromFile(path_);
    EXPECT_EQ(Titles(list), std::vector<std::string>{title});
    EXPECT_TRUE(messages_.empty());
    // The same bytes from another program are judged by the bytes.
    fs::remove(path_);
    Write("0,1,5,2000,9999,0," + title + ",\r\n");
    list.LoadFromFile(path_);
    EXPECT_EQ(Titles(list), std::vector<std::string>{Sjis("メモ")});
    EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(NoteFileTest, FolderNamedLikeTheFileIsAnError) {
    fs::create_directory(path_);
    TNoteList list;
    try {
        list.LoadFromFile(path_);
        ADD_FAILURE() << "a folder loaded as a note file";
    } catch (const VelmoraError& e) {
        EXPECT_EQ(std::string(e.what()),
                  Sjis("ファイル ") + path_ + Sjis(" は開けません (ディレクトリです)"));
    }
    list.NewNote();
    EXPECT_THROW(list.Save(), VelmoraError);
    EXPECT_TRUE(fs::is_directory(path_));
}

TEST_F(NoteFileTest, FailedSaveKeepsFileAndModified) {
    Write("0,1,5,2000,9999,0,old,\r\n");
    TNoteList list;
    list.LoadFromFile(path_);
    list.NewNote();
    {
        ScopedUnprivileged unprivileged(dir_);
        ::chmod(dir_.c_str(), 0555);
        EXPECT_THROW(list.Save(), VelmoraError);
        ::chmod(dir_.c_str(), 0755);
    }
    EXPECT_TRUE(list.Modified());
    EXPECT_EQ(Read(path_), "0,1,5,2000,9999,0,old,\r\n");
    list.Save();
    EXPECT_FALSE(list.Modified());
    EXPECT_EQ(Read(path_),
              "0,1,5,2000,9999,0,old,\r\n0,4,15,2024,2024,0," + Sjis("項目1") + ",\r\n");
}

TEST_F(NoteFileTest, UnreadableFileIsAnErrorAndNeverOverwritten) {
    const std::string original = "0,1,5,2000,9999,0,old,\r\n";
    Write(original);
    TNoteList list;
    {
        ::chmod(path_.c_str(), 0);
        ScopedUnprivileged unprivileged(dir_);
        EXPECT_THROW(list.LoadFromFile(path_), VelmoraError);
        // A note added to the empty list must not replace the notes that were not read.
        list.NewNote();
        EXPECT_THROW(list.Save(), VelmoraError);
        EXPECT_TRUE(list.Modified());
        ::chmod(path_.c_str(), 0644);
    }
    EXPECT_EQ(Read(path_), original);
    list.Save();
    EXPECT_EQ(Read(path_ + ".bak"), original);
}

TEST_F(NoteFileTest, LoadReopensDoneRepeatingRemindersOnceTheirMonthIsOver) {
    // Every kind of rule, ticked done on doneDay; whether a load on today finds it open again.
    const struct {
        const char* rule;
        uint16_t monthRule;
        uint16_t dayRule;
        bool repeatsWithinYear;
    } rules[] = {
        {"every month", 0, 10, true},
        {"chosen months {January, December}", MonthSetFlag | 0x801, 5, true},
        {"month end", 0, DayRuleLastDay, true},
        {"period 10th to 20th", 0, MakePeriodRule(10, 20), true},
        {"second Tuesdays", 0, MakeWeekRule(1 << 2, 1 << 1), true},
        {"a period within December", 12, MakePeriodRule(1, 10), true},
        {"yearly date: done for good", 12, 10, false},
        {"yearly month end: done for good", 12, DayRuleLastDay, false},
    };
    const struct {
        const char* when;
        TYmd done;
        TYmd today;
        bool monthOver;
    } moments[] = {
        {"the same month a year later", {2026, 12, 10}, {2027, 12, 10}, true},
        {"the same month ten years later", {2016, 12, 10}, {2026, 12, 1}, true},
        {"across the year end", {2026, 12, 31}, {2027, 1, 1}, true},
        {"across a month end", {2027, 1, 31}, {2027, 2, 1}, true},
        {"later in the same month", {2026, 12, 1}, {2026, 12, 31}, false},
        {"the same day", {2027, 2, 28}, {2027, 2, 28}, false},
        {"a clock set back a year", {2027, 12, 10}, {2026, 12, 10}, true},
    };
    for (const auto& rule : rules) {
        for (const auto& moment : moments) {
            SCOPED_TRACE(std::string(rule.rule) + ", " + moment.when);
            const int32_t doneDay =
                EncodeDate(moment.done.Year, moment.done.Month, moment.done.Day);
            TNoteList list;
            list.AddNote(
                Note(NoteDone, rule.monthRule, rule.dayRule, "a", 2010, NoEndYear, doneDay));
            list.SaveToFile(path_);
            SetTodayForTesting(EncodeDate(moment.today.Year, moment.today.Month, moment.today.Day));
            list.LoadFromFile(path_);
            ASSERT_EQ(list.Count(), 1);
            const bool reopened = rule.repeatsWithinYear && moment.monthOver;
            EXPECT_EQ(list.Items(0)->Kind, reopened ? NoteOpen : NoteDone);
            EXPECT_EQ(list.Items(0)->EndDate, doneDay);
        }
    }
    // An anniversary is no reminder, whatever its rule.
    TNoteList list;
    list.AddNote(Note(NoteBirthday, 0, 10, "h", 2020, 9999, 0));
    list.SaveToFile(path_);
    list.LoadFromFile(path_);
    EXPECT_EQ(list.Items(0)->Kind, NoteBirthday);
}

TEST(NoteList, NewNoteAddDeleteAndIdentity) {
    SetTodayForTesting(EncodeDate(2024, 4, 15));
    TNoteList list;
    TNoteRec* first = list.NewNote();
    EXPECT_EQ(first->Title, Sjis("項目0"));
    EXPECT_EQ(first->Kind, NoteOpen);
    EXPECT_EQ(first->MonthRule, 4);
    EXPECT_EQ(first->DayRule, 15);
    EXPECT_EQ(first->StartYear, 2024);
    EXPECT_EQ(first->EndYear, 2024);
    EXPECT_EQ(first->EndDate, 0);
    for (int i = 0; i < 4; ++i) {
        list.AddNote(Note(NoteOpen, 0, 1, "n"));
    }
    EXPECT_EQ(list.NewNote()->Title, Sjis("項目5"));
    EXPECT_TRUE(list.Modified());

    list.SetModified(false);
    const TNoteRec copy = *first;
    EXPECT_FALSE(list.DeleteNote(&copy));
    EXPECT_FALSE(list.Modified());
    EXPECT_TRUE(list.DeleteNote(first));
    EXPECT_TRUE(list.Modified());
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Items(5), nullptr);
    EXPECT_EQ(list.Items(-1), nullptr);

    list.SetModified(false);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.Modified());
    SetTodayForTesting(std::nullopt);
}

TEST(NoteList, SortByRuleOrderKeepsRecords) {
    TNoteList list;
    const char* const expected[] = {"every month",    "January 5 b", "January 5 done",
                                    "January 5 open", "January 6",   "December",
                                    "set {Jan}",      "set {Feb}"};
    list.AddNote(Note(NoteOpen, MonthSetFlag | 2, 1, "set {Feb}"));
    list.AddNote(Note(NoteOpen, 12, 1, "December"));
    list.AddNote(Note(NoteOpen, 1, 6, "January 6"));
    list.AddNote(Note(NoteOpen, 1, 5, "January 5 open"));
    list.AddNote(Note(NoteDone, 1, 5, "January 5 done"));
    list.AddNote(Note(NoteDone, 1, 5, "January 5 b"));
    list.AddNote(Note(NoteOpen, MonthSetFlag | 1, 1, "set {Jan}"));
    list.AddNote(Note(NoteOpen, 0, 31, "every month"));
    const TNoteRec* december = list.Items(1);
    list.SortByRule();
    EXPECT_EQ(Titles(list), std::vector<std::string>(std::begin(expected), std::end(expected)));
    EXPECT_EQ(list.Items(5), december);  // records keep their address
}

TEST(NoteList, SelectForDateOrder) {
    const int32_t today = EncodeDate(2024, 6, 10);
    TNoteList list;
    list.AddNote(Note(NoteOpen, 6, 20, "b later"));
    list.AddNote(Note(NoteOpen, 6, 12, "Beta"));
    list.AddNote(Note(NoteOpen, 6, 12, "alpha"));
    list.AddNote(Note(NoteOpen, 6, 1, "open, passed"));
    list.AddNote(Note(NoteDone, 6, 1, "done, passed"));
    list.AddNote(Note(NoteDone, 6, 10, "done, today"));
    list.AddNote(Note(NoteOpen, 6, 12, "next year", 2025));
    list.AddNote(Note(NoteOpen, 6, 12, "ended", 2000, 2023));
    list.AddNote(Note(NoteDone, 3, 1, "done in its end year", 2000, 2024, EncodeDate(2024, 3, 2)));
    list.AddNote(Note(NoteOpen, 3, 1, "open in its end year", 2000, 2024));
    list.SelectForDate(today);
    EXPECT_EQ(SelectedTitles(list),
              (std::vector<std::string>{"open in its end year", "open, passed", "done, today",
                                        "alpha", "Beta", "b later"}));
    EXPECT_EQ(list.SelectedNote(6), nullptr);

    // A deleted note leaves the selection with it.
    EXPECT_TRUE(list.DeleteNote(list.SelectedNote(0)));
    EXPECT_EQ(list.SelectedCount(), 5);
    EXPECT_EQ(list.SelectedNote(0)->Title, "open, passed");
}

TEST(NoteList, SelectForMonthOrder) {
    const int32_t firstOfJune = EncodeDate(2024, 6, 1);
    TNoteList list;
    list.AddNote(Note(NoteBirthday, 6, 20, Sjis("かな"), 1990));
    list.AddNote(Note(NoteBirthday, 6, 20, Sjis("カナ"), 1990));
    list.AddNote(Note(NoteBirthday, 6, 25, "born 25th", 1990));
    list.AddNote(Note(NoteBirthday, 6, 5, "born 5th", 1990));
    list.AddNote(Note(NoteHidden, 6, 1, "hidden", 1990));
    list.AddNote(Note(NoteBirthday, 6, 1, "born later", 2025));
    list.AddNote(Note(NoteBirthday, 7, 1, "July", 1990));
    // Memorials fall on the day of death of their own year: 2010 is earlier than 2020 but the
    // 30th is later than the 12th.
    list.AddNote(Note(NoteBirthday, 2, 1, "died 2010-06-30", 1950, 2010, EncodeDate(2010, 6, 30)));
    list.AddNote(Note(NoteBirthday, 2, 1, "died 2020-06-12", 1950, 2020, EncodeDate(2020, 6, 12)));
    list.AddNote(Note(NoteBirthday, 2, 1, "died 2001-06-20", 1930, 2001, EncodeDate(2001, 6, 20)));
    list.AddNote(Note(NoteBirthday, 2, 1, "died in May", 1950, 2010, EncodeDate(2010, 5, 30)));
    list.SelectForMonth(firstOfJune);
    // By the day of the month, then by title.
    EXPECT_EQ(
        SelectedTitles(list),
        (std::vector<std::string>{"born 5th", "died 2020-06-12", "died 2001-06-20", Sjis("かな"),
                                  Sjis("カナ"), "born 25th", "died 2010-06-30"}));
}

}  // namespace
