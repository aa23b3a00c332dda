#include "storage/VelmoraError.h"

std::string FormatMessage(std::string_view pattern, std::string_view arg) {
    std::string result(pattern);
    // "%s" holds no lead byte, and CP932 trail bytes are 0x40 and up, so a byte search is safe.
    if (const auto at = result.find("%s"); at != std::string::npos) {
        result.replace(at, 2, arg);
    }
    return result;
}
