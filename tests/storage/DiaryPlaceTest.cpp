#include "storage/DiaryPlace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "storage/SafeWrite.h"
#include "support/TestFolder.h"

namespace {

struct PlaceCase {
    const char* why;
    const char* executable;  // folder and name
    bool writable;
    std::vector<std::string> names;
    const char* chosen;
    const char* xdgDataHome;
    const char* diary;
    const char* baseName;
    const char* help;  // the shipped holidays lie beside it
};

TEST(DiaryPlace, Rule) {
    const std::vector<std::string> built = {"Velmora", "Velmora.html", "Velmora.hol",
                                            kPortableMarker};
    const PlaceCase cases[] = {
        {"system install: the user's data folder, files named Velmora whatever the program's name",
         "/usr/bin/velmora",
         false,
         {"velmora", "ls"},
         "",
         "",
         "/home/u/.local/share/Velmora",
         "Velmora",
         "/usr/share/velmora/Velmora.html"},
        {"an absolute XDG_DATA_HOME is followed",
         "/usr/bin/velmora",
         false,
         {"velmora"},
         "",
         "/data/",
         "/data/Velmora",
         "Velmora",
         "/usr/share/velmora/Velmora.html"},
        {"a relative XDG_DATA_HOME is no folder to the desktop's conventions",
         "/usr/bin/velmora",
         false,
         {"velmora"},
         "",
         "data",
         "/home/u/.local/share/Velmora",
         "Velmora",
         "/usr/share/velmora/Velmora.html"},
        {"an install unpacked elsewhere reads the data of its own share folder",
         "/tmp/root/usr/bin/velmora",
         true,
         {"velmora"},
         "",
         "",
         "/home/u/.local/share/Velmora",
         "Velmora",
         "/tmp/root/usr/share/velmora/Velmora.html"},
        {"the marker in a writable folder keeps the diary beside the program", "/home/u/V/Velmora",
         true, built, "", "", "/home/u/V", "Velmora", "/home/u/V/Velmora.html"},
        {"the marker in a folder that cannot be written is no diary",
         "/opt/v/Velmora",
         false,
         {"Velmora", kPortableMarker},
         "",
         "",
         "/home/u/.local/share/Velmora",
         "Velmora",
         "/opt/share/velmora/Velmora.html"},
        {"a year file keeps the diary beside the program",
         "/home/u/V/Velmora",
         true,
         {"Velmora", "2026.dat"},
         "",
         "",
         "/home/u/V",
         "Velmora",
         "/home/u/share/velmora/Velmora.html"},
        {"a diary that cannot be written now stays where it is",
         "/media/u/V/Velmora",
         false,
         {"Velmora", "Velmora.ini"},
         "",
         "",
         "/media/u/V",
         "Velmora",
         "/media/u/share/velmora/Velmora.html"},
        {"the note files of a renamed copy are its diary, named after it",
         "/home/u/D/Diary",
         true,
         {"Diary", "Diary.tdo", "Diary.html"},
         "",
         "",
         "/home/u/D",
         "Diary",
         "/home/u/D/Diary.html"},
        {"another program's settings are no diary",
         "/home/u/bin/velmora",
         true,
         {"velmora", "Velmora.ini", "2026.data", "x026.dat", "backup"},
         "",
         "",
         "/home/u/.local/share/Velmora",
         "Velmora",
         "/home/u/share/velmora/Velmora.html"},
        {"the named folder wins over a portable one", "/home/u/V/Velmora", true, built,
         "/home/u/Other", "", "/home/u/Other", "Velmora", "/home/u/V/Velmora.html"},
        {"the named folder that is the program's own is the portable diary",
         "/home/u/D/Diary",
         true,
         {"Diary"},
         "/home/u/D",
         "",
         "/home/u/D",
         "Diary",
         "/home/u/share/velmora/Velmora.html"},
        {"a program in the root folder",
         "/velmora",
         false,
         {"velmora"},
         "",
         "",
         "/home/u/.local/share/Velmora",
         "Velmora",
         "/share/velmora/Velmora.html"},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.why);
        TPlaceFacts facts;
        const std::string executable = c.executable;
        facts.ExecutableFolder = executable.substr(0, executable.rfind('/'));
        if (facts.ExecutableFolder.empty())
            facts.ExecutableFolder = "/";
        facts.ExecutableName = executable.substr(executable.rfind('/') + 1);
        facts.ExecutableFolderWritable = c.writable;
        facts.ExecutableFolderNames = c.names;
        facts.ChosenFolder = c.chosen;
        facts.XdgDataHome = c.xdgDataHome;
        facts.Home = "/home/u";
        const TPlaces places = ChooseDiaryPlaces(facts);
        EXPECT_EQ(places.DiaryFolder, c.diary);
        EXPECT_EQ(places.BaseName, c.baseName);
        EXPECT_EQ(places.HelpFile, c.help);
        const std::string help = c.help;
        EXPECT_EQ(places.ShippedHolidays, help.substr(0, help.size() - 5) + ".hol");
        EXPECT_EQ(places.Portable, places.DiaryFolder == facts.ExecutableFolder);
    }
}

TEST(DiaryPlace, NoHomeNoFolder) {
    TPlaceFacts facts;
    facts.ExecutableFolder = "/usr/bin";
    facts.ExecutableName = "velmora";
    EXPECT_EQ(ChooseDiaryPlaces(facts).DiaryFolder, "");
    EXPECT_FALSE(PrepareDiaryFolder(ChooseDiaryPlaces(facts), true));
}

// The first start of a system install makes the user's folder, private, with the shipped
// holidays; a later start keeps the user's own holiday file and the folder's mode.
TEST(DiaryPlace, FirstStartMakesThePrivateFolder) {
    TTestFolder root;
    ::mkdir(root.File("share").c_str(), 0755);
    root.Write("share/Velmora.hol", "shipped");
    TPlaces places;
    places.DiaryFolder = root.Dir() + "home/.local/share/Velmora";
    places.BaseName = "Velmora";
    places.ShippedHolidays = root.File("share/Velmora.hol");
    ASSERT_TRUE(PrepareDiaryFolder(places, true));
    struct stat info {};
    ASSERT_EQ(::stat(places.DiaryFolder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(root.Read("home/.local/share/Velmora/Velmora.hol"), "shipped");

    root.Write("home/.local/share/Velmora/Velmora.hol", "mine");
    ASSERT_TRUE(PrepareDiaryFolder(places, true));
    EXPECT_EQ(root.Read("home/.local/share/Velmora/Velmora.hol"), "mine");
}

// A folder named on the command line must exist: a mistyped name makes no new diary.
TEST(DiaryPlace, NamedFolderIsNotCreated) {
    TTestFolder root;
    TPlaces places;
    places.DiaryFolder = root.Dir() + "typo";
    places.BaseName = "Velmora";
    EXPECT_FALSE(PrepareDiaryFolder(places, false));
    EXPECT_FALSE(FileExists(places.DiaryFolder));
}

// The facts read from a real folder: its names, whether it can be written, the environment.
TEST(DiaryPlace, ReadsTheExecutablesFolder) {
    TTestFolder root;
    root.Write("Velmora", "");
    root.Write("2026.dat", "");
    const TPlaceFacts facts = ReadPlaceFacts(root.File("Velmora"), "");
    EXPECT_EQ(facts.ExecutableFolder, root.Path());
    EXPECT_EQ(facts.ExecutableName, "Velmora");
    EXPECT_TRUE(facts.ExecutableFolderWritable);
    EXPECT_TRUE(ChooseDiaryPlaces(facts).Portable);
}

}  // namespace
