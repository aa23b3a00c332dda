#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/DataInfo.h"

// Which fields of a page a search looks at.
enum class TSearchField { All, Text, Title, News, Private };

// Where a word of the query occurs in the text of a hit: bytes Begin up to End.
struct TSearchMark {
    size_t Begin = 0;
    size_t End = 0;
};

// A page that matched: the field shown (FieldText's letter: 'C' body, 'P' title, 'N' news memo,
// 'M' private memo), the part of it around the first place a word of the query occurs, with
// some text on either side (CP932, cut between characters), and every place in that part where
// any word occurs.
struct TSearchHit {
    int32_t Date = 0;
    char Field = 'C';
    std::string Text;
    std::vector<TSearchMark> Marks;  // in order, apart from one another
};

// A query over pages: the words of the query (separated by blanks, full-width ones included)
// must all occur, folded as FoldForSearch folds, in the fields searched, each word in any of
// them.
class TDaySearch {
public:
    TDaySearch(std::string_view query, TSearchField field);

    // True when the query holds no word; it matches nothing.
    bool Empty() const { return words_.empty(); }
    // The hit for rec, shown in the first field (body, title, news, private) holding a word.
    std::optional<TSearchHit> Match(const TDataInfo& rec) const;

private:
    std::vector<std::u32string> words_;
    TSearchField field_;
};

// The years of the year files ("1999.dat") in the folder dir, ascending.
std::vector<int> YearFilesIn(const std::string& dir);
