#include "storage/MovePage.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/Report.h"
#include "storage/SafeWrite.h"
#include "storage/ScrapList.h"
#include "storage/VelmoraError.h"
#include "storage/YearFile.h"

namespace {

// Puts rec back as the store's record of its day, or removes that day's record when rec is empty.
void Restore(TScrapList& store, int32_t date, const TDataInfo& rec) {
    if (rec.Date != 0) {
        store.PutRecord(rec);
    } else {
        store.DeleteByDate(date);
    }
}

TMoveResult MoveWithinYear(TScrapList& store, const TDataInfo& moved, int32_t from, int32_t to) {
    const TDataInfo replaced = store.FindByDate(to);
    TDataInfo rec = moved;
    rec.Date = to;
    store.PutRecord(rec);
    store.DeleteByDate(from);
    store.SaveToFile();
    if (!store.Modified()) {
        return {true, {}};
    }
    Restore(store, to, replaced);
    store.PutRecord(moved);
    return {};
}

TMoveResult MoveToOtherYear(TScrapList& store, const TDataInfo& moved, int32_t to) {
    if (store.HoldsUnsaved()) {
        return {false, Sjis("書込めなかった日記があるため、別の年へは移動できません")};
    }
    const std::string path = YearFilePath(store.DataDir(), DecodeDate(to).Year);
    const TYearFileRead target = ReadYearFile(path, TYearFileFields::All, store.WroteAsItIs(path));
    if (!target.Error.empty() || !target.Text.ReadWhole()) {
        return {false,
                FormatMessage(Sjis("ファイル %s は一部しか読めないため、移動できません"), path)};
    }
    std::string before;
    const bool existed = ReadWholeFile(path, before);
    std::vector<TDataInfo> records = target.Text.Records;
    std::erase_if(records, [to](const TDataInfo& r) { return r.Date == to; });
    TDataInfo rec = moved;
    rec.Date = to;
    records.push_back(rec);
    std::sort(records.begin(), records.end(),
              [](const TDataInfo& a, const TDataInfo& b) { return a.Date < b.Date; });
    std::vector<const TDataInfo*> lines;
    for (const TDataInfo& r : records) {
        lines.push_back(&r);
    }
    try {
        if (existed && target.ReadAsUtf8) {
            KeepBackup(path);
        }
        SafeWriteFile(path, YearFileText(lines));
    } catch (const VelmoraError& e) {
        return {false, std::string(e.what()) + "\r\n" + Sjis("データが書込めません!")};
    }
    store.DeleteByDate(moved.Date);
    store.SaveToFile();
    if (!store.Modified()) {
        return {true, {}};
    }
    // The page stays where it was: the other year goes back to what it held.
    store.PutRecord(moved);
    try {
        if (existed) {
            SafeWriteFile(path, before);
        } else {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    } catch (const VelmoraError& e) {
        return {false, e.what()};
    }
    return {};
}

}  // namespace

TMoveResult MovePage(TScrapList& store, int32_t from, int32_t to) {
    const TDataInfo moved = store.FindByDate(from);
    if (moved.Date == 0) {
        return {false, Sjis("移動する日記がありません")};
    }
    if (from == to) {
        return {true, {}};
    }
    if (DecodeDate(from).Year == DecodeDate(to).Year) {
        return MoveWithinYear(store, moved, from, to);
    }
    return MoveToOtherYear(store, moved, to);
}
