#include "controls/Dpi.h"

#include <gtest/gtest.h>

namespace
{

struct ScaleCase
{
    int px96;
    unsigned dpi;
    int expected;
};

TEST(Dpi, ScaleRoundsHalvesAwayFromZero)
{
    const ScaleCase cases[] = {
        {785, 96, 785}, {785, 144, 1178}, {785, 192, 1570}, {17, 144, 26}, {11, 120, 14},
        {25, 120, 31},  {1, 144, 2},      {3, 144, 5},      {-3, 144, -5}, {-1, 120, -1},
        {0, 192, 0},    {232, 168, 406},  {19, 144, 29},    {652, 0, 652}, {100, 72, 75},
    };
    for (const ScaleCase& c : cases)
        EXPECT_EQ(controls::Scale(c.px96, c.dpi), c.expected) << c.px96 << " px at " << c.dpi << " DPI";
}

TEST(Dpi, UnscaleReturnsTheNumbersOfTheCode)
{
    // What Scale gave comes back whole at the usual settings (125 % to 200 %).
    for (unsigned dpi : {96u, 120u, 144u, 168u, 192u})
        for (int px96 : {0, 1, 2, 3, 8, 17, 25, 224, 232, 785})
            EXPECT_EQ(controls::Unscale(controls::Scale(px96, dpi), dpi), px96) << px96 << " px at " << dpi;
}

TEST(Dpi, RescaleKeepsThePhysicalSize)
{
    EXPECT_EQ(controls::Rescale(1178, 144, 96), 785);
    EXPECT_EQ(controls::Rescale(785, 96, 192), 1570);
    EXPECT_EQ(controls::Rescale(1570, 192, 144), 1178);
    EXPECT_EQ(controls::Rescale(300, 0, 144), 300);
    EXPECT_EQ(controls::Rescale(300, 144, 0), 300);
    // No overflow for the largest coordinates.
    EXPECT_EQ(controls::Rescale(32767, 96, 960), 327670);
}

} // namespace
