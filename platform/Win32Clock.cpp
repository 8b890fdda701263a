#include "platform/Win32Clock.h"

#include <windows.h>

namespace platform
{

CalendarTime Win32Clock::Now() const
{
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

} // namespace platform
