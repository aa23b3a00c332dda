#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/MachineState.h"

// Daily copies of the diary's files, so that years of pages never depend on a single copy.
// Each day's copies go into "backup/HOST/YYYY-MM-DD/" in the diary folder, HOST being this
// computer's folder (HostFolderName), so that two computers sharing the folder through a sync
// service never write the same file and each keeps its own days: the year files
// ("2026.dat"), the two note files and the settings file (base name + ".mem", ".tdo", ".ini").
// A file goes into today's folder when its size or modification time differs from its newest
// copy in the folders that are kept (each copy carries its file's modification time, so no file
// is read to tell); a day's folder keeps the files as the day's first start found them. The newest
// kKeptBackupFolders folders of this computer are kept, older ones removed once today's copies
// are all made, so a file whose newest copy lay in a removed folder has been copied again first.
// Day folders directly under "backup/", as earlier versions wrote them, may be any computer's:
// they are neither counted nor removed, and stay for the user to read.

inline constexpr int kKeptBackupFolders = 30;

struct TBackupOutcome {
    std::vector<std::string> Copied;   // names of the files copied today, in name order
    std::vector<std::string> Removed;  // names of the day folders removed, oldest first
    std::string Problem;               // CP932 message of the first failure; "" when none
};

// "2026-03-09" for the day number of 9 March 2026.
std::string BackupFolderName(int32_t dayNumber);

// The names of the files of the diary in dir that are backed up, in name order.
std::vector<std::string> BackedUpFiles(const std::string& dir, const std::string& baseName);

// Makes today's copies in dir (the diary folder) and removes folders past the kept ones. Never
// throws: the first failure is reported once through ReportMessage, with the backup folder and
// the words that the diary itself is untouched, and is returned in Problem; after a failed copy
// no folder is removed.
// The copies have the access modes of their files, and folders it creates the diary folder's,
// so a private diary stays private in its backup; copies and folders kept from earlier days are
// narrowed to that when they are more open.
TBackupOutcome BackUpDiary(const std::string& dir, const std::string& baseName, int32_t today,
                           int keptFolders = kKeptBackupFolders,
                           const std::string& host = HostFolderName());

struct TTidyOutcome {
    int Removed = 0;                 // temporaries that held nothing a file lacks
    std::vector<std::string> Moved;  // names of the files moved into "backup/", in name order
};

// Clears what saves cut short by a crash left in dir, for the one copy of Velmora that works on
// it. A temporary of SafeWriteFile (see TemporaryOwner) is removed when it is empty or its file
// was written after it; otherwise it may hold the newest version of its file and is moved into
// "backup/" as "2026.dat.interrupted-Ab12Cd". A file named as earlier versions named their
// temporaries (a diary file's name, "." and six letters or digits: "2026.dat.Ab12Cd") may be a
// copy the user keeps, such as "2024.dat.backup": it is moved into "backup/" under its own name,
// never removed. Backups (".bak", ".bak2", ...) and all other files stay. A move never replaces
// a file (a taken name gets ".2", ".3", ...); a file that cannot be moved stays where it is. The
// moved files are reported once through ReportMessage.
TTidyOutcome TidyTemporaries(const std::string& dir, const std::string& baseName);

// Moves the file at from into the folder "backup/" + sub of the diary folder dir, which is made
// when missing (as private as the backup's own folders), under name, or name + ".2", ".3", ...
// when that is taken: a file there is never replaced. Returns the path the file got; "" when it
// could not be moved (it then stays where it was).
std::string MoveIntoBackup(const std::string& dir, const std::string& sub, const std::string& from,
                           const std::string& name);
