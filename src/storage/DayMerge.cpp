#include "storage/DayMerge.h"

#include <algorithm>
#include <string>

#include "storage/YearFile.h"

namespace {

TMergeItem ItemOf(const TDataInfo& rec) {
    return {std::to_string(rec.Date), YearFileText({&rec})};
}

std::vector<TMergeItem> ItemsOf(const std::vector<TDataInfo>& records) {
    std::vector<TMergeItem> items;
    items.reserve(records.size());
    for (const TDataInfo& rec : records)
        items.push_back(ItemOf(rec));
    return items;
}

// The record behind an item: items are made from records one to one, in order.
const TDataInfo* RecordOf(const TMergeItem* item, const std::vector<TMergeItem>& items,
                          const std::vector<TDataInfo>& records) {
    return item ? &records[static_cast<size_t>(item - items.data())] : nullptr;
}

std::optional<TDataInfo> Copy(const TDataInfo* rec) {
    return rec ? std::optional<TDataInfo>(*rec) : std::nullopt;
}

}  // namespace

TMergeBase YearMergeBase(const std::vector<TDataInfo>& records) {
    return MergeBaseOf(ItemsOf(records));
}

TYearMerge MergeYear(const TMergeBase& base, const std::vector<TDataInfo>& ours,
                     const std::vector<TDataInfo>& theirs) {
    const std::vector<TMergeItem> ourItems = ItemsOf(ours);
    const std::vector<TMergeItem> theirItems = ItemsOf(theirs);
    TYearMerge merge;
    for (const TMergedKey& key : MergeKeys(base, ourItems, theirItems)) {
        const TDataInfo* our = RecordOf(key.Ours, ourItems, ours);
        const TDataInfo* their = RecordOf(key.Theirs, theirItems, theirs);
        const TMergeItem* kept = key.Kept();
        const TDataInfo* rec = kept == key.Ours ? our : their;
        if (rec)
            merge.Records.push_back(*rec);
        const int32_t date = (our ? our : their)->Date;
        if (key.Rule == TMergeRule::Conflict)
            merge.Conflicts.push_back({date, Copy(our), Copy(their)});
        if (kept != key.Ours)
            merge.ChangedDays.push_back(date);
    }
    const auto byDate = [](const auto& a, const auto& b) { return a.Date < b.Date; };
    std::sort(merge.Records.begin(), merge.Records.end(), byDate);
    std::sort(merge.Conflicts.begin(), merge.Conflicts.end(), byDate);
    std::sort(merge.ChangedDays.begin(), merge.ChangedDays.end());
    return merge;
}
