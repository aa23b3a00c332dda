#include "storage/YearDays.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "storage/CommaDB.h"
#include "storage/FileEncoding.h"
#include "storage/YearFile.h"

namespace {

// Below this span the halving stops and the lines are read in turn.
constexpr off_t kScanSpan = 32 * 1024;
constexpr size_t kChunk = 16 * 1024;

bool IsLineEnd(int byte) {
    return byte == '\r' || byte == '\n';
}

struct TLine {
    off_t Start = 0;
    off_t End = 0;  // where the text ends: the line end or the end of the file
    std::string Text;
};

// The bytes of an open file read a chunk at a time.
class TChunkFile {
public:
    TChunkFile(int fd, off_t size) : fd_(fd), size_(size) {}
    ~TChunkFile() { ::close(fd_); }
    TChunkFile(const TChunkFile&) = delete;
    TChunkFile& operator=(const TChunkFile&) = delete;

    off_t Size() const { return size_; }
    int Error() const { return error_; }

    // The byte at pos; -1 past the end or after a failed read.
    int At(off_t pos) {
        if (pos < 0 || pos >= size_) {
            return -1;
        }
        if (pos < start_ || pos >= start_ + static_cast<off_t>(chunk_.size())) {
            Load(pos);
        }
        const off_t at = pos - start_;
        return at < static_cast<off_t>(chunk_.size()) ? static_cast<unsigned char>(chunk_[at]) : -1;
    }

    // The first line holding text that starts at or after from; nullopt at the end.
    std::optional<TLine> LineFrom(off_t from) {
        off_t pos = from;
        if (pos > 0 && !IsLineEnd(At(pos - 1))) {
            while (pos < size_ && error_ == 0 && !IsLineEnd(At(pos))) {
                ++pos;
            }
        }
        while (pos < size_ && error_ == 0 && IsLineEnd(At(pos))) {
            ++pos;
        }
        if (pos >= size_ || error_ != 0) {
            return std::nullopt;
        }
        TLine line;
        line.Start = pos;
        while (pos < size_) {
            const off_t at = pos - start_;
            if (pos < start_ || at >= static_cast<off_t>(chunk_.size())) {
                Load(pos);
                if (error_ != 0) {
                    return std::nullopt;
                }
                continue;
            }
            const char* begin = chunk_.data() + at;
            const size_t left = chunk_.size() - static_cast<size_t>(at);
            const auto* end = static_cast<const char*>(std::memchr(begin, '\n', left));
            const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', left));
            if (cr && (!end || cr < end)) {
                end = cr;
            }
            if (end) {
                line.Text.append(begin, end);
                pos += end - begin;
                break;
            }
            line.Text.append(begin, left);
            pos += static_cast<off_t>(left);
        }
        line.End = pos;
        return line;
    }

private:
    void Load(off_t pos) {
        chunk_.resize(kChunk);
        const ssize_t got = ::pread(fd_, chunk_.data(), kChunk, pos);
        if (got <= 0) {
            error_ = got < 0 ? errno : EIO;
            chunk_.clear();
            return;
        }
        chunk_.resize(static_cast<size_t>(got));
        start_ = pos;
    }

    int fd_;
    off_t size_;
    off_t start_ = 0;
    std::string chunk_;
    int error_ = 0;
};

// The date a line starts with, read without reading the rest; nullopt for a line whose first
// field is no plain number (read whole, it may still be a day's).
std::optional<int32_t> LeadingDate(std::string_view line) {
    const size_t comma = line.find(',');
    std::string_view field = line.substr(0, comma);
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t')) {
        field.remove_prefix(1);
    }
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) {
        field.remove_suffix(1);
    }
    const std::optional<int64_t> value = ParseInteger(field);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(*value));
}

// The record of one line, as the whole file's reader reads it; Date 0 when it has none.
TDataInfo LineRecord(std::string text, bool ownWrite) {
    if (!ownWrite) {
        ConvertUtf8File(text);
    }
    TYearFileText read = ParseYearFile(std::move(text), TYearFileFields::WithoutRichText);
    return read.Records.empty() ? TDataInfo{} : std::move(read.Records.front());
}

// What halving found for one day.
enum class TFound { Day, None, OutOfOrder };

TFound FindDay(TChunkFile& file, int32_t date, bool ownWrite, TDataInfo& rec) {
    // Every dated line starting before lo is of an earlier day, every one from hi on of date or
    // later; a halving line outside the dates that bound it shows the file out of order.
    off_t lo = 0;
    off_t hi = file.Size();
    int32_t loDate = INT32_MIN;
    int32_t hiDate = INT32_MAX;
    while (hi - lo > kScanSpan) {
        const off_t mid = lo + (hi - lo) / 2;
        std::optional<TLine> line = file.LineFrom(mid);
        std::optional<int32_t> lineDate;
        while (line && line->Start < hi && !(lineDate = LeadingDate(line->Text))) {
            line = file.LineFrom(line->End);
        }
        if (!line || line->Start >= hi || !lineDate) {
            hi = mid;
            continue;
        }
        if (*lineDate < loDate || *lineDate > hiDate) {
            return TFound::OutOfOrder;
        }
        if (*lineDate >= date) {
            hi = mid;
            hiDate = *lineDate;
        } else {
            lo = line->End;
            loDate = *lineDate;
        }
    }
    bool found = false;
    int32_t last = loDate;
    for (std::optional<TLine> line = file.LineFrom(lo); line; line = file.LineFrom(line->End)) {
        std::optional<int32_t> lineDate = LeadingDate(line->Text);
        if (!lineDate) {
            // A line the quick look cannot date is read whole; undated it is passed over.
            TDataInfo odd = LineRecord(line->Text, ownWrite);
            if (odd.Date == 0) {
                continue;
            }
            lineDate = odd.Date;
        }
        if (*lineDate < last) {
            return TFound::OutOfOrder;
        }
        last = *lineDate;
        if (*lineDate > date) {
            break;
        }
        if (*lineDate == date) {
            // Of several lines of one day the last one counts, as in the whole file's reading.
            TDataInfo day = LineRecord(std::move(line->Text), ownWrite);
            if (day.Date == date) {
                rec = std::move(day);
                found = true;
            }
        }
    }
    return found ? TFound::Day : TFound::None;
}

TYearDaysRead ReadWhole(const std::string& path, const std::vector<int32_t>& dates, bool ownWrite) {
    TYearDaysRead result;
    TYearFileRead read = ReadYearFile(path, TYearFileFields::WithoutRichText, ownWrite);
    result.Missing = read.Missing;
    result.Error = std::move(read.Error);
    for (TDataInfo& rec : read.Text.Records) {
        if (std::binary_search(dates.begin(), dates.end(), rec.Date)) {
            result.Records.push_back(std::move(rec));
        }
    }
    return result;
}

}  // namespace

TYearDaysRead ReadYearFileDays(const std::string& path, std::vector<int32_t> dates, bool ownWrite) {
    std::sort(dates.begin(), dates.end());
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    TYearDaysRead result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            result.Missing = true;
            return result;
        }
        return ReadWhole(path, dates, ownWrite);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return ReadWhole(path, dates, ownWrite);
    }
    TChunkFile file(fd, info.st_size);
    if (!ownWrite && file.At(0) == 0xEF && file.At(1) == 0xBB && file.At(2) == 0xBF) {
        return ReadWhole(path, dates, ownWrite);
    }
    for (const int32_t date : dates) {
        TDataInfo rec;
        const TFound found = FindDay(file, date, ownWrite, rec);
        if (found == TFound::OutOfOrder) {
            return ReadWhole(path, dates, ownWrite);
        }
        if (file.Error() != 0) {
            // The whole file's reader says why in the words every reader uses.
            return ReadWhole(path, dates, ownWrite);
        }
        if (found == TFound::Day) {
            result.Records.push_back(std::move(rec));
        }
    }
    return result;
}
