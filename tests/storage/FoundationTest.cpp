#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/FileEncoding.h"
#include "storage/Iconv.h"
#include "storage/Report.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"
#include "support/ScopedUnprivileged.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

struct DateCase {
    int year, month, day;
    int32_t dayNumber;
    int weekday;
    const char* source;
};

TEST(DayNumber, KnownDates) {
    const DateCase cases[] = {
        {1899, 12, 30, 0, 7, "day 0 of the day count, a Saturday"},
        {1900, 1, 1, 2, 2, "2 days after day 0; a Monday"},
        {2003, 1, 1, 37622, 4, "the store's own example; a Wednesday"},
        {2000, 2, 29, 36585, 3, "leap day of a 400-year leap year; a Tuesday"},
        {2026, 12, 7, 46363, 2, "a Monday"},
        {1800, 1, 1, -36522, 4, "before day 0; a Wednesday"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.dayNumber);
        const TYmd ymd = DecodeDate(c.dayNumber);
        EXPECT_EQ(ymd.Year, c.year);
        EXPECT_EQ(ymd.Month, c.month);
        EXPECT_EQ(ymd.Day, c.day);
        EXPECT_EQ(DayOfWeek(c.dayNumber), c.weekday);
    }
}

TEST(DayNumber, RoundTripEveryDayFrom1800To2200) {
    int32_t expected = EncodeDate(1800, 1, 1);
    for (int y = 1800; y <= 2200; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysInMonth(y, m); ++d) {
                ASSERT_EQ(EncodeDate(y, m, d), expected) << y << "-" << m << "-" << d;
                const TYmd ymd = DecodeDate(expected);
                ASSERT_EQ(ymd.Year * 10000 + ymd.Month * 100 + ymd.Day, y * 10000 + m * 100 + d);
                ++expected;
            }
        }
    }
}

TEST(DayNumber, MonthLengths) {
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
    EXPECT_EQ(WholeDay(37622.75), 37622);
    EXPECT_EQ(WholeDay(-0.5), -1);
}

struct CodecCase {
    const char* utf8;
    const char* cp932;
    const char* why;
};

TEST(Cp932, Conversions) {
    const CodecCase cases[] = {
        {"abc", "abc", "ASCII unchanged"},
        {"表", "\x95\x5C", "a second byte of 0x5C"},
        {"\\", "\x5C", "the backslash stays a backslash"},
        {"ｱ", "\xB1", "single-byte katakana"},
        {"〜", "\x81\x60", "the wave dash takes its CP932 form"},
        {"¥100",
         "\x81\x8F"
         "100",
         "the yen sign takes its full-width form, not the backslash"},
        {"a‾b",
         "a\x81\x50"
         "b",
         "the overline takes its full-width form, not the tilde"},
        {"😀", "&#x1F600;", "beyond CP932: a character reference"},
        {"a\xF0\x9F\x98\x80z", "a&#x1F600;z", "a reference between other characters"},
        {"\xEF\x9E\x80", "\x80", "a raw byte written back as itself"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932);
    }
}

TEST(Cp932, RoundTripKeepsEveryTypedCharacter) {
    const std::string typed =
        "日記 ～ 〜 ① ㈱ 髙 𠮷野家 😀 é ü ß ½ ∑ \t\r\n &#x41; &#x1F600 &#xZZ; end";
    const std::string stored = Utf8ToCp932(typed);
    const std::string back = Cp932ToUtf8(stored);
    // The wave dash comes back in its CP932 form; everything else exactly.
    std::string expected = typed;
    expected.replace(expected.find("〜"), std::string("〜").size(), "～");
    EXPECT_EQ(back, expected);
    EXPECT_EQ(Utf8ToCp932(back), stored);
}

TEST(Cp932, BytesThatAreNotCp932SurviveARoundTrip) {
    const std::string raw = std::string("ok\x80\xA0\xFD\xFE\xFF") + "\x81\xAD" + "\x82 x";
    EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(raw)), raw);
    // A stray lead byte at the end would join the comma after its field: it becomes a reference.
    EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8("ok\x82")), "ok&#xF782;");
    EXPECT_EQ(Cp932ToUtf8("ok&#xF782;"), Cp932ToUtf8("ok\x82"));
}

TEST(Cp932, TypedTextComesBackAsTyped) {
    const struct {
        const char* typed;
        const char* why;
    } cases[] = {
        {"\uF7B1", "private use beside the raw bytes: would read back as the katakana 0xB1"},
        {"\uF781A", "stands for a lead byte: would join the A into one character"},
        {"\uF781\uF7E0\uF79F", "lead bytes in a row would pair up"},
        {"a\uF781", "a lead byte at the end would join the next field"},
        {"&#x1F600;", "typed reference text: would read back as the emoji"},
        {"&#x26;", "the escape of the ampersand itself, typed"},
        {"&&#xF7B1;;&#x", "ampersands around a reference, and a cut reference"},
        {"&#x41; &#xZZ; & #x1F600;", "texts that are no reference stay as they are"},
        {"\uFFFD\uE000\U000F0000", "replacement character and private-use planes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const std::string stored = Utf8ToCp932(c.typed);
        EXPECT_EQ(Cp932ToUtf8(stored), c.typed);
        EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(stored)), stored);
    }
}

TEST(Cp932, ReferenceToACp932CharacterStaysText) {
    EXPECT_EQ(Cp932ToUtf8("&#x41;&#x3042;"), "&#x41;&#x3042;");
    EXPECT_EQ(Cp932ToUtf8("&#x1F600;"), "😀");
    EXPECT_EQ(Cp932ToUtf8("&#xD800;"), "&#xD800;");
}

TEST(Cp932, DamagedBytesShowAsReplacementCharacters) {
    std::vector<std::string> replaced;
    EXPECT_EQ(Cp932ToShown("a\x80"
                           "b&#xFFFD;\x82 &#x1F600;&amp;\x82",
                           &replaced),
              "a\uFFFDb\uFFFD\uFFFD \U0001F600&amp;\uFFFD");
    EXPECT_EQ(replaced, (std::vector<std::string>{"\x80", "&#xFFFD;", "\x82", "\x82"}));
    EXPECT_EQ(Cp932ToShown(Sjis("表&日記")), "表&日記");
}

// A text shown from original and edited (or not) is written back with each damaged byte where
// the user left it, as long as it cannot change what the text reads as.
TEST(Cp932, ShownTextKeepsItsDamagedBytes) {
    const struct {
        std::string original;
        const char* shown;
        std::string written;
        const char* why;
    } cases[] = {
        {"title\x82", "title\uFFFD", "title\x82", "unchanged: the bytes as they were"},
        {"a\xFD&#x41;b", "a\uFFFD&#x41;b", "a\xFD&#x41;b", "unchanged, reference text included"},
        {"\x80" + Sjis("日記") + "\xFF", "\uFFFD日記です\uFFFD", "\x80" + Sjis("日記です") + "\xFF",
         "edited between two of them"},
        {"a\x80y", "x\uFFFDy", "x\x80y", "edited before one"},
        {"\x80"
         "a\xFF"
         "b",
         "a\uFFFDb",
         "a\xFF"
         "b",
         "the first deleted: the second keeps its byte"},
        {"a\x80", "\uFFFDa\uFFFD", "&#xFFFD;a\x80", "a new U+FFFD typed before the old one"},
        {"ab\x82", "xb\uFFFD", "xb\x82", "a lead byte at the end stays at the end"},
        {"\x82 x", "\uFFFDアx", "&#xFFFD;" + Sjis("ア") + "x",
         "a lead byte that would join the character typed after it"},
        {"&#xFFFD;\xA0", "\uFFFD\uFFFD!", "&#xFFFD;\xA0!", "a typed one keeps its reference"},
        {"\x80", "〜\uFFFD", Sjis("～") + "\x80", "a wave dash beside it takes its CP932 form"},
        {"plain", "plain\uFFFD", "plain&#xFFFD;", "nothing damaged before: a typed U+FFFD"},
        {"plain", "plain\uF7A0", "plain&#xF7A0;",
         "a typed private-use character is the user's own, never a byte"},
        {"a\x80", "a\uFFFD\uF780", "a\x80&#xF780;", "beside a kept byte, the typed one is typed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const std::string written = ShownToCp932(c.shown, c.original);
        EXPECT_EQ(written, c.written);
        EXPECT_EQ(Cp932ToShown(written), Cp932ToShown(TypedToCp932(c.shown)))
            << "reads back as the text shown";
    }
}

TEST(Cp932, EncodeOneCharacter) {
    std::string bytes = "unchanged";
    EXPECT_TRUE(EncodeCp932Char(U'あ', bytes));
    EXPECT_EQ(bytes, "\x82\xA0");
    bytes = "unchanged";
    EXPECT_FALSE(EncodeCp932Char(U'😀', bytes));
    EXPECT_EQ(bytes, "unchanged");
}

// Whole files as a loader meets them: CP932 that happens to be valid UTF-8 must stay CP932, and
// what a text editor saves in UTF-8 must be read as such.
TEST(ConvertUtf8File, ReadingsDecide) {
    const std::string line = "37622,0,,";
    const std::string end = ",,,,,\r\n";
    const struct {
        std::string bytes;
        const char* cp932;  // the bytes after the decision; nullptr: left as they were
        const char* why;
    } cases[] = {
        {line + "\xCA\xB2\xC3\xB8 \xCF\xBC" + end, nullptr,
         "half-width katakana \"ﾊｲﾃｸ ﾏｼ\" (reads in UTF-8 as Latin letters)"},
        {line + "\xE3\xA9\x83\x41" + end, nullptr,
         "kanji and katakana \"罠ア\" (in UTF-8 a rare ideograph and an A)"},
        {line + "\xE6\xA0\x83\x41" + end, nullptr,
         "\"譬ア\": in UTF-8 one common kanji \"栃A\", too little to decide on"},
        {line + "\xE2\xB4\x82\xCC\xBD" + end, nullptr,
         "kanji, hiragana and half-width katakana \"箒のｽ\""},
        {line + "\x93\xFA\x8B\x4C,\x89\x4A" + end, nullptr,
         "a kanji page \"日記,雨\" that is no UTF-8 at all"},
        {line + "plain ascii" + end, nullptr, "ASCII reads the same either way"},
        {line + "caf\xC3\xA9" + end, nullptr,
         "UTF-8 of no Japanese text (\"café\") stays as it is, bytes and all"},
        {line + "\xE6\x99\xB4\xE3\x82\x8C,\xE6\x9C\x9D\\n\xE5\xA4\x9C,,\n", "\x90\xB0\x82\xEA",
         "UTF-8 from a text editor with LF line ends: \"晴れ\", \"朝\\n夜\""},
        {line + "\xE3\x83\xA1\xE3\x83\xA2" + end, "\x83\x81\x83\x82",
         "UTF-8 \"メモ\", whose bytes are also CP932 of no Japanese text"},
        {line + "\xEF\xBE\x92\xEF\xBE\x93" + end, "\xD2\xD3", "UTF-8 half-width \"ﾒﾓ\""},
        {line + "\xE6\x99\xB4\xF0\x9F\x98\x80" + end, "\x90\xB0&#x1F600;",
         "UTF-8 with a pictograph: \"晴😀\""},
        {"\xEF\xBB\xBF" + line + "ascii" + end, "ascii", "a byte-order mark"},
        {line + "\x93\xFA\x8B\x4C" + end + line + "\xE6\x97\xA5" + end, nullptr,
         "a CP932 line and a UTF-8 line: neither reading is whole"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        std::string bytes = c.bytes;
        EXPECT_EQ(ConvertUtf8File(bytes), c.cp932 != nullptr);
        if (c.cp932 == nullptr) {
            EXPECT_EQ(bytes, c.bytes);
        } else {
            EXPECT_NE(bytes.find(c.cp932), std::string::npos) << bytes;
        }
    }
}

class SafeWriteTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = folder_.Path(); }
    std::string Read(const std::string& path) {
        std::string contents;
        EXPECT_TRUE(ReadWholeFile(path, contents));
        return contents;
    }
    TTestFolder folder_;
    std::string dir_;
};

TEST_F(SafeWriteTest, ReplacesTheFileAndLeavesNoTemporary) {
    const std::string path = dir_ + "/2003.dat";
    SafeWriteFile(path, "old\r\n");
    SafeWriteFile(path, "new\r\n");
    EXPECT_EQ(Read(path), "new\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(SafeWriteTest, UnwritableFolderKeepsTheOldFile) {
    const std::string path = dir_ + "/2003.dat";
    SafeWriteFile(path, "old");
    ScopedUnprivileged unprivileged(dir_);
    ::chmod(dir_.c_str(), 0555);
    EXPECT_THROW(SafeWriteFile(path, "new"), VelmoraError);
    EXPECT_EQ(Read(path), "old");
    ::chmod(dir_.c_str(), 0755);
    SafeWriteFile(path, "new");
    EXPECT_EQ(Read(path), "new");
}

TEST_F(SafeWriteTest, MissingFolderNamesThePath) {
    const std::string path = dir_ + "/missing/2003.dat";
    try {
        SafeWriteFile(path, "new");
        FAIL() << "the write into a missing folder succeeded";
    } catch (const VelmoraError& e) {
        EXPECT_EQ(std::string(e.what()),
                  Sjis("ファイル ") + path +
                      Sjis(" は開けません (そのようなファイルやディレクトリはありません)"));
    }
}

TEST_F(SafeWriteTest, ReplacementAndBackupKeepTheFilesMode) {
    const std::string path = dir_ + "/2003.dat";
    SafeWriteFile(path, "private");
    ::chmod(path.c_str(), 0600);
    const auto mode = [](const std::string& file) {
        struct stat info {};
        EXPECT_EQ(::stat(file.c_str(), &info), 0);
        return info.st_mode & 07777;
    };
    SafeWriteFile(path, "still private");
    EXPECT_EQ(mode(path), 0600u);
    EXPECT_EQ(mode(KeepBackup(path)), 0600u);
}

TEST_F(SafeWriteTest, BackupsNeverOverwriteEachOther) {
    const std::string path = dir_ + "/2003.dat";
    SafeWriteFile(path, "first");
    EXPECT_EQ(KeepBackup(path), path + ".bak");
    SafeWriteFile(path, "second");
    EXPECT_EQ(KeepBackup(path), path + ".bak2");
    EXPECT_EQ(Read(path + ".bak"), "first");
    EXPECT_EQ(Read(path + ".bak2"), "second");
}

}  // namespace

TEST(Iconv, ConvertsUpToTheFirstRefusedSequence) {
    TIconv toUtf8("UTF-8", "CP932");
    ASSERT_TRUE(toUtf8.IsOpen());
    const struct {
        std::string in;
        std::string out;
        size_t consumed;
        const char* why;
    } cases[] = {
        {"a\x82\xA0z", "a\xE3\x81\x82z", 4, "all of a valid text"},
        {"a\x82\xA0\xA6", "a\xE3\x81\x82\xEF\xBD\xA6", 4, "a half-width katakana byte"},
        {"ab\x82", "ab", 2, "a lead byte cut short at the end"},
        {"ab\xFD"
         "cd",
         "ab", 2, "a byte CP932 does not hold"},
        {"", "", 0, "nothing"},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(toUtf8.Convert(c.in, out), c.consumed) << c.why;
        EXPECT_EQ(out, c.out) << c.why;
    }
    EXPECT_FALSE(TIconv("UTF-8", "NO-SUCH-ENCODING").IsOpen());
}

// Work off the window's thread collects what it reports, to be shown on the window's thread;
// other threads' messages, the window's among them, still go to the sink meanwhile.
TEST(ReportMessage, CollectedOnlyOnTheCollectingThread) {
    TRecordedMessages sink;
    std::vector<std::string> worker;
    std::vector<std::string> inner;
    std::vector<std::string> window;
    {
        TCollectedMessages collected;
        std::thread([&] {
            TCollectedMessages own;
            ReportMessage("copy failed");
            {
                TCollectedMessages nested;
                ReportMessage("nested");
                inner = nested.Messages;
            }
            ReportMessage("removal failed");
            worker = own.Messages;
        }).join();
        std::thread([] { ReportMessage("other thread"); }).join();
        ReportMessage("window");
        window = collected.Messages;
    }
    ReportMessage("after");
    EXPECT_EQ(worker, (std::vector<std::string>{"copy failed", "removal failed"}));
    EXPECT_EQ(inner, std::vector<std::string>{"nested"});
    EXPECT_EQ(window, std::vector<std::string>{"window"});
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"other thread", "after"}));
}
