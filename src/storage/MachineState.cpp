#include "storage/MachineState.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "storage/Cp932.h"
#include "storage/VelmoraError.h"

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

// The folder states go under: $XDG_STATE_HOME, or ~/.local/state when that is unset or not an
// absolute path (a relative one is to be ignored); "" when neither can be told.
std::string StateHome() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        return state;
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return std::string(home) + "/.local/state";
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

std::string StateFolder(const std::string& dir) {
    std::string canonical = Canonical(dir);
    while (canonical.size() > 1 && canonical.back() == '/')
        canonical.pop_back();
    std::string last = canonical.substr(canonical.rfind('/') + 1);
    if (last.empty())
        last = "root";
    const std::string home = StateHome();
    if (home.empty())
        return {};
    return home + "/Velmora/" + last + "-" + DigestText(DigestOf(canonical));
}

void MakePrivateFolder(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            const std::string reason = ErrnoSuffix(errno);
            throw VelmoraError(FormatMessage(Sjis("フォルダ %s を作れません"), part) + reason,
                               reason);
        }
        if (slash == std::string::npos)
            return;
    }
}
