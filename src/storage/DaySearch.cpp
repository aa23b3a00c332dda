#include "storage/DaySearch.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "storage/Cp932.h"
#include "storage/SearchFold.h"
#include "storage/StrUtils.h"

namespace {

constexpr size_t kBytesBefore = 16;
constexpr size_t kBytesAfter = 40;

struct TFieldOf {
    char Letter;
    const std::string& (*Of)(const TDataInfo& rec);
    TSearchField Field;
};

constexpr std::array<TFieldOf, 4> kFields = {{
    {'C', [](const TDataInfo& rec) -> const std::string& { return rec.Text.Text(); },
     TSearchField::Text},
    {'P', [](const TDataInfo& rec) -> const std::string& { return rec.Title; },
     TSearchField::Title},
    {'N', [](const TDataInfo& rec) -> const std::string& { return rec.News; }, TSearchField::News},
    {'M', [](const TDataInfo& rec) -> const std::string& { return rec.Private; },
     TSearchField::Private},
}};

// The start of the character holding byte at, walking text from its start.
size_t CharStartAtOrBefore(std::string_view text, size_t at) {
    size_t i = 0;
    while (i < text.size()) {
        const size_t next = i + ShownCharLength(text, i);
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
        const size_t next = i + ShownCharLength(text, i);
        if (next - from > limit) {
            break;
        }
        i = next;
    }
    return i;
}

// Every place in text where one of the words occurs, as bytes of text, in order; places that
// overlap or touch are joined, so "東京" and "京都" in "東京都" mark it once.
std::vector<TSearchMark> WordPlaces(std::string_view text,
                                    const std::vector<std::u32string>& words) {
    std::vector<uint32_t> source;
    const std::u32string folded = FoldForSearch(text, &source);
    // A folded character ends where the next source character starts.
    const auto endOf = [&source](size_t last) {
        size_t k = last + 1;
        while (source[k] == source[last]) {
            ++k;
        }
        return static_cast<size_t>(source[k]);
    };
    std::vector<TSearchMark> places;
    for (const std::u32string& word : words) {
        for (size_t at = folded.find(word); at != std::u32string::npos;
             at = folded.find(word, at + 1)) {
            places.push_back({source[at], endOf(at + word.size() - 1)});
        }
    }
    std::sort(places.begin(), places.end(),
              [](const TSearchMark& a, const TSearchMark& b) { return a.Begin < b.Begin; });
    std::vector<TSearchMark> joined;
    for (const TSearchMark& place : places) {
        if (!joined.empty() && place.Begin <= joined.back().End) {
            joined.back().End = std::max(joined.back().End, place.End);
        } else {
            joined.push_back(place);
        }
    }
    return joined;
}

TSearchHit HitIn(const TDataInfo& rec, char letter, std::string_view text,
                 const std::vector<std::u32string>& words) {
    const std::vector<TSearchMark> places = WordPlaces(text, words);
    const TSearchMark& first = places.front();
    const size_t begin =
        CharStartAtOrBefore(text, first.Begin > kBytesBefore ? first.Begin - kBytesBefore : 0);
    const size_t end = CharEndWithin(text, first.End, kBytesAfter);
    TSearchHit hit;
    hit.Date = rec.Date;
    hit.Field = letter;
    hit.Text = std::string(text.substr(begin, end - begin));
    for (const TSearchMark& place : places) {
        if (place.Begin >= end) {
            break;
        }
        // A place the end of the shown part cuts is marked as far as it is shown.
        hit.Marks.push_back({place.Begin - begin, std::min(place.End, end) - begin});
    }
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
    const TFieldOf* shown = nullptr;  // the first field holding a word
    for (const TFieldOf& f : kFields) {
        if (field_ != TSearchField::All && field_ != f.Field) {
            continue;
        }
        const std::string& text = f.Of(rec);
        if (text.empty()) {
            continue;
        }
        const std::u32string folded = FoldForSearch(text);
        for (size_t w = 0; w < words_.size(); ++w) {
            if (folded.find(words_[w]) == std::u32string::npos) {
                continue;
            }
            found[w] = true;
            if (!shown) {
                shown = &f;
            }
        }
    }
    if (!shown || std::find(found.begin(), found.end(), false) != found.end()) {
        return std::nullopt;
    }
    return HitIn(rec, shown->Letter, shown->Of(rec), words_);
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
