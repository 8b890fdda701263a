#include "platform/Win32LocalTime.h"

#include <windows.h>

namespace platform
{

std::optional<CalendarTime> Win32LocalTime::ToLocal(uint64_t fileTimeUtc) const
{
    // Times from 2^63 on are not valid file times; adding an eastern time zone's offset would wrap
    // one of them round to a plausible date.
    if (fileTimeUtc >= 0x8000000000000000ull)
        return std::nullopt;
    FILETIME utc;
    utc.dwLowDateTime = static_cast<DWORD>(fileTimeUtc);
    utc.dwHighDateTime = static_cast<DWORD>(fileTimeUtc >> 32);
    FILETIME local;
    SYSTEMTIME fields;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields))
        return std::nullopt;
    CalendarTime time;
    time.year = fields.wYear;
    time.month = fields.wMonth;
    time.day = fields.wDay;
    time.hour = fields.wHour;
    time.minute = fields.wMinute;
    time.second = fields.wSecond;
    time.milliseconds = fields.wMilliseconds;
    return time;
}

} // namespace platform
