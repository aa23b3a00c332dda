#include "storage/DailyBackup.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <tuple>
#include <utility>

#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/Report.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"

namespace fs = std::filesystem;

namespace {

// How many moved files the message of TidyTemporaries names.
constexpr size_t kMaxListedFiles = 10;
// The random letters or digits that end a temporary's name, in this version and earlier ones.
constexpr size_t kTempRandom = 6;

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
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

bool IsDiaryFileName(std::string_view name, const std::string& baseName) {
    return IsYearFileName(name) || name == baseName + ".mem" || name == baseName + ".tdo" ||
           name == baseName + ".ini";
}

// A diary file's name or a backup's of one (".bak", ".bak2", ...), "." and six letters or digits,
// as earlier versions named their temporaries; a backup's own name ("2026.dat.bak123") is not.
bool IsOldTemporaryName(std::string_view name, const std::string& baseName) {
    if (name.size() <= kTempRandom + 1 || name[name.size() - kTempRandom - 1] != '.')
        return false;
    const std::string_view random = name.substr(name.size() - kTempRandom);
    if (!std::all_of(random.begin(), random.end(), IsAlnum) ||
        (random.starts_with("bak") && IsDigits(random.substr(3))))
        return false;
    std::string_view file = name.substr(0, name.size() - kTempRandom - 1);
    if (const size_t bak = file.rfind(".bak");
        bak != std::string_view::npos && (bak + 4 == file.size() || IsDigits(file.substr(bak + 4))))
        file = file.substr(0, bak);
    return IsDiaryFileName(file, baseName);
}

// The permission bits of the file or folder at path; all of them when it cannot be read.
mode_t PermissionsOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0777;
}

// Takes from the file or folder at path (not a link) the permissions that allowed lacks.
void NarrowTo(const fs::path& path, mode_t allowed) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISLNK(info.st_mode) &&
        (info.st_mode & 0777 & ~allowed) != 0)
        ::chmod(path.c_str(), info.st_mode & (07000 | allowed));
}

// Whether the temporary at temp holds nothing its file lacks: it is empty, or the file was
// written after it (equal times, as coarse file systems give, count as not after).
bool IsSpent(const fs::path& temp, const fs::path& file) {
    struct stat tempInfo {
    }, fileInfo{};
    if (::lstat(temp.c_str(), &tempInfo) != 0)
        return false;
    if (tempInfo.st_size == 0)
        return true;
    return ::stat(file.c_str(), &fileInfo) == 0 &&
           std::tie(fileInfo.st_mtim.tv_sec, fileInfo.st_mtim.tv_nsec) >
               std::tie(tempInfo.st_mtim.tv_sec, tempInfo.st_mtim.tv_nsec);
}

// Moves the file at from into folder as name, or as name + ".2", ".3", ... when that is taken.
// Returns the name it got there; "" when it could not be moved.
std::string MoveInto(const fs::path& from, const fs::path& folder, const std::string& name) {
    std::string moved = name;
    struct stat info {};
    for (int n = 2; ::lstat((folder / moved).c_str(), &info) == 0; ++n)
        moved = name + "." + std::to_string(n);
    const fs::path to = folder / moved;
    if (::rename(from.c_str(), to.c_str()) == 0)
        return moved;
    if (errno != EXDEV)
        return {};
    // The backup folder lies on another disk: copy, then remove.
    const TFileStamp stamp = FileStampOf(from.string());
    std::string contents;
    if (!ReadWholeFile(from.string(), contents))
        return {};
    try {
        SafeWriteCopy(to.string(), contents, from.string(), stamp);
    } catch (const VelmoraError&) {
        return {};
    }
    return ::unlink(from.c_str()) == 0 ? moved : std::string();
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

// Whether a copy and its file have the same size and modification time. A copy made before
// copies carried their file's time has its own, so its file is copied once more.
bool SameContentsStamp(const TFileStamp& copy, const TFileStamp& file) {
    return copy.Exists && copy.Size == file.Size && copy.ModifiedSeconds == file.ModifiedSeconds &&
           copy.ModifiedNanoseconds == file.ModifiedNanoseconds;
}

// Creates the folder, with the permissions mode, unless it exists.
void MakeFolder(const fs::path& folder, mode_t mode) {
    if (::mkdir(folder.c_str(), mode) != 0 && errno != EEXIST)
        throw VelmoraError(FormatMessage(Sjis("フォルダ %s を作れません"), folder.string()) +
                           ErrnoSuffix(errno));
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
        if (IsDiaryFileName(name, baseName))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TBackupOutcome BackUpDiary(const std::string& dir, const std::string& baseName, int32_t today,
                           int keptFolders, const std::string& host) {
    TBackupOutcome outcome;
    const fs::path backupRoot = fs::path(dir) / "backup";
    const fs::path backupDir = backupRoot / host;
    const std::string todayName = BackupFolderName(today);

    // Today's folder first, then the newest others; only these count as earlier copies.
    std::vector<std::string> older = DayFolders(backupDir);
    std::erase(older, todayName);
    const auto keptOlder = std::min<std::ptrdiff_t>(std::max(keptFolders - 1, 0), older.size());
    std::vector<std::string> kept{todayName};
    kept.insert(kept.end(), older.rbegin(), older.rbegin() + keptOlder);
    const std::vector<std::string> removed(older.begin(), older.end() - keptOlder);

    // The owner may enter every folder the backup makes, however the diary folder is set.
    const mode_t folderMode = PermissionsOf(dir) | 0700;
    NarrowTo(backupRoot, folderMode);
    NarrowTo(backupDir, folderMode);
    for (const std::string& folder : kept)
        NarrowTo(backupDir / folder, folderMode);

    const fs::path todayDir = backupDir / todayName;
    for (const std::string& name : BackedUpFiles(dir, baseName)) {
        try {
            const std::string path = (fs::path(dir) / name).string();
            // Taken before the file is read, so that a change while it is read shows next time.
            const TFileStamp stamp = FileStampOf(path);
            if (!stamp.Exists)
                continue;
            const mode_t fileMode = PermissionsOf(path);
            for (const std::string& folder : kept)
                NarrowTo(backupDir / folder / name, fileMode);
            const auto newest = std::find_if(kept.begin(), kept.end(), [&](const auto& folder) {
                return FileExists((backupDir / folder / name).string());
            });
            if (newest == kept.begin())
                continue;  // today's folder keeps the day's first copy
            // Each copy carries its file's modification time, so the size and that time tell a
            // file changed since its newest copy without reading either.
            if (newest != kept.end() &&
                SameContentsStamp(FileStampOf((backupDir / *newest / name).string()), stamp))
                continue;
            std::string current;
            if (!ReadFileIfExists(path, current))
                continue;
            MakeFolder(backupRoot, folderMode);
            MakeFolder(backupDir, folderMode);
            MakeFolder(todayDir, folderMode);
            SafeWriteCopy((todayDir / name).string(), current, path, stamp);
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

TTidyOutcome TidyTemporaries(const std::string& dir, const std::string& baseName) {
    TTidyOutcome outcome;
    const fs::path folder(dir);
    std::vector<fs::path> spent;
    std::vector<std::pair<std::string, std::string>> moves;  // name, name in the backup folder
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code statusError;
        if (it->symlink_status(statusError).type() != fs::file_type::regular)
            continue;
        const std::string name = it->path().filename().string();
        if (const std::string owner = TemporaryOwner(name); !owner.empty()) {
            if (IsSpent(it->path(), folder / owner))
                spent.push_back(it->path());
            else
                moves.emplace_back(
                    name, owner + ".interrupted-" + name.substr(name.size() - kTempRandom));
        } else if (IsOldTemporaryName(name, baseName)) {
            moves.emplace_back(name, name);
        }
    }
    for (const fs::path& path : spent)
        outcome.Removed += ::unlink(path.c_str()) == 0;
    if (moves.empty())
        return outcome;

    std::sort(moves.begin(), moves.end());
    const fs::path backupDir = folder / "backup";
    try {
        MakeFolder(backupDir, PermissionsOf(folder) | 0700);
    } catch (const VelmoraError&) {
        return outcome;  // nothing is moved, and nothing removed that might be needed
    }
    std::string list;
    for (const auto& [name, kept] : moves) {
        const std::string moved = MoveInto(folder / name, backupDir, kept);
        if (moved.empty())
            continue;
        outcome.Moved.push_back(name);
        // Named as the user finds them in the backup folder.
        if (outcome.Moved.size() <= kMaxListedFiles)
            list += "\r\n" + moved;
    }
    if (outcome.Moved.size() > kMaxListedFiles)
        list += "\r\n...";
    if (!outcome.Moved.empty())
        ReportMessage(
            FormatMessage(Sjis("保存の途中で残されたファイルと思われるため、次のファイルを "
                               "%s に移しました (消してはいません)。"),
                          backupDir.string()) +
            list);
    return outcome;
}

std::string MoveIntoBackup(const std::string& dir, const std::string& sub, const std::string& from,
                           const std::string& name) {
    const mode_t folderMode = PermissionsOf(dir) | 0700;
    fs::path folder = fs::path(dir) / "backup";
    try {
        MakeFolder(folder, folderMode);
        for (const fs::path& part : fs::path(sub)) {
            folder /= part;
            MakeFolder(folder, folderMode);
        }
    } catch (const VelmoraError&) {
        return {};
    }
    const std::string moved = MoveInto(from, folder, name);
    return moved.empty() ? moved : (folder / moved).string();
}
