#include "storage/SafeWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "storage/Cp932.h"
#include "storage/Report.h"
#include "storage/VelmoraError.h"

namespace {

// A temporary is "." + the name of the file it replaces + kTempMark + the six letters or digits
// that mkstemp puts in place of kTempRandom.
constexpr std::string_view kTempMark = ".velmora-tmp-";
constexpr std::string_view kTempRandom = "XXXXXX";

[[noreturn]] void Fail(const char* utf8Pattern, const std::string& path, int error) {
    throw VelmoraError(FormatMessage(Sjis(utf8Pattern), path) + ErrnoSuffix(error),
                       ErrnoSuffix(error));
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0) {
            errno = EIO;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The access mode for a file that replaces or copies the file at existing: that file's own, so
// a diary kept private stays private; for a new file the mode a plain create would give.
mode_t ModeAfter(const std::string& existing) {
    struct stat info {};
    if (::stat(existing.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        return info.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a write to path replaces: path itself or, when path is a symbolic link, the file the
// link leads to (which need not exist yet), so that the link keeps working.
std::string WriteTarget(const std::string& path) {
    std::string target = path;
    std::vector<char> buffer(4096);
    for (int hops = 0; hops < 40; ++hops) {
        const ssize_t n = ::readlink(target.c_str(), buffer.data(), buffer.size());
        if (n <= 0 || static_cast<size_t>(n) == buffer.size()) {
            break;
        }
        std::string link(buffer.data(), static_cast<size_t>(n));
        if (link.front() != '/') {
            const size_t slash = target.rfind('/');
            link.insert(0, slash == std::string::npos ? "" : target.substr(0, slash + 1));
        }
        target = std::move(link);
    }
    return target;
}

// Gives the open file the modification time of stamp; its access time stays.
bool SetModified(int fd, const TFileStamp& stamp) {
    const timespec times[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(stamp.ModifiedSeconds), static_cast<long>(stamp.ModifiedNanoseconds)}};
    return ::futimens(fd, times) == 0;
}

// Writes contents to a new file beside target and renames it over target; messages name path.
// With modified, the new file gets that modification time before it is renamed.
void WriteReplacing(const std::string& path, const std::string& target, std::string_view contents,
                    mode_t mode, const TFileStamp* modified = nullptr) {
    const size_t slash = target.rfind('/');
    const size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    std::string temp = target.substr(0, nameAt) + "." + target.substr(nameAt) +
                       std::string(kTempMark) + std::string(kTempRandom);
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        Fail("ファイル %s は開けません", path, errno);
    }
    temp = name.data();
    // mkstemp creates the file for its owner alone.
    ::fchmod(fd, mode);

    int error = 0;
    if (!WriteAll(fd, contents) || (modified && !SetModified(fd, *modified)) || ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temp.c_str());
        Fail("ファイル %s に書込めません", path, error);
    }
}

// Reads the whole file; 0 or the error number of the failure.
int ReadAll(const std::string& path, std::string& contents) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return errno;
    }
    // A year file runs to megabytes: it is read straight into room for all of it, and only a
    // file that grew meanwhile reads on in pieces.
    struct stat info {};
    const size_t expected =
        ::fstat(::fileno(file), &info) == 0 && info.st_size > 0 ? info.st_size : 0;
    contents.resize(expected);
    contents.resize(std::fread(contents.data(), 1, expected, file));
    if (contents.size() == expected) {
        char buffer[32768];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            contents.append(buffer, n);
        }
    }
    const int error = std::ferror(file) ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(file);
    return error;
}

bool IsAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

void SafeWriteFile(const std::string& path, std::string_view contents) {
    const std::string target = WriteTarget(path);
    WriteReplacing(path, target, contents, ModeAfter(target));
}

void SafeWritePrivateFile(const std::string& path, std::string_view contents) {
    WriteReplacing(path, WriteTarget(path), contents, 0600);
}

void SafeWriteCopy(const std::string& path, std::string_view contents, const std::string& original,
                   const TFileStamp& read) {
    const std::string target = WriteTarget(path);
    WriteReplacing(path, target, contents, ModeAfter(original), &read);
}

std::string TemporaryOwner(std::string_view name) {
    const size_t affix = 1 + kTempMark.size() + kTempRandom.size();
    if (name.size() <= affix || name.front() != '.') {
        return {};
    }
    const std::string_view random = name.substr(name.size() - kTempRandom.size());
    const std::string_view owner = name.substr(1, name.size() - affix);
    if (name.substr(1 + owner.size(), kTempMark.size()) != kTempMark ||
        !std::all_of(random.begin(), random.end(), IsAlnum)) {
        return {};
    }
    return std::string(owner);
}

std::string KeepBackup(const std::string& path) {
    std::string contents;
    if (const int error = ReadAll(path, contents); error != 0) {
        Fail("ファイル %s は開けません", path, error);
    }
    std::string backup = path + ".bak";
    for (int n = 2; ::access(backup.c_str(), F_OK) == 0; ++n) {
        backup = path + ".bak" + std::to_string(n);
    }
    WriteReplacing(backup, backup, contents, ModeAfter(path));
    return backup;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    return ReadAll(path, contents) == 0;
}

bool ReadFileIfExists(const std::string& path, std::string& contents) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return false;
        }
        Fail("ファイル %s は開けません", path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        Fail("ファイル %s は開けません", path, EISDIR);
    }
    if (const int error = ReadAll(path, contents); error != 0) {
        Fail("ファイル %s は開けません", path, error);
    }
    return true;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

TFileStamp FileStampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    return {true,
            static_cast<uint64_t>(info.st_dev),
            static_cast<uint64_t>(info.st_ino),
            static_cast<int64_t>(info.st_size),
            static_cast<int64_t>(info.st_mtim.tv_sec),
            static_cast<int64_t>(info.st_mtim.tv_nsec)};
}

bool KeepIfChangedOnDisk(const std::string& path, const TFileStamp& seen) {
    const TFileStamp now = FileStampOf(path);
    if (now == seen || !now.Exists) {
        return false;
    }
    const std::string backup = KeepBackup(path);
    ReportMessage(FormatMessage(
        FormatMessage(Sjis("ファイル %s は他のプログラムに変更されていました。その内容を %s に"
                           "保存しました。"),
                      path),
        backup));
    return true;
}

std::string FolderWriteProblem(const std::string& dir) {
    // A file without a name is created and dropped at once, so nothing is left even by a crash.
    const int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    int error = errno;
    // File systems without unnamed files: ask for the permissions instead.
    if (error == EOPNOTSUPP || error == EINVAL) {
        if (::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) == 0) {
            return {};
        }
        error = errno;
    }
    return FormatMessage(Sjis("フォルダ %s に書込めません"), dir) + ErrnoSuffix(error) + "\r\n" +
           Sjis("書いたページを保存できません。");
}
