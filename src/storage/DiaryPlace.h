#pragma once

#include <string>
#include <vector>

// Where the diary of a start lies and where the program's own data files are read from.
//
// A portable install keeps the diary beside the executable; a system install (the program in
// /usr/bin) keeps each user's diary in $XDG_DATA_HOME/Velmora and reads the help and the shipped
// holiday rules from its share folder (/usr/share/velmora).

// The name of the file that marks a folder as a portable install: the executable's folder holding
// it (and writable) is the diary folder even before the first page is written.
inline constexpr const char* kPortableMarker = "Velmora.portable";

// What a start knows of its surroundings. Folders are absolute and end without a separator.
struct TPlaceFacts {
    std::string ExecutableFolder;
    std::string ExecutableName;  // the executable's name, without its folder
    bool ExecutableFolderWritable = false;
    std::vector<std::string> ExecutableFolderNames;  // the names of the entries in that folder
    std::string ChosenFolder;                        // named on the command line; "" when not
    std::string XdgDataHome;                         // $XDG_DATA_HOME; "" when unset
    std::string Home;                                // $HOME; "" when unset
};

struct TPlaces {
    std::string DiaryFolder;  // "" when no folder can be told (no HOME)
    // The names of the diary's files: "Velmora.ini", "Velmora.mem", ... A portable copy renamed
    // by its user keeps its files named after itself, as it always did; every other diary folder
    // uses "Velmora", whatever the installed executable is called.
    std::string BaseName;
    // The help, and the holiday rules a new diary folder starts with.
    std::string HelpFile;
    std::string ShippedHolidays;
    bool Portable = false;  // the diary lies beside the executable
};

// The rule: a folder named on the command line is the diary folder. Otherwise the executable's
// folder is, when it holds a diary (a year file, a note file or the settings), or the marker and
// can be written; else $XDG_DATA_HOME/Velmora (an absolute $XDG_DATA_HOME only), or
// ~/.local/share/Velmora. The program's own files (help, shipped holidays) lie beside the
// executable when its help does, else in the install's share folder beside its bin folder.
TPlaces ChooseDiaryPlaces(const TPlaceFacts& facts);

// The facts of this start for ChooseDiaryPlaces: the executable's folder as it is now and the
// environment. executablePath is absolute; chosenFolder is "" or absolute.
TPlaceFacts ReadPlaceFacts(const std::string& executablePath, const std::string& chosenFolder);

// Makes the diary folder of places ready before anything reads it. The default folder of a
// system install is created at the first start, for this user alone (mode 0700); a folder other
// than the executable's gets the shipped holiday rules when it has none yet. False when the
// folder is missing and cannot be made; a missing holiday file is no reason to stop the start.
bool PrepareDiaryFolder(const TPlaces& places, bool create);
