#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/CommaDB.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/ScrapList.h"
#include "support/ScopedUnprivileged.h"
#include "support/StoreFolder.h"

namespace {

const int32_t kJan1 = EncodeDate(2003, 1, 1);

void WriteFile(const std::string& path, const std::string& bytes) {
    SafeWriteFile(path, bytes);
}

TDataInfo Page(int32_t date, const std::string& title) {
    TDataInfo rec = EmptyDataInfo;
    rec.Date = date;
    rec.Title = title;
    return rec;
}

// A store over folder, moved to day d (which loads d's year).
struct OpenStore {
    OpenStore(const StoreFolder& folder, int32_t d) {
        store.SetDataDir(folder.Dir());
        store.SetDate(d);
    }
    TScrapList store;
};

TEST(YearFile, ExampleLineByteForByte) {
    StoreFolder folder;
    OpenStore open(folder, kJan1);
    TDataInfo rec;
    rec.Date = kJan1;
    rec.Weather = 0;
    rec.Title = Sjis("晴れの日");
    rec.Text = Sjis("朝\r\n夜");
    rec.Private = Sjis("メモ");
    rec.News = "x\\y";
    open.store.PutRecord(rec);
    open.store.SaveToFile();
    EXPECT_EQ(folder.Read("2003.dat"), Sjis("37622,0,,晴れの日,朝\\n夜,,メモ,x\\\\y,\r\n"));
    EXPECT_FALSE(open.store.Modified());
    EXPECT_TRUE(folder.messages.empty());
}

TEST(YearFile, RoundTripTexts) {
    const std::string hyo = "\x95\x5C";  // 表, second byte 0x5C
    const std::vector<std::string> texts = {
        hyo + "\\" + hyo,
        "5\"inch \"quoted\"",
        "a,b,,c,",
        "  blanks  ",
        "\ttab\t",
        "line1\r\nline2\r\n",
        "",
        std::string(50000, 'x') + hyo,
        Sjis("日本語の本文、「かぎ」と円記号\\。") + hyo + "\"",
        "$12",
        "title\x81",            // a file cut in the middle of a character
        "\x81\r\nnext line",    // a lone lead byte before a line break
        "\x9F,\"\xE0\"\x81\t",  // before a comma, a quote and a TAB
        "\x82 end\x9F"
        "1",                     // before a space and a digit: written as they are
        std::string("a\0b", 3),  // NUL
        "a\x1A b",               // the end-of-file byte
        "{\\rtf1\\ansi\\ansicpg932 {\\fonttbl{\\f0\\fcharset128 x;}}\\par }",
    };
    StoreFolder folder;
    std::vector<TDataInfo> written;
    {
        OpenStore open(folder, kJan1);
        for (size_t i = 0; i < texts.size(); ++i) {
            TDataInfo rec;
            rec.Date = kJan1 + static_cast<int32_t>(i) * 7;
            rec.Weather = static_cast<int32_t>(i) - 1;
            rec.Title = rec.Private = rec.News = rec.Extra = texts[i];
            rec.Text = texts[i];
            rec.RichText = texts[i];
            rec.Title = texts[(i + 1) % texts.size()];
            if (rec.Text.Empty()) {
                rec.Text = "body";
            }
            open.store.PutRecord(rec);
            // An empty rich text comes back as the plain text.
            if (rec.RichText.Empty()) {
                rec.RichText = rec.Text;
            }
            written.push_back(rec);
        }
        open.store.SaveIfModified();
    }
    OpenStore reopened(folder, kJan1);
    ASSERT_EQ(reopened.store.Count(), static_cast<int>(written.size()));
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(reopened.store.Items(static_cast<int>(i)), written[i]) << i;
    }
    EXPECT_FALSE(reopened.store.Modified());
    EXPECT_TRUE(folder.messages.empty());
}

TEST(YearFile, LoneLineBreaks) {
    StoreFolder folder;
    {
        OpenStore open(folder, kJan1);
        TDataInfo rec = Page(kJan1, "a\nb");
        rec.Text = "c\rd";
        rec.News =
            "e\x1A"
            "f";
        open.store.PutRecord(rec);
        open.store.PutRecord(Page(kJan1 + 1, "next day"));
        open.store.SaveToFile();
    }
    OpenStore reopened(folder, kJan1);
    EXPECT_EQ(reopened.store.Current().Title, "a\r\nb") << "a lone LF comes back as CR LF";
    EXPECT_EQ(reopened.store.Current().Text, "cd") << "a lone CR is removed";
    EXPECT_EQ(reopened.store.Current().News,
              "e\x1A"
              "f")
        << "0x1A, the end of a file, is escaped and comes back";
    EXPECT_EQ(reopened.store.FindByDate(kJan1 + 1).Title, "next day");
}

TEST(YearFile, LoadingRules) {
    StoreFolder folder;
    WriteFile(folder.File("2003.dat"),
              "37624,3,,third,,,,,\r\n"       // out of order: sorted on loading
              "37622,-1,,first,body,,,,\r\n"  // empty RichText takes Text
              "\r\n"                          // empty line: Date 0, passed over
              "37623,1,,old,,,,,\r\n"
              "37623,2,,new,,,,,\n"  // same date: the later line wins (LF is content)
              "\x1A\r\n\x1A");       // an end mark with nothing but filler after it
    OpenStore open(folder, kJan1);
    ASSERT_EQ(open.store.Count(), 3);
    EXPECT_EQ(open.store.Items(0).Title, "first");
    EXPECT_EQ(open.store.Items(0).RichText.Text(), "body");
    EXPECT_EQ(open.store.Items(1).Title, "new");
    EXPECT_EQ(open.store.Items(2).Title, "third");
    EXPECT_EQ(open.store.FindByDate(37624).Title, "third");
    EXPECT_EQ(open.store.Current().Title, "first");
    EXPECT_FALSE(open.store.Modified());
    EXPECT_FALSE(open.store.Loading());
    EXPECT_EQ(folder.messages.size(), 1u) << "the replaced line of 37623 is announced";
}

TEST(YearFile, LinesASaveWouldLoseAreKept) {
    const struct {
        const char* original;
        const char* why;
    } cases[] = {
        {"37623,1,,old,,,,,\r\n37623,2,,new,,,,,\r\n", "the later line of a day wins"},
        {"37622,0,,one,,,,,\r\n,0,,no date,,,,,\r\n", "a line without a date is passed over"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        StoreFolder folder;
        WriteFile(folder.File("2003.dat"), c.original);
        OpenStore open(folder, kJan1);
        open.store.PutRecord(Page(37630, "new page"));
        open.store.SaveIfModified();
        EXPECT_EQ(folder.Read("2003.dat.bak"), c.original);
        ASSERT_EQ(folder.messages.size(), 1u) << "said once, at the load";
        EXPECT_EQ(folder.messages[0],
                  Sjis("ファイル ") + folder.File("2003.dat") +
                      Sjis(" には、保存すると失われる行があります。保存する前に、"
                           "元のファイルを 2003.dat.bak (すでにあれば .bak2 など) の名前で"
                           "残します。"));
    }
    // Blank lines hold nothing: no backup for them.
    StoreFolder folder;
    WriteFile(folder.File("2003.dat"), "37622,0,,one,,,,,\r\n\r\n  \r\n");
    OpenStore open(folder, kJan1);
    open.store.PutRecord(Page(37630, "new page"));
    open.store.SaveIfModified();
    EXPECT_FALSE(FileExists(folder.File("2003.dat.bak")));
}

// A year of 2003 with one line per day, "dayN" as each title.
std::string WholeYear() {
    std::string contents;
    for (int32_t day = 0; day < 365; ++day) {
        contents += ValuesToLine({kJan1 + day, 0, "", "day" + std::to_string(day + 1), "body"});
        contents += "\r\n";
    }
    return contents;
}

TEST(YearFile, StrayEndMarkHidesNoDay) {
    const std::string year = WholeYear();
    const size_t feb10Title = year.find("day41,");
    const size_t feb10 = year.rfind('\n', feb10Title) + 1;
    const struct {
        std::string original;
        int days;           // days read
        bool reported;      // a message, and the file kept before the first save
        const char* feb10;  // the title read for 10 February
        const char* why;
    } cases[] = {
        {year.substr(0, feb10Title + 5) + "\x1A" + year.substr(feb10Title + 5), 365, false,
         "day41\x1A", "inside a title it is a byte of the title"},
        {year.substr(0, feb10) + "\x1A" + year.substr(feb10), 364, true, "",
         "at the start of a line it spoils that line alone"},
        {year + "\x1A\r\n\x1A \r\n", 365, false, "day41", "at the end it ends the file"},
        {year + "\x1A"
                "37988,0,,next year,,,,,\r\n",
         365, true, "day41", "before a last line it spoils that line alone"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        StoreFolder folder;
        WriteFile(folder.File("2003.dat"), c.original);
        OpenStore open(folder, kJan1);
        EXPECT_EQ(open.store.Count(), c.days);
        EXPECT_EQ(open.store.FindByDate(EncodeDate(2003, 2, 10)).Title, c.feb10);
        EXPECT_EQ(open.store.FindByDate(EncodeDate(2003, 12, 31)).Title, "day365");
        EXPECT_EQ(folder.messages.size(), c.reported ? 1u : 0u);
        open.store.PutRecord(Page(kJan1, "changed"));
        open.store.SaveIfModified();
        if (c.reported) {
            EXPECT_EQ(folder.Read("2003.dat.bak"), c.original);
        } else {
            EXPECT_FALSE(FileExists(folder.File("2003.dat.bak")));
        }
        OpenStore reopened(folder, kJan1);
        EXPECT_EQ(reopened.store.Count(), c.days) << "the save wrote every day read";
        EXPECT_EQ(reopened.store.FindByDate(EncodeDate(2003, 2, 10)).Title, c.feb10);
    }
}

TEST(YearFile, LineCutInsideAFieldIsReportedAndKept) {
    const std::string rtf = "\"{\\rtf1\\ansi\\ansicpg932 {\\fonttbl{\\f0\\fcharset128 x;}}";
    const struct {
        std::string original;
        int cutLine;
        const char* why;
    } cases[] = {
        {"37622,0,,one,,,,,\r\n37623,0,,two,whole page,," + rtf + " whole pa", 2,
         "a truncated file ends inside the rich text"},
        {"37622,0,,\"a title, cut", 1, "the only line ends inside its title"},
        {"37622,0,,one,whole page,," + rtf + " whole\r\n37623,0,,two,,,,,\r\n", 1,
         "a line break inside the rich text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        StoreFolder folder;
        WriteFile(folder.File("2003.dat"), c.original);
        OpenStore open(folder, kJan1);
        ASSERT_EQ(folder.messages.size(), 1u);
        EXPECT_EQ(folder.messages[0],
                  Sjis("ファイル ") + folder.File("2003.dat") + Sjis(" は途中で切れています (") +
                      std::to_string(c.cutLine) +
                      Sjis("行目)。読めたところまでを表示します。保存する前に、元のファイルを"
                           " 2003.dat.bak (すでにあれば .bak2 など) の名前で残します。"));
        const TDataInfo cut = open.store.FindByDate(37621 + c.cutLine);
        EXPECT_EQ(cut.Date, 37621 + c.cutLine) << "the record is read as far as it goes";
        open.store.PutRecord(Page(37630, "new page"));
        open.store.SaveIfModified();
        EXPECT_EQ(folder.Read("2003.dat.bak"), c.original);
        EXPECT_EQ(folder.messages.size(), 1u) << "said once, at the load";
        OpenStore reopened(folder, kJan1);
        EXPECT_EQ(reopened.store.FindByDate(cut.Date), cut) << "the cut page is written closed";
        EXPECT_EQ(reopened.store.FindByDate(37630).Title, "new page");
    }
}

TEST(YearFile, MissingFile) {
    StoreFolder folder;
    OpenStore open(folder, kJan1);
    EXPECT_EQ(open.store.Count(), 0);
    EXPECT_FALSE(open.store.Modified());
    open.store.SaveIfModified();
    EXPECT_FALSE(FileExists(folder.File("2003.dat"))) << "nothing changed, nothing written";
    EXPECT_TRUE(folder.messages.empty());
}

TEST(YearFile, BadLinesAreReportedSkippedAndKept) {
    StoreFolder folder;
    const std::string original =
        "37622,0,,one,,,,,\r\n"
        "x37623,0,,bad,,,,,\r\n"
        "37624,0,,three,,,,,\r\n"
        "37625,zz,,bad too,,,,,\r\n"
        "37626,0,,five,,,,,\r\n";
    WriteFile(folder.File("2003.dat"), original);
    {
        OpenStore open(folder, kJan1);
        ASSERT_EQ(folder.messages.size(), 1u);
        EXPECT_EQ(folder.messages[0], Sjis("'x37623' は整数ではありません\r\n") +
                                          folder.File("2003.dat") +
                                          Sjis(" (2, 4行目)\r\nデータが読込めません!"));
        ASSERT_EQ(open.store.Count(), 3) << "the lines after a bad one are read";
        EXPECT_EQ(open.store.Items(2).Title, "five");
        EXPECT_FALSE(open.store.Modified());

        open.store.PutRecord(Page(37630, "new"));
        open.store.SaveIfModified();
        EXPECT_EQ(folder.Read("2003.dat.bak"), original) << "the file as found is kept";
        open.store.PutRecord(Page(37631, "newer"));
        open.store.SaveIfModified();
        EXPECT_EQ(folder.Read("2003.dat.bak"), original);
        EXPECT_FALSE(FileExists(folder.File("2003.dat.bak2"))) << "one backup per load";
    }
    WriteFile(folder.File("2003.dat"), original);
    OpenStore again(folder, kJan1);
    again.store.PutRecord(Page(37630, "new"));
    again.store.SaveIfModified();
    EXPECT_EQ(folder.Read("2003.dat.bak"), original);
    EXPECT_EQ(folder.Read("2003.dat.bak2"), original) << "an earlier backup is never overwritten";
    EXPECT_EQ(folder.messages.size(), 2u);
}

// Runs body with the folder read-only for the store, even when the tests run as root.
template <typename Body>
void WithReadOnlyFolder(const StoreFolder& folder, Body body) {
    ::chmod(folder.Dir().c_str(), 0555);
    {
        ScopedUnprivileged unprivileged(folder.Dir());
        body();
    }
    ::chmod(folder.Dir().c_str(), 0755);
}

TEST(YearFile, UnwritableFolder) {
    StoreFolder folder;
    WriteFile(folder.File("2003.dat"), "37622,0,,on disk,,,,,\r\n");
    OpenStore open(folder, kJan1);
    open.store.PutRecord(Page(37623, "in memory"));
    WithReadOnlyFolder(folder, [&] { open.store.SaveToFile(); });

    ASSERT_EQ(folder.messages.size(), 1u);
    EXPECT_EQ(folder.messages[0],
              Sjis("ファイル ") + folder.File("2003.dat") +
                  Sjis(" は開けません (許可がありません)\r\nデータが書込めません!"));
    EXPECT_TRUE(open.store.Modified()) << "the next save point tries again";
    EXPECT_EQ(folder.Read("2003.dat"), "37622,0,,on disk,,,,,\r\n");

    open.store.SaveIfModified();
    EXPECT_FALSE(open.store.Modified());
    EXPECT_NE(folder.Read("2003.dat").find("in memory"), std::string::npos);
}

TEST(YearFile, YearLeftUnsavedIsHeldAndWrittenLater) {
    StoreFolder folder;
    const int32_t dec31 = EncodeDate(2003, 12, 31);
    OpenStore open(folder, dec31);
    open.store.PutRecord(Page(dec31, "unsaved"));
    WithReadOnlyFolder(folder, [&] {
        open.store.SetDate(dec31 + 1);
        EXPECT_EQ(open.store.Count(), 0);
        open.store.SetDate(dec31);
        EXPECT_EQ(open.store.Current().Title, "unsaved") << "the unsaved year comes back";
        EXPECT_TRUE(open.store.Modified());
        open.store.SetDate(dec31 + 1);
    });
    EXPECT_EQ(folder.messages.size(), 2u) << "each failed save is reported";
    EXPECT_FALSE(FileExists(folder.File("2003.dat")));

    open.store.SaveIfModified();
    EXPECT_NE(folder.Read("2003.dat").find("unsaved"), std::string::npos);
    EXPECT_EQ(folder.messages.size(), 2u);
}

TEST(YearFile, UnreadableFileIsNeverOverwritten) {
    StoreFolder folder;
    WriteFile(folder.File("2003.dat"), "37622,0,,secret,,,,,\r\n");
    ::chmod(folder.File("2003.dat").c_str(), 0);
    TScrapList store;
    store.SetDataDir(folder.Dir());
    {
        ScopedUnprivileged unprivileged(folder.Dir());
        store.SetDate(kJan1);
        store.PutRecord(Page(37623, "new"));
        store.SaveIfModified();
    }
    ASSERT_EQ(folder.messages.size(), 2u);
    EXPECT_NE(folder.messages[0].find(Sjis("データが読込めません!")), std::string::npos);
    EXPECT_NE(folder.messages[1].find(Sjis("データが書込めません!")), std::string::npos);
    EXPECT_TRUE(store.Modified());
    ::chmod(folder.File("2003.dat").c_str(), 0644);
    EXPECT_EQ(folder.Read("2003.dat"), "37622,0,,secret,,,,,\r\n");
}

// Files may grow to limit bytes only, as on a nearly full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST(YearFile, FullDisk) {
    StoreFolder folder;
    WriteFile(folder.File("2003.dat"), "37622,0,,small,,,,,\r\n");
    OpenStore open(folder, kJan1);
    TDataInfo big = Page(37623, "big");
    big.Text = std::string(100000, 'x');
    open.store.PutRecord(big);
    {
        FileSizeLimit limit(4096);
        open.store.SaveToFile();
    }
    ASSERT_EQ(folder.messages.size(), 1u);
    EXPECT_EQ(folder.messages[0],
              Sjis("ファイル ") + folder.File("2003.dat") +
                  Sjis(" に書込めません (ファイルが大きすぎます)\r\nデータが書込めません!"));
    EXPECT_TRUE(open.store.Modified());
    EXPECT_EQ(folder.Read("2003.dat"), "37622,0,,small,,,,,\r\n") << "the old file is intact";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Dir()), {}), 1)
        << "no partial file left behind";
}

TEST(YearFile, ForeignLineEndsReadEveryDay) {
    const struct {
        const char* original;
        const char* why;
    } cases[] = {
        {"37622,0,,one,,,,,\n37623,0,,two,,,,,\n", "LF, as editors and git leave"},
        {"37622,0,,one,,,,,\r37623,0,,two,,,,,", "CR alone, no end at the end"},
        {"37622,0,,one,,,,,\r\n\n37623,0,,two,,,,,\n", "mixed, with an empty line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        StoreFolder folder;
        WriteFile(folder.File("2003.dat"), c.original);
        OpenStore open(folder, kJan1);
        ASSERT_EQ(open.store.Count(), 2);
        EXPECT_EQ(open.store.Items(0).Title, "one");
        EXPECT_EQ(open.store.Items(1).Title, "two");
        EXPECT_EQ(open.store.Items(0).Private, "") << "no bytes of the next day in this one";
        open.store.SaveToFile();
        EXPECT_EQ(folder.Read("2003.dat"), "37622,0,,one,,,,,\r\n37623,0,,two,,,,,\r\n");
        EXPECT_FALSE(FileExists(folder.File("2003.dat.bak"))) << "nothing was lost";
        EXPECT_TRUE(folder.messages.empty());
    }
}

// A body nobody changed, its plain text and its rich text, goes back into the file as the bytes
// that were read, whatever form their fields had, when another page or another field of its own
// page is saved.
TEST(YearFile, UntouchedBodyIsWrittenBackByteForByte) {
    const struct {
        std::string field;
        std::string text;
        const char* why;
    } cases[] = {
        {"\"{\\\\rtf1 a\\\\par}\"", "{\\rtf1 a\\par}", "as written here"},
        {"\"{\\\\rtf1\\\\par}\"", "{\\rtf1\\par}", "quoted without need"},
        {"{\\\\rtf1\\\\q\\z}", "{\\rtf1\\qz}", "a backslash before a plain letter"},
        {"\"{\\\\rtf1 a}\"tail", "{\\rtf1 a}tail", "bytes after the closing quote"},
        {"\"{\\\\rtf1 \x95\x5C\"\"}\"", "{\\rtf1 \x95\x5C\"}", "a 0x5C second byte and a quote"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        StoreFolder folder;
        const std::string first = "37622,0,,t," + c.field + "," + c.field + ",memo,news,\r\n";
        WriteFile(folder.File("2003.dat"), first + "37623,0,,other,,,,,\r\n");
        {
            OpenStore open(folder, kJan1);
            EXPECT_EQ(open.store.Current().RichText.Text(), c.text);
            EXPECT_EQ(open.store.Current().Text.Text(), c.text);
            open.store.PutRecord(Page(37623, "changed"));
            open.store.SaveToFile();
            EXPECT_EQ(folder.Read("2003.dat"), first + "37623,-1,,changed,,,,,\r\n");
        }
        OpenStore open(folder, kJan1);
        TDataInfo rec = open.store.Current();
        rec.Title = "retitled";
        open.store.PutRecord(rec);
        open.store.SaveToFile();
        EXPECT_EQ(folder.Read("2003.dat").substr(0, first.size() + 7),
                  "37622,0,,retitled," + c.field + "," + c.field + ",memo,news,\r\n");
        EXPECT_EQ(OpenStore(folder, kJan1).store.Current().RichText.Text(), c.text);
        EXPECT_EQ(OpenStore(folder, kJan1).store.Current().Text.Text(), c.text);
    }
}

TEST(YearFile, FieldCutAfterALeadByteKeepsTheNextFields) {
    StoreFolder folder;
    WriteFile(folder.File("2003.dat"), "37622,0,,title\x81,body,,private\x9F,news,\r\n");
    OpenStore open(folder, kJan1);
    EXPECT_EQ(open.store.Current().Title, "title\x81");
    EXPECT_EQ(open.store.Current().Text, "body");
    EXPECT_EQ(open.store.Current().Private, "private\x9F");
    EXPECT_EQ(open.store.Current().News, "news");
    open.store.SaveToFile();
    OpenStore reopened(folder, kJan1);
    EXPECT_EQ(reopened.store.Current(), open.store.Current()) << "a save changes nothing";
}

// A page about to lose what its file holds keeps the file as it was before the next save, once.
TEST(YearFile, KeptBeforeTheNextSaveWhenAsked) {
    StoreFolder folder;
    folder.WriteCp932("2003.dat", "37622,-1,,old,,,,,\r\n");
    OpenStore open(folder, kJan1);
    open.store.KeepBeforeSave();
    open.store.PutRecord(Page(kJan1, "new"));
    open.store.SaveToFile();
    EXPECT_EQ(folder.Read("2003.dat.bak"), "37622,-1,,old,,,,,\r\n");
    open.store.PutRecord(Page(kJan1, "newer"));
    open.store.SaveToFile();
    EXPECT_EQ(folder.Read("2003.dat.bak2"), "");
    EXPECT_TRUE(folder.messages.empty());
}

TEST(YearFile, Utf8FileIsReadAsUtf8AndKeptBeforeTheFirstSave) {
    const std::string line = "37622,0,,晴れの日,朝\\n夜,,メモ,x,\r\n";
    const struct {
        std::string original;
        const char* why;
    } cases[] = {
        {line, "UTF-8 as editors save it"},
        {"\xEF\xBB\xBF" + line, "with a byte-order mark"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        StoreFolder folder;
        WriteFile(folder.File("2003.dat"), c.original);
        OpenStore open(folder, kJan1);
        EXPECT_EQ(open.store.Current().Title, Sjis("晴れの日"));
        EXPECT_EQ(open.store.Current().Text, Sjis("朝\r\n夜"));
        ASSERT_EQ(folder.messages.size(), 1u);
        EXPECT_NE(folder.messages[0].find(Sjis("UTF-8 として読みました")), std::string::npos);
        open.store.PutRecord(Page(kJan1 + 1, "new"));
        open.store.SaveIfModified();
        EXPECT_EQ(folder.Read("2003.dat.bak"), c.original) << "the file as found is kept";
        EXPECT_EQ(folder.Read("2003.dat").substr(0, 24), Sjis("37622,0,,晴れの日,朝\\n夜"))
            << "written in Shift-JIS";
        EXPECT_EQ(folder.messages.size(), 1u) << "said once";
    }
    // Shift-JIS that happens to be valid UTF-8 of two-byte characters (half-width katakana)
    // stays Shift-JIS.
    StoreFolder folder;
    WriteFile(folder.File("2003.dat"), "37622,0,,\xC3\xBD\xC4,,,,,\r\n");
    OpenStore open(folder, kJan1);
    EXPECT_EQ(open.store.Current().Title, "\xC3\xBD\xC4");
    EXPECT_TRUE(folder.messages.empty());
}

TEST(YearFile, FileAsTheStoreWroteItIsCp932) {
    // CP932 of a second-level kanji, "｡", the same kanji and "｢"; as UTF-8 they read "メモ".
    const std::string title = "\xE3\x83\xA1\xE3\x83\xA2";
    StoreFolder folder;
    {
        OpenStore open(folder, kJan1);
        open.store.PutRecord(Page(kJan1, title));
        open.store.SetDate(EncodeDate(2004, 1, 1));
        open.store.SetDate(kJan1);
        EXPECT_EQ(open.store.Current().Title, title);
        EXPECT_TRUE(folder.messages.empty());
        EXPECT_FALSE(open.store.Modified());
        // Another program's copy of the same bytes is judged by its bytes.
        std::filesystem::remove(folder.File("2003.dat"));
        WriteFile(folder.File("2003.dat"), "37622,0,," + title + ",,,,,\r\n");
        open.store.SetDate(EncodeDate(2004, 1, 1));
        open.store.SetDate(kJan1);
        EXPECT_EQ(open.store.Current().Title, Sjis("メモ"));
        EXPECT_EQ(folder.messages.size(), 1u);
    }
}

TEST(YearFile, FolderNamedLikeAYearFileIsReported) {
    StoreFolder folder;
    std::filesystem::create_directory(folder.File("2003.dat"));
    OpenStore open(folder, kJan1);
    ASSERT_EQ(folder.messages.size(), 1u);
    EXPECT_EQ(folder.messages[0], Sjis("ファイル ") + folder.File("2003.dat") +
                                      Sjis(" は開けません (ディレクトリです)\r\n") +
                                      folder.File("2003.dat") + Sjis("\r\nデータが読込めません!"));
    open.store.PutRecord(Page(kJan1, "page"));
    open.store.SaveIfModified();
    ASSERT_EQ(folder.messages.size(), 2u);
    EXPECT_NE(folder.messages[1].find(Sjis("データが書込めません!")), std::string::npos);
    EXPECT_TRUE(open.store.Modified()) << "the page is kept for a later save";
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("2003.dat")));
}

TEST(YearFile, FileChangedOnDiskIsKeptBeforeTheStoreWrites) {
    const struct {
        const char* before;  // nullptr: no file when the year was loaded
        const char* other;   // what another program leaves; nullptr: it removes the file
        bool kept;
    } cases[] = {
        {"37622,0,,ours,,,,,\r\n", "37622,0,,theirs,,,,,\r\n", true},
        {"37622,0,,ours,,,,,\r\n", "37622,0,,same size,,,,,\r\n", true},
        // Merged: the other program's day is in the file, nothing to keep beside.
        {nullptr, "37622,0,,created meanwhile,,,,,\r\n", false},
        {"37622,0,,ours,,,,,\r\n", nullptr, false},
        // Written again as it was: nothing to keep.
        {"37622,0,,ours,,,,,\r\n", "37622,0,,ours,,,,,\r\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.other ? c.other : "removed");
        StoreFolder folder;
        const std::string path = folder.File("2003.dat");
        if (c.before) {
            WriteFile(path, c.before);
        }
        OpenStore open(folder, kJan1);
        open.store.PutRecord(Page(kJan1 + 1, "new page"));
        if (c.other) {
            // Another program writes in place, as editors without safe saves do.
            std::FILE* file = std::fopen(path.c_str(), "wb");
            std::fputs(c.other, file);
            std::fclose(file);
        } else {
            std::filesystem::remove(path);
        }
        open.store.SaveIfModified();
        EXPECT_NE(folder.Read("2003.dat").find("new page"), std::string::npos);
        if (c.other && !c.kept) {
            // The other program's title ("37622,0,,TITLE,...") is in the file.
            const std::string other = c.other;
            EXPECT_NE(folder.Read("2003.dat").find(other.substr(9, other.find(',', 9) - 9)),
                      std::string::npos);
        }
        if (c.kept) {
            EXPECT_EQ(folder.Read("2003.dat.bak"), c.other);
            ASSERT_EQ(folder.messages.size(), 1u);
            EXPECT_EQ(folder.messages[0],
                      Sjis("ファイル ") + path +
                          Sjis(" は他のプログラムに変更されていました。その内容を ") + path +
                          Sjis(".bak に保存しました。"));
        } else {
            EXPECT_FALSE(FileExists(path + ".bak"));
            EXPECT_TRUE(folder.messages.empty());
        }
        // The store's own writes are not changes of another program.
        open.store.PutRecord(Page(kJan1 + 2, "newer page"));
        open.store.SaveIfModified();
        EXPECT_FALSE(FileExists(path + ".bak2"));
    }
}

TEST(YearFile, SymbolicLinkIsWrittenThroughAndKept) {
    StoreFolder folder;
    std::filesystem::create_directory(folder.File("elsewhere"));
    const std::string target = folder.File("elsewhere/diary-2003.txt");
    WriteFile(target, "37622,0,,on the target,,,,,\r\n");
    std::filesystem::create_symlink("elsewhere/diary-2003.txt", folder.File("2003.dat"));
    OpenStore open(folder, kJan1);
    EXPECT_EQ(open.store.Current().Title, "on the target");
    open.store.PutRecord(Page(kJan1 + 1, "new page"));
    open.store.SaveIfModified();
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("2003.dat")));
    EXPECT_NE(folder.Read("elsewhere/diary-2003.txt").find("new page"), std::string::npos);
    EXPECT_TRUE(folder.messages.empty());
}

}  // namespace
