#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

// The one exception type of the core. Its message is CP932 text, ready for a message box.
class VelmoraError : public std::runtime_error {
public:
    explicit VelmoraError(const std::string& message, std::string reason = {})
        : std::runtime_error(message), reason_(std::move(reason)) {}

    // For a failed file operation, the system's reason as it follows the message
    // (" (許可がありません)"); "" otherwise. Lets a caller put its own message before it.
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

// pattern with its first "%s" replaced by arg (both CP932); without "%s", pattern unchanged.
std::string FormatMessage(std::string_view pattern, std::string_view arg);

// The system's reason for the error number error, in Japanese for the common ones (CP932).
std::string ErrnoText(int error);

// " (" + ErrnoText(error) + ")": what file messages append to name the reason.
std::string ErrnoSuffix(int error);
