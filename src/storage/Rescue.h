#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "storage/DataInfo.h"

// What the end of a session could not write to the diary folder (a full disk, a folder made
// read-only) is kept as a rescue file outside it, and put back at the next start. A rescued page
// replaces its day only where nothing newer was written meanwhile: each page carries the day as
// the year file held it when the page was rescued, and a day on disk that differs from both is
// left as it is, the rescued page going beside the year file instead. Nothing is overwritten
// that the rescue did not start from.

// One day whose page could not be written.
struct TRescuedDay {
    std::string YearFile;   // the year file's name in the diary folder ("2026.dat")
    bool BaseKnown = true;  // false when the year file could not be read at the rescue
    TDataInfo Base;         // the day as the year file held it (Date 0: no page there)
    TDataInfo Page;         // the day as written (Date 0: the page was deleted)

    bool operator==(const TRescuedDay&) const = default;
};

// A note file that could not be written, whole.
struct TRescuedFile {
    std::string Name;       // the file's name in the diary folder ("Velmora.tdo")
    bool BaseKnown = true;  // false when the file could not be read at the rescue
    std::string Base;       // the file as it was on disk ("" when there was none)
    std::string Page;       // the file as it should have been written

    bool operator==(const TRescuedFile&) const = default;
};

struct TRescue {
    std::string Folder;  // the diary folder, ending with a path separator
    std::vector<TRescuedDay> Days;
    std::vector<TRescuedFile> Files;

    bool Empty() const { return Days.empty() && Files.empty(); }
    bool operator==(const TRescue&) const = default;
};

// Paths of files whose writes failed, each with what should have been written.
using TUnwrittenFiles = std::map<std::string, std::string>;

// The rescue of the year files and note files of folder (ending with a separator) whose writes
// failed: each year file's days that differ from the file on disk, read now, and each note file
// whole with the file on disk beside it.
TRescue RescueOf(const std::string& folder, const TUnwrittenFiles& years,
                 const TUnwrittenFiles& notes);

// The rescue file's text (CP932 lines of comma-separated fields) and back; nullopt for a text
// that is not a whole rescue file.
std::string RescueText(const TRescue& rescue);
std::optional<TRescue> ParseRescue(std::string text);

// The same for a person reading the session's journal: UTF-8, one block per day and file.
std::string RescueReadable(const TRescue& rescue);

// Where rescue files go, in order of preference: $XDG_STATE_HOME/Velmora/rescue (by default
// ~/.local/state/Velmora/rescue), then a folder of this user's own under /var/tmp.
std::vector<std::string> RescueFolders();

// Writes rescue, readable by its owner alone (folder 0700, file 0600), into the first of folders
// that takes it, creating the folder. Returns the file's path, or "" when no folder took it.
std::string WriteRescue(const TRescue& rescue, const std::vector<std::string>& folders);

// The rescue files in folders that belong to the diary folder, oldest first.
std::vector<std::string> FindRescues(const std::string& folder,
                                     const std::vector<std::string>& folders);

// What putting a rescue back did.
struct TRestoreResult {
    int Restored = 0;                     // days and note files put back into the diary
    std::vector<int32_t> KeptAside;       // days changed on disk since: left as they are
    std::vector<std::string> AsideFiles;  // where the rescued versions of those now lie
    std::string Error;                    // CP932; a write failed and the rescue file is kept
};

// Puts the rescue file at path back into its diary folder. A rescued day replaces the day on
// disk when the disk holds what the page started from, or no page; a day that holds something
// else, or a year file that does not read whole, keeps what it holds, and the rescued pages go
// into "<year file>.rescued" beside it (the first free of .rescued, .rescued2, ...) in the
// year-file format. Note files follow the same rule whole. Once everything is written the rescue
// file is removed; on a failure it stays for the next start.
TRestoreResult RestoreRescue(const std::string& path);
