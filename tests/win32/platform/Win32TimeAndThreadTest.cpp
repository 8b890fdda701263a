#include "platform/Win32LocalTime.h"
#include "platform/Win32ThreadControl.h"

#include <windows.h>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace
{

TEST(Win32LocalTime, GivesBackTheLocalCalendarFieldsOfAFileTime)
{
    // Start from local fields so the check holds in every time zone.
    const SYSTEMTIME samples[] = {
        {2024, 2, 0, 29, 23, 59, 58, 987}, // a leap day, late
        {1980, 1, 0, 1, 0, 0, 0, 0},
        {2107, 12, 0, 31, 12, 30, 15, 1},
        {1601, 1, 0, 2, 6, 7, 8, 9}, // far outside the DOS date range
    };
    platform::Win32LocalTime converter;
    for (const SYSTEMTIME& local : samples)
    {
        FILETIME localTime, utc;
        ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime));
        ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
        auto fields =
            converter.ToLocal((static_cast<uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime);
        ASSERT_TRUE(fields) << local.wYear;
        EXPECT_EQ(fields->year, local.wYear);
        EXPECT_EQ(fields->month, local.wMonth);
        EXPECT_EQ(fields->day, local.wDay);
        EXPECT_EQ(fields->hour, local.wHour);
        EXPECT_EQ(fields->minute, local.wMinute);
        EXPECT_EQ(fields->second, local.wSecond);
        EXPECT_EQ(fields->milliseconds, local.wMilliseconds);
    }
}

TEST(Win32LocalTime, RefusesTimesTheCalendarCannotHold)
{
    platform::Win32LocalTime converter;
    EXPECT_FALSE(converter.ToLocal(0x8000000000000000ull));
    EXPECT_FALSE(converter.ToLocal(~0ull));
}

TEST(Win32ThreadControl, ChangesThePriorityOfTheRunningThread)
{
    std::atomic<bool> stop{false};
    std::atomic<int> seen{-100};
    std::thread worker([&] {
        while (!stop)
        {
            seen = GetThreadPriority(GetCurrentThread());
            Sleep(1);
        }
    });
    platform::Win32ThreadControl control;
    for (int priority : {-2, 1, -15, 0})
    {
        control.SetPriority(worker, priority);
        // Two fresh readings: the first may have started before the change.
        for (int reading = 0; reading < 2; ++reading)
        {
            seen = -100;
            const DWORD start = GetTickCount();
            while (seen == -100 && GetTickCount() - start < 10000)
                Sleep(1);
        }
        EXPECT_EQ(seen.load(), priority);
    }
    stop = true;
    worker.join();
    // A joined thread has no handle left: the call changes nothing, least of all the caller.
    const int own = GetThreadPriority(GetCurrentThread());
    control.SetPriority(worker, own == 2 ? 1 : 2);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), own);
}

} // namespace
