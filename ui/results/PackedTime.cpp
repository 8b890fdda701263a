#include "ui/results/PackedTime.h"

#include <iterator>

namespace ui
{

namespace
{

struct Field
{
    int platform::CalendarTime::*member;
    int bits;
    int bias; // added before packing, so that the packed field is never negative
};

// Most significant first: the number orders as the fields compared one after the other.
constexpr Field kFields[] = {
    {&platform::CalendarTime::year, 16, 32768},     {&platform::CalendarTime::month, 4, 0},
    {&platform::CalendarTime::day, 5, 0},           {&platform::CalendarTime::hour, 5, 0},
    {&platform::CalendarTime::minute, 6, 0},        {&platform::CalendarTime::second, 6, 0},
    {&platform::CalendarTime::milliseconds, 10, 0},
};

} // namespace

std::optional<uint64_t> PackTime(const platform::CalendarTime& time)
{
    uint64_t packed = 0;
    for (const Field& field : kFields)
    {
        const int64_t value = static_cast<int64_t>(time.*field.member) + field.bias;
        if (value < 0 || value >= (int64_t{1} << field.bits))
            return std::nullopt;
        packed = (packed << field.bits) | static_cast<uint64_t>(value);
    }
    return packed;
}

platform::CalendarTime UnpackTime(uint64_t packed)
{
    platform::CalendarTime time;
    for (auto field = std::rbegin(kFields); field != std::rend(kFields); ++field)
    {
        const uint64_t mask = (uint64_t{1} << field->bits) - 1;
        time.*(field->member) = static_cast<int>(packed & mask) - field->bias;
        packed >>= field->bits;
    }
    return time;
}

} // namespace ui
