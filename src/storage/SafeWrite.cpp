#include "storage/SafeWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "storage/Cp932.h"
#include "storage/VelmoraError.h"

namespace {

[[noreturn]] void Fail(const char* utf8Pattern, const std::string& path) {
    throw VelmoraError(FormatMessage(Sjis(utf8Pattern), path));
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
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

void WriteReplacing(const std::string& path, std::string_view contents, mode_t mode) {
    std::string temp = path + ".XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        Fail("ファイル %s は開けません", path);
    }
    temp = name.data();
    // mkstemp creates the file for its owner alone.
    ::fchmod(fd, mode);

    const bool written = WriteAll(fd, contents) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        Fail("ファイル %s に書込めません", path);
    }
}

}  // namespace

void SafeWriteFile(const std::string& path, std::string_view contents) {
    WriteReplacing(path, contents, ModeAfter(path));
}

std::string KeepBackup(const std::string& path) {
    std::string contents;
    if (!ReadWholeFile(path, contents)) {
        Fail("ファイル %s は開けません", path);
    }
    std::string backup = path + ".bak";
    for (int n = 2; FileExists(backup); ++n) {
        backup = path + ".bak" + std::to_string(n);
    }
    WriteReplacing(backup, contents, ModeAfter(path));
    return backup;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    contents.clear();
    // A year file runs to megabytes: room for all of it at once spares the copies of growing.
    struct stat info {};
    if (::fstat(::fileno(file), &info) == 0 && info.st_size > 0) {
        contents.reserve(static_cast<size_t>(info.st_size));
    }
    char buffer[32768];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        contents.append(buffer, n);
    }
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
