#include "controls/PixelScale.h"

#include <gtest/gtest.h>

namespace
{

using controls::Pixels;

constexpr uint32_t kKey = 0xFF00FF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;

Pixels Picture(int width, int height, std::vector<uint32_t> argb)
{
    return Pixels{width, height, std::move(argb)};
}

TEST(PixelScale, DoublingRepeatsEveryPixel)
{
    const Pixels source = Picture(2, 1, {kRed, kBlue});
    const Pixels scaled = controls::ScaleKeyed(source, 4, 2, controls::kNoColourKey);
    ASSERT_EQ(scaled.width, 4);
    ASSERT_EQ(scaled.height, 2);
    EXPECT_EQ(scaled.argb, (std::vector<uint32_t>{kRed, kRed, kBlue, kBlue, kRed, kRed, kBlue, kBlue}));
}

TEST(PixelScale, OneAndAHalfBlendsOnlyAtTheSeam)
{
    // Two pixels become three: the middle one covers half of each.
    const Pixels scaled =
        controls::ScaleKeyed(Picture(2, 1, {0xFF000000, 0xFFC8C8C8}), 3, 1, controls::kNoColourKey);
    EXPECT_EQ(scaled.argb, (std::vector<uint32_t>{0xFF000000, 0xFF646464, 0xFFC8C8C8}));
}

TEST(PixelScale, TheKeyLendsNoColour)
{
    // A red pixel beside the transparent key: no pink fringe where they meet, and the pixel mostly
    // over the key stays transparent.
    const Pixels scaled = controls::ScaleKeyed(Picture(2, 1, {kRed, kKey}), 3, 1, kKey);
    EXPECT_EQ(scaled.argb[0], kRed);
    EXPECT_EQ(scaled.argb[1], kRed);
    EXPECT_EQ(scaled.argb[2] & 0xFFFFFF, kKey);
}

TEST(PixelScale, UnusablePicturesGiveNothing)
{
    EXPECT_TRUE(controls::ScaleKeyed(Pixels{}, 4, 4, kKey).argb.empty());
    EXPECT_TRUE(controls::ScaleKeyed(Picture(2, 2, {kRed}), 4, 4, kKey).argb.empty());
    EXPECT_TRUE(controls::ScaleKeyed(Picture(1, 1, {kRed}), 0, 4, kKey).argb.empty());
}

} // namespace
