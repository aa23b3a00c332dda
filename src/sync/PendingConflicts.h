#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "notes/NoteMerge.h"
#include "storage/DayMerge.h"

struct TConflictCopiesOutcome;

// The other computer's versions of the days and notes that were changed differently on both
// sides, kept until the user has chosen between the two. The diary file keeps this computer's
// version; the other one is kept here, in this computer's state folder (file "conflicts"), so
// that a quit before the choice loses nothing.

struct TPendingConflict {
    std::string File;    // the diary file: "2026.dat", "Velmora.tdo"
    std::string Key;     // a year file's day number in decimal; a note's title
    std::string Source;  // the other version's file name: the diary file itself, or a conflict copy
    int64_t Time = 0;    // when the other version was written, seconds since 1970
    // The other version's line as its file stores it, without its line end; nullopt when the
    // other computer deleted the day or note.
    std::optional<std::string> Theirs;

    bool operator==(const TPendingConflict&) const = default;
};

TPendingConflict PendingDay(const std::string& file, const std::string& source, int64_t time,
                            const TDayConflict& conflict);
TPendingConflict PendingNote(const std::string& file, const std::string& source, int64_t time,
                             const TNoteConflict& conflict);

// Whether the file is a year file (its pending keys are days) rather than a note file.
bool IsYearConflict(const TPendingConflict& conflict);

// Adds the conflicts to list: one of the same file and key replaces the older, whose other
// version the newer one has met since.
void AddPendingConflicts(std::vector<TPendingConflict>& list,
                         const std::vector<TPendingConflict>& added);

// The list as the state file holds it, one comma-separated line per conflict; and back. A line
// that does not read is skipped.
std::string PendingConflictsText(const std::vector<TPendingConflict>& list);
std::vector<TPendingConflict> ParsePendingConflicts(const std::string& text);

// The list kept in stateDir; empty when there is none or stateDir is "".
std::vector<TPendingConflict> LoadPendingConflicts(const std::string& stateDir);
// Writes the list into stateDir (made when missing; the file is removed when the list is
// empty). Throws VelmoraError when it cannot be written; nothing for stateDir "".
void SavePendingConflicts(const std::string& stateDir, const std::vector<TPendingConflict>& list);

// Adds what the conflict copies taken in at start left undecided to the list in stateDir. Never
// throws: the copies themselves stay in the backup folder whatever happens here.
void KeepCopyConflicts(const std::string& stateDir, const TConflictCopiesOutcome& outcome);
