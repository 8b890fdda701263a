#pragma once
// A calendar time in one 64-bit number whose order is the order of the times (CompareTimes): a
// row keeps 8 bytes instead of seven integers, and sorting by date compares numbers.
#include "platform/LocalTime.h"

#include <cstdint>
#include <optional>

namespace ui
{

// Empty when a field is outside what the system's and the packed DOS times hold (years -32768 to
// 32767, month to 15, day and hour to 31, minute and second to 63, milliseconds to 1023).
std::optional<uint64_t> PackTime(const platform::CalendarTime& time);
platform::CalendarTime UnpackTime(uint64_t packed);

} // namespace ui
