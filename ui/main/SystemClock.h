#pragma once
// The local wall clock of the system.
#include "ui/main/SearchCriteria.h"

namespace ui
{

class SystemClock : public Clock
{
public:
    platform::CalendarTime Now() const override;
};

} // namespace ui
