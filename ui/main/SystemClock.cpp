#include "ui/main/SystemClock.h"

#include <windows.h>

namespace ui
{

platform::CalendarTime SystemClock::Now() const
{
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

} // namespace ui
