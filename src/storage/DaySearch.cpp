#include "storage/DaySearch.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "storage/SearchFold.h"
#include "storage/StrUtils.h"

namespace {

constexpr size_t kBytesBefore = 16;
constexpr size_t kBytesAfter = 40;

struct TFieldOf {
    char Letter;
    std::string TDataInfo::*Member;
    TSearchField Field;
};

constexpr std::array<TFieldOf, 4> kFields = {{
    {'C', &TDataInfo::Text, TSearchField::Text},
    {'P', &TDataInfo::Title, TSearchField::Title},
    {'N', &TDataInfo::News, TSearchField::News},
    {'M', &TDataInfo::Private, TSearchField::Private},
}};

// The start of the character holding byte at, walking text from its start.
size_t CharStartAtOrBefore(std::string_view text, size_t at) {
    size_t i = 0;
    while (i < text.size()) {
        const size_t next = i + CharLength(text, i);
        if (next > at) {
            return i;
        }
        i = next;
    }
    return text.size();
}

// The end of the last whole character within limit bytes from from.
size_t CharEndWithin(std::string_view text, size_t from, size_t limit) {
    size_t i = from;
    while (i < text.size()) {
        const size_t next = i + CharLength(text, i);
        if (next - from > limit) {
            break;
        }
        i = next;
    }
    return i;
}

TSearchHit HitIn(const TDataInfo& rec, char letter, std::string_view text,
                 const std::u32string& word) {
    std::vector<uint32_t> source;
    const std::u32string folded = FoldForSearch(text, &source);
    const size_t at = folded.find(word);
    const size_t begin = source[at];
    // A folded character ends where the next source character starts.
    size_t end = begin;
    for (size_t k = at + word.size(); k < source.size(); ++k) {
        if (source[k] > source[at + word.size() - 1]) {
            end = source[k];
            break;
        }
    }
    const size_t before =
        CharStartAtOrBefore(text, begin > kBytesBefore ? begin - kBytesBefore : 0);
    TSearchHit hit;
    hit.Date = rec.Date;
    hit.Field = letter;
    hit.Before = std::string(text.substr(before, begin - before));
    hit.Match = std::string(text.substr(begin, end - begin));
    hit.After = std::string(text.substr(end, CharEndWithin(text, end, kBytesAfter) - end));
    return hit;
}

}  // namespace

TDaySearch::TDaySearch(std::string_view query, TSearchField field) : field_(field) {
    const std::u32string folded = FoldForSearch(query);
    size_t i = 0;
    while (i < folded.size()) {
        while (i < folded.size() && folded[i] <= ' ') {
            ++i;
        }
        size_t end = i;
        while (end < folded.size() && folded[end] > ' ') {
            ++end;
        }
        if (end > i) {
            words_.push_back(folded.substr(i, end - i));
        }
        i = end;
    }
}

std::optional<TSearchHit> TDaySearch::Match(const TDataInfo& rec) const {
    if (words_.empty()) {
        return std::nullopt;
    }
    std::vector<bool> found(words_.size(), false);
    std::optional<std::pair<const TFieldOf*, size_t>> first;  // the field and word to show
    for (const TFieldOf& f : kFields) {
        if (field_ != TSearchField::All && field_ != f.Field) {
            continue;
        }
        const std::string& text = rec.*f.Member;
        if (text.empty()) {
            continue;
        }
        const std::u32string folded = FoldForSearch(text);
        for (size_t w = 0; w < words_.size(); ++w) {
            if (folded.find(words_[w]) == std::u32string::npos) {
                continue;
            }
            found[w] = true;
            if (!first) {
                first = {&f, w};
            }
        }
    }
    if (!first || std::find(found.begin(), found.end(), false) != found.end()) {
        return std::nullopt;
    }
    return HitIn(rec, first->first->Letter, rec.*first->first->Member, words_[first->second]);
}

std::vector<int> YearFilesIn(const std::string& dir) {
    std::vector<int> years;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == 8 && name.ends_with(".dat") &&
            std::all_of(name.begin(), name.begin() + 4,
                        [](char c) { return c >= '0' && c <= '9'; })) {
            years.push_back(std::stoi(name.substr(0, 4)));
        }
    }
    std::sort(years.begin(), years.end());
    return years;
}
