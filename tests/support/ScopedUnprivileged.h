#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <string>

// Read-only folders stop only unprivileged users, and tests may run as root. This runs the scope
// as the unprivileged user "nobody" when the process is root, after giving it the folder, so that
// folder permissions bite; it does nothing for an ordinary user.
class ScopedUnprivileged {
public:
    explicit ScopedUnprivileged(const std::string& folder) : wasRoot_(::geteuid() == 0) {
        if (wasRoot_) {
            [[maybe_unused]] const int chowned = ::chown(folder.c_str(), kNobody, kNobody);
            [[maybe_unused]] const int dropped = ::seteuid(kNobody);
        }
    }
    ~ScopedUnprivileged() {
        if (wasRoot_) {
            [[maybe_unused]] const int restored = ::seteuid(0);
        }
    }
    // Gives one more folder to the user the scope runs as, when the process is root.
    static void Give(const std::string& folder) {
        if (::geteuid() == 0) {
            [[maybe_unused]] const int chowned = ::chown(folder.c_str(), kNobody, kNobody);
        }
    }
    ScopedUnprivileged(const ScopedUnprivileged&) = delete;
    ScopedUnprivileged& operator=(const ScopedUnprivileged&) = delete;

private:
    static constexpr uid_t kNobody = 65534;
    bool wasRoot_;
};
