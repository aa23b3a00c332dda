#include "storage/DayList.h"

#include <algorithm>
#include <array>
#include <vector>

#include "storage/DayNumber.h"
#include "storage/DaySearch.h"
#include "storage/ScrapList.h"
#include "storage/YearFile.h"

namespace {

constexpr std::array<TDayListTab, DayListTabCount> kTabs = {{
    {"Dc", 'C'},  // the body
    {"DC", 'M'},  // the private memo
    {"DN", 'N'},  // the news memo
    {"DP", 'P'},  // the one-line title
}};

}  // namespace

TDayListTab DayListTab(int tab) {
    return tab >= 0 && tab < DayListTabCount ? kTabs[tab] : kTabs[0];
}

std::string DayListRowText(const TDataInfo& rec, char rowLetter, bool monthOnly, int month) {
    if (monthOnly && DecodeDate(rec.Date).Month != month) {
        return {};
    }
    return FieldText(rowLetter, rec);
}

int32_t NeighbourPageDate(const TScrapList& store, int direction) {
    const int32_t current = store.CurrentDate();
    for (int i = 0; i < store.Count(); ++i) {
        const int index = direction > 0 ? i : store.Count() - 1 - i;
        const int32_t date = store.Items(index).Date;
        if (direction > 0 ? date > current : date < current) {
            return date;
        }
    }
    const int year = DecodeDate(current).Year;
    std::vector<int> years = YearFilesIn(store.DataDir());
    if (direction < 0) {
        std::reverse(years.begin(), years.end());
    }
    for (const int other : years) {
        if (direction > 0 ? other <= year : other >= year) {
            continue;
        }
        const std::vector<TDataInfo>& records =
            ReadYearFile(YearFilePath(store.DataDir(), other)).Text.Records;
        if (!records.empty()) {
            return direction > 0 ? records.front().Date : records.back().Date;
        }
    }
    return 0;
}
