#include "storage/DailyBackup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "storage/DayNumber.h"
#include "support/ScopedUnprivileged.h"
#include "support/StoreFolder.h"

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

const int32_t kMarch9 = EncodeDate(2026, 3, 9);

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
    for (const auto& entry : fs::directory_iterator(folder.File("backup")))
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
        EXPECT_EQ(folder.Read("backup/2026-03-09/" + name), folder.Read(name)) << name;
    EXPECT_EQ(DayFoldersIn(folder), Names{"2026-03-09"});
    EXPECT_FALSE(fs::exists(folder.File("backup/2026-03-09/Velmora.hol")));
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
            EXPECT_EQ(folder.Read("backup/2026-03-10/" + std::string(c.changed)), "changed\r\n");
            EXPECT_NE(folder.Read("backup/2026-03-09/" + std::string(c.changed)), "changed\r\n");
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
    EXPECT_EQ(folder.Read("backup/2026-03-12/2019.dat"), "an old year nobody changes");
}

TEST(BackUpDiary, OtherFoldersInBackupAreLeftAlone) {
    StoreFolder folder;
    folder.Write("2026.dat", "x");
    fs::create_directories(folder.File("backup/mine"));
    fs::create_directories(folder.File("backup/2020-01-01"));
    fs::create_directories(folder.File("backup/2020-01-02"));
    const TBackupOutcome outcome = BackUpDiary(folder.Path(), "Velmora", kMarch9, 2);
    EXPECT_EQ(outcome.Removed, Names{"2020-01-01"});
    EXPECT_TRUE(fs::exists(folder.File("backup/mine")));
}

TEST(BackUpDiary, ReadOnlyBackupFolderIsReportedOnceAndRemovesNothing) {
    StoreFolder folder;
    FillDiary(folder);
    fs::create_directories(folder.File("backup/2026-03-01"));
    fs::create_directories(folder.File("backup/2026-03-02"));
    ::chmod(folder.File("backup").c_str(), 0555);
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
