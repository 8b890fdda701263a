#pragma once
// UTC file times to the local calendar with the system's current time-zone offset.
#include "platform/LocalTime.h"

namespace platform
{

class Win32LocalTime final : public LocalTimeConverter
{
public:
    std::optional<CalendarTime> ToLocal(uint64_t fileTimeUtc) const override;
};

} // namespace platform
