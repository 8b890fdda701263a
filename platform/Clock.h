#pragma once
// The local wall clock: the date presets of the search panel start from it; tests set their own.
#include "platform/LocalTime.h"

namespace platform
{

class Clock
{
public:
    virtual ~Clock() = default;
    virtual CalendarTime Now() const = 0;
};

} // namespace platform
