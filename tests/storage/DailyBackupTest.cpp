#include "storage/DailyBackup.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>

#include "storage/DayNumber.h"
#include "support/ScopedUnprivileged.h"
#include "support/StoreFolder.h"

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

const int32_t kMarch9 = EncodeDate(2026, 3, 9);
// This computer's folder of day folders.
const std::string kOwn = "backup/" + HostFolderName() + "/";

// A diary folder as a few years of use leave it: year files, both note files, the settings, the
// program and the files that are not the diary's.
void FillDiary(const TTestFolder& folder) {
    folder.Write("2024.dat", "2024 pages\r\n");
    folder.Write("2026.dat", "2026 pages\r\n");
    folder.Write("Velmora.mem", "anniversaries\r\n");
    folder.Write("Velmora.tdo", "reminders\r\n");
    folder.Write("Velmora.ini", "SPLITINFO=1\r\n");
    folder.Write("Velmora.hol", "holidays\r\n");
    folder.Write("Velmora", "program");
    folder.Write("2026.dat.bak", "kept copy");
    folder.Write("notes.dat", "someone else's");
}

Names DayFoldersIn(const TTestFolder& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(folder.File(kOwn)))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(BackupFolderName, IsTheDateWithDashes) {
    // Day numbers from EncodeDate, checked against the calendar by DayNumber's own tests.
    EXPECT_EQ(BackupFolderName(kMarch9), "2026-03-09");
    EXPECT_EQ(BackupFolderName(EncodeDate(1999, 12, 31)), "1999-12-31");
    EXPECT_EQ(BackupFolderName(37622), "2003-01-01");
}

TEST(BackUpDiary, FirstStartCopiesEveryDiaryFileAndNothingElse) {
    StoreFolder folder;
    FillDiary(folder);
    const TBackupOutcome outcome = BackUpDiary(folder.Path(), "Velmora", kMarch9);
    EXPECT_EQ(outcome.Copied,
              (Names{"2024.dat", "2026.dat", "Velmora.ini", "Velmora.mem", "Velmora.tdo"}));
    for (const std::string& name : outcome.Copied)
        EXPECT_EQ(folder.Read(kOwn + "2026-03-09/" + name), folder.Read(name)) << name;
    EXPECT_EQ(DayFoldersIn(folder), Names{"2026-03-09"});
    EXPECT_FALSE(fs::exists(folder.File(kOwn + "2026-03-09/Velmora.hol")));
    EXPECT_TRUE(folder.messages.empty());
}

TEST(BackUpDiary, EmptyFolderMakesNoBackupFolder) {
    StoreFolder folder;
    EXPECT_TRUE(BackUpDiary(folder.Path(), "Velmora", kMarch9).Copied.empty());
    EXPECT_FALSE(fs::exists(folder.File("backup")));
}

TEST(BackUpDiary, CopiesOnlyWhatChangedSinceTheLastCopy) {
    struct Case {
        const char* what;
        int daysLater;
        const char* changed;  // file rewritten before the next start, or nullptr
        Names copied;
        Names folders;
    };
    const Case cases[] = {
        {"same day, nothing changed", 0, nullptr, {}, {"2026-03-09"}},
        {"next day, nothing changed", 1, nullptr, {}, {"2026-03-09"}},
        {"next day, a year file changed",
         1,
         "2026.dat",
         {"2026.dat"},
         {"2026-03-09", "2026-03-10"}},
        {"next day, the settings changed",
         1,
         "Velmora.ini",
         {"Velmora.ini"},
         {"2026-03-09", "2026-03-10"}},
        // A day's folder holds the files as the day's first start found them.
        {"same day, a year file changed", 0, "2026.dat", {}, {"2026-03-09"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StoreFolder folder;
        FillDiary(folder);
        BackUpDiary(folder.Path(), "Velmora", kMarch9);
        if (c.changed)
            folder.Write(c.changed, "changed\r\n");
        const TBackupOutcome outcome = BackUpDiary(folder.Path(), "Velmora", kMarch9 + c.daysLater);
        EXPECT_EQ(outcome.Copied, c.copied);
        EXPECT_EQ(DayFoldersIn(folder), c.folders);
        if (c.changed && c.daysLater > 0) {
            EXPECT_EQ(folder.Read(kOwn + "2026-03-10/" + std::string(c.changed)), "changed\r\n");
            EXPECT_NE(folder.Read(kOwn + "2026-03-09/" + std::string(c.changed)), "changed\r\n");
        }
    }
}

TEST(BackUpDiary, ChangeIsJudgedAgainstTheNewestCopy) {
    StoreFolder folder;
    folder.Write("2026.dat", "first\r\n");
    BackUpDiary(folder.Path(), "Velmora", kMarch9);
    folder.Write("2026.dat", "second\r\n");
    BackUpDiary(folder.Path(), "Velmora", kMarch9 + 1);
    // Back to the first bytes: different from the newest copy, so copied although an older
    // folder holds the same bytes.
    folder.Write("2026.dat", "first\r\n");
    EXPECT_EQ(BackUpDiary(folder.Path(), "Velmora", kMarch9 + 2).Copied, Names{"2026.dat"});
}

namespace {

timespec ModifiedOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mtim;
}

void SetModified(const std::string& path, timespec modified) {
    const timespec times[2] = {{0, UTIME_OMIT}, modified};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

}  // namespace

// Whether a file changed is told by its size and modification time against its newest copy's,
// without reading either: a copy carries its file's time.
TEST(BackUpDiary, ChangeIsToldBySizeAndModificationTime) {
    const timespec earlier{1700000000, 0};
    const timespec later{1700000000, 5000};
    const struct {
        const char* what;
        const char* rewrite;  // the file's bytes at the next start
        timespec modified;    // and its modification time
        bool copied;
    } cases[] = {
        {"same bytes, same time", "2026 pages\r\n", earlier, false},
        {"same size, a later time", "2026 PAGES\r\n", later, true},
        {"same time, another size", "2026 pages!\r\n", earlier, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StoreFolder folder;
        folder.Write("2026.dat", "2026 pages\r\n");
        SetModified(folder.File("2026.dat"), earlier);
        BackUpDiary(folder.Path(), "Velmora", kMarch9);
        EXPECT_EQ(ModifiedOf(folder.File(kOwn + "2026-03-09/2026.dat")).tv_nsec, earlier.tv_nsec);
        folder.Write("2026.dat", c.rewrite);
        SetModified(folder.File("2026.dat"), c.modified);
        EXPECT_EQ(BackUpDiary(folder.Path(), "Velmora", kMarch9 + 1).Copied.size(),
                  c.copied ? 1u : 0u);
        if (c.copied) {
            EXPECT_EQ(folder.Read(kOwn + "2026-03-10/2026.dat"), c.rewrite);
        }
    }
}

// A later start reads no file that its newest copy shows unchanged: one the user cannot read
// any more is passed over without a word.
TEST(BackUpDiary, UnchangedFilesAreNotRead) {
    StoreFolder folder;
    FillDiary(folder);
    BackUpDiary(folder.Path(), "Velmora", kMarch9);
    ::chmod(folder.File("2026.dat").c_str(), 0);
    // Run unprivileged, the diary and its backup must be that user's.
    if (::geteuid() == 0)
        for (const auto& entry : fs::recursive_directory_iterator(folder.Path()))
            [[maybe_unused]] const int chowned = ::chown(entry.path().c_str(), 65534, 65534);
    TBackupOutcome outcome;
    {
        ScopedUnprivileged unprivileged(folder.Path());
        outcome = BackUpDiary(folder.Path(), "Velmora", kMarch9 + 1);
    }
    EXPECT_TRUE(outcome.Copied.empty());
    EXPECT_EQ(outcome.Problem, "");
    EXPECT_TRUE(folder.messages.empty());
}

TEST(BackUpDiary, ThirtyFirstFolderRemovesTheOldest) {
    StoreFolder folder;
    for (int day = 0; day < 30; ++day) {
        folder.Write("2026.dat", "day " + std::to_string(day));
        BackUpDiary(folder.Path(), "Velmora", kMarch9 + day);
    }
    ASSERT_EQ(DayFoldersIn(folder).size(), 30u);
    folder.Write("2026.dat", "day 30");
    const TBackupOutcome outcome = BackUpDiary(folder.Path(), "Velmora", kMarch9 + 30);
    EXPECT_EQ(outcome.Removed, Names{"2026-03-09"});
    const Names folders = DayFoldersIn(folder);
    ASSERT_EQ(folders.size(), 30u);
    EXPECT_EQ(folders.front(), "2026-03-10");
    EXPECT_EQ(folders.back(), "2026-04-08");
}

TEST(BackUpDiary, FolderKeptByCountNotByAge) {
    // A user back after months away still has the last thirty days' folders they used.
    StoreFolder folder;
    folder.Write("2026.dat", "a");
    BackUpDiary(folder.Path(), "Velmora", kMarch9);
    folder.Write("2026.dat", "b");
    EXPECT_TRUE(BackUpDiary(folder.Path(), "Velmora", kMarch9 + 200).Removed.empty());
    EXPECT_EQ(DayFoldersIn(folder), (Names{"2026-03-09", "2026-09-25"}));
}

TEST(BackUpDiary, UnchangedFileIsCopiedAgainBeforeItsOnlyCopyIsRemoved) {
    StoreFolder folder;
    folder.Write("2019.dat", "an old year nobody changes");
    folder.Write("2026.dat", "0");
    BackUpDiary(folder.Path(), "Velmora", kMarch9, 3);
    for (int day = 1; day <= 3; ++day) {
        folder.Write("2026.dat", std::to_string(day));
        const TBackupOutcome outcome = BackUpDiary(folder.Path(), "Velmora", kMarch9 + day, 3);
        if (day == 3) {
            EXPECT_EQ(outcome.Copied, (Names{"2019.dat", "2026.dat"}));
            EXPECT_EQ(outcome.Removed, Names{"2026-03-09"});
        }
    }
    EXPECT_EQ(folder.Read(kOwn + "2026-03-12/2019.dat"), "an old year nobody changes");
}

TEST(BackUpDiary, OtherFoldersInBackupAreLeftAlone) {
    StoreFolder folder;
    folder.Write("2026.dat", "x");
    fs::create_directories(folder.File(kOwn + "mine"));
    fs::create_directories(folder.File(kOwn + "2020-01-01"));
    fs::create_directories(folder.File(kOwn + "2020-01-02"));
    const TBackupOutcome outcome = BackUpDiary(folder.Path(), "Velmora", kMarch9, 2);
    EXPECT_EQ(outcome.Removed, Names{"2020-01-01"});
    EXPECT_TRUE(fs::exists(folder.File(kOwn + "mine")));
}

// Two computers share the diary folder through a sync service, each starting on days of its own
// with its own version of the files; the folder also holds day folders of an earlier version.
TEST(BackUpDiary, EachComputerWritesAndRotatesOnlyItsOwnFolders) {
    const struct {
        const char* host;
        int day;  // days after 9 March
        const char* contents;
        Names removed;
    } starts[] = {
        {"taro-desk", 0, "desk 0", {}},
        {"taro-laptop", 0, "laptop 0", {}},  // the same day: a folder of its own
        {"taro-desk", 1, "desk 1", {}},
        {"taro-laptop", 2, "laptop 2", {}},
        {"taro-desk", 3, "desk 3", {"2026-03-09"}},      // the desk's third day: its oldest goes
        {"taro-laptop", 4, "laptop 4", {"2026-03-09"}},  // the laptop counts its own alone
        {"taro-desk", 5, "desk 5", {"2026-03-10"}},
    };
    StoreFolder folder;
    // Day folders of an earlier version, which may be either computer's.
    for (const char* old : {"2026-01-01", "2026-01-02", "2026-01-03"}) {
        fs::create_directories(folder.File("backup/" + std::string(old)));
        folder.Write("backup/" + std::string(old) + "/2026.dat", old);
    }
    for (const auto& start : starts) {
        SCOPED_TRACE(testing::Message() << start.host << " " << start.day);
        folder.Write("2026.dat", start.contents);
        const TBackupOutcome outcome =
            BackUpDiary(folder.Path(), "Velmora", kMarch9 + start.day, 2, start.host);
        EXPECT_EQ(outcome.Removed, start.removed);
        EXPECT_EQ(folder.Read("backup/" + std::string(start.host) + "/" +
                              BackupFolderName(kMarch9 + start.day) + "/2026.dat"),
                  start.contents);
    }
    const auto foldersOf = [&](const std::string& sub) {
        Names names;
        for (const auto& entry : fs::directory_iterator(folder.File(sub)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(foldersOf("backup/taro-desk"), (Names{"2026-03-12", "2026-03-14"}));
    EXPECT_EQ(foldersOf("backup/taro-laptop"), (Names{"2026-03-11", "2026-03-13"}));
    // The earlier version's folders stay, untouched, for the user to read.
    EXPECT_EQ(foldersOf("backup"),
              (Names{"2026-01-01", "2026-01-02", "2026-01-03", "taro-desk", "taro-laptop"}));
    EXPECT_EQ(folder.Read("backup/2026-01-02/2026.dat"), "2026-01-02");
}

TEST(BackUpDiary, ReadOnlyBackupFolderIsReportedOnceAndRemovesNothing) {
    StoreFolder folder;
    FillDiary(folder);
    fs::create_directories(folder.File(kOwn + "2026-03-01"));
    fs::create_directories(folder.File(kOwn + "2026-03-02"));
    ::chmod(folder.File(kOwn).c_str(), 0555);
    TBackupOutcome outcome;
    {
        // The diary folder is the user's; only the backup folder refuses new files.
        ScopedUnprivileged unprivileged(folder.Path());
        outcome = BackUpDiary(folder.Path(), "Velmora", kMarch9, 2);
    }
    EXPECT_TRUE(outcome.Copied.empty());
    EXPECT_TRUE(outcome.Removed.empty());
    EXPECT_FALSE(outcome.Problem.empty());
    ASSERT_EQ(folder.messages.size(), 1u);
    EXPECT_NE(folder.messages[0].find(folder.File("backup")), std::string::npos);
    EXPECT_EQ(DayFoldersIn(folder), (Names{"2026-03-01", "2026-03-02"}));
}

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

}  // namespace

// A diary made private stays private in its backup: copies keep their file's mode, and the
// folders the backup makes are no more open than the diary folder.
TEST(BackUpDiary, CopiesAndFoldersAreNoMoreOpenThanTheDiary) {
    const struct {
        mode_t folder;
        mode_t file;
    } cases[] = {
        {0700, 0600},
        {0755, 0600},
        {0750, 0640},
        {0755, 0644},
    };
    const mode_t oldMask = ::umask(022);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::oct << c.folder << " " << c.file);
        StoreFolder folder;
        FillDiary(folder);
        ::chmod(folder.Path().c_str(), c.folder);
        for (const char* name : {"2024.dat", "2026.dat", "Velmora.mem", "Velmora.tdo"})
            ::chmod(folder.File(name).c_str(), c.file);
        BackUpDiary(folder.Path(), "Velmora", kMarch9);
        EXPECT_EQ(ModeOf(folder.File("backup")), c.folder);
        EXPECT_EQ(ModeOf(folder.File(kOwn)), c.folder);
        EXPECT_EQ(ModeOf(folder.File(kOwn + "2026-03-09")), c.folder);
        EXPECT_EQ(ModeOf(folder.File(kOwn + "2026-03-09/2026.dat")), c.file);
        EXPECT_EQ(ModeOf(folder.File(kOwn + "2026-03-09/Velmora.tdo")), c.file);
        EXPECT_EQ(ModeOf(folder.File(kOwn + "2026-03-09/Velmora.ini")), 0644u);
    }
    ::umask(oldMask);
}

TEST(BackUpDiary, CopiesOfEarlierDaysAreNarrowedToTheFilesMode) {
    // Copies made while the files were open, before the user made the diary private.
    const mode_t oldMask = ::umask(022);
    StoreFolder folder;
    FillDiary(folder);
    BackUpDiary(folder.Path(), "Velmora", kMarch9);
    ::chmod(folder.Path().c_str(), 0700);
    ::chmod(folder.File("2026.dat").c_str(), 0600);
    BackUpDiary(folder.Path(), "Velmora", kMarch9 + 1);
    EXPECT_EQ(ModeOf(folder.File(kOwn + "2026-03-09/2026.dat")), 0600u);
    EXPECT_EQ(ModeOf(folder.File(kOwn + "2026-03-09/2024.dat")), 0644u);
    EXPECT_EQ(ModeOf(folder.File(kOwn + "2026-03-09")), 0700u);
    EXPECT_EQ(ModeOf(folder.File("backup")), 0700u);
    ::umask(oldMask);
}

TEST(TidyTemporaries, RemovesSpentTemporariesAndMovesAsideWhatMayBeKept) {
    enum Age { Older, Same, Newer };
    const struct {
        const char* name;
        const char* contents;
        Age age;           // the file's time against 2026.dat's
        const char* fate;  // "stays", "removed", or its name in backup/
    } cases[] = {
        // Temporaries of this version: a later save of their file makes them useless; otherwise
        // they may hold the newest version of it.
        {".2026.dat.velmora-tmp-Ab12Cd", "older save", Older, "removed"},
        {".2026.dat.velmora-tmp-Cd34Ef", "cut short", Newer, "2026.dat.interrupted-Cd34Ef"},
        {".2026.dat.velmora-tmp-Gh56Ij", "same time", Same, "2026.dat.interrupted-Gh56Ij"},
        {".2025.dat.velmora-tmp-Kl78Mn", "first save", Older, "2025.dat.interrupted-Kl78Mn"},
        {".2026.dat.velmora-tmp-Op90Qr", "", Newer, "removed"},
        {".Velmora.ini.velmora-tmp-St12Uv", "settings", Newer, "Velmora.ini.interrupted-St12Uv"},
        // Named as earlier versions named their temporaries: maybe the user's own copies.
        {"2024.dat.backup", "my copy", Older, "2024.dat.backup"},
        {"2024.dat.copy01", "my copy 1", Older, "2024.dat.copy01"},
        {"Velmora.ini.backup", "my settings", Older, "Velmora.ini.backup"},
        {"2026.dat.Ab3xYz", "old temporary", Older, "2026.dat.Ab3xYz"},
        {"2026.dat.bak.q1W2e3", "old temporary of a backup", Older, "2026.dat.bak.q1W2e3"},
        {"Velmora.mem.bak2.a1b2c3", "old temporary of a backup", Older, "Velmora.mem.bak2.a1b2c3"},
        // Backups, and everything that is not the diary's.
        {"2026.dat.bak", "backup", Older, "stays"},
        {"2026.dat.bak2", "backup", Older, "stays"},
        {"2026.dat.bak123", "backup", Older, "stays"},
        {"Velmora.mem.bak12", "backup", Older, "stays"},
        {"Velmora.hol.Ab3xYz", "holidays", Older, "stays"},
        {"notes.dat.Ab3xYz", "theirs", Older, "stays"},
        {"2026.dat.Ab3xY", "theirs", Older, "stays"},
        {"2026.dat.Ab3xYz7", "theirs", Older, "stays"},
        {"x2026.dat.Ab3xYz", "theirs", Older, "stays"},
        {"2026.dat.velmora-tmp-Ab12Cd", "theirs", Newer, "stays"},
        {"readme.txt", "theirs", Older, "stays"},
    };
    StoreFolder folder;
    folder.Write("2026.dat", "the year");
    const auto yearTime = fs::last_write_time(folder.File("2026.dat"));
    const auto shift = std::chrono::seconds(10);
    for (const auto& c : cases) {
        folder.Write(c.name, c.contents);
        fs::last_write_time(folder.File(c.name), c.age == Older   ? yearTime - shift
                                                 : c.age == Newer ? yearTime + shift
                                                                  : yearTime);
    }
    // A folder and a link with a temporary's name are not files a save left.
    fs::create_directory(folder.File(".2027.dat.velmora-tmp-Ab12Cd"));
    fs::create_symlink("readme.txt", folder.File("2028.dat.Ab3xYz"));
    // A name taken in the backup folder is never written over.
    fs::create_directory(folder.File("backup"));
    folder.Write("backup/Velmora.ini.backup", "an earlier one");
    ::chmod(folder.Path().c_str(), 0700);

    const TTidyOutcome outcome = TidyTemporaries(folder.Path(), "Velmora");

    Names moved;
    int removed = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string fate = c.fate;
        EXPECT_EQ(fs::exists(folder.File(c.name)), fate == "stays");
        if (fate == "removed") {
            ++removed;
        } else if (fate != "stays") {
            moved.push_back(c.name);
            const std::string target = fate == "Velmora.ini.backup" ? fate + ".2" : fate;
            EXPECT_EQ(folder.Read("backup/" + target), c.contents);
        }
    }
    std::sort(moved.begin(), moved.end());
    EXPECT_EQ(outcome.Moved, moved);
    EXPECT_EQ(outcome.Removed, removed);
    EXPECT_EQ(folder.Read("backup/Velmora.ini.backup"), "an earlier one");
    EXPECT_TRUE(fs::is_directory(folder.File(".2027.dat.velmora-tmp-Ab12Cd")));
    EXPECT_TRUE(fs::is_symlink(folder.File("2028.dat.Ab3xYz")));
    EXPECT_EQ(folder.Read("2026.dat"), "the year");
    // The user is told once where the files went.
    ASSERT_EQ(folder.messages.size(), 1u);
    EXPECT_NE(folder.messages[0].find(folder.File("backup")), std::string::npos);
    for (const char* name :
         {"\r\n2024.dat.backup\r\n", "\r\n2026.dat.interrupted-Cd34Ef\r\n", "Velmora.ini.backup.2"})
        EXPECT_NE(folder.messages[0].find(name), std::string::npos) << name;

    // Nothing is left to do at the next start.
    const TTidyOutcome again = TidyTemporaries(folder.Path(), "Velmora");
    EXPECT_TRUE(again.Moved.empty());
    EXPECT_EQ(again.Removed, 0);
    EXPECT_EQ(folder.messages.size(), 1u);
}

TEST(TidyTemporaries, NewBackupFolderIsAsPrivateAsTheDiary) {
    const mode_t oldMask = ::umask(022);
    StoreFolder folder;
    folder.Write("2024.dat.backup", "my copy");
    ::chmod(folder.Path().c_str(), 0700);
    EXPECT_EQ(TidyTemporaries(folder.Path(), "Velmora").Moved, Names{"2024.dat.backup"});
    EXPECT_EQ(ModeOf(folder.File("backup")), 0700u);
    ::umask(oldMask);
}

// A copy cut short (a full disk, a crash) is never found under its file's name, so it is never
// taken for a good copy: the next start of the day makes the copy whole.
TEST(BackUpDiary, CopyCutShortLeavesNoFileUnderTheCopysName) {
    const std::string pages(256 * 1024, 'p');
    const struct {
        const char* what;
        // Leaves what a copy cut short in its own way leaves in the day's folder.
        void (*cut)(const StoreFolder& folder);
        bool reported;
    } cases[] = {
        {"the disk fills in the middle of the copy",
         [](const StoreFolder& folder) {
             rlimit saved{};
             ::getrlimit(RLIMIT_FSIZE, &saved);
             const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
             rlimit small = saved;
             small.rlim_cur = 64 * 1024;
             ::setrlimit(RLIMIT_FSIZE, &small);
             BackUpDiary(folder.Path(), "Velmora", kMarch9);
             ::setrlimit(RLIMIT_FSIZE, &saved);
             std::signal(SIGXFSZ, oldHandler);
         },
         true},
        {"the program was killed in the middle of the copy",
         [](const StoreFolder& folder) {
             fs::create_directories(folder.File(kOwn + "2026-03-09"));
             folder.Write(kOwn + "2026-03-09/.2026.dat.velmora-tmp-Ab12Cd", "half a co");
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StoreFolder folder;
        folder.Write("2026.dat", pages);
        c.cut(folder);
        EXPECT_FALSE(fs::exists(folder.File(kOwn + "2026-03-09/2026.dat")));
        EXPECT_EQ(folder.messages.size(), c.reported ? 1u : 0u);
        const TBackupOutcome again = BackUpDiary(folder.Path(), "Velmora", kMarch9);
        EXPECT_EQ(again.Copied, Names{"2026.dat"});
        EXPECT_EQ(folder.Read(kOwn + "2026-03-09/2026.dat"), pages);
    }
}
