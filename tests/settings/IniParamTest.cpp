#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/IniParam.h"
#include "storage/Cp932.h"
#include "storage/Report.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"
#include "support/ScopedUnprivileged.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

class InitParamTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = folder_.Path();
        path_ = dir_ + "/Velmora.ini";
    }
    std::string Read(const std::string& path) const {
        std::string contents;
        EXPECT_TRUE(ReadWholeFile(path, contents));
        return contents;
    }

    TTestFolder folder_;
    std::string dir_;
    std::string path_;
};

TEST_F(InitParamTest, FirstRunWritesTheDefaultsSorted) {
    TInitParam param;
    EXPECT_EQ(param.Load(path_), "");
    param.Save();
    // The settings a first run writes; empty texts (LOGDIR, LASTBBS and the layout lines the
    // window fills in) have no line.
    const std::string font = Sjis("\"ＭＳ Ｐゴシック\",128,$80000008,0,9,0");
    EXPECT_EQ(Read(path_),
              Sjis("CUSTOMTTL=今日のひと言,今日の出来事,私的メモ　または　内緒日記,\r\n"
                   "DATEFONT=\"ＭＳ Ｐゴシック\",128,$80000008,1,16,0\r\n"
                   "DAYETO=0\r\n"
                   "DEATHDISP=0\r\n"
                   "DIARYLIST=1\r\n"
                   "DIARYTABS=0\r\n"
                   "ERADATE=1\r\n"
                   "ERAYEAR=0\r\n"
                   "KAZOECELEB=0\r\n"
                   "KAZOEDISP=0\r\n"
                   "KEYWORD=0,\r\n") +
                  "LISTFONT=" + font + "\r\n" + "MEMOFONT=" + font + "\r\n" + "NEWSFONT=" + font +
                  "\r\n" +
                  Sjis("ROKUYO=0\r\n"
                       "SEKKI=1\r\n"
                       "SEKKIGRID=1\r\n"
                       "TABTITLE=ひと言,出来事,私的メモ,\r\n"
                       "WEATHERICON=1\r\n"
                       "WEATHERMARK=1\r\n"
                       "WINDOWINFO=0,0,0,0,0\r\n"));
}

TEST_F(InitParamTest, DefaultsBeforeAndAfterLoadAgree) {
    const TInitParam fresh;
    TInitParam loaded;
    loaded.WeatherMark = false;
    loaded.DateFont.Size = 3;
    loaded.Load(path_);
    EXPECT_EQ(fresh.DateFont.Name, Sjis("ＭＳ Ｐゴシック"));
    EXPECT_EQ(fresh.DateFont.Style, FontBold);
    EXPECT_EQ(fresh.DateFont.Size, 16);
    EXPECT_EQ(loaded.DateFont.Size, fresh.DateFont.Size);
    EXPECT_TRUE(loaded.WeatherMark);
    EXPECT_EQ(fresh.Titles[2], Sjis("私的メモ　または　内緒日記"));
    EXPECT_EQ(loaded.Titles, fresh.Titles);
    EXPECT_EQ(loaded.TabTitles, fresh.TabTitles);
    EXPECT_EQ(fresh.TabTitles[0], Sjis("ひと言"));
}

TEST_F(InitParamTest, EverySettingRoundTrips) {
    TInitParam param;
    param.Load(path_);
    param.WindowRect = {10, 20, 810, 620};
    param.WindowState = WindowMinimized;
    param.SplitInfo = "1,2,3,4,5,6,7,";
    param.ColorInfo = "-2147483643,255,";
    param.DiaryColor = "255,0,";
    param.LogDir = "C:\\log dir";
    param.LastBbs = "bbs";
    param.MemoFont.Name = "Memo";
    param.NewsFont.Size = 14;
    param.ListFont.Pitch = 1;
    param.WeatherMark = false;
    param.WeatherIcon = false;
    param.KeywordOn = true;
    param.Keyword = "two words, \"quoted\"";
    param.MonthOnly = false;
    param.DiaryTab = 2;
    param.NoDeathDays = true;
    param.ShowRokuyo = true;
    param.ShowEraDate = false;
    param.ShowSeason = false;
    param.SeasonInGrid = false;
    param.ShowDayEto = true;
    param.EraYearCaption = true;
    param.Titles = {Sjis("円記号\\と表"), "a, \"b\"", Sjis("全角　空白")};
    param.TabTitles = {"x\ty", "", "z"};
    param.Save();

    // Loading what was saved and saving it again writes the same bytes.
    const std::string saved = Read(path_);
    TInitParam back;
    EXPECT_EQ(back.Load(path_), "");
    fs::remove(path_);
    back.Save();
    EXPECT_EQ(Read(path_), saved);
    EXPECT_EQ(back.Titles, param.Titles);
    EXPECT_EQ(back.TabTitles, param.TabTitles);
    EXPECT_EQ(back.LogDir, param.LogDir);
    EXPECT_EQ(back.Keyword, param.Keyword);
    EXPECT_EQ(back.WindowState, WindowMinimized);
    EXPECT_TRUE(!back.ShowEraDate && !back.ShowSeason && !back.SeasonInGrid && back.ShowDayEto &&
                back.EraYearCaption);
}

TEST_F(InitParamTest, ReadsWhatOthersWrote) {
    SafeWriteFile(path_, Sjis("weathermark=0\r\n"
                              "DIARYLIST=yes\r\n"
                              "CUSTOMTTL=one,two\r\n"
                              "KEYWORD=1\r\n"
                              "OTHERPROGRAM=keep me\r\n"
                              "a line without equals\r\n"));
    TInitParam param;
    EXPECT_EQ(param.Load(path_), "");
    EXPECT_FALSE(param.WeatherMark);
    EXPECT_FALSE(param.MonthOnly);
    EXPECT_EQ(param.Titles, (std::array<std::string, 3>{"one", "two", ""}));
    EXPECT_TRUE(param.KeywordOn);
    EXPECT_EQ(param.Keyword, "");
    param.Save();
    const std::string saved = Read(path_);
    EXPECT_NE(saved.find("\r\nOTHERPROGRAM=keep me\r\n"), std::string::npos);
    EXPECT_EQ(saved.find("a line without equals\r\n"), 0u);
    EXPECT_NE(saved.find("\r\nWEATHERMARK=0\r\n"), std::string::npos);
    EXPECT_EQ(saved.find("weathermark"), std::string::npos);
}

TEST_F(InitParamTest, BadValueStopsLoadingAndTheFileIsKept) {
    const std::string original = "ROKUYO=1\r\nDIARYTABS=two\r\nMEMOFONT=Arial,0,$0,0,20,0\r\n";
    SafeWriteFile(path_, original);
    TInitParam param;
    EXPECT_EQ(param.Load(path_), Sjis("'two' は整数ではありません"));
    EXPECT_TRUE(param.ShowRokuyo);                       // read before the bad value
    EXPECT_EQ(param.DiaryTab, 0);                        // the bad value keeps its default
    EXPECT_EQ(param.MemoFont.Name, DefaultFont().Name);  // read after it: default
    EXPECT_EQ(param.DateFont.Size, 16);
    param.Save();
    EXPECT_EQ(Read(path_ + ".bak"), original);
    EXPECT_NE(Read(path_).find("DIARYTABS=0\r\n"), std::string::npos);
    param.Save();
    EXPECT_FALSE(FileExists(path_ + ".bak2"));
}

TEST_F(InitParamTest, UnwritableFolderKeepsTheOldFile) {
    SafeWriteFile(path_, "ROKUYO=0\r\n");
    TInitParam param;
    param.Load(path_);
    param.ShowRokuyo = true;
    ScopedUnprivileged unprivileged(dir_);
    ::chmod(dir_.c_str(), 0555);
    try {
        param.Save();
        ADD_FAILURE() << "the save into a read-only folder succeeded";
    } catch (const VelmoraError& e) {
        EXPECT_EQ(e.what(),
                  Sjis("ファイル ") + path_ + Sjis(" を作成できません (許可がありません)"));
    }
    EXPECT_EQ(Read(path_), "ROKUYO=0\r\n");
}

TEST_F(InitParamTest, EveryValueWrittenReadsBackAsItself) {
    TInitParam param;
    param.Load(path_);
    param.Titles = {
        "a\x01"
        "b",
        "title\x81", std::string("nul\0in", 6)};
    param.TabTitles = {"\x9F\"", "\x1F", " lead"};
    param.DateFont.Name = "face\x81\"name";
    param.MemoFont.Name = "\x81";
    param.Save();
    TInitParam loaded;
    EXPECT_EQ(loaded.Load(path_), "");
    EXPECT_EQ(loaded.Titles, param.Titles) << "a control byte or a lone lead byte is kept";
    EXPECT_EQ(loaded.TabTitles, param.TabTitles);
    EXPECT_EQ(loaded.DateFont.Name, param.DateFont.Name) << "a lead byte never takes a quote";
    EXPECT_EQ(loaded.MemoFont.Name, param.MemoFont.Name);
}

TEST_F(InitParamTest, DuplicateSettingsResolveTheSameWayOnReadingAndWriting) {
    SafeWriteFile(path_, "WEATHERMARK=1\r\nweathermark=0\r\nROKUYO=0\r\nRokuyo=1\r\nOTHER=x\r\n");
    TInitParam param;
    param.Load(path_);
    EXPECT_TRUE(param.WeatherMark) << "the first line wins";
    EXPECT_FALSE(param.ShowRokuyo);
    param.Save();
    TInitParam loaded;
    loaded.Load(path_);
    EXPECT_TRUE(loaded.WeatherMark);
    EXPECT_FALSE(loaded.ShowRokuyo);
    const std::string written = Read(path_);
    EXPECT_EQ(written.find("weathermark"), std::string::npos) << "the duplicate is gone";
    EXPECT_NE(written.find("OTHER=x\r\n"), std::string::npos);
}

TEST_F(InitParamTest, FilesNotReadWholeAreKeptBeforeTheSave) {
    const struct {
        std::string original;
        bool rokuyo;
        const char* message;
    } cases[] = {
        {"ROKUYO=1\r\nCUSTOMTTL=今日,出来事,メモ,\r\n", true, "UTF-8 として読みました"},
        {std::string("ROKUYO=1\r\n\0LOGDIR=x\r\n", 22), true, "NUL 文字より後は読めませんでした"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        fs::remove(path_ + ".bak");
        SafeWriteFile(path_, c.original);
        std::vector<std::string> messages;
        SetMessageSink([&](const std::string& text) { messages.push_back(text); });
        TInitParam param;
        param.Load(path_);
        SetMessageSink(nullptr);
        EXPECT_EQ(param.ShowRokuyo, c.rokuyo);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(Sjis(c.message)), std::string::npos);
        param.Save();
        EXPECT_EQ(Read(path_ + ".bak"), c.original);
    }
    TInitParam utf8;
    SafeWriteFile(path_, "CUSTOMTTL=今日,出来事,メモ,\r\n");
    utf8.Load(path_);
    EXPECT_EQ(utf8.Titles[0], Sjis("今日"));
}

struct ApplyCase {
    const char* source;
    TWindowRect saved;
    uint8_t savedState;
    TWindowRect expected;
    uint8_t expectedState;
};

TEST(ApplyWindow, KeepsTheWindowOnTheScreen) {
    const TWindowRect current{1, 2, 3, 4};
    const ApplyCase cases[] = {
        {"fits: taken as saved",
         {100, 50, 900, 650},
         WindowNormal,
         {100, 50, 900, 650},
         WindowNormal},
        {"past the right edge of a 1600-pixel screen",
         {1800, 10, 2600, 600},
         WindowNormal,
         {800, 10, 1600, 600},
         WindowNormal},
        {"maximised: bounds left alone",
         {100, 50, 900, 650},
         WindowMaximized,
         current,
         WindowMaximized},
        {"nothing saved: bounds left alone", {0, 0, 0, 0}, WindowNormal, current, WindowNormal},
        {"left not less than right: bounds left alone",
         {500, 0, 400, 300},
         WindowNormal,
         current,
         WindowNormal},
        {"no height: a third of the screen height",
         {100, 50, 900, 50},
         WindowNormal,
         {100, 50, 900, 450},
         WindowNormal},
        {"below the bottom edge",
         {100, 1000, 900, 1400},
         WindowNormal,
         {100, 800, 900, 1200},
         WindowNormal},
        {"wider than the screen: left edge 0",
         {-300, -20, 1700, 500},
         WindowNormal,
         {0, 0, 2000, 520},
         WindowNormal},
        {"extreme values of the file: no overflow, the edges clamped",
         {INT32_MIN + 8, 0, 9, INT32_MAX},
         WindowNormal,
         {0, 0, INT32_MAX, INT32_MAX},
         WindowNormal},
        {"minimised: bounds still restored",
         {100, 50, 900, 650},
         WindowMinimized,
         {100, 50, 900, 650},
         WindowMinimized},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        TInitParam param;
        param.WindowRect = c.saved;
        param.WindowState = c.savedState;
        TWindowPlacement window{current, WindowNormal};
        param.ApplyWindow(window, 1600, 1200);
        EXPECT_EQ(window.State, c.expectedState);
        EXPECT_EQ(window.Bounds.Left, c.expected.Left);
        EXPECT_EQ(window.Bounds.Top, c.expected.Top);
        EXPECT_EQ(window.Bounds.Right, c.expected.Right);
        EXPECT_EQ(window.Bounds.Bottom, c.expected.Bottom);
    }
}

TEST(StoreWindow, MaximisedKeepsTheSavedBounds) {
    TInitParam param;
    param.WindowRect = {10, 20, 30, 40};
    param.StoreWindow(TWindowPlacement{{0, 0, 1600, 1200}, WindowMaximized});
    EXPECT_EQ(param.WindowState, WindowMaximized);
    EXPECT_EQ(param.WindowRect.Right, 30);
    param.StoreWindow(TWindowPlacement{{5, 6, 7, 8}, WindowNormal});
    EXPECT_EQ(param.WindowState, WindowNormal);
    EXPECT_EQ(param.WindowRect.Left, 5);
    EXPECT_EQ(param.WindowRect.Bottom, 8);
}

}  // namespace
