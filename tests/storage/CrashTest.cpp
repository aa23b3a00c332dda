#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "storage/DailyBackup.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/ScrapList.h"
#include "support/StoreFolder.h"

namespace {

const int32_t kJan1 = EncodeDate(2003, 1, 1);

// How many times the saving process is killed; VELMORA_CRASH_KILLS sets it (CI runs a few
// hundred, a release check a thousand or more).
int KillCount() {
    const char* text = std::getenv("VELMORA_CRASH_KILLS");
    return text ? std::atoi(text) : 300;
}

// Puts a whole year into store, each page marked with version, about 400 KB in all.
void FillYear(TScrapList& store, int version) {
    for (int32_t d = kJan1; d < kJan1 + 365; ++d) {
        TDataInfo rec;
        rec.Date = d;
        rec.Weather = version;
        rec.Title = "version " + std::to_string(version);
        rec.Text = std::string(1000, static_cast<char>('a' + version));
        store.PutRecord(rec);
    }
}

// The year file as the store writes the year of version.
std::string YearFileOf(int version) {
    StoreFolder scratch;
    TScrapList store;
    store.SetDataDir(scratch.Dir());
    store.SetDate(kJan1);
    FillYear(store, version);
    store.SaveToFile();
    return scratch.Read("2003.dat");
}

// A child process saves a year over and over, switching between two versions, and is killed at
// random moments: the year file is always one version whole, and what an interrupted save left
// is gone from beside it after the clean-up of the next start (removed, or moved into the backup
// folder when it may hold the newest version).
TEST(CrashDuringSave, YearFileIsAlwaysWholeAndNoTemporaryStays) {
    const std::string versions[] = {YearFileOf(0), YearFileOf(1)};
    StoreFolder folder;
    SafeWriteFile(folder.File("2003.dat"), versions[0]);
    std::mt19937 random(20260101);
    std::uniform_int_distribution<int> delay(0, 40000);
    int temporaries = 0;
    const int kills = KillCount();
    for (int kill = 0; kill < kills; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TScrapList store;
            store.SetDataDir(folder.Dir());
            store.SetDate(kJan1);
            for (int version = 1;; version ^= 1) {
                FillYear(store, version);
                store.SaveToFile();
            }
        }
        ::usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        const std::string contents = folder.Read("2003.dat");
        ASSERT_TRUE(contents == versions[0] || contents == versions[1])
            << "kill " << kill << ": a year file of " << contents.size() << " bytes";
        for (const auto& entry : std::filesystem::directory_iterator(folder.Dir())) {
            const std::string name = entry.path().filename().string();
            ASSERT_TRUE(name == "2003.dat" || name == "backup" ||
                        TemporaryOwner(name) == "2003.dat")
                << "kill " << kill << ": " << name << " besides the year file";
        }
        const TTidyOutcome tidy = TidyTemporaries(folder.Path(), "Velmora");
        temporaries += tidy.Removed + static_cast<int>(tidy.Moved.size());
        for (const auto& entry : std::filesystem::directory_iterator(folder.Dir())) {
            const std::string name = entry.path().filename().string();
            ASSERT_TRUE(name == "2003.dat" || name == "backup")
                << "kill " << kill << ": " << name << " besides the year file";
        }
    }
    RecordProperty("kills", kills);
    RecordProperty("temporariesRemoved", temporaries);
    std::printf("%d kills, %d temporaries removed\n", kills, temporaries);
}

}  // namespace
