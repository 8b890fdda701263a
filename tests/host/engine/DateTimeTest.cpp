// TDateTime arithmetic: calendar to day numbers, the three forms of date bounds, DOS packing.
#include "engine/DateTime.h"

#include "tests/support/CalendarTime.h"
#include "tests/support/FakeLocalTime.h"

#include <gtest/gtest.h>

using engine::DateInRange;
using engine::EncodeDateTime;
using engine::PackDosDateTime;
using platform::CalendarTime;
using testing_support::Calendar;

namespace
{

TEST(DateTimeTest, EncodesDaysSince1899WithTheTimeAsFraction)
{
    EXPECT_DOUBLE_EQ(EncodeDateTime(Calendar(1899, 12, 30)), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(Calendar(1900, 1, 1)), 2.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(Calendar(2000, 1, 1, 12)), 36526.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime(Calendar(2024, 2, 29, 18)), 45351.75);
    EXPECT_NEAR(EncodeDateTime(Calendar(2000, 1, 1, 0, 0, 0, 500)), 36526 + 0.5 / 86400, 1e-12);
    // Before 1899-12-30 the fraction counts away from zero.
    EXPECT_DOUBLE_EQ(EncodeDateTime(Calendar(1899, 12, 29, 6)), -1.25);
}

TEST(DateTimeTest, ConvertsFileTimesThroughTheLocalClock)
{
    const testing_support::FakeLocalTime plusOneHour(60);
    const auto converted =
        engine::FileTimeToDateTime(testing_support::FileTimeFromUtc(2024, 3, 1, 23, 30), plusOneHour);
    ASSERT_TRUE(converted.has_value());
    EXPECT_NEAR(*converted, EncodeDateTime(Calendar(2024, 3, 2, 0, 30)), 1e-9);
    // Before 1601 in local time the converter has no answer.
    const testing_support::FakeLocalTime minusOneHour(-60);
    EXPECT_FALSE(engine::FileTimeToDateTime(0, minusOneHour).has_value());
}

TEST(DateTimeTest, DateOnlyBoundsTakeTheirWholeDay)
{
    const double day = EncodeDateTime(Calendar(2024, 5, 10));
    const double lateThatDay = EncodeDateTime(Calendar(2024, 5, 10, 23, 59, 59));
    const double nextDay = EncodeDateTime(Calendar(2024, 5, 11));
    const double dayBefore = EncodeDateTime(Calendar(2024, 5, 9, 23, 59));
    EXPECT_TRUE(DateInRange(lateThatDay, day, 0));
    EXPECT_FALSE(DateInRange(nextDay, day, 0));
    EXPECT_TRUE(DateInRange(day, 0, day));
    EXPECT_TRUE(DateInRange(lateThatDay, 0, day));
    EXPECT_FALSE(DateInRange(dayBefore, 0, day));
    EXPECT_TRUE(DateInRange(lateThatDay, day, day)); // both ends inclusive
}

TEST(DateTimeTest, TimeOnlyBoundsCompareTheTimeOfDayOnAnyDate)
{
    const double nineAm = 9.0 / 24;
    const double fivePm = 17.0 / 24;
    EXPECT_TRUE(DateInRange(EncodeDateTime(Calendar(1995, 1, 1, 9)), 0, nineAm));
    EXPECT_TRUE(DateInRange(EncodeDateTime(Calendar(2030, 7, 4, 12)), fivePm, nineAm));
    EXPECT_FALSE(DateInRange(EncodeDateTime(Calendar(2030, 7, 4, 8, 59)), 0, nineAm));
    EXPECT_FALSE(DateInRange(EncodeDateTime(Calendar(2030, 7, 4, 17, 0, 1)), fivePm, 0));
    EXPECT_TRUE(DateInRange(EncodeDateTime(Calendar(2030, 7, 4, 17)), fivePm, 0));
}

TEST(DateTimeTest, TimesOfDayBeforeTheEpochCompareForwards)
{
    // Before 1899-12-30 the fraction counts away from zero; the time of day is still its size.
    const double nineAm = 9.0 / 24;
    const double fivePm = 17.0 / 24;
    EXPECT_TRUE(DateInRange(EncodeDateTime(Calendar(1899, 12, 29, 18)), 0, nineAm));
    EXPECT_FALSE(DateInRange(EncodeDateTime(Calendar(1899, 12, 29, 18)), fivePm, 0));
    EXPECT_TRUE(DateInRange(EncodeDateTime(Calendar(1700, 6, 1, 12)), fivePm, nineAm));
    EXPECT_FALSE(DateInRange(EncodeDateTime(Calendar(1700, 6, 1, 8)), fivePm, nineAm));
    // Day and full bounds from 1899-12-31 on keep every earlier time below them.
    EXPECT_TRUE(
        DateInRange(EncodeDateTime(Calendar(1899, 12, 29, 18)), EncodeDateTime(Calendar(1899, 12, 31)), 0));
    EXPECT_FALSE(
        DateInRange(EncodeDateTime(Calendar(1899, 12, 29, 18)), 0, EncodeDateTime(Calendar(1899, 12, 31))));
    EXPECT_TRUE(
        DateInRange(EncodeDateTime(Calendar(1899, 12, 29, 18)), EncodeDateTime(Calendar(1900, 1, 1, 6)), 0));
}

TEST(DateTimeTest, FullBoundsCompareDateAndTime)
{
    const double noon = EncodeDateTime(Calendar(2024, 5, 10, 12));
    EXPECT_TRUE(DateInRange(EncodeDateTime(Calendar(2024, 5, 10, 12)), noon, noon));
    EXPECT_FALSE(DateInRange(EncodeDateTime(Calendar(2024, 5, 10, 12, 0, 1)), noon, 0));
    EXPECT_FALSE(DateInRange(EncodeDateTime(Calendar(2024, 5, 10, 11, 59, 59)), 0, noon));
    EXPECT_TRUE(DateInRange(EncodeDateTime(Calendar(1990, 1, 1)), 0, 0)); // no bounds
    // An upper bound before the lower one leaves nothing.
    EXPECT_FALSE(
        DateInRange(noon, EncodeDateTime(Calendar(2024, 5, 9)), EncodeDateTime(Calendar(2024, 5, 11))));
}

TEST(DateTimeTest, PacksDosTimeWithinItsYearsOnly)
{
    const uint32_t packed = static_cast<uint32_t>(PackDosDateTime(Calendar(2024, 3, 2, 13, 45, 31)));
    EXPECT_EQ(packed >> 16, (44u << 9) | (3u << 5) | 2u);
    EXPECT_EQ(packed & 0xFFFF, (13u << 11) | (45u << 5) | 15u); // two-second steps
    EXPECT_EQ(static_cast<uint32_t>(PackDosDateTime(Calendar(1980, 1, 1))), ((1u << 5) | 1u) << 16);
    EXPECT_EQ(static_cast<uint32_t>(PackDosDateTime(Calendar(2107, 12, 31, 23, 59, 58))),
              (((127u << 9) | (12u << 5) | 31u) << 16) | (23u << 11) | (59u << 5) | 29u);
    EXPECT_EQ(PackDosDateTime(Calendar(1979, 12, 31, 23, 59, 59)), 0);
    EXPECT_EQ(PackDosDateTime(Calendar(2108, 1, 1)), 0);
}

} // namespace
