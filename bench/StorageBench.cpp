// A full year of diary pages: loading and saving its year file, each against reading or writing
// the same bytes raw in the same run, so the cost of parsing and formatting shows as a ratio to
// plain file input and output (the counters load/raw and save/raw). Then the
// daily backup of ten such years, as the first start copies them and as a later start finds
// them unchanged.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "storage/Cp932.h"
#include "storage/DailyBackup.h"
#include "storage/DayNumber.h"
#include "storage/DaySearch.h"
#include "storage/SafeWrite.h"
#include "storage/ScrapList.h"
#include "storage/YearFile.h"

namespace {

constexpr size_t kBodyBytes = 2 * 1024;
constexpr size_t kRichBytes = 6 * 1024;

// About 2 KB of Japanese prose with line breaks, commas and a 0x5C second byte (表, ソ).
std::string BodyText(int day) {
    const std::string sentence =
        Sjis("今日は朝から雨が降っていた。表通りのソフト屋で、新しい本を買った。\r\n");
    std::string body = Sjis("第") + std::to_string(day) + Sjis("日 ");
    while (body.size() < kBodyBytes) {
        body += sentence;
    }
    return body;
}

// About 6 KB of RTF as rich-text editors write it, CP932 bytes as \'xx pairs.
std::string RichText(const std::string& body) {
    static const char kHex[] = "0123456789abcdef";
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
        "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs18 ";
    for (const char c : body) {
        if (rtf.size() >= kRichBytes - 16) {
            break;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            rtf += "\\par";
        } else if (byte >= 0x80 || c == '\\' || c == '{' || c == '}') {
            rtf += {'\\', '\'', kHex[byte >> 4], kHex[byte & 15]};
        } else {
            rtf += c;
        }
    }
    return rtf + "\\par\r\n}\r\n";
}

// A folder holding 2004.dat with a page for each of the 366 days of 2004.
class YearFolder {
public:
    YearFolder() {
        dir_ = std::filesystem::temp_directory_path() /
               ("velmora-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        TScrapList store;
        store.SetDataDir(Dir());
        const int32_t first = EncodeDate(2004, 1, 1);
        store.SetDate(first);
        for (int32_t day = 0; day < 366; ++day) {
            TDataInfo rec = EmptyDataInfo;
            rec.Date = first + day;
            rec.Weather = day % 33;
            rec.Title = Sjis("晴れのち曇り、\"散歩\"");
            rec.Text = BodyText(day);
            rec.RichText = RichText(rec.Text.Text());
            rec.Private = Sjis("メモ\tC:\\diary");
            rec.News = Sjis("ニュース");
            store.PutRecord(rec);
        }
        store.SaveToFile();
    }
    ~YearFolder() { std::filesystem::remove_all(dir_); }

    std::string Dir() const { return dir_.string() + "/"; }
    std::string YearFile() const { return Dir() + "2004.dat"; }

private:
    std::filesystem::path dir_;
};

const YearFolder& Folder() {
    static const YearFolder folder;
    return folder;
}

int64_t FileBytes() {
    return static_cast<int64_t>(std::filesystem::file_size(Folder().YearFile()));
}

void BM_ReadRaw(benchmark::State& state) {
    const std::string path = Folder().YearFile();
    std::string contents;
    for (auto _ : state) {
        ReadWholeFile(path, contents);
        benchmark::DoNotOptimize(contents.data());
    }
    state.SetBytesProcessed(state.iterations() * FileBytes());
}
BENCHMARK(BM_ReadRaw)->Unit(benchmark::kMillisecond);

// Seconds spent in f.
template <typename F>
double Seconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration reads the year file raw and then loads it, so both see the same machine; the
// time reported is the load's, and load/raw its ratio to the raw read.
void BM_LoadYear(benchmark::State& state) {
    const std::string path = Folder().YearFile();
    TScrapList store;
    std::string contents;
    double raw = 0;
    double load = 0;
    for (auto _ : state) {
        raw += Seconds([&] {
            ReadWholeFile(path, contents);
            benchmark::DoNotOptimize(contents.data());
        });
        const double seconds = Seconds([&] {
            store.LoadFromFile(path);
            benchmark::DoNotOptimize(store.Count());
        });
        load += seconds;
        state.SetIterationTime(seconds);
    }
    if (store.Count() != 366) {
        state.SkipWithError("the year file did not load whole");
    }
    state.SetBytesProcessed(state.iterations() * FileBytes());
    state.counters["load/raw"] = load / raw;
}
BENCHMARK(BM_LoadYear)->UseManualTime()->Unit(benchmark::kMillisecond);

// The raw write of a year: the same bytes to a new file, flushed to disk, renamed over the old.
void WriteRaw(const std::string& path, const std::string& contents) {
    const std::string temp = path + ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 ||
        ::write(fd, contents.data(), contents.size()) != static_cast<ssize_t>(contents.size()) ||
        ::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        std::perror(temp.c_str());
        std::abort();
    }
}

// SaveToFile writes a new file, flushes it to disk and renames it over the old one; each
// iteration first writes the same bytes raw, and save/raw is the save's ratio to that.
void BM_SaveYear(benchmark::State& state) {
    TScrapList store;
    store.LoadFromFile(Folder().YearFile());
    std::string contents;
    ReadWholeFile(Folder().YearFile(), contents);
    const std::string rawPath = Folder().Dir() + "raw.dat";
    double raw = 0;
    double save = 0;
    for (auto _ : state) {
        raw += Seconds([&] { WriteRaw(rawPath, contents); });
        const double seconds = Seconds([&] { store.SaveToFile(); });
        save += seconds;
        state.SetIterationTime(seconds);
    }
    state.SetBytesProcessed(state.iterations() * FileBytes());
    state.counters["save/raw"] = save / raw;
}
BENCHMARK(BM_SaveYear)->UseManualTime()->Unit(benchmark::kMillisecond);

// Thirty year files of 366 pages each, copies of the year above, searched as the search window
// does: every file read through the year-file unit, every page matched against a query of two
// words in forms that must be folded (half-width katakana, katakana for hiragana).
class ThirtyYears {
public:
    ThirtyYears() {
        std::string contents;
        ReadWholeFile(Folder().YearFile(), contents);
        dir_ = Folder().Dir() + "thirty/";
        std::filesystem::create_directories(dir_);
        for (int year = 1990; year < 2020; ++year) {
            SafeWriteFile(YearFilePath(dir_, year), contents);
        }
    }
    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
};

// Ten years of the diary above, 2004.dat to 2013.dat, in a folder of their own.
class TenYearFolder {
public:
    TenYearFolder() : dir_(Folder().Dir() + "ten-years") {
        std::filesystem::create_directories(dir_);
        std::string year;
        ReadWholeFile(Folder().YearFile(), year);
        for (int y = 2004; y < 2014; ++y)
            SafeWriteFile(dir_ + "/" + std::to_string(y) + ".dat", year);
    }
    const std::string& Dir() const { return dir_; }
    void RemoveBackups() const { std::filesystem::remove_all(dir_ + "/backup"); }

private:
    std::string dir_;
};

void BM_SearchThirtyYears(benchmark::State& state) {
    static const ThirtyYears years;
    const TDaySearch search(Sjis("ｿﾌﾄ カラ"), TSearchField::All);
    int64_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const int year : YearFilesIn(years.Dir())) {
            const TYearFileRead read =
                ReadYearFile(YearFilePath(years.Dir(), year), TYearFileFields::WithoutRichText);
            for (const TDataInfo& rec : read.Text.Records) {
                hits += search.Match(rec) ? 1 : 0;
            }
        }
    }
    if (hits != 30 * 366) {
        state.SkipWithError("not every page was found");
    }
    state.SetItemsProcessed(state.iterations() * 30 * 366);
}
BENCHMARK(BM_SearchThirtyYears)->Unit(benchmark::kMillisecond);

const TenYearFolder& TenYears() {
    static const TenYearFolder folder;
    return folder;
}

const int32_t kBackupDay = EncodeDate(2014, 1, 1);

// The first start of a day after all ten years changed: every file is copied and flushed.
void BM_BackUpTenYearsCopied(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TenYears().RemoveBackups();
        state.ResumeTiming();
        benchmark::DoNotOptimize(BackUpDiary(TenYears().Dir(), "Velmora", kBackupDay));
    }
    state.SetBytesProcessed(state.iterations() * 10 * FileBytes());
}
BENCHMARK(BM_BackUpTenYearsCopied)->Unit(benchmark::kMillisecond);

// The usual start: every file is as its newest copy, which their sizes and times tell.
void BM_BackUpTenYearsUnchanged(benchmark::State& state) {
    TenYears().RemoveBackups();
    BackUpDiary(TenYears().Dir(), "Velmora", kBackupDay);
    for (auto _ : state)
        benchmark::DoNotOptimize(BackUpDiary(TenYears().Dir(), "Velmora", kBackupDay + 1));
    state.SetBytesProcessed(state.iterations() * 10 * FileBytes());
}
BENCHMARK(BM_BackUpTenYearsUnchanged)->Unit(benchmark::kMillisecond);

}  // namespace
