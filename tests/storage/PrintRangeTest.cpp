#include "storage/PrintRange.h"

#include <gtest/gtest.h>

#include <vector>

#include "storage/DayNumber.h"
#include "storage/ScrapList.h"
#include "support/StoreFolder.h"

namespace {

struct RangeCase {
    const char* why;
    TPrintSpan span;
    TYmd date;
    TYmd first;
    TYmd last;
};

TEST(PrintRangeOf, CoversTheDayMonthOrYear) {
    // Month lengths from the Gregorian calendar: 2024 and 2000 are leap years, 1900 and 2023
    // are not.
    const RangeCase cases[] = {
        {"a day is itself", TPrintSpan::Day, {2024, 2, 29}, {2024, 2, 29}, {2024, 2, 29}},
        {"leap February", TPrintSpan::Month, {2024, 2, 10}, {2024, 2, 1}, {2024, 2, 29}},
        {"common February", TPrintSpan::Month, {2023, 2, 28}, {2023, 2, 1}, {2023, 2, 28}},
        {"century not leap", TPrintSpan::Month, {1900, 2, 1}, {1900, 2, 1}, {1900, 2, 28}},
        {"400-year leap", TPrintSpan::Month, {2000, 2, 15}, {2000, 2, 1}, {2000, 2, 29}},
        {"December ends the year",
         TPrintSpan::Month,
         {2024, 12, 31},
         {2024, 12, 1},
         {2024, 12, 31}},
        {"year from its last day", TPrintSpan::Year, {2024, 12, 31}, {2024, 1, 1}, {2024, 12, 31}},
        {"year from its first day", TPrintSpan::Year, {2023, 1, 1}, {2023, 1, 1}, {2023, 12, 31}},
    };
    for (const RangeCase& c : cases) {
        const TDayRange r = PrintRangeOf(c.span, EncodeDate(c.date.Year, c.date.Month, c.date.Day));
        EXPECT_EQ(r.First, EncodeDate(c.first.Year, c.first.Month, c.first.Day)) << c.why;
        EXPECT_EQ(r.Last, EncodeDate(c.last.Year, c.last.Month, c.last.Day)) << c.why;
    }
    const TDayRange leap = PrintRangeOf(TPrintSpan::Year, EncodeDate(2024, 6, 1));
    EXPECT_EQ(leap.Last - leap.First + 1, 366);
}

TEST(DaysWithPages, InDateOrderWithinTheRangeOnly) {
    StoreFolder folder;
    TScrapList store;
    store.SetDataDir(folder.Dir());
    store.LoadFromFile(folder.File("2024.dat"));
    // Put out of order, and on both sides of the month's ends.
    for (const TYmd d : {TYmd{2024, 3, 31}, TYmd{2024, 3, 1}, TYmd{2024, 2, 29}, TYmd{2024, 4, 1},
                         TYmd{2024, 3, 15}}) {
        TDataInfo rec;
        rec.Date = EncodeDate(d.Year, d.Month, d.Day);
        rec.Title = "t";
        store.PutRecord(rec);
    }
    const std::vector<int32_t> march =
        DaysWithPages(store, PrintRangeOf(TPrintSpan::Month, EncodeDate(2024, 3, 20)));
    const std::vector<int32_t> expected = {EncodeDate(2024, 3, 1), EncodeDate(2024, 3, 15),
                                           EncodeDate(2024, 3, 31)};
    EXPECT_EQ(march, expected);
    EXPECT_EQ(DaysWithPages(store, PrintRangeOf(TPrintSpan::Year, EncodeDate(2024, 1, 1))).size(),
              5u);
    EXPECT_TRUE(
        DaysWithPages(store, PrintRangeOf(TPrintSpan::Day, EncodeDate(2024, 3, 2))).empty());
}

}  // namespace
