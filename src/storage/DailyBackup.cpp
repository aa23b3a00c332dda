#include "storage/DailyBackup.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/Report.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"

namespace fs = std::filesystem;

namespace {

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "2026.dat": four digits and ".dat", as the day store names its year files.
bool IsYearFileName(std::string_view name) {
    return name.size() == 8 && IsDigits(name.substr(0, 4)) && name.substr(4) == ".dat";
}

// "2026-03-09": only folders of this form are the backup's own and ever removed.
bool IsDayFolderName(std::string_view name) {
    return name.size() == 10 && IsDigits(name.substr(0, 4)) && name[4] == '-' &&
           IsDigits(name.substr(5, 2)) && name[7] == '-' && IsDigits(name.substr(8, 2));
}

std::vector<std::string> DayFolders(const fs::path& backupDir) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(backupDir, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (IsDayFolderName(name) && it->is_directory(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Creates the folder (and the backup folder above it) unless it exists.
void MakeFolder(const fs::path& folder) {
    for (const fs::path& path : {folder.parent_path(), folder}) {
        if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            throw VelmoraError(FormatMessage(Sjis("フォルダ %s を作れません"), path.string()) +
                               ErrnoSuffix(errno));
    }
}

}  // namespace

std::string BackupFolderName(int32_t dayNumber) {
    const TYmd ymd = DecodeDate(dayNumber);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", ymd.Year, ymd.Month, ymd.Day);
    return text;
}

std::vector<std::string> BackedUpFiles(const std::string& dir, const std::string& baseName) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (IsYearFileName(name) || name == baseName + ".mem" || name == baseName + ".tdo" ||
            name == baseName + ".ini")
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TBackupOutcome BackUpDiary(const std::string& dir, const std::string& baseName, int32_t today,
                           int keptFolders) {
    TBackupOutcome outcome;
    const fs::path backupDir = fs::path(dir) / "backup";
    const std::string todayName = BackupFolderName(today);

    // Today's folder first, then the newest others; only these count as earlier copies.
    std::vector<std::string> older = DayFolders(backupDir);
    std::erase(older, todayName);
    const auto keptOlder = std::min<std::ptrdiff_t>(std::max(keptFolders - 1, 0), older.size());
    std::vector<std::string> kept{todayName};
    kept.insert(kept.end(), older.rbegin(), older.rbegin() + keptOlder);
    const std::vector<std::string> removed(older.begin(), older.end() - keptOlder);

    const fs::path todayDir = backupDir / todayName;
    for (const std::string& name : BackedUpFiles(dir, baseName)) {
        try {
            std::string current;
            if (!ReadFileIfExists((fs::path(dir) / name).string(), current))
                continue;
            const auto newest = std::find_if(kept.begin(), kept.end(), [&](const auto& folder) {
                return FileExists((backupDir / folder / name).string());
            });
            if (newest == kept.begin())
                continue;  // today's folder keeps the day's first copy
            std::string copy;
            if (newest != kept.end() &&
                ReadFileIfExists((backupDir / *newest / name).string(), copy) && copy == current)
                continue;
            MakeFolder(todayDir);
            SafeWriteFile((todayDir / name).string(), current);
            outcome.Copied.push_back(name);
        } catch (const VelmoraError& e) {
            if (outcome.Problem.empty())
                outcome.Problem = e.what();
        }
    }

    if (outcome.Problem.empty()) {
        for (const std::string& folder : removed) {
            std::error_code error;
            fs::remove_all(backupDir / folder, error);
            if (error) {
                outcome.Problem =
                    FormatMessage(Sjis("フォルダ %s を消せません"), (backupDir / folder).string()) +
                    ErrnoSuffix(error.value());
                break;
            }
            outcome.Removed.push_back(folder);
        }
    }
    if (!outcome.Problem.empty())
        ReportMessage(outcome.Problem + "\r\n" +
                      FormatMessage(Sjis("日記のバックアップ (%s) を取れませんでした。"),
                                    backupDir.string()) +
                      Sjis("日記そのものは変わらず使えます。"));
    return outcome;
}
