#pragma once

#include <cstdint>
#include <optional>

// Today's date, as a day number in local time. Tests fix it so that every date rule is checked
// on known days.
int32_t Today();
void SetTodayForTesting(std::optional<int32_t> dayNumber);
