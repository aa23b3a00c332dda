#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/Rescue.h"
#include "storage/SafeWrite.h"
#include "storage/YearFile.h"
#include "support/ScopedUnprivileged.h"
#include "support/TestFolder.h"

namespace {

TDataInfo Page(int32_t date, const std::string& utf8Title, const std::string& utf8Text = {}) {
    TDataInfo rec;
    rec.Date = date;
    rec.Title = Sjis(utf8Title);
    rec.Text = Sjis(utf8Text);
    rec.RichText = rec.Text;
    rec.Weather = 3;
    return rec;
}

std::string YearOf(std::initializer_list<TDataInfo> records) {
    std::vector<const TDataInfo*> pointers;
    for (const TDataInfo& rec : records)
        pointers.push_back(&rec);
    return YearFileText(pointers);
}

// The day's record as the year file at path holds it, or EmptyDataInfo.
TDataInfo OnDisk(const std::string& path, int32_t date) {
    for (const TDataInfo& rec : ReadYearFile(path).Text.Records)
        if (rec.Date == date)
            return rec;
    return EmptyDataInfo;
}

int ModeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

const int32_t kDay = EncodeDate(2026, 12, 8);

TEST(Rescue, RoundTripKeepsEveryByte) {
    TDataInfo awkward = Page(kDay, "題, \"引用\" \\ 終わり", "一行目\r\n\t二行目");
    awkward.Extra = std::string("\x1A\0\x82", 3);
    awkward.News = Sjis("ニュース");
    awkward.Weather = -1;
    const TRescue cases[] = {
        {"/tmp/d/", {{"2026.dat", true, EmptyDataInfo, Page(kDay, "新しい日")}}, {}},
        {"/home/利用者/日記/", {{"2026.dat", true, Page(kDay, "前"), awkward}}, {}},
        // A deleted page, and a day whose year file could not be read.
        {"/tmp/d/",
         {{"2026.dat", true, Page(kDay, "消した"), EmptyDataInfo},
          {"2025.dat", false, EmptyDataInfo, Page(kDay - 365, "去年")}},
         {}},
        // Note files whole, lone line ends and every byte value included.
        {"/tmp/d/",
         {},
         {{"Velmora.tdo", true, "a\nb\rc\r\n", std::string("\0\x1A\xFF\x5C,\"", 6)},
          {"Velmora.mem", false, "", "x"}}},
    };
    for (const TRescue& rescue : cases) {
        const std::optional<TRescue> back = ParseRescue(RescueText(rescue));
        ASSERT_TRUE(back.has_value()) << rescue.Folder;
        EXPECT_EQ(*back, rescue);
    }
}

TEST(Rescue, ParseErrorCases) {
    const TRescue one{"/tmp/d/", {{"2026.dat", true, EmptyDataInfo, Page(kDay, "a")}}, {}};
    const std::string good = RescueText(one);
    const std::string header = good.substr(0, good.find("\r\n") + 2);
    const struct {
        std::string text;
        const char* why;
    } cases[] = {
        {"", "nothing at all"},
        {"Other,1,2F,\r\nEND,\r\n", "not a rescue file"},
        {"VelmoraRescue,2,2F,\r\nEND,\r\n", "a version this program does not know"},
        {"VelmoraRescue,1,,\r\nEND,\r\n", "no diary folder"},
        {"VelmoraRescue,1,2G,\r\nEND,\r\n", "a folder that is not hexadecimal"},
        {good.substr(0, good.size() - 6), "cut before its end mark"},
        {header + "X,2026.dat,1,\r\nEND,\r\n", "a line of an unknown kind"},
        {header + "D,../2026.dat,1,1,,,,,,,,2,,,,,,,,\r\nEND,\r\n", "a name outside the folder"},
        {header + "D,..,1,1,,,,,,,,2,,,,,,,,\r\nEND,\r\n", "the parent folder as a name"},
        {header + "D,2026.dat,1,0,,,,,,,,0,,,,,,,,\r\nEND,\r\n", "a day without a date"},
        {header + "D,2026.dat,1,x,,,,,,,,2,,,,,,,,\r\nEND,\r\n", "a date that is no number"},
        {header + "F,Velmora.tdo,1,4,41,\r\nEND,\r\n", "half a byte of a file"},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(ParseRescue(c.text).has_value()) << c.why;
    EXPECT_TRUE(ParseRescue(good).has_value());
}

TEST(Rescue, HoldsWhatDiffersFromTheDisk) {
    TTestFolder folder;
    const std::string year = folder.File("2026.dat");
    const TDataInfo same = Page(kDay, "同じ");
    const TDataInfo before = Page(kDay + 1, "前");
    const TDataInfo gone = Page(kDay + 2, "消す");
    SafeWriteFile(year, YearOf({same, before, gone}));
    const TDataInfo after = Page(kDay + 1, "後");
    const TDataInfo added = Page(kDay + 3, "新");
    SafeWriteFile(folder.File("Velmora.mem"), "kept\r\n");
    SafeWriteFile(folder.File("Velmora.tdo"), "old\r\n");

    const TRescue rescue = RescueOf(
        folder.Dir(), {{year, YearOf({same, after, added})}},
        {{folder.File("Velmora.mem"), "kept\r\n"}, {folder.File("Velmora.tdo"), "new\r\n"}});
    EXPECT_EQ(rescue.Folder, folder.Dir());
    const std::vector<TRescuedDay> days = {{"2026.dat", true, before, after},
                                           {"2026.dat", true, EmptyDataInfo, added},
                                           {"2026.dat", true, gone, EmptyDataInfo}};
    EXPECT_EQ(rescue.Days, days);
    const std::vector<TRescuedFile> files = {{"Velmora.tdo", true, "old\r\n", "new\r\n"}};
    EXPECT_EQ(rescue.Files, files);
}

TEST(Rescue, DayGoesBackOnlyOverWhatItStartedFrom) {
    const TDataInfo base = Page(kDay, "朝", "書き始め");
    const TDataInfo rescued = Page(kDay, "夜", "書き終わり");
    const TDataInfo other = Page(kDay, "別", "後から書いた");
    const struct {
        const char* why;
        std::optional<TDataInfo> disk;  // the day on disk at the next start
        bool baseKnown;
        TDataInfo page;
        TDataInfo expected;  // the day on disk afterwards
        bool keptAside;
    } cases[] = {
        {"the disk holds what the page started from", base, true, rescued, rescued, false},
        {"the day has no page", std::nullopt, true, rescued, rescued, false},
        {"the day was written again meanwhile", other, true, rescued, other, true},
        {"the page is already there", rescued, true, rescued, rescued, false},
        {"an unknown start over a page", base, false, rescued, base, true},
        {"an unknown start over no page", std::nullopt, false, rescued, rescued, false},
        {"a deletion over its start", base, true, EmptyDataInfo, EmptyDataInfo, false},
        {"a deletion over a page changed since", other, true, EmptyDataInfo, other, false},
    };
    for (const auto& c : cases) {
        TTestFolder folder;
        const std::string year = folder.File("2026.dat");
        const TDataInfo neighbour = Page(kDay + 1, "隣");
        SafeWriteFile(year, c.disk ? YearOf({*c.disk, neighbour}) : YearOf({neighbour}));
        const TRescue rescue{folder.Dir(), {{"2026.dat", c.baseKnown, base, c.page}}, {}};
        const std::string path = folder.File("r.rescue");
        SafeWriteFile(path, RescueText(rescue));

        const TRestoreResult result = RestoreRescue(path);
        EXPECT_EQ(result.Error, "") << c.why;
        EXPECT_EQ(OnDisk(year, kDay), c.expected) << c.why;
        EXPECT_EQ(OnDisk(year, kDay + 1), neighbour) << c.why;
        EXPECT_FALSE(FileExists(path)) << c.why;
        if (c.keptAside) {
            EXPECT_EQ(result.KeptAside, std::vector<int32_t>{kDay}) << c.why;
            ASSERT_EQ(result.AsideFiles, std::vector<std::string>{year + ".rescued"}) << c.why;
            EXPECT_EQ(OnDisk(year + ".rescued", kDay), rescued) << c.why;
            EXPECT_EQ(ModeOf(year + ".rescued"), 0600) << c.why;
        } else {
            EXPECT_TRUE(result.KeptAside.empty()) << c.why;
            EXPECT_FALSE(FileExists(year + ".rescued")) << c.why;
        }
    }
}

TEST(Rescue, YearFileThatDoesNotReadWholeIsNotWritten) {
    TTestFolder folder;
    const std::string year = folder.File("2026.dat");
    const std::string damaged = YearOf({Page(kDay + 1, "隣")}) + "x,y,\r\n";
    SafeWriteFile(year, damaged);
    SafeWriteFile(year + ".rescued", "an earlier one");
    const std::string path = folder.File("r.rescue");
    SafeWriteFile(
        path,
        RescueText({folder.Dir(), {{"2026.dat", true, EmptyDataInfo, Page(kDay, "救出")}}, {}}));
    const TRestoreResult result = RestoreRescue(path);
    EXPECT_EQ(folder.Read("2026.dat"), damaged);
    ASSERT_EQ(result.AsideFiles, std::vector<std::string>{year + ".rescued2"});
    EXPECT_EQ(OnDisk(year + ".rescued2", kDay), Page(kDay, "救出"));
    EXPECT_EQ(folder.Read("2026.dat.rescued"), "an earlier one");
}

TEST(Rescue, NoteFileGoesBackOnlyOverWhatItStartedFrom) {
    const struct {
        const char* why;
        std::optional<std::string> disk;
        std::string expected;
        bool keptAside;
    } cases[] = {
        {"unchanged since", "old\r\n", "new\r\n", false},
        {"no file", std::nullopt, "new\r\n", false},
        {"written again meanwhile", "other\r\n", "other\r\n", true},
    };
    for (const auto& c : cases) {
        TTestFolder folder;
        if (c.disk)
            SafeWriteFile(folder.File("Velmora.tdo"), *c.disk);
        const std::string path = folder.File("r.rescue");
        SafeWriteFile(
            path, RescueText({folder.Dir(), {}, {{"Velmora.tdo", true, "old\r\n", "new\r\n"}}}));
        const TRestoreResult result = RestoreRescue(path);
        EXPECT_EQ(folder.Read("Velmora.tdo"), c.expected) << c.why;
        EXPECT_EQ(folder.Read("Velmora.tdo.rescued"), c.keptAside ? "new\r\n" : "") << c.why;
        EXPECT_EQ(result.Restored, c.keptAside ? 0 : 1) << c.why;
    }
}

TEST(Rescue, FailedRestoreKeepsTheRescueForTheNextStart) {
    TTestFolder diary;
    TTestFolder state;
    const std::string path = state.File("r.rescue");
    SafeWriteFile(
        path,
        RescueText({diary.Dir(), {{"2026.dat", true, EmptyDataInfo, Page(kDay, "救出")}}, {}}));
    TRestoreResult result;
    {
        ScopedUnprivileged asUser(diary.Path());
        ASSERT_EQ(::chmod(diary.Path().c_str(), 0555), 0);
        // The rescue's own folder stays the user's.
        ScopedUnprivileged alsoState(state.Path());
        result = RestoreRescue(path);
        ASSERT_EQ(::chmod(diary.Path().c_str(), 0755), 0);
    }
    EXPECT_NE(result.Error, "");
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(RestoreRescue(path).Error, "");
    EXPECT_EQ(OnDisk(diary.File("2026.dat"), kDay), Page(kDay, "救出"));
    EXPECT_FALSE(FileExists(path));
}

TEST(Rescue, WrittenPrivatelyToTheFirstPlaceThatTakesIt) {
    TTestFolder state;
    const TRescue rescue{"/diary/", {{"2026.dat", true, EmptyDataInfo, Page(kDay, "a")}}, {}};
    // A file where the first folder should be: the next place takes the rescue.
    state.Write("blocked", "");
    const std::string second = state.File("deep/er/rescue/");
    const std::string path = WriteRescue(rescue, {state.File("blocked/rescue/"), second});
    ASSERT_EQ(path.rfind(second, 0), 0u) << path;
    EXPECT_EQ(ModeOf(path), 0600);
    EXPECT_EQ(ModeOf(second), 0700);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    EXPECT_EQ(ParseRescue(text), rescue);
    EXPECT_EQ(WriteRescue(rescue, {state.File("blocked/rescue/")}), "");
}

TEST(Rescue, FoundOnlyForItsOwnDiaryOldestFirst) {
    TTestFolder state;
    const std::string dir = state.Dir();
    const TRescue mine{"/diary/", {{"2026.dat", true, EmptyDataInfo, Page(kDay, "a")}}, {}};
    TRescue theirs = mine;
    theirs.Folder = "/other/";
    SafeWriteFile(dir + "20261208-090000-1.rescue", RescueText(mine));
    SafeWriteFile(dir + "20261207-090000-1.rescue", RescueText(mine));
    SafeWriteFile(dir + "20261206-090000-1.rescue", RescueText(theirs));
    SafeWriteFile(dir + "20261205-090000-1.rescue", "damaged");
    SafeWriteFile(dir + "20261204-090000-1.txt", RescueText(mine));
    const std::vector<std::string> expected = {dir + "20261207-090000-1.rescue",
                                               dir + "20261208-090000-1.rescue"};
    EXPECT_EQ(FindRescues("/diary/", {dir, state.File("missing/")}), expected);
    // Nothing is taken from a folder that others could have written into.
    ASSERT_EQ(::chmod(state.Path().c_str(), 0777), 0);
    EXPECT_EQ(FindRescues("/diary/", {dir}), std::vector<std::string>{});
}

TEST(Rescue, FoldersFollowTheStateHome) {
    const char* saved = std::getenv("XDG_STATE_HOME");
    const std::string keep = saved ? saved : "";
    ::setenv("XDG_STATE_HOME", "/s", 1);
    EXPECT_EQ(RescueFolders().front(), "/s/Velmora/rescue/");
    ::setenv("XDG_STATE_HOME", "relative", 1);
    EXPECT_EQ(RescueFolders().front(),
              std::string(std::getenv("HOME")) + "/.local/state/Velmora/rescue/");
    EXPECT_EQ(RescueFolders().back().rfind("/var/tmp/", 0), 0u);
    if (saved)
        ::setenv("XDG_STATE_HOME", keep.c_str(), 1);
    else
        ::unsetenv("XDG_STATE_HOME");
}

TEST(Rescue, ReadableForTheJournal) {
    TDataInfo page = Page(kDay, "冬", "一行目\r\n二行目");
    const std::string text =
        RescueReadable({"/diary/",
                        {{"2026.dat", true, EmptyDataInfo, page},
                         {"2026.dat", true, Page(kDay + 1, "x"), EmptyDataInfo}},
                        {{"Velmora.tdo", true, "", Sjis("予定\r\n")}}});
    for (const char* part : {"2026年12月8日", "ひと言:\n冬", "一行目\n二行目",
                             "2026年12月9日 (削除)", "== Velmora.tdo ==\n予定"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}

}  // namespace
