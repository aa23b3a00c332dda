// What keeps one diary folder on two computers, shared by a sync service, from losing pages:
// the names of the services' conflict copies, this computer's own folders, and the day-by-day
// three-way merge.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "notes/NoteList.h"
#include "notes/NoteMerge.h"
#include "storage/ConflictName.h"
#include "storage/Cp932.h"
#include "storage/DayMerge.h"
#include "storage/DayNumber.h"
#include "storage/MachineState.h"
#include "storage/ScrapList.h"
#include "storage/ThreeWayMerge.h"
#include "storage/VelmoraError.h"
#include "storage/YearFile.h"
#include "support/StoreFolder.h"
#include "sync/ConflictCopies.h"
#include "sync/PendingConflicts.h"

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the life of the object, and puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace

// Names as each service writes them (Syncthing's lib/fs conflict naming, Nextcloud's desktop
// client in its current and older forms, Dropbox's English client), for each diary file kind.
TEST(ParseConflictName, ServicesNaming) {
    using S = TSyncService;
    const struct {
        const char* name;
        const char* original;
        S service;
        int year, month, day, hour, minute, second;
        const char* device;
    } cases[] = {
        {"2026.sync-conflict-20261208-101500-ABCDEFG.dat", "2026.dat", S::Syncthing, 2026, 12, 8,
         10, 15, 0, "ABCDEFG"},
        {"Velmora.sync-conflict-20270101-000000-Z2Z2Z2Z.tdo", "Velmora.tdo", S::Syncthing, 2027, 1,
         1, 0, 0, 0, "Z2Z2Z2Z"},
        {"Velmora.sync-conflict-20261231-235959-ABCDEFG.ini", "Velmora.ini", S::Syncthing, 2026, 12,
         31, 23, 59, 59, "ABCDEFG"},
        // A name without extension gets the marker at its end.
        {"notes.sync-conflict-20261208-101500-ABCDEFG", "notes", S::Syncthing, 2026, 12, 8, 10, 15,
         0, "ABCDEFG"},
        {"2026 (conflicted copy 2026-12-08 101500).dat", "2026.dat", S::Nextcloud, 2026, 12, 8, 10,
         15, 0, ""},
        {"Velmora (conflicted copy 2026-01-31 090807).mem", "Velmora.mem", S::Nextcloud, 2026, 1,
         31, 9, 8, 7, ""},
        {"Velmora (conflicted copy Taro 2026-12-08 101500).ini", "Velmora.ini", S::Nextcloud, 2026,
         12, 8, 10, 15, 0, "Taro"},
        {"2026_conflict-20261208-101500.dat", "2026.dat", S::Nextcloud, 2026, 12, 8, 10, 15, 0, ""},
        {"2026 (Taro's conflicted copy 2026-12-08).dat", "2026.dat", S::Dropbox, 2026, 12, 8, -1,
         -1, -1, "Taro"},
        {"Velmora (Taro's MacBook Pro's conflicted copy 2026-12-08).tdo", "Velmora.tdo", S::Dropbox,
         2026, 12, 8, -1, -1, -1, "Taro's MacBook Pro"},
        {"Velmora (Taro's conflicted copy 2026-12-08 (1)).mem", "Velmora.mem", S::Dropbox, 2026, 12,
         8, -1, -1, -1, "Taro"},
        {"2026 (Taro\xE2\x80\x99s conflicted copy 2026-12-08).dat", "2026.dat", S::Dropbox, 2026,
         12, 8, -1, -1, -1, "Taro"},
        // A file name with spaces and dots of its own keeps them.
        {"my diary.2026 (conflicted copy 2026-12-08 101500).dat", "my diary.2026.dat", S::Nextcloud,
         2026, 12, 8, 10, 15, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<TConflictName> parsed = ParseConflictName(c.name);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->Original, c.original);
        EXPECT_EQ(parsed->Service, c.service);
        EXPECT_EQ(parsed->Year, c.year);
        EXPECT_EQ(parsed->Month, c.month);
        EXPECT_EQ(parsed->Day, c.day);
        EXPECT_EQ(parsed->Hour, c.hour);
        EXPECT_EQ(parsed->Minute, c.minute);
        EXPECT_EQ(parsed->Second, c.second);
        EXPECT_EQ(parsed->Device, c.device);
    }
}

TEST(ParseConflictName, ErrorCases) {
    const char* const names[] = {
        "2026.dat",                                          // the file itself
        "Velmora.ini",                                       //
        "",                                                  //
        ".syncthing.2026.dat.tmp",                           // Syncthing's temporary
        "~syncthing~2026.dat.tmp",                           // its older temporary
        ".2026.dat.velmora-tmp-Ab12Cd",                      // Velmora's own temporary
        "2026.dat.bak",                                      // Velmora's own backup
        "2026.sync-conflict.dat",                            // no date
        "2026.sync-conflict-2026128-101500-ABCDEFG.dat",     // seven-digit date
        "2026.sync-conflict-20261308-101500-ABCDEFG.dat",    // month 13
        "2026.sync-conflict-20261208-241500-ABCDEFG.dat",    // hour 24
        "2026.sync-conflict-20261208-101500-.dat",           // no device
        "2026.sync-conflict-20261208-101500-abc/efg.dat",    // a path
        ".sync-conflict-20261208-101500-ABCDEFG.dat",        // no name before the marker
        "2026 (conflicted copy).dat",                        // no date
        "2026 (conflicted copy 2026-12-08).dat",             // Nextcloud's without its time
        "2026 (conflicted copy 2026-12-32 101500).dat",      // day 32
        "2026 (conflicted copy 2026-12-08 1015).dat",        // short time
        "2026 (Taro conflicted copy 2026-12-08).dat",        // Dropbox's without "'s"
        "2026 ('s conflicted copy 2026-12-08).dat",          // Dropbox's without a device
        "2026 (Taro's conflicted copy 2026-12-08 (x)).dat",  // not a number
        "(conflicted copy 2026-12-08 101500).dat",           // no name before it
        "2026_conflict-20261208.dat",                        // older Nextcloud's without time
        "conflicted copy 2026-12-08 101500.dat",             // not in parentheses
    };
    for (const char* name : names)
        EXPECT_FALSE(ParseConflictName(name)) << name;
}

TEST(HostFolderName, IsAPlainFolderNameTellingComputersApart) {
    const struct {
        const char* host;
        const char* machineId;
        const char* folder;
    } cases[] = {
        {"taro-laptop", "3f2a9c01d4e5f60718293a4b5c6d7e8f", "taro-laptop-3f2a9c01"},
        {"taro-laptop", "", "taro-laptop"},
        {"taro-laptop", "3f2a", "taro-laptop"},  // too short to tell anything
        // The same host name on two computers: the machine ids tell them apart.
        {"debian", "aaaaaaaa00000000", "debian-aaaaaaaa"},
        {"debian", "bbbbbbbb00000000", "debian-bbbbbbbb"},
        {"Taro's PC/2", "", "Taro_s_PC_2"},
        {"たろう", "", "_________"},
        {"", "", "localhost"},
        {"..", "", "_.."},
        {".", "", "_."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HostFolderName(c.host, c.machineId), c.folder) << c.host;
    EXPECT_EQ(HostFolderName(), HostFolderName());
}

TEST(StateFolder, PerDiaryFolderUnderTheUsersStateHome) {
    TTestFolder home;
    TTestFolder diary;
    TTestFolder other;
    fs::create_directory(diary.File("Diary"));
    fs::create_directory_symlink(diary.File("Diary"), other.File("link"));
    const std::string state = home.File("state");
    {
        const ScopedEnv xdg("XDG_STATE_HOME", state.c_str());
        const std::string folder = StateFolder(diary.File("Diary"));
        EXPECT_EQ(folder.rfind(state + "/Velmora/Diary-", 0), 0u) << folder;
        // A link to the folder finds the same state; another folder has its own.
        EXPECT_EQ(StateFolder(other.File("link")), folder);
        EXPECT_EQ(StateFolder(diary.File("Diary/")), folder);
        EXPECT_NE(StateFolder(other.Path()), folder);
        EXPECT_TRUE(PrivateFolder(folder + "/"));
        struct stat info {};
        ASSERT_EQ(::stat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        ASSERT_EQ(::stat((state + "/Velmora").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
    // Unset or relative: under ~/.local/state, as the XDG rules have it.
    for (const char* xdg : {static_cast<const char*>(nullptr), "relative/state"}) {
        const ScopedEnv unset("XDG_STATE_HOME", xdg);
        const ScopedEnv homeVar("HOME", home.Path().c_str());
        EXPECT_EQ(StateFolder(diary.File("Diary")).rfind(home.File(".local/state/Velmora/"), 0),
                  0u);
    }
    const ScopedEnv noState("XDG_STATE_HOME", nullptr);
    const ScopedEnv noHome("HOME", nullptr);
    EXPECT_EQ(StateFolder(diary.File("Diary")), "");
}

namespace {

TDataInfo Day(int day, const std::string& title) {
    TDataInfo rec = EmptyDataInfo;
    rec.Date = EncodeDate(2026, 12, day);
    rec.Title = title;
    return rec;
}

using Days = std::vector<TDataInfo>;

// The titles of records by day of December, "" for none, for compact expectations.
std::string Titles(const std::vector<TDataInfo>& records) {
    std::string text;
    for (const TDataInfo& rec : records)
        text += std::to_string(DecodeDate(rec.Date).Day) + "=" + rec.Title + " ";
    return text;
}

std::string Side(const std::optional<TDataInfo>& rec) {
    return rec ? rec->Title : "(none)";
}

}  // namespace

// The merge rules, day by day. Base: what this computer last read or wrote; ours: what it holds
// now; theirs: what arrived. Each row is one day's story; the rows are merged all at once, as one
// year, so a rule that leaked from one day to another would show.
TEST(MergeYear, DayByDayRules) {
    const struct {
        const char* why;
        const char* base;  // nullptr: no such day
        const char* ours;
        const char* theirs;
        const char* merged;  // nullptr: the day is gone
        bool conflict;
        bool changed;  // the merged day differs from ours
    } rows[] = {
        {"unchanged", "a", "a", "a", "a", false, false},
        {"changed here", "a", "A", "a", "A", false, false},
        {"changed there", "a", "a", "B", "B", false, true},
        {"changed the same way on both", "a", "C", "C", "C", false, false},
        {"changed differently on both", "a", "ours", "theirs", "ours", true, false},
        {"added here", nullptr, "new", nullptr, "new", false, false},
        {"added there", nullptr, nullptr, "new", "new", false, true},
        {"added the same on both", nullptr, "same", "same", "same", false, false},
        {"added differently on both", nullptr, "mine", "yours", "mine", true, false},
        {"deleted here", "a", nullptr, "a", nullptr, false, false},
        {"deleted there", "a", "a", nullptr, nullptr, false, true},
        {"deleted on both", "a", nullptr, nullptr, nullptr, false, false},
        {"deleted here, changed there", "a", nullptr, "B", "B", true, true},
        {"changed here, deleted there", "a", "A", nullptr, "A", true, false},
    };
    Days base, ours, theirs;
    std::string merged;
    std::vector<int32_t> changed;
    std::vector<std::string> conflicts;
    int day = 0;
    for (const auto& row : rows) {
        ++day;
        if (row.base)
            base.push_back(Day(day, row.base));
        if (row.ours)
            ours.push_back(Day(day, row.ours));
        if (row.theirs)
            theirs.push_back(Day(day, row.theirs));
        if (row.merged)
            merged += std::to_string(day) + "=" + row.merged + " ";
        if (row.changed)
            changed.push_back(EncodeDate(2026, 12, day));
        if (row.conflict)
            conflicts.push_back(std::to_string(day) + ": " + (row.ours ? row.ours : "(none)") +
                                " / " + (row.theirs ? row.theirs : "(none)"));
    }
    const TYearMerge merge = MergeYear(YearMergeBase(base), ours, theirs);
    EXPECT_EQ(Titles(merge.Records), merged);
    EXPECT_EQ(merge.ChangedDays, changed);
    std::vector<std::string> found;
    for (const TDayConflict& c : merge.Conflicts)
        found.push_back(std::to_string(DecodeDate(c.Date).Day) + ": " + Side(c.Ours) + " / " +
                        Side(c.Theirs));
    EXPECT_EQ(found, conflicts);
}

// Every field counts: a change to any one of them on both sides is a conflict, to any one on
// one side is taken.
TEST(MergeYear, AnyFieldIsAChange) {
    const auto fields = std::vector<void (*)(TDataInfo&, const std::string&)>{
        [](TDataInfo& r, const std::string& v) { r.Title = v; },
        [](TDataInfo& r, const std::string& v) { r.Text = v; },
        [](TDataInfo& r, const std::string& v) { r.RichText = v; },
        [](TDataInfo& r, const std::string& v) { r.Private = v; },
        [](TDataInfo& r, const std::string& v) { r.News = v; },
        [](TDataInfo& r, const std::string& v) { r.Extra = v; },
        [](TDataInfo& r, const std::string& v) { r.Weather = static_cast<int32_t>(v.size()); },
    };
    for (size_t f = 0; f < fields.size(); ++f) {
        SCOPED_TRACE(f);
        const TDataInfo base = Day(1, "t");
        TDataInfo ours = base;
        TDataInfo theirs = base;
        fields[f](theirs, "their change");
        TYearMerge merge = MergeYear(YearMergeBase({base}), {ours}, {theirs});
        ASSERT_EQ(merge.Records.size(), 1u);
        EXPECT_EQ(merge.Records[0], theirs);
        EXPECT_TRUE(merge.Conflicts.empty());
        fields[f](ours, "our change!");
        merge = MergeYear(YearMergeBase({base}), {ours}, {theirs});
        ASSERT_EQ(merge.Conflicts.size(), 1u);
        EXPECT_EQ(merge.Conflicts[0].Ours, ours);
        EXPECT_EQ(merge.Conflicts[0].Theirs, theirs);
        EXPECT_EQ(merge.Records[0], ours);
    }
}

// Without a base (the first start of this version, a state folder lost): nothing is taken as a
// deletion, and days that differ are conflicts, never a silent pick.
TEST(MergeYear, WithoutABaseNothingIsDropped) {
    const TYearMerge merge = MergeYear({}, {Day(1, "only ours"), Day(2, "ours"), Day(3, "same")},
                                       {Day(2, "theirs"), Day(3, "same"), Day(4, "only theirs")});
    EXPECT_EQ(Titles(merge.Records), "1=only ours 2=ours 3=same 4=only theirs ");
    ASSERT_EQ(merge.Conflicts.size(), 1u);
    EXPECT_EQ(Side(merge.Conflicts[0].Theirs), "theirs");
}

// The base goes through its state file and back; a damaged line loses only its own day, which
// then reads as having no base: a conflict, not a silent pick.
TEST(MergeBase, RoundTripThroughTheStateFile) {
    TTestFolder state;
    const Days base{Day(1, "a"), Day(2, "b"), Day(3, "c")};
    SaveMergeBase(state.Path(), "2026.dat", YearMergeBase(base));
    struct stat info {};
    ASSERT_EQ(::stat(state.File("2026.dat.base").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(LoadMergeBase(state.Path(), "2026.dat"), YearMergeBase(base));
    // The state holds digests only: no text of the diary.
    EXPECT_EQ(state.Read("2026.dat.base").find_first_not_of("0123456789abcdef \n"),
              std::string::npos);
    EXPECT_TRUE(LoadMergeBase(state.Path(), "2025.dat").empty());

    std::string text = MergeBaseText(YearMergeBase(base));
    const std::string firstLine = text.substr(0, text.find('\n') + 1);
    const std::string damaged[] = {
        "zz" + firstLine.substr(2),                             // not hexadecimal
        firstLine.substr(1),                                    // a digit short
        firstLine.substr(0, 16) + "\t" + firstLine.substr(17),  // no space between
    };
    for (const std::string& line : damaged) {
        const TMergeBase parsed = ParseMergeBase(line + text.substr(firstLine.size()));
        EXPECT_EQ(parsed.size(), 2u) << line;
    }
}

namespace {

std::string YearText(const Days& days) {
    std::vector<const TDataInfo*> records;
    for (const TDataInfo& rec : days)
        records.push_back(&rec);
    return YearFileText(records);
}

std::string NoteText(const std::vector<TNoteRec>& notes) {
    std::string text;
    for (const TNoteRec& note : notes)
        text += NoteLine(note) + "\r\n";
    return text;
}

TNoteRec Reminder(const std::string& title, uint8_t kind = NoteOpen) {
    TNoteRec note;
    note.Kind = kind;
    note.MonthRule = 12;
    note.DayRule = 24;
    note.StartYear = 2026;
    note.EndDate = kind == NoteDone ? EncodeDate(2026, 12, 24) : 0;
    note.Title = title;
    return note;
}

void SetModified(const std::string& path, time_t seconds) {
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

const char* const kHost = "taro-desk";
const std::string kConflicts = std::string("backup/") + kHost + "/conflicts/";

}  // namespace

// A year file's conflict copy: merged day by day, then moved into this computer's backup folder
// with its bytes as they were. The copy was written at the same time as this computer's file, and
// this computer's base follows its own saves, so only a day the copy still holds as in the base
// is this computer's alone to keep; any other day both hold differently is a conflict (day 3:
// saved here as "c2", so its base is "c2", while the other computer still had "c": taking the copy
// there would lose "c2").
TEST(MergeConflictCopies, YearFileCopyIsMergedAndMovedAside) {
    StoreFolder folder;
    TTestFolder state;
    const Days base{Day(1, "a"), Day(2, "b"), Day(3, "c2")};
    SaveMergeBase(state.Path(), "2026.dat", YearMergeBase(base));
    folder.Write("2026.dat", YearText({Day(1, "a"), Day(2, "ours"), Day(3, "c2"), Day(4, "new")}));
    const std::string copyName = "2026.sync-conflict-20261208-101500-ABCDEFG.dat";
    const std::string theirs =
        YearText({Day(1, "theirs"), Day(2, "b"), Day(3, "c"), Day(5, "added")});
    folder.Write(copyName, theirs);

    const TConflictCopiesOutcome outcome =
        MergeConflictCopies(folder.Path(), "Velmora", state.Path(), kHost);
    ASSERT_EQ(outcome.Copies.size(), 1u);
    const TConflictCopy& copy = outcome.Copies[0];
    EXPECT_EQ(copy.Problem, "");
    EXPECT_EQ(copy.Taken, 1);
    ASSERT_EQ(copy.Days.size(), 2u);
    EXPECT_EQ(Side(copy.Days[0].Ours) + "/" + Side(copy.Days[0].Theirs), "a/theirs");
    EXPECT_EQ(Side(copy.Days[1].Ours) + "/" + Side(copy.Days[1].Theirs), "c2/c");
    const Days merged{Day(1, "a"), Day(2, "ours"), Day(3, "c2"), Day(4, "new"), Day(5, "added")};
    EXPECT_EQ(folder.Read("2026.dat"), YearText(merged));
    // Nothing lost: their version of the conflicting days lies in the backup, as it came.
    EXPECT_FALSE(fs::exists(folder.File(copyName)));
    EXPECT_EQ(copy.MovedTo, folder.File(kConflicts + copyName));
    EXPECT_EQ(folder.Read(kConflicts + copyName), theirs);
    // The merged file is the new base: the next merge starts from it.
    EXPECT_EQ(LoadMergeBase(state.Path(), "2026.dat"), YearMergeBase(merged));
    EXPECT_NE(outcome.Message.find(copyName), std::string::npos);
    EXPECT_NE(outcome.Message.find("2026/12/01"), std::string::npos);
    EXPECT_NE(outcome.Message.find("2026/12/03"), std::string::npos);
}

TEST(MergeConflictCopies, NoteFileCopyIsMergedByNote) {
    StoreFolder folder;
    TTestFolder state;
    const std::vector<TNoteRec> base{Reminder(Sjis("年賀状")), Reminder(Sjis("大掃除"))};
    SaveMergeBase(state.Path(), "Velmora.tdo", NoteMergeBase(base));
    folder.Write("Velmora.tdo", NoteText({Reminder(Sjis("年賀状")), Reminder(Sjis("大掃除")),
                                          Reminder(Sjis("餅"))}));
    const std::string copyName = "Velmora (conflicted copy 2026-12-08 101500).tdo";
    folder.Write(copyName, NoteText({Reminder(Sjis("年賀状"), NoteDone), Reminder(Sjis("大掃除")),
                                     Reminder(Sjis("門松"))}));

    const TConflictCopiesOutcome outcome =
        MergeConflictCopies(folder.Path(), "Velmora", state.Path(), kHost);
    ASSERT_EQ(outcome.Copies.size(), 1u);
    // The ticked card is a conflict (kept open here, ticked in the copy); the new note is taken.
    EXPECT_EQ(outcome.Copies[0].Taken, 1);
    ASSERT_EQ(outcome.Copies[0].Notes.size(), 1u);
    EXPECT_EQ(outcome.Copies[0].Notes[0].Theirs->Kind, NoteDone);
    TNoteList notes;
    notes.LoadFromFile(folder.File("Velmora.tdo"));
    std::set<std::string> titles;
    for (int i = 0; i < notes.Count(); ++i)
        titles.insert(notes.Items(i)->Title + (notes.Items(i)->Kind == NoteDone ? "+" : ""));
    EXPECT_EQ(titles,
              (std::set<std::string>{Sjis("年賀状"), Sjis("大掃除"), Sjis("餅"), Sjis("門松")}));
    EXPECT_TRUE(fs::exists(folder.File(kConflicts + copyName)));
}

// What is left alone, and the settings file, which takes the newer of the two.
TEST(MergeConflictCopies, SettingsTakeTheNewerAndOtherFilesAreLeftAlone) {
    const struct {
        const char* why;
        const char* copy;
        const char* contents;
        int copyAge;       // seconds the copy is older than the file; negative: newer
        const char* file;  // what the file it belongs to holds afterwards
        bool moved;
        bool listed;
    } cases[] = {
        {"newer settings", "Velmora.sync-conflict-20261208-101500-ABCDEFG.ini", "SPLIT=2\r\n", -60,
         "SPLIT=2\r\n", true, true},
        {"older settings", "Velmora (Taro's conflicted copy 2026-12-08).ini", "SPLIT=2\r\n", 60,
         "SPLIT=1\r\n", true, true},
        {"another program's file", "photo.sync-conflict-20261208-101500-ABCDEFG.jpg", "jpeg", 0,
         nullptr, false, false},
        {"another base name", "Other.sync-conflict-20261208-101500-ABCDEFG.ini", "x", 0, nullptr,
         false, false},
        {"a year file's copy with a damaged line", "2026 (conflicted copy 2026-12-08 101500).dat",
         "46364,-1,,t,,,,,\r\nnot a line\r\n", 0, nullptr, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        StoreFolder folder;
        folder.Write("Velmora.ini", "SPLIT=1\r\n");
        folder.Write("2026.dat", YearText({Day(1, "a")}));
        folder.Write(c.copy, c.contents);
        SetModified(folder.File("Velmora.ini"), 1'800'000'000);
        SetModified(folder.File(c.copy), 1'800'000'000 - c.copyAge);
        const TConflictCopiesOutcome outcome =
            MergeConflictCopies(folder.Path(), "Velmora", "", kHost);
        EXPECT_EQ(outcome.Copies.size(), c.listed ? 1u : 0u);
        EXPECT_EQ(fs::exists(folder.File(c.copy)), !c.moved);
        if (c.moved) {
            EXPECT_EQ(folder.Read(kConflicts + c.copy), c.contents);
        }
        if (c.file) {
            EXPECT_EQ(folder.Read("Velmora.ini"), c.file);
        }
        if (c.listed && !c.moved) {
            EXPECT_NE(outcome.Copies[0].Problem, "");
        }
        if (c.copyAge < 0) {
            // The settings it replaced are kept too.
            EXPECT_EQ(folder.Read(kConflicts + "Velmora.ini.replaced"), "SPLIT=1\r\n");
            EXPECT_TRUE(outcome.Copies[0].SettingsTaken);
        }
        EXPECT_EQ(folder.Read("2026.dat"), YearText({Day(1, "a")}));
    }
}

// A year file that an editor saved as UTF-8 is kept as it was before the merge rewrites it in
// CP932.
TEST(MergeConflictCopies, Utf8YearFileIsKeptBeforeTheRewrite) {
    StoreFolder folder;
    const std::string utf8 = std::to_string(EncodeDate(2026, 12, 1)) + ",-1,,日記,,,,,\r\n";
    folder.Write("2026.dat", utf8);
    folder.Write("2026.sync-conflict-20261208-101500-ABCDEFG.dat",
                 YearText({Day(1, Sjis("日記")), Day(2, Sjis("続き"))}));
    const TConflictCopiesOutcome outcome = MergeConflictCopies(folder.Path(), "Velmora", "", kHost);
    ASSERT_EQ(outcome.Copies.size(), 1u);
    EXPECT_EQ(outcome.Copies[0].Taken, 1);
    EXPECT_EQ(folder.Read("2026.dat.bak"), utf8);
    EXPECT_EQ(folder.Read("2026.dat"), YearText({Day(1, Sjis("日記")), Day(2, Sjis("続き"))}));
}

// While the window starts, the bases of what the store and the note lists read are held back and
// the state folder keeps the ones before, as if the files had not been read yet; once released,
// each file's last base is written, and later ones go at once.
TEST(MergeBase, HeldBackUntilReleased) {
    StoreFolder folder;
    TTestFolder state;
    const std::string stateDir = state.File("Velmora/diary-0123");
    folder.Write("2025.dat", YearText({Day(1, "x")}));
    folder.Write("2026.dat", YearText({Day(1, "a")}));
    folder.Write("Velmora.tdo", NoteText({Reminder(Sjis("年賀状"))}));
    RememberMergeBase(stateDir, "2026.dat", YearMergeBase(Days{Day(1, "old")}));
    const TMergeBase before = LoadMergeBase(stateDir, "2026.dat");

    TScrapList store;
    store.SetDataDir(folder.Dir());
    store.SetStateDir(stateDir);
    store.HoldBases();
    TNoteList notes;
    notes.SetStateDir(stateDir);
    notes.HoldBases();
    store.SetDate(EncodeDate(2026, 12, 8));
    store.PutRecord(Day(2, "b"));
    store.SaveToFile();
    store.SetDate(EncodeDate(2025, 12, 8));
    notes.LoadFromFile(folder.File("Velmora.tdo"));
    EXPECT_EQ(LoadMergeBase(stateDir, "2026.dat"), before);
    EXPECT_TRUE(LoadMergeBase(stateDir, "2025.dat").empty());
    EXPECT_TRUE(LoadMergeBase(stateDir, "Velmora.tdo").empty());

    store.ReleaseBases();
    notes.ReleaseBases();
    EXPECT_EQ(LoadMergeBase(stateDir, "2026.dat"), YearMergeBase(Days{Day(1, "a"), Day(2, "b")}));
    EXPECT_EQ(LoadMergeBase(stateDir, "2025.dat"), YearMergeBase(Days{Day(1, "x")}));
    EXPECT_EQ(LoadMergeBase(stateDir, "Velmora.tdo"), NoteMergeBase({Reminder(Sjis("年賀状"))}));
    notes.AddNote(Reminder(Sjis("餅")));
    notes.Save();
    EXPECT_EQ(LoadMergeBase(stateDir, "Velmora.tdo"),
              NoteMergeBase({Reminder(Sjis("年賀状")), Reminder(Sjis("餅"))}));
}

// The base follows what this computer read and wrote of each file, so that at the next conflict
// copy a day or note changed on the other computer alone is taken, not reported as a conflict.
TEST(MergeBase, FollowsWhatTheStoreAndTheNoteListsReadAndWrote) {
    StoreFolder folder;
    TTestFolder state;
    const std::string stateDir = state.File("Velmora/diary-0123");
    folder.Write("2026.dat", YearText({Day(1, "a")}));
    folder.Write("Velmora.tdo", NoteText({Reminder(Sjis("年賀状"))}));
    {
        TScrapList store;
        store.SetDataDir(folder.Dir());
        store.SetStateDir(stateDir);
        store.SetDate(EncodeDate(2026, 12, 8));
        EXPECT_EQ(LoadMergeBase(stateDir, "2026.dat"), YearMergeBase(Days{Day(1, "a")}));
        store.PutRecord(Day(2, "b"));
        store.SaveToFile();
        EXPECT_EQ(LoadMergeBase(stateDir, "2026.dat"),
                  YearMergeBase(Days{Day(1, "a"), Day(2, "b")}));
        TNoteList notes;
        notes.SetStateDir(stateDir);
        notes.LoadFromFile(folder.File("Velmora.tdo"));
        EXPECT_EQ(LoadMergeBase(stateDir, "Velmora.tdo"),
                  NoteMergeBase({Reminder(Sjis("年賀状"))}));
        notes.AddNote(Reminder(Sjis("餅")));
        notes.Save();
        EXPECT_EQ(LoadMergeBase(stateDir, "Velmora.tdo"),
                  NoteMergeBase({Reminder(Sjis("年賀状")), Reminder(Sjis("餅"))}));
    }
    // The other computer changed day 1 and ticked the reminder at the time this one wrote: a copy
    // is a concurrent version, so what it holds differently is a conflict to settle, not taken.
    folder.Write("2026.sync-conflict-20261208-101500-ABCDEFG.dat",
                 YearText({Day(1, "a, then more"), Day(2, "b")}));
    folder.Write("Velmora.sync-conflict-20261208-101500-ABCDEFG.tdo",
                 NoteText({Reminder(Sjis("年賀状"), NoteDone), Reminder(Sjis("餅"))}));
    const TConflictCopiesOutcome outcome =
        MergeConflictCopies(folder.Path(), "Velmora", stateDir, kHost);
    ASSERT_EQ(outcome.Copies.size(), 2u);
    for (const TConflictCopy& copy : outcome.Copies) {
        EXPECT_EQ(copy.Taken, 0) << copy.Name;
        EXPECT_EQ(copy.Days.size() + copy.Notes.size(), 1u) << copy.Name;
    }
    EXPECT_EQ(folder.Read("2026.dat"), YearText({Day(1, "a"), Day(2, "b")}));

    // Without a state folder nothing is kept anywhere.
    TScrapList store;
    store.SetDataDir(folder.Dir());
    store.SetDate(EncodeDate(2025, 1, 1));
    store.PutRecord(Day(3, "c"));
    store.SaveToFile();
    EXPECT_FALSE(fs::exists(stateDir + "/2025.dat.base"));
}

namespace {

// The titles of the store's records, as Titles gives them.
std::string StoreTitles(const TScrapList& store) {
    Days records;
    for (int i = 0; i < store.Count(); ++i)
        records.push_back(store.Items(i));
    return Titles(records);
}

// Dates of the conflicts, by day of December.
std::string ConflictDays(const std::vector<TDayConflict>& conflicts) {
    std::string text;
    for (const TDayConflict& day : conflicts)
        text += std::to_string(DecodeDate(day.Date).Day) + ":" + Side(day.Ours) + "/" +
                Side(day.Theirs) + " ";
    return text;
}

}  // namespace

// Another computer's version of the loaded year file arrives while the store holds it: the save
// (or a check of the folder) merges it day by day, so no day of either side is written over.
// Each row starts from the file 1=a 2=b 3=c as read, then the store's unsaved edit, then the
// file as the other computer left it.
TEST(TakeDiskChanges, YearFileChangedBehindTheStore) {
    struct Row {
        const char* name;
        std::optional<TDataInfo> ours;  // the store's unsaved edit
        bool oursDeletes2;              // the store deleted day 2 instead
        Days theirs;
        const char* store;      // the store after the merge
        const char* conflicts;  // the conflicts met
        bool check;             // merged by a check of the folder, then saved; else by the save
    };
    const Row rows[] = {
        {"their change alone",
         std::nullopt,
         false,
         {Day(1, "A"), Day(2, "b"), Day(3, "c")},
         "1=A 2=b 3=c ",
         "",
         true},
        {"their addition and deletion",
         std::nullopt,
         false,
         {Day(1, "a"), Day(3, "c"), Day(4, "d")},
         "1=a 3=c 4=d ",
         "",
         true},
        {"our day and their day",
         Day(2, "ours"),
         false,
         {Day(1, "A"), Day(2, "b"), Day(3, "c")},
         "1=A 2=ours 3=c ",
         "",
         false},
        {"our day and their day, checked",
         Day(2, "ours"),
         false,
         {Day(1, "A"), Day(2, "b"), Day(3, "c")},
         "1=A 2=ours 3=c ",
         "",
         true},
        {"one day changed differently",
         Day(2, "ours"),
         false,
         {Day(1, "a"), Day(2, "other"), Day(3, "c")},
         "1=a 2=ours 3=c ",
         "2:ours/other ",
         false},
        {"changed the same way",
         Day(2, "same"),
         false,
         {Day(1, "a"), Day(2, "same"), Day(3, "c")},
         "1=a 2=same 3=c ",
         "",
         false},
        {"deleted here, changed there",
         std::nullopt,
         true,
         {Day(1, "a"), Day(2, "other"), Day(3, "c")},
         "1=a 2=other 3=c ",
         "2:(none)/other ",
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StoreFolder folder;
        TTestFolder state;
        folder.Write("2026.dat", YearText({Day(1, "a"), Day(2, "b"), Day(3, "c")}));
        TScrapList store;
        store.SetDataDir(folder.Dir());
        store.SetStateDir(state.Path());
        std::vector<TDayConflict> met;
        store.OnDiskMerged = [&met](TScrapList&, const TDiskMerge& merge) {
            met.insert(met.end(), merge.Merge.Conflicts.begin(), merge.Merge.Conflicts.end());
        };
        store.SetDate(EncodeDate(2026, 12, 2));
        if (row.ours)
            store.PutRecord(*row.ours);
        if (row.oursDeletes2)
            store.DeleteByDate(EncodeDate(2026, 12, 2));
        folder.Write("2026.dat", YearText(row.theirs));
        SetModified(folder.File("2026.dat"), 1'700'000'000);
        ASSERT_TRUE(store.ChangedOnDisk());
        if (row.check)
            store.TakeDiskChanges();
        store.SaveIfModified();
        EXPECT_EQ(StoreTitles(store), row.store);
        EXPECT_EQ(ConflictDays(met), row.conflicts);
        // The file holds what the store holds: both sides' days, ours where they conflict.
        EXPECT_EQ(Titles(ParseYearFile(folder.Read("2026.dat")).Records), row.store);
        EXPECT_FALSE(store.Modified() || store.ChangedOnDisk());
        // The current day's copy follows the merge.
        EXPECT_EQ(store.Current().Title, store.FindByDate(EncodeDate(2026, 12, 2)).Title);
        EXPECT_EQ(folder.messages, std::vector<std::string>{});
    }
}

// The store's own writes are not another program's change; a file that does not read whole is
// left to the save, which keeps it beside before writing (nothing of it is lost either way).
TEST(TakeDiskChanges, OwnWritesAndDamagedFiles) {
    StoreFolder folder;
    TTestFolder state;
    folder.Write("2026.dat", YearText({Day(1, "a")}));
    TScrapList store;
    store.SetDataDir(folder.Dir());
    store.SetStateDir(state.Path());
    int merges = 0;
    store.OnDiskMerged = [&merges](TScrapList&, const TDiskMerge&) { ++merges; };
    store.SetDate(EncodeDate(2026, 12, 1));
    store.PutRecord(Day(1, "b"));
    store.SaveToFile();
    EXPECT_FALSE(store.ChangedOnDisk());
    EXPECT_TRUE(store.TakeDiskChanges().Merge.ChangedDays.empty());

    folder.Write("2026.dat", YearText({Day(1, "b"), Day(2, "c")}) + "\"cut short,\r\n");
    EXPECT_TRUE(store.ChangedOnDisk());
    EXPECT_TRUE(store.TakeDiskChanges().Merge.ChangedDays.empty());
    EXPECT_EQ(StoreTitles(store), "1=b ");
    EXPECT_EQ(merges, 0);
}

TEST(TakeDiskChanges, NoteFileChangedBehindTheList) {
    StoreFolder folder;
    TTestFolder state;
    const TNoteRec card = Reminder(Sjis("年賀状"));
    const TNoteRec mochi = Reminder(Sjis("餅"));
    folder.Write("Velmora.tdo", NoteText({card, mochi}));
    TNoteList notes;
    notes.SetStateDir(state.Path());
    std::vector<TNoteConflict> met;
    notes.OnDiskMerged = [&met](TNoteList&, const TNoteDiskMerge& merge) {
        met.insert(met.end(), merge.Merge.Conflicts.begin(), merge.Merge.Conflicts.end());
    };
    notes.LoadFromFile(folder.File("Velmora.tdo"));
    // Here: a new note, and the card ticked. There: the card's date moved, and a note of theirs.
    notes.AddNote(Reminder(Sjis("大掃除")));
    notes.Items(0)->Kind = NoteDone;
    notes.Items(0)->EndDate = EncodeDate(2026, 12, 20);
    TNoteRec moved = card;
    moved.DayRule = 25;
    folder.Write("Velmora.tdo", NoteText({moved, mochi, Reminder(Sjis("門松"))}));
    SetModified(folder.File("Velmora.tdo"), 1'700'000'000);
    // The reminder panel holds the records: the ones the merge keeps stay where they were.
    const TNoteRec* ticked = notes.Items(0);
    const TNoteRec* added = notes.Items(2);
    notes.Save();

    std::vector<const TNoteRec*> records;
    for (int i = 0; i < notes.Count(); ++i)
        records.push_back(notes.Items(i));
    EXPECT_NE(std::find(records.begin(), records.end(), ticked), records.end());
    EXPECT_NE(std::find(records.begin(), records.end(), added), records.end());
    ASSERT_EQ(met.size(), 1u);
    EXPECT_EQ(met[0].Ours->Kind, NoteDone);
    EXPECT_EQ(met[0].Theirs->DayRule, 25);
    TNoteList saved;
    saved.LoadFromFile(folder.File("Velmora.tdo"));
    std::vector<std::string> titles;
    for (int i = 0; i < saved.Count(); ++i)
        titles.push_back(Cp932ToUtf8(saved.Items(i)->Title));
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::string>{"大掃除", "年賀状", "門松", "餅"}));
    EXPECT_FALSE(notes.ChangedOnDisk());
}

// The other computer's versions wait in the state folder for the user's choice: whatever bytes a
// day or note holds come back as they were, across a quit.
TEST(PendingConflicts, KeptAcrossAQuitAsTheyWere) {
    TDataInfo rich = Day(8, "a, \"quoted\" title");
    rich.Text = Sjis("一行目\r\n二行目\t\\ ,");
    rich.RichText = TLazyText(std::string("{\\rtf1 \\par x}"));
    const TPendingConflict rows[] = {
        PendingDay("2026.dat", "2026.dat", 1'765'000'000, {rich.Date, Day(8, "ours"), rich}),
        PendingDay("2026.dat", "2026.sync-conflict-20261208-101500-ABCDEFG.dat", 0,
                   {EncodeDate(2026, 12, 9), Day(9, "ours"), std::nullopt}),
        PendingNote("Velmora.tdo", "Velmora (conflicted copy 2026-12-08 101500).tdo", 5,
                    {Reminder(Sjis("年賀状")), Reminder(Sjis("年賀状"), NoteDone)}),
        PendingNote("Velmora.mem", "Velmora.mem", 6,
                    {std::nullopt, Reminder(Sjis("祖母, 誕生日"))}),
    };
    const std::vector<TPendingConflict> list(std::begin(rows), std::end(rows));
    TTestFolder state;
    const std::string stateDir = state.File("Velmora/diary-0123");
    SavePendingConflicts(stateDir, list);
    const std::vector<TPendingConflict> back = LoadPendingConflicts(stateDir);
    EXPECT_EQ(back, list);
    ASSERT_EQ(back.size(), 4u);
    const TYearFileText day = ParseYearFile(*back[0].Theirs + "\r\n");
    ASSERT_EQ(day.Records.size(), 1u);
    EXPECT_EQ(day.Records[0], rich);
    EXPECT_FALSE(back[1].Theirs.has_value());
    EXPECT_EQ(ParseNoteLine(*back[2].Theirs)->Kind, NoteDone);
    EXPECT_EQ(back[3].Key, Sjis("祖母, 誕生日"));
    EXPECT_TRUE(IsYearConflict(back[0]) && !IsYearConflict(back[2]));

    // A later conflict of the same day replaces the earlier; the others stay.
    std::vector<TPendingConflict> added = back;
    AddPendingConflicts(added, {PendingDay("2026.dat", "2026.dat", 7,
                                           {rich.Date, Day(8, "ours"), Day(8, "newer")})});
    ASSERT_EQ(added.size(), 4u);
    EXPECT_EQ(added.back().Time, 7);

    // Damaged lines are skipped, the rest read; an empty list leaves no file.
    const std::string text = PendingConflictsText(list);
    EXPECT_EQ(ParsePendingConflicts("garbage\r\n,,,x,1,\r\n" + text).size(), 4u);
    SavePendingConflicts(stateDir, {});
    EXPECT_FALSE(fs::exists(stateDir + "/conflicts"));
    EXPECT_TRUE(LoadPendingConflicts("").empty());
}

// At start, what the conflict copies left undecided waits in the state folder with the copy's
// name, beside what an earlier run left; a copy with no conflict adds nothing.
TEST(PendingConflicts, CopiesTakenInAtStartLeaveTheirConflicts) {
    StoreFolder folder;
    TTestFolder state;
    SaveMergeBase(state.Path(), "2026.dat", YearMergeBase(Days{Day(1, "a")}));
    folder.Write("2026.dat", YearText({Day(1, "ours")}));
    const std::string copyName = "2026 (Taro's conflicted copy 2026-12-08).dat";
    folder.Write(copyName, YearText({Day(1, "theirs")}));
    folder.Write("Velmora.tdo", NoteText({Reminder(Sjis("餅"))}));
    folder.Write("Velmora.sync-conflict-20261208-101500-ABCDEFG.tdo",
                 NoteText({Reminder(Sjis("餅")), Reminder(Sjis("門松"))}));
    const TPendingConflict earlier =
        PendingNote("Velmora.mem", "Velmora.mem", 5, {std::nullopt, Reminder(Sjis("祖母"))});
    SavePendingConflicts(state.Path(), {earlier});

    KeepCopyConflicts(state.Path(),
                      MergeConflictCopies(folder.Path(), "Velmora", state.Path(), kHost));
    const std::vector<TPendingConflict> pending = LoadPendingConflicts(state.Path());
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending[0], earlier);
    EXPECT_EQ(pending[1].File, "2026.dat");
    EXPECT_EQ(pending[1].Source, copyName);
    EXPECT_EQ(pending[1].Key, std::to_string(EncodeDate(2026, 12, 1)));
    EXPECT_EQ(ParseYearFile(*pending[1].Theirs + "\r\n").Records, Days{Day(1, "theirs")});
    EXPECT_NE(pending[1].Time, 0);
}

// A copy that holds a version of a day this computer has gone past (read it, or wrote it and
// then wrote over it) holds nothing new there: this computer's version stays without a question.
// A version written here and then only replaced by what another computer wrote is a change that
// crossed the other's (Syncthing makes the loser's own file the copy): a conflict, as is a version
// never seen here. Each row: this computer reads 1=a, writes 1=b, then either writes 1=c or reads
// the other's 1=c; then the copy arrives.
TEST(MergeConflictCopies, VersionsGonePastAreNoConflict) {
    const struct {
        bool thenRead;
        const char* copyDay1;
        const char* conflicts;
    } rows[] = {
        {false, "b", ""}, {false, "a", ""},      {false, "x", "1:c/x "},
        {true, "a", ""},  {true, "b", "1:c/b "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.thenRead ? "read c, " : "wrote c, ") + row.copyDay1);
        StoreFolder folder;
        TTestFolder state;
        folder.Write("2026.dat", YearText({Day(1, "a")}));
        {
            TScrapList store;
            store.SetDataDir(folder.Dir());
            store.SetStateDir(state.Path());
            store.SetDate(EncodeDate(2026, 12, 1));
            store.PutRecord(Day(1, "b"));
            store.SaveToFile();
            if (row.thenRead) {
                folder.Write("2026.dat", YearText({Day(1, "c")}));
                SetModified(folder.File("2026.dat"), 1'700'000'000);
                store.TakeDiskChanges();
            } else {
                store.PutRecord(Day(1, "c"));
                store.SaveToFile();
            }
        }
        folder.Write("2026.sync-conflict-20261208-101500-ABCDEFG.dat",
                     YearText({Day(1, row.copyDay1), Day(2, "new")}));
        const TConflictCopiesOutcome outcome =
            MergeConflictCopies(folder.Path(), "Velmora", state.Path(), kHost);
        ASSERT_EQ(outcome.Copies.size(), 1u);
        EXPECT_EQ(ConflictDays(outcome.Copies[0].Days), row.conflicts);
        EXPECT_EQ(Titles(ParseYearFile(folder.Read("2026.dat")).Records), "1=c 2=new ");
    }
}
