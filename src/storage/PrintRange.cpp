#include "storage/PrintRange.h"

#include "storage/DayNumber.h"
#include "storage/ScrapList.h"

TDayRange PrintRangeOf(TPrintSpan span, int32_t date) {
    const TYmd ymd = DecodeDate(date);
    switch (span) {
        case TPrintSpan::Month:
            return {EncodeDate(ymd.Year, ymd.Month, 1),
                    EncodeDate(ymd.Year, ymd.Month, DaysInMonth(ymd.Year, ymd.Month))};
        case TPrintSpan::Year:
            return {EncodeDate(ymd.Year, 1, 1), EncodeDate(ymd.Year, 12, 31)};
        case TPrintSpan::Day:
            break;
    }
    return {date, date};
}

std::vector<int32_t> DaysWithPages(const TScrapList& store, TDayRange range) {
    std::vector<int32_t> days;
    for (int32_t d = range.First; d <= range.Last; ++d)
        if (store.FindByDate(d).Date != 0)
            days.push_back(d);
    return days;
}
