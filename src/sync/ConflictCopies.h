#pragma once

#include <string>
#include <vector>

#include "notes/NoteMerge.h"
#include "storage/ConflictName.h"
#include "storage/DayMerge.h"
#include "storage/MachineState.h"

// The copies that a file-sync service leaves beside a diary file that two computers changed at
// once ("2026.sync-conflict-20261208-101500-ABCDEFG.dat", see ConflictName), taken in before the
// diary is read: a year file's days and a note file's notes are merged into the file by the
// three-way merge against this computer's base; the settings file takes the newer of the two.
// Each copy is then moved into "backup/HOST/conflicts/" (never deleted), so the version it
// holds stays where the user can find it, also for the days that were a conflict.

struct TConflictCopy {
    std::string Name;     // the copy's name as the service left it
    TConflictName Found;  // what its name tells
    std::string MovedTo;  // its path in the backup folder; "" when it stayed where it was
    std::vector<TDayConflict> Days;    // a year file's days changed differently on both sides
    std::vector<TNoteConflict> Notes;  // a note file's notes changed differently on both sides
    int Taken = 0;                     // days or notes the file took from the copy
    bool SettingsTaken = false;        // the settings file is now the copy's, which was newer
    std::string KeptAs;   // the settings file as it was before it took the copy, in the backup
    std::string Problem;  // CP932: why the copy was left alone; "" when it was taken in
};

struct TConflictCopiesOutcome {
    std::vector<TConflictCopy> Copies;  // in name order
    std::string Message;  // CP932: what was done, for the user; "" when nothing was found
};

// Whether dir holds a conflict copy of one of the diary files MergeConflictCopies takes in.
bool HoldsConflictCopies(const std::string& dir, const std::string& baseName);

// Takes in the conflict copies of the diary files in dir (year files and baseName + ".mem",
// ".tdo", ".ini"); other files, and copies of files that do not read whole (a damaged line
// would be lost by the rewrite), are left alone. stateDir is this computer's state folder for
// dir (StateFolder; made when a base is written), where each merged file's base is read and
// written; "" for none, which makes every day that differs a conflict. Never throws: a copy that
// cannot be taken in stays where it was, with the reason in its Problem and the Message.
TConflictCopiesOutcome MergeConflictCopies(const std::string& dir, const std::string& baseName,
                                           const std::string& stateDir,
                                           const std::string& host = HostFolderName());
