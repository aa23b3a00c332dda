#include "storage/ScrapList.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "storage/DayNumber.h"
#include "support/StoreFolder.h"

namespace {

// Connects all five events of a store to one log, in the order they are raised.
struct EventLog {
    explicit EventLog(TScrapList& store) {
        store.OnLeaveDate = [this](TScrapList&, int32_t old) {
            lines.push_back("leave " + std::to_string(old));
        };
        store.OnDateChanged = [this](TScrapList&, uint8_t flags, uint16_t y, uint16_t m,
                                     uint16_t d) {
            lines.push_back("date " + std::to_string(flags) + " " + std::to_string(y) + "-" +
                            std::to_string(m) + "-" + std::to_string(d));
        };
        store.OnRecordChanged = [this](TScrapList&, const TDataInfo& rec) {
            lines.push_back("changed " + std::to_string(rec.Date));
        };
        store.OnRecordDeleted = [this](TScrapList& sender, const TDataInfo& rec) {
            // The record must still be in the store while its deletion is announced.
            const bool present = &sender.FindByDate(rec.Date) == &rec;
            lines.push_back("deleted " + std::to_string(rec.Date) + (present ? " present" : ""));
        };
        store.OnListChanged = [this](TScrapList&) { lines.push_back("list"); };
    }
    std::vector<std::string> Take() { return std::exchange(lines, {}); }
    std::vector<std::string> lines;
};

using Log = std::vector<std::string>;

TDataInfo Page(int32_t date, const std::string& title) {
    TDataInfo rec = EmptyDataInfo;
    rec.Date = date;
    rec.Title = title;
    return rec;
}

class ScrapListEvents : public ::testing::Test {
protected:
    ScrapListEvents() { store.SetDataDir(folder.Dir()); }
    StoreFolder folder;
    TScrapList store;
    EventLog log{store};
};

TEST_F(ScrapListEvents, DateMoves) {
    const int32_t jan5 = EncodeDate(2003, 1, 5);
    store.SetDate(jan5);
    EXPECT_EQ(log.Take(), (Log{"leave 0", "list", "date 14 2003-1-5"}))
        << "first move: from day 0, all three flags, year loaded";
    EXPECT_EQ(store.FileName(), folder.File("2003.dat"));

    store.SetDate(jan5 + 1);
    EXPECT_EQ(log.Take(), (Log{"leave " + std::to_string(jan5), "date 8 2003-1-6"}));

    store.SetDate(jan5 + 1);
    EXPECT_EQ(log.Take(), Log{}) << "the current date again raises nothing";

    store.SetDate(EncodeDate(2003, 1, 31));
    log.Take();
    store.SetDate(EncodeDate(2003, 2, 1));
    EXPECT_EQ(log.Take(), (Log{"leave 37652", "date 12 2003-2-1"}));

    EXPECT_EQ(store.DatePart(0), EncodeDate(2003, 2, 1));
    EXPECT_EQ(store.DatePart(1), 2003);
    EXPECT_EQ(store.DatePart(2), 2);
    EXPECT_EQ(store.DatePart(3), 1);
    EXPECT_EQ(store.DatePart(4), -1);
    EXPECT_TRUE(folder.messages.empty());
}

TEST_F(ScrapListEvents, LeaveHandlerStoresThePageBeforeTheYearChanges) {
    const int32_t dec31 = EncodeDate(2003, 12, 31);
    store.SetDate(dec31);
    log.Take();
    // As the window does: the page being left goes into the store from OnLeaveDate.
    store.OnLeaveDate = [this](TScrapList& sender, int32_t old) {
        log.lines.push_back("leave " + std::to_string(old));
        sender.PutRecord(Page(old, "last day"));
    };
    store.SetDate(dec31 + 1);
    EXPECT_EQ(log.Take(), (Log{"leave " + std::to_string(dec31), "list",
                               "changed " + std::to_string(dec31), "list", "date 14 2004-1-1"}));
    EXPECT_EQ(store.FileName(), folder.File("2004.dat"));
    EXPECT_EQ(store.Count(), 0);
    EXPECT_FALSE(store.Modified());
    EXPECT_NE(folder.Read("2003.dat").find("last day"), std::string::npos)
        << "the page left landed in the old year's file";
}

TEST_F(ScrapListEvents, PutRecord) {
    store.SetDate(EncodeDate(2003, 6, 1));
    log.Take();
    const int32_t d1 = EncodeDate(2003, 6, 10), d2 = EncodeDate(2003, 6, 5);

    EXPECT_EQ(store.PutRecord(Page(d1, "a")), 0);
    EXPECT_EQ(store.PutRecord(Page(d2, "b")), 1) << "index where it was appended, before sorting";
    EXPECT_EQ(log.Take(), (Log{"list", "changed " + std::to_string(d1), "list",
                               "changed " + std::to_string(d2)}))
        << "a new record: list first, then the record";
    EXPECT_EQ(store.Items(0).Date, d2) << "kept sorted";
    EXPECT_EQ(store.Items(1).Date, d1);
    EXPECT_TRUE(store.Modified());

    const TDataInfo* address = &store.Items(1);
    EXPECT_EQ(store.PutRecord(Page(d1, "c")), 1);
    EXPECT_EQ(log.Take(), (Log{"changed " + std::to_string(d1)})) << "a replacement: record only";
    EXPECT_EQ(&store.Items(1), address) << "a replaced record keeps its identity";
    EXPECT_EQ(store.Items(1).Title, "c");
    EXPECT_EQ(store.Current().Title, "c");

    EXPECT_EQ(store.PutRecord(store.Items(0)), 0) << "a record of the store itself";
    EXPECT_EQ(store.Items(0).Title, "b");
    log.Take();

    EXPECT_EQ(store.PutRecord(Page(0, "undated")), -1);
    EXPECT_EQ(store.Count(), 2);
    EXPECT_EQ(log.Take(), Log{});
}

TEST_F(ScrapListEvents, Deletes) {
    const int32_t d = EncodeDate(2003, 6, 10);
    store.SetDate(d);
    store.PutRecord(Page(d, "a"));
    store.PutRecord(Page(d + 1, "b"));
    log.Take();

    EXPECT_FALSE(store.DeleteByDate(d + 5));
    EXPECT_TRUE(store.DeleteByDate(d + 0.75)) << "the time of day is cut off";
    EXPECT_EQ(log.Take(), (Log{"deleted " + std::to_string(d) + " present"}));
    EXPECT_EQ(store.Current(), EmptyDataInfo);
    ASSERT_EQ(store.Count(), 1);

    store.PutRecord(Page(d + 1, "b2"));
    EXPECT_TRUE(store.DeleteAt(0));
    EXPECT_EQ(store.Current(), EmptyDataInfo) << "whatever day the deleted record had";
    EXPECT_EQ(store.Count(), 0);
    EXPECT_FALSE(store.DeleteAt(0));
}

TEST_F(ScrapListEvents, DeleteHandlerMayChangeTheStore) {
    const int32_t d = EncodeDate(2003, 6, 10);
    store.SetDate(d);
    store.PutRecord(Page(d + 2, "c"));
    store.OnRecordDeleted = [d](TScrapList& sender, const TDataInfo&) {
        sender.PutRecord(Page(d, "added while deleting"));
    };
    EXPECT_TRUE(store.DeleteByDate(d + 2));
    ASSERT_EQ(store.Count(), 1);
    EXPECT_EQ(store.Items(0).Title, "added while deleting");
}

TEST_F(ScrapListEvents, FindByDate) {
    store.SetDate(EncodeDate(2003, 3, 1));
    for (int day = 1; day <= 31; day += 3) {
        store.PutRecord(Page(EncodeDate(2003, 3, day), std::to_string(day)));
    }
    for (int day = 1; day <= 31; ++day) {
        const TDataInfo& found = store.FindByDate(EncodeDate(2003, 3, day));
        EXPECT_EQ(found.Title, day % 3 == 1 ? std::to_string(day) : "") << day;
    }
    EXPECT_EQ(&store.FindByDate(EncodeDate(2003, 3, 1) + 0.5), &EmptyDataInfo)
        << "a time of day matches no record";
    EXPECT_EQ(&store.FindByDate(1e12), &EmptyDataInfo);
}

}  // namespace
