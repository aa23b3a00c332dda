#include "storage/Clock.h"

#include <ctime>

#include "storage/DayNumber.h"

namespace {
std::optional<int32_t>& FixedToday() {
    static std::optional<int32_t> fixed;
    return fixed;
}
}  // namespace

int32_t Today() {
    if (FixedToday()) {
        return *FixedToday();
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

void SetTodayForTesting(std::optional<int32_t> dayNumber) {
    FixedToday() = dayNumber;
}
