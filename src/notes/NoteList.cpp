#include "notes/NoteList.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

#include "notes/NoteMerge.h"
#include "notes/TitleOrder.h"
#include "storage/Clock.h"
#include "storage/CommaDB.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/FileEncoding.h"
#include "storage/Report.h"
#include "storage/SafeWrite.h"
#include "storage/TextReader.h"
#include "storage/VelmoraError.h"

namespace {

// A rule that comes back more than once a year: every month, chosen months, month end, a
// period or a week rule.
bool RepeatsWithinYear(const TNoteRec& note) {
    return !(note.MonthRule >= 1 && note.MonthRule <= 12) ||
           !(note.DayRule >= 1 && note.DayRule <= DayRuleLastDay);
}

// Months counted from year 0, so that December and the January after it are one apart.
int MonthCount(int32_t day) {
    const TYmd ymd = DecodeDate(day);
    return ymd.Year * 12 + ymd.Month - 1;
}

TNoteRec ReadNote(TCommaFile& line) {
    TNoteRec note;
    note.Kind = static_cast<uint8_t>(line.GetInteger());
    note.MonthRule = static_cast<uint16_t>(line.GetInteger());
    note.DayRule = static_cast<uint16_t>(line.GetInteger());
    note.StartYear = static_cast<uint16_t>(line.GetInteger());
    note.EndYear = static_cast<uint16_t>(line.GetInteger());
    note.EndDate = line.GetInteger();
    note.Title = line.GetText();
    return note;
}

// The order in which to put notes: by ruleOrder (negative, zero or positive), ties by title.
// Title keys are made once per note.
template <typename RuleOrder>
std::vector<size_t> SortedOrder(const std::vector<const TNoteRec*>& notes, RuleOrder ruleOrder) {
    std::vector<TTitleKey> keys;
    keys.reserve(notes.size());
    for (const TNoteRec* note : notes) {
        keys.push_back(MakeTitleKey(note->Title));
    }
    std::vector<size_t> order(notes.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int byRule = ruleOrder(*notes[a], *notes[b]);
        return byRule != 0 ? byRule < 0 : CompareTitleKeys(keys[a], keys[b]) < 0;
    });
    return order;
}

template <typename Pointer, typename RuleOrder>
void SortNotes(std::vector<Pointer>& notes, RuleOrder ruleOrder) {
    std::vector<const TNoteRec*> records;
    records.reserve(notes.size());
    for (const Pointer& note : notes) {
        records.push_back(&*note);
    }
    std::vector<Pointer> sorted;
    sorted.reserve(notes.size());
    for (const size_t i : SortedOrder(records, ruleOrder)) {
        sorted.push_back(std::move(notes[i]));
    }
    notes.swap(sorted);
}

template <typename T>
int Compare(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

TNoteRec* TNoteList::Items(int index) const {
    return index >= 0 && index < Count() ? notes_[index].get() : nullptr;
}

void TNoteList::LoadFromFile(const std::string& path) {
    Clear();
    if (path != fileName_) {
        written_ = TFileStamp();
    }
    fileName_ = path;
    backupPending_ = false;
    stamp_ = FileStampOf(path);
    // The file as written here is CP932, whatever its bytes happen to look like.
    const bool ownWrite = written_.Exists && written_ == stamp_;
    std::string bytes;
    try {
        if (!ReadFileIfExists(path, bytes)) {
            RememberBase(TMergeSource::Read);
            return;
        }
    } catch (const VelmoraError&) {
        // The notes it holds were not read: a later save must not replace them unseen.
        backupPending_ = true;
        throw;
    }
    if (!ownWrite && ConvertUtf8File(bytes)) {
        backupPending_ = true;
        ReportReadAsUtf8(path);
    }

    const int thisMonth = MonthCount(Today());
    TTextReader reader(std::move(bytes));
    TCommaFile line;
    std::vector<int> badLines;
    std::vector<int> cutLines;
    std::string firstError;
    bool linesLost = false;
    while (line.ReadLine(reader)) {
        const char first = line.PeekChar();
        if (first == ';' || first == 0) {
            // A save writes no comments.
            linesLost = linesLost || first == ';';
            continue;
        }
        TNoteRec note;
        try {
            note = ReadNote(line);
            if (line.FieldCut()) {
                cutLines.push_back(reader.LineNumber());
            }
            // What follows the last field is not read; a save would lose it.
            linesLost = linesLost || line.PeekChar() != 0;
        } catch (const VelmoraError& error) {
            if (badLines.empty()) {
                firstError = error.what();
            }
            badLines.push_back(reader.LineNumber());
            continue;
        }
        // A done repeating reminder is open again once the month it was done in is over; the
        // same month of another year is another month.
        if (note.Kind == NoteDone && MonthCount(note.EndDate) != thisMonth &&
            RepeatsWithinYear(note)) {
            note.Kind = NoteOpen;
        }
        note.NextDate = 0;
        AddNote(note);
    }
    SortByRule();
    modified_ = false;
    RememberBase(TMergeSource::Read);
    if (linesLost) {
        backupPending_ = true;
        ReportLinesASaveWouldLose(path);
    }
    if (!badLines.empty()) {
        backupPending_ = true;
        ReportBadLines(path, firstError, badLines);
    }
    if (!cutLines.empty()) {
        backupPending_ = true;
        ReportCutLines(path, cutLines);
    }
}

std::optional<TNoteRec> ParseNoteLine(std::string_view line) {
    TCommaFile fields;
    fields.SetLine(std::string(line));
    try {
        TNoteRec note = ReadNote(fields);
        if (fields.FieldCut() || fields.PeekChar() != 0)
            return std::nullopt;
        return note;
    } catch (const VelmoraError&) {
        return std::nullopt;
    }
}

bool TNoteList::ChangedOnDisk() const {
    const TFileStamp now = FileStampOf(fileName_);
    return !fileName_.empty() && now != stamp_ && !(written_.Exists && written_ == now);
}

TNoteDiskMerge TNoteList::TakeDiskChanges() {
    TNoteDiskMerge result;
    result.Path = fileName_;
    if (!ChangedOnDisk())
        return result;
    result.Stamp = FileStampOf(fileName_);
    std::string bytes;
    if (!result.Stamp.Exists || !ReadWholeFile(fileName_, bytes))
        return result;
    ConvertUtf8File(bytes);
    std::vector<TNoteRec> theirs;
    TTextReader reader(std::move(bytes));
    TCommaFile line;
    while (line.ReadLine(reader)) {
        if (line.PeekChar() == 0)
            continue;
        const std::optional<TNoteRec> note = ParseNoteLine(line.Line());
        // A line that does not read would be lost by the rewrite: the save keeps the file.
        if (!note)
            return result;
        theirs.push_back(*note);
    }
    std::vector<TNoteRec> ours;
    ours.reserve(notes_.size());
    for (const auto& note : notes_)
        ours.push_back(*note);
    const std::string name = std::filesystem::path(fileName_).filename().string();
    // The merge reads the bases from the state folder: the held ones go there first.
    bases_.Release();
    result.Merge = MergeNotes(LoadMergeBase(bases_.StateDir(), name), ours, theirs);
    // As TScrapList::TakeDiskChanges: without a state folder the file is kept beside.
    if (!result.Merge.Conflicts.empty() && bases_.StateDir().empty())
        KeepIfChangedOnDisk(fileName_, stamp_);
    stamp_ = result.Stamp;
    bases_.Remember(name, NoteMergeBase(theirs));
    if (result.Merge.TakenFromTheirs == 0 && result.Merge.Conflicts.empty())
        return result;
    const bool wasModified = modified_;
    // A note the merge kept as this list has it keeps its record, so that whoever holds it (the
    // reminder panel's rows, a command under way) still does.
    std::vector<std::unique_ptr<TNoteRec>> merged;
    for (const TNoteRec& note : result.Merge.Notes) {
        const auto same = std::find_if(notes_.begin(), notes_.end(), [&note](const auto& held) {
            return held && NoteLine(*held) == NoteLine(note);
        });
        merged.push_back(same != notes_.end() ? std::move(*same)
                                              : std::make_unique<TNoteRec>(note));
    }
    notes_ = std::move(merged);
    selection_.clear();
    SortByRule();
    modified_ = wasModified || NoteMergeBase(result.Merge.Notes) != NoteMergeBase(theirs);
    if (OnDiskMerged)
        OnDiskMerged(*this, result);
    return result;
}

std::string NoteLine(const TNoteRec& note) {
    return ValuesToLine({int32_t{note.Kind}, int32_t{note.MonthRule}, int32_t{note.DayRule},
                         int32_t{note.StartYear}, int32_t{note.EndYear}, note.EndDate, note.Title});
}

std::string TNoteList::FileText() const {
    std::string text;
    for (const auto& note : notes_) {
        text += NoteLine(*note);
        text += "\r\n";
    }
    return text;
}

void TNoteList::SaveToFile(const std::string& path) {
    const std::string target = path.empty() ? fileName_ : path;
    const bool ownFile = target == fileName_;
    if (ownFile)
        TakeDiskChanges();
    if (ownFile && KeepIfChangedOnDisk(target, stamp_)) {
        // The other program's version is kept; the file as it was loaded is gone anyway.
        stamp_ = FileStampOf(target);
        backupPending_ = false;
    }
    if (ownFile && backupPending_) {
        if (FileExists(target)) {
            KeepBackup(target);
        }
        backupPending_ = false;
    }
    SafeWriteFile(target, FileText());
    if (ownFile) {
        stamp_ = written_ = FileStampOf(target);
        RememberBase(TMergeSource::Written);
    }
    modified_ = false;
}

void TNoteList::RememberBase(TMergeSource source) {
    if (bases_.StateDir().empty())
        return;
    std::vector<TNoteRec> notes;
    notes.reserve(notes_.size());
    for (const auto& note : notes_)
        notes.push_back(*note);
    bases_.Remember(std::filesystem::path(fileName_).filename().string(), NoteMergeBase(notes),
                    source);
}

void TNoteList::Save() {
    if (!fileName_.empty()) {
        SaveToFile(fileName_);
    }
}

int TNoteList::AddNote(const TNoteRec& note) {
    notes_.push_back(std::make_unique<TNoteRec>(note));
    modified_ = true;
    return Count() - 1;
}

TNoteRec* TNoteList::NewNote() {
    const TYmd today = DecodeDate(Today());
    TNoteRec note;
    note.Kind = NoteOpen;
    note.MonthRule = static_cast<uint16_t>(today.Month);
    note.DayRule = static_cast<uint16_t>(today.Day);
    note.StartYear = static_cast<uint16_t>(today.Year);
    note.EndYear = static_cast<uint16_t>(today.Year);
    note.EndDate = 0;
    note.Title = FormatMessage(Sjis("項目%s"), std::to_string(Count()));
    return Items(AddNote(note));
}

bool TNoteList::DeleteNote(const TNoteRec* note) {
    const auto found = std::find_if(notes_.begin(), notes_.end(),
                                    [note](const auto& owned) { return owned.get() == note; });
    if (found == notes_.end()) {
        return false;
    }
    // The selection must not keep a pointer to a freed record.
    selection_.erase(std::remove(selection_.begin(), selection_.end(), note), selection_.end());
    notes_.erase(found);
    modified_ = true;
    return true;
}

void TNoteList::Clear() {
    selection_.clear();
    notes_.clear();
}

void TNoteList::SortByRule() {
    SortNotes(notes_, [](const TNoteRec& a, const TNoteRec& b) {
        if (a.MonthRule != b.MonthRule) {
            return Compare(a.MonthRule, b.MonthRule);
        }
        if (a.DayRule != b.DayRule) {
            return Compare(a.DayRule, b.DayRule);
        }
        return Compare(b.Kind, a.Kind);
    });
}

void TNoteList::SortSelection() {
    SortNotes(selection_, [](const TNoteRec& a, const TNoteRec& b) {
        return Compare(WholeDay(a.NextDate), WholeDay(b.NextDate));
    });
}

void TNoteList::SortSelectionByDay() {
    // A memorial's occurrence is the day of death in its own year: only the day counts.
    SortNotes(selection_, [](const TNoteRec& a, const TNoteRec& b) {
        return Compare(DecodeDate(WholeDay(a.NextDate)).Day, DecodeDate(WholeDay(b.NextDate)).Day);
    });
}

void TNoteList::SelectForDate(double referenceDay) {
    selection_.clear();
    for (const auto& note : notes_) {
        if (CalcNextDate(*note, referenceDay) &&
            (note->Kind == NoteOpen || note->NextDate >= WholeDay(referenceDay))) {
            selection_.push_back(note.get());
        }
    }
    SortSelection();
}

void TNoteList::SelectForMonth(double referenceDay) {
    selection_.clear();
    const TYmd reference = DecodeDate(WholeDay(referenceDay));
    for (const auto& note : notes_) {
        if (note->Kind == NoteHidden) {
            continue;
        }
        CalcNextDate(*note, referenceDay);
        if (reference.Year >= note->StartYear &&
            DecodeDate(WholeDay(note->NextDate)).Month == reference.Month) {
            selection_.push_back(note.get());
        }
    }
    SortSelectionByDay();
}

TNoteRec* TNoteList::SelectedNote(int index) const {
    return index >= 0 && index < SelectedCount() ? selection_[index] : nullptr;
}
