#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// The one exception type of the core. Its message is CP932 text, ready for a message box.
class VelmoraError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// pattern with its first "%s" replaced by arg (both CP932); without "%s", pattern unchanged.
std::string FormatMessage(std::string_view pattern, std::string_view arg);
