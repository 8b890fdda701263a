#pragma once
// FakeLocalTime: platform::LocalTimeConverter with a fixed offset from UTC (no daylight saving),
// counting its conversions, plus helpers that build FILETIME ticks from calendar dates for test data.
#include "platform/LocalTime.h"

#include <atomic>
#include <cstdint>
#include <optional>

namespace testing_support
{

// UTC calendar date and time to FILETIME ticks (100 ns since 1601-01-01).
uint64_t FileTimeFromUtc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                         int milliseconds = 0);

class FakeLocalTime : public platform::LocalTimeConverter
{
public:
    explicit FakeLocalTime(int offsetMinutes = 0) : m_offsetMinutes(offsetMinutes) {}
    // Ticks whose local time is the given local calendar time.
    uint64_t FileTimeFromLocal(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                               int milliseconds = 0) const;
    std::optional<platform::CalendarTime> ToLocal(uint64_t fileTimeUtc) const override;
    // How many times ToLocal was called.
    size_t Conversions() const { return m_conversions; }

private:
    int m_offsetMinutes;
    mutable std::atomic<size_t> m_conversions{0};
};

} // namespace testing_support
