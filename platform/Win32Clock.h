#pragma once
// The local wall clock of the system.
#include "platform/Clock.h"

namespace platform
{

class Win32Clock : public Clock
{
public:
    CalendarTime Now() const override;
};

} // namespace platform
