#include "storage/MachineState.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;
// How many digits of the machine id tell two computers of one host name apart.
constexpr size_t kMachineIdDigits = 8;

bool IsPlainNameByte(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
           c == '_' || c == '.';
}

std::string MachineId() {
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        std::ifstream file(path);
        std::string id;
        if (file >> id && !id.empty())
            return id;
    }
    return {};
}

std::string Canonical(const std::string& dir) {
    char resolved[PATH_MAX];
    return ::realpath(dir.c_str(), resolved) ? std::string(resolved) : dir;
}

}  // namespace

uint64_t DigestOf(std::string_view bytes) {
    uint64_t digest = kFnvOffset;
    for (const char c : bytes) {
        digest ^= static_cast<unsigned char>(c);
        digest *= kFnvPrime;
    }
    return digest;
}

std::string DigestText(uint64_t digest) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}

std::string HostFolderName(std::string_view hostName, std::string_view machineId) {
    std::string name = hostName.empty() ? std::string("localhost") : std::string(hostName);
    for (char& c : name) {
        if (!IsPlainNameByte(c))
            c = '_';
    }
    // "." and ".." name no folder of their own.
    if (name.find_first_not_of('.') == std::string::npos)
        name = "_" + name;
    if (machineId.size() >= kMachineIdDigits)
        name += "-" + std::string(machineId.substr(0, kMachineIdDigits));
    return name;
}

std::string HostFolderName() {
    char host[HOST_NAME_MAX + 1] = {};
    if (::gethostname(host, sizeof host - 1) != 0)
        host[0] = '\0';
    return HostFolderName(host, MachineId());
}

std::string VelmoraStateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        return std::string(state) + "/Velmora";
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return std::string(home) + "/.local/state/Velmora";
    return {};
}

std::string StateFolder(const std::string& dir) {
    std::string canonical = Canonical(dir);
    while (canonical.size() > 1 && canonical.back() == '/')
        canonical.pop_back();
    std::string last = canonical.substr(canonical.rfind('/') + 1);
    if (last.empty())
        last = "root";
    const std::string state = VelmoraStateFolder();
    if (state.empty())
        return {};
    return state + "/" + last + "-" + DigestText(DigestOf(canonical));
}

// Whether dir is a folder of this user itself (not a link to one), so that nobody else can have
// put files into it; mode receives its permissions.
bool OwnFolder(const std::string& dir, mode_t& mode) {
    struct stat info {};
    const std::string folder = dir.ends_with('/') ? dir.substr(0, dir.size() - 1) : dir;
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    mode = info.st_mode & 07777;
    return true;
}

// Creates dir (and its parents) for its owner alone; false when it is not a folder of this user
// that only this user can enter.
bool PrivateFolder(const std::string& dir) {
    for (size_t slash = dir.find('/', 1); slash != std::string::npos;
         slash = dir.find('/', slash + 1))
        ::mkdir(dir.substr(0, slash).c_str(), 0700);
    mode_t mode = 0;
    if (!OwnFolder(dir, mode))
        return false;
    return mode == 0700 || ::chmod(dir.c_str(), 0700) == 0;
}
