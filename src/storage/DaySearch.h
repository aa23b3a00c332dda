#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/DataInfo.h"

// Which fields of a page a search looks at.
enum class TSearchField { All, Text, Title, News, Private };

// A page that matched: the field shown (FieldText's letter: 'C' body, 'P' title, 'N' news memo,
// 'M' private memo) and the first match in it with some text on either side, all CP932.
struct TSearchHit {
    int32_t Date = 0;
    char Field = 'C';
    std::string Before;
    std::string Match;
    std::string After;
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
