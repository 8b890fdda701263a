#include "platform/Utf8.h"

#include <gtest/gtest.h>

namespace
{

TEST(Utf8, RoundTripsTextOfEveryScript)
{
    const std::string samples[] = {"",           "plain.txt",  "Jazyková mutace",
                                   "Привет мир", "日本語.doc", "emoji \xF0\x9F\x98\x80 outside the BMP"};
    for (const std::string& text : samples)
        EXPECT_EQ(platform::Narrow(platform::Widen(text)), text);
}

TEST(Utf8, WidensToTheExpectedCodeUnits)
{
    EXPECT_EQ(platform::Widen("\xC3\xA9"), std::wstring(L"\u00E9"));
    EXPECT_EQ(platform::Widen("\xF0\x9F\x98\x80").size(), 2u); // a surrogate pair
}

} // namespace
