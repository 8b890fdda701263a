#pragma once
// A calendar time written in one line, for test tables.
#include "platform/LocalTime.h"

namespace testing_support
{

inline platform::CalendarTime Calendar(int year, int month, int day, int hour = 0, int minute = 0,
                                       int second = 0, int milliseconds = 0)
{
    platform::CalendarTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    time.milliseconds = milliseconds;
    return time;
}

} // namespace testing_support
