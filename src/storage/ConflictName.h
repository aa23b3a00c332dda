#pragma once

#include <optional>
#include <string>
#include <string_view>

// The names file-sync services give the second version of a file that two computers changed at
// once, so that Velmora finds such a copy of a diary file and merges it instead of leaving it
// unread:
//   Syncthing  "2026.sync-conflict-20261208-101500-ABCDEFG.dat"
//   Nextcloud  "2026 (conflicted copy 2026-12-08 101500).dat", with the user's name before the
//              date in some versions ("(conflicted copy Taro 2026-12-08 101500)"), and
//              "2026_conflict-20261208-101500.dat" in older versions
//   Dropbox    "2026 (Taro's conflicted copy 2026-12-08).dat", a number after the date when that
//              name was taken ("… 2026-12-08 (1))")
// The marker stands before the last extension, or at the end of a name without one.

enum class TSyncService { Syncthing, Nextcloud, Dropbox };

struct TConflictName {
    std::string Original;  // the name of the file it is a copy of: "2026.dat"
    TSyncService Service = TSyncService::Syncthing;
    int Year = 0;        // the date the service put in the name
    int Month = 0;       // 1..12
    int Day = 0;         // 1..31
    int Hour = -1;       // 0..23; -1 when the name holds no time (Dropbox)
    int Minute = -1;     // 0..59; -1 likewise
    int Second = -1;     // 0..59; -1 likewise
    std::string Device;  // Syncthing's short device id, Dropbox's computer or user name, the
                         // user Nextcloud names; "" when the name holds none
};

// What a conflict copy's name tells; nullopt for a name that is not one (a diary file's own name,
// a service's temporary file, a name that only looks like one: a date that is no date).
std::optional<TConflictName> ParseConflictName(std::string_view name);
