#include "storage/DiaryPlace.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include "storage/MachineState.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"

namespace {

std::string BaseOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool IsYearFile(const std::string& name) {
    return name.size() == 8 && name.ends_with(".dat") &&
           std::all_of(name.begin(), name.begin() + 4,
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool Holds(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The parent of an absolute folder; "/" for a folder in the root.
std::string Parent(const std::string& folder) {
    const size_t slash = folder.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : folder.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + '/' + name;
}

}  // namespace

TPlaces ChooseDiaryPlaces(const TPlaceFacts& facts) {
    const std::vector<std::string>& names = facts.ExecutableFolderNames;
    const std::string ownBase = BaseOf(facts.ExecutableName);
    const bool holdsDiary = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
        return IsYearFile(n) || n == ownBase + ".ini" || n == ownBase + ".mem" ||
               n == ownBase + ".tdo";
    });

    TPlaces places;
    // The program's own files lie beside it in a portable copy and in the build, else in the
    // install's share folder.
    const bool ownFilesBeside = Holds(names, ownBase + ".html");
    const std::string dataFolder = ownFilesBeside
                                       ? facts.ExecutableFolder
                                       : Join(Parent(facts.ExecutableFolder), "share/velmora");
    const std::string dataBase = ownFilesBeside ? ownBase : "Velmora";
    places.HelpFile = Join(dataFolder, dataBase + ".html");
    places.ShippedHolidays = Join(dataFolder, dataBase + ".hol");
    // A diary that cannot be written at this start stays where it is: the start says so, and
    // the user does not find an empty diary in its place.
    const bool diaryBeside =
        holdsDiary || (Holds(names, kPortableMarker) && facts.ExecutableFolderWritable);
    if (!facts.ChosenFolder.empty())
        places.DiaryFolder = facts.ChosenFolder;
    else if (diaryBeside)
        places.DiaryFolder = facts.ExecutableFolder;
    else if (facts.XdgDataHome.starts_with('/'))
        places.DiaryFolder = Join(facts.XdgDataHome, "Velmora");
    else if (!facts.Home.empty())
        places.DiaryFolder = Join(facts.Home, ".local/share/Velmora");
    places.Portable = places.DiaryFolder == facts.ExecutableFolder;
    places.BaseName = places.Portable ? ownBase : "Velmora";
    return places;
}

TPlaceFacts ReadPlaceFacts(const std::string& executablePath, const std::string& chosenFolder) {
    namespace fs = std::filesystem;
    const fs::path exe(executablePath);
    TPlaceFacts facts;
    facts.ExecutableFolder = exe.parent_path().string();
    facts.ExecutableName = exe.filename().string();
    facts.ExecutableFolderWritable = ::access(facts.ExecutableFolder.c_str(), W_OK | X_OK) == 0;
    std::error_code error;
    for (fs::directory_iterator it(facts.ExecutableFolder, error), end; !error && it != end;
         it.increment(error))
        facts.ExecutableFolderNames.push_back(it->path().filename().string());
    facts.ChosenFolder = chosenFolder;
    if (const char* data = std::getenv("XDG_DATA_HOME"))
        facts.XdgDataHome = data;
    if (const char* home = std::getenv("HOME"))
        facts.Home = home;
    return facts;
}

bool PrepareDiaryFolder(const TPlaces& places, bool create) {
    if (places.DiaryFolder.empty())
        return false;
    if (places.Portable)
        return true;
    if (create && !FileExists(places.DiaryFolder) && !PrivateFolder(places.DiaryFolder + '/'))
        return false;
    std::error_code error;
    if (!std::filesystem::is_directory(places.DiaryFolder, error))
        return false;
    const std::string holidays = Join(places.DiaryFolder, places.BaseName + ".hol");
    std::string shipped;
    if (!FileExists(holidays) && ReadWholeFile(places.ShippedHolidays, shipped)) {
        try {
            SafeWriteFile(holidays, shipped);
        } catch (const VelmoraError&) {
            // The calendar shows no holidays; the folder's own write problem is said at the start.
        }
    }
    return true;
}
