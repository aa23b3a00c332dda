#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "notes/NoteMerge.h"
#include "notes/NoteRec.h"
#include "storage/SafeWrite.h"
#include "storage/ThreeWayMerge.h"

// The line a note file stores for note (without its line end).
std::string NoteLine(const TNoteRec& note);
// The note of such a line; nullopt when it does not read.
std::optional<TNoteRec> ParseNoteLine(std::string_view line);

// What a note list took from another program's version of its file (TakeDiskChanges).
struct TNoteDiskMerge {
    std::string Path;  // the note file
    TFileStamp Stamp;  // the other version's stamp, as it was read
    TNoteMerge Merge;  // TakenFromTheirs: notes taken; Conflicts: ours kept, both here
};

// A list of notes kept in one file (".mem" for anniversaries, ".tdo" for reminders), one note
// per comma-separated line. Records are owned by the list and keep their address while in it.
class TNoteList {
public:
    // Raised after the list took another program's version of its file in, when that changed a
    // note or met a conflict. The list's records are new ones then.
    std::function<void(TNoteList& sender, const TNoteDiskMerge& merge)> OnDiskMerged;

    int Count() const { return static_cast<int>(notes_.size()); }
    TNoteRec* Items(int index) const;  // nullptr when out of range

    const std::string& FileName() const { return fileName_; }
    bool Modified() const { return modified_; }
    // This computer's state folder for the diary (StateFolder), where the base of the note file
    // (NoteMergeBase) is kept as it is read or written, for merging another computer's version
    // of it later; "" (the default) keeps none.
    void SetStateDir(std::string dir) { bases_.SetStateDir(std::move(dir)); }
    // Holds the base back until ReleaseBases (TMergeBases), e.g. while the window starts.
    void HoldBases() { bases_.Hold(); }
    void ReleaseBases() { bases_.Release(); }
    void SetModified(bool modified) { modified_ = modified; }

    // Replaces the contents by the notes of the file at path and remembers path, also when the
    // file does not exist (an empty list). A line that cannot be read is skipped and the rest
    // read on; the skipped lines are reported once through ReportMessage, and the file as found
    // is kept beside it (KeepBackup) before the first save over it. Throws VelmoraError when the
    // file exists but cannot be read (or is a folder); the file is then kept the same way before
    // a save, which fails while the file stays unreadable. A file in UTF-8 is read as such,
    // reported, and kept the same way (not a file still as the list last wrote it, which is
    // CP932); so is a file with comment lines, which a save drops, and
    // one whose lines end inside a title (cut short).
    void LoadFromFile(const std::string& path);
    // Writes every note in list order to path ("" means FileName) through SafeWriteFile and
    // clears Modified. Before writing over FileName, a file that another program changed since
    // it was read or written here is kept and reported (KeepIfChangedOnDisk). On failure throws
    // VelmoraError and leaves the file and Modified as they were.
    void SaveToFile(const std::string& path = {});
    // Whether another program changed the file at FileName since the list last read or wrote it.
    bool ChangedOnDisk() const;
    // Reads the file at FileName again when another program changed it and merges it note by
    // note (MergeNotes) against the base in the state folder, as TScrapList::TakeDiskChanges
    // does with days; a file that does not read whole is left to the save, which keeps it
    // beside. A save over FileName runs this first.
    TNoteDiskMerge TakeDiskChanges();
    // SaveToFile(FileName) when a file name is known; otherwise nothing.
    void Save();

    // Appends an owned copy of note; returns its index.
    int AddNote(const TNoteRec& note);
    // Appends an open note for today titled "項目<n>", n the number of notes before it.
    TNoteRec* NewNote();
    // Frees the record with this identity, and drops it from the selection; false when it is
    // not in the list.
    bool DeleteNote(const TNoteRec* note);
    // Frees every record and empties the selection; Modified is left alone.
    void Clear();

    // MonthRule, then DayRule (both ascending as unsigned), then Kind descending, then Title;
    // notes equal in all of these keep their order.
    void SortByRule();

    // The notes active in the year of referenceDay whose occurrence is not before it, open
    // reminders also when it is; in selection order.
    void SelectForDate(double referenceDay);
    // The notes not hidden, started by the year of referenceDay, whose occurrence falls in its
    // month; by the day of the month, then by title.
    void SelectForMonth(double referenceDay);
    // The selection is valid until the list next changes.
    int SelectedCount() const { return static_cast<int>(selection_.size()); }
    TNoteRec* SelectedNote(int index) const;  // nullptr when out of range

    // The text SaveToFile writes: every note in list order.
    std::string FileText() const;

private:
    void SortSelection();
    void RememberBase(TMergeSource source);
    void SortSelectionByDay();

    std::vector<std::unique_ptr<TNoteRec>> notes_;
    std::vector<TNoteRec*> selection_;
    std::string fileName_;
    TMergeBases bases_;
    bool modified_ = false;
    // The loaded file had lines that could not be read: keep it before writing over it.
    bool backupPending_ = false;
    // The file at FileName as it was last read or written here.
    TFileStamp stamp_;
    // The file at FileName as it was last written here; not Exists before the first write.
    TFileStamp written_;
};
