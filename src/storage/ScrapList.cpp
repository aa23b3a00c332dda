#include "storage/ScrapList.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>

#include "storage/Cp932.h"
#include "storage/DayMerge.h"
#include "storage/DayNumber.h"
#include "storage/FileEncoding.h"
#include "storage/Report.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"
#include "storage/YearFile.h"

namespace {

std::string Crlf() {
    return "\r\n";
}

}  // namespace

void TScrapList::SetDate(int32_t d) {
    const TYmd ymd = DecodeDate(d);
    uint8_t flags = 0;
    if (d != currentDate_) {
        if (OnLeaveDate) {
            OnLeaveDate(*this, currentDate_);
        }
        flags |= DayChanged;
    }
    if (EncodeDate(ymd.Year, ymd.Month, 1) != DatePart(0)) {
        flags |= MonthChanged;
    }
    if (ymd.Year != DatePart(1)) {
        flags |= YearChanged;
        LoadFromFile(YearFilePath(dataDir_, ymd.Year));
    }
    currentDate_ = d;
    const auto found = std::find_if(records_.begin(), records_.end(),
                                    [d](const auto& rec) { return rec->Date == d; });
    current_ = found != records_.end() ? **found : EmptyDataInfo;
    if ((flags & YearChanged) && OnListChanged) {
        OnListChanged(*this);
    }
    if (flags != 0 && OnDateChanged) {
        OnDateChanged(*this, flags, static_cast<uint16_t>(ymd.Year),
                      static_cast<uint16_t>(ymd.Month), static_cast<uint16_t>(ymd.Day));
    }
}

const TDataInfo& TScrapList::FindByDate(double dateTime) const {
    if (!(dateTime >= INT32_MIN && dateTime <= INT32_MAX) || std::trunc(dateTime) != dateTime) {
        return EmptyDataInfo;
    }
    const auto date = static_cast<int32_t>(dateTime);
    const auto found =
        std::lower_bound(records_.begin(), records_.end(), date,
                         [](const auto& rec, int32_t value) { return rec->Date < value; });
    return found != records_.end() && (*found)->Date == date ? **found : EmptyDataInfo;
}

int TScrapList::PutRecord(TDataInfo rec) {
    if (rec.Date == 0) {
        return -1;
    }
    modified_ = true;
    current_ = rec;
    for (size_t i = 0; i < records_.size(); ++i) {
        if (records_[i]->Date == rec.Date) {
            *records_[i] = std::move(rec);
            if (OnRecordChanged) {
                OnRecordChanged(*this, *records_[i]);
            }
            return static_cast<int>(i);
        }
    }
    const int index = Count();
    records_.push_back(std::make_unique<TDataInfo>(std::move(rec)));
    if (loading_) {
        return index;
    }
    const TDataInfo& added = *records_.back();
    SortByDate();
    if (OnListChanged) {
        OnListChanged(*this);
    }
    if (OnRecordChanged) {
        OnRecordChanged(*this, added);
    }
    return index;
}

bool TScrapList::DeleteByDate(double dateTime) {
    const int32_t day = WholeDay(dateTime);
    for (int i = 0; i < Count(); ++i) {
        if (records_[i]->Date == day) {
            return DeleteAt(i);
        }
    }
    return false;
}

bool TScrapList::DeleteAt(int index) {
    if (index < 0 || index >= Count()) {
        return false;
    }
    modified_ = true;
    current_ = EmptyDataInfo;
    const TDataInfo* doomed = records_[index].get();
    if (OnRecordDeleted) {
        OnRecordDeleted(*this, *doomed);
    }
    // The handler may have changed the list; remove the record wherever it is now.
    std::erase_if(records_, [doomed](const auto& rec) { return rec.get() == doomed; });
    return true;
}

void TScrapList::SortByDate() {
    std::sort(records_.begin(), records_.end(),
              [](const auto& a, const auto& b) { return a->Date < b->Date; });
}

int32_t TScrapList::DatePart(int kind) const {
    const TYmd ymd = DecodeDate(currentDate_);
    switch (kind) {
        case 0:
            return EncodeDate(ymd.Year, ymd.Month, 1);
        case 1:
            return ymd.Year;
        case 2:
            return ymd.Month;
        case 3:
            return ymd.Day;
        default:
            return -1;
    }
}

void TScrapList::LoadFromFile(const std::string& path) {
    // A year held back unsaved is read from memory, so it is not written just before.
    std::optional<std::string> held = TakeUnsaved(path);
    SaveIfModified();
    if (modified_ && !fileName_.empty()) {
        unsaved_[fileName_] = YearFileContents();
    }
    if (!held) {
        held = TakeUnsaved(path);
    }
    Clear();
    fileName_ = path;
    loading_ = true;
    if (held) {
        ReadYearFile(path, std::move(*held));
    } else {
        // A year file as written here is CP932, whatever its bytes happen to look like.
        const bool ownWrite = WroteAsItIs(path);
        stamps_[path] = FileStampOf(path);
        try {
            std::string contents;
            if (ReadFileIfExists(path, contents)) {
                if (!ownWrite && ConvertUtf8File(contents)) {
                    keepBeforeSave_.insert(path);
                    ReportReadAsUtf8(path);
                }
                ReadYearFile(path, std::move(contents));
            }
            RememberBase(path, {}, TMergeSource::Read);
        } catch (const VelmoraError& e) {
            keepBeforeSave_.insert(path);
            ReportMessage(e.what() + Crlf() + path + Crlf() + Sjis("データが読込めません!"));
        }
    }
    // Files are written in date order; sorting keeps FindByDate right for one that is not.
    SortByDate();
    loading_ = false;
    modified_ = held.has_value();
}

bool TScrapList::WroteAsItIs(const std::string& path) const {
    const auto written = written_.find(path);
    return written != written_.end() && written->second == FileStampOf(path);
}

std::optional<std::string> TScrapList::TakeUnsaved(const std::string& path) {
    const auto found = unsaved_.find(path);
    if (found == unsaved_.end()) {
        return std::nullopt;
    }
    std::string contents = std::move(found->second);
    unsaved_.erase(found);
    return contents;
}

void TScrapList::ReadYearFile(const std::string& path, std::string contents) {
    TYearFileText text = ParseYearFile(std::move(contents));
    for (TDataInfo& rec : text.Records) {
        records_.push_back(std::make_unique<TDataInfo>(std::move(rec)));
    }
    // A save would lose what was not read, so the file is kept before it.
    if (!text.ReadWhole()) {
        keepBeforeSave_.insert(path);
    }
    if (text.LinesASaveWouldLose) {
        ReportLinesASaveWouldLose(path);
    }
    if (!text.BadLines.empty()) {
        ReportBadLines(path, text.FirstError, text.BadLines);
    }
    if (!text.CutLines.empty()) {
        ReportCutLines(path, text.CutLines);
    }
}

void TScrapList::SaveIfModified() {
    if (modified_) {
        SaveToFile();
    }
    for (auto it = unsaved_.begin(); it != unsaved_.end();) {
        it = WriteYearFile(it->first, it->second) ? unsaved_.erase(it) : std::next(it);
    }
}

void TScrapList::SaveToFile() {
    if (fileName_.empty()) {
        return;
    }
    TakeDiskChanges();
    SortByDate();
    if (WriteYearFile(fileName_, YearFileContents())) {
        modified_ = false;
    }
}

void TScrapList::Clear() {
    records_.clear();
    modified_ = true;
}

bool TScrapList::ChangedOnDisk() const {
    const auto seen = stamps_.find(fileName_);
    return !fileName_.empty() && seen != stamps_.end() && seen->second != FileStampOf(fileName_) &&
           !WroteAsItIs(fileName_);
}

TDiskMerge TScrapList::TakeDiskChanges() {
    TDiskMerge result;
    result.Path = fileName_;
    if (!ChangedOnDisk())
        return result;
    // The stamp before the read: a change made while reading shows as a change again.
    result.Stamp = FileStampOf(fileName_);
    const TYearFileRead theirs = ::ReadYearFile(fileName_);
    if (!theirs.Error.empty() || !theirs.Text.ReadWhole() || !result.Stamp.Exists)
        return result;
    const std::string name = std::filesystem::path(fileName_).filename().string();
    std::vector<TDataInfo> ours;
    ours.reserve(records_.size());
    for (const auto& rec : records_)
        ours.push_back(*rec);
    // The merge reads the bases from the state folder: the held ones go there first.
    bases_.Release();
    result.Merge = MergeYear(LoadMergeBase(bases_.StateDir(), name), ours, theirs.Text.Records);
    // Without a state folder the other versions of conflicting days have no place to wait in:
    // the other program's file is kept beside, as before a write over it.
    if (!result.Merge.Conflicts.empty() && bases_.StateDir().empty())
        KeepIfChangedOnDisk(fileName_, stamps_[fileName_]);
    stamps_[fileName_] = result.Stamp;
    if (theirs.ReadAsUtf8)
        keepBeforeSave_.insert(fileName_);
    // What this computer now has read of the file is the other's version; what the store keeps
    // of its own counts as changed against it, and is written by the next save.
    bases_.Remember(name, YearMergeBase(theirs.Text.Records));
    const bool wasModified = modified_;
    for (const int32_t date : result.Merge.ChangedDays) {
        const auto merged = std::find_if(result.Merge.Records.begin(), result.Merge.Records.end(),
                                         [date](const TDataInfo& rec) { return rec.Date == date; });
        const auto held = std::find_if(records_.begin(), records_.end(),
                                       [date](const auto& rec) { return rec->Date == date; });
        if (merged == result.Merge.Records.end()) {
            if (held != records_.end()) {
                if (OnRecordDeleted)
                    OnRecordDeleted(*this, **held);
                records_.erase(held);
            }
        } else if (held != records_.end()) {
            **held = *merged;
        } else {
            records_.push_back(std::make_unique<TDataInfo>(*merged));
        }
        if (date == currentDate_)
            current_ = merged == result.Merge.Records.end() ? EmptyDataInfo : *merged;
    }
    SortByDate();
    modified_ = wasModified || result.Merge.Records != theirs.Text.Records;
    if (result.Merge.ChangedDays.empty() && result.Merge.Conflicts.empty())
        return result;
    if (OnListChanged)
        OnListChanged(*this);
    if (OnDiskMerged)
        OnDiskMerged(*this, result);
    return result;
}

std::map<std::string, std::string> TScrapList::UnwrittenYears() {
    std::map<std::string, std::string> years = unsaved_;
    if (modified_ && !fileName_.empty()) {
        SortByDate();
        years[fileName_] = YearFileContents();
    }
    return years;
}

void TScrapList::KeepBeforeSave() {
    if (!fileName_.empty()) {
        keepBeforeSave_.insert(fileName_);
    }
}

std::string TScrapList::YearFileContents() {
    std::vector<const TDataInfo*> records;
    records.reserve(records_.size());
    for (const auto& rec : records_) {
        records.push_back(rec.get());
    }
    return YearFileText(records);
}

// The year file at path as this computer now knows it, the records of the loaded year or the
// text written for another, is the base of a later merge.
void TScrapList::RememberBase(const std::string& path, const std::string& written,
                              TMergeSource source) {
    if (bases_.StateDir().empty())
        return;
    const std::string name = std::filesystem::path(path).filename().string();
    if (path != fileName_) {
        bases_.Remember(name, YearMergeBase(ParseYearFile(written).Records), source);
        return;
    }
    // The records as they are now, made into a base when it is written.
    std::vector<TDataInfo> records;
    records.reserve(records_.size());
    for (const auto& rec : records_)
        records.push_back(*rec);
    bases_.Remember(
        name, [records = std::move(records)] { return YearMergeBase(records); }, source);
}

bool TScrapList::WriteYearFile(const std::string& path, const std::string& contents) {
    try {
        const auto seen = stamps_.find(path);
        if (seen != stamps_.end() && KeepIfChangedOnDisk(path, seen->second)) {
            // The other program's version is kept: it is now the one seen, and the file as it
            // was loaded is gone anyway.
            seen->second = FileStampOf(path);
            keepBeforeSave_.erase(path);
        }
        if (keepBeforeSave_.contains(path) && FileExists(path)) {
            KeepBackup(path);
        }
        keepBeforeSave_.erase(path);
        SafeWriteFile(path, contents);
        stamps_[path] = written_[path] = FileStampOf(path);
        RememberBase(path, contents, TMergeSource::Written);
        return true;
    } catch (const VelmoraError& e) {
        ReportMessage(e.what() + Crlf() + Sjis("データが書込めません!"));
        return false;
    }
}
