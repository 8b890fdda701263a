#include "settings/IniInteger.h"

#include <gtest/gtest.h>

namespace
{

struct Case
{
    const char* text;
    int expected;
};

void ExpectAll(std::initializer_list<Case> cases)
{
    for (const Case& c : cases)
        EXPECT_EQ(settings::ParseIniInteger(c.text), c.expected) << "text \"" << c.text << "\"";
}

TEST(ParseIniInteger, Decimal)
{
    ExpectAll({{"0", 0},
               {"1", 1},
               {"256", 256},
               {"007", 7},
               {"+42", 42},
               {"-42", -42},
               {"-0", 0},
               {"2147483647", 2147483647},
               {"-2147483648", -2147483647 - 1}});
}

TEST(ParseIniInteger, Hexadecimal)
{
    ExpectAll({{"0x10", 16},
               {"0X10", 16},
               {"$10", 16},
               {"0xff", 255},
               {"$aBc", 0xABC},
               {"-$10", -16},
               {"-0x10", -16},
               {"+0x1F", 31},
               {"0x7FFFFFFF", 2147483647},
               {"$FFFFFFFF", -1},
               {"0x80000000", -2147483647 - 1},
               {"0x000000000001", 1}});
}

TEST(ParseIniInteger, NotANumberIsMinusOne)
{
    ExpectAll({{"", -1},
               {"abc", -1},
               {"12a", -1},
               {"a12", -1},
               {" 12", -1},
               {"12 ", -1},
               {"-", -1},
               {"+", -1},
               {"$", -1},
               {"0x", -1},
               {"0X", -1},
               {"0xg", -1},
               {"$-1", -1},
               {"--1", -1},
               {"1.5", -1},
               {"1e3", -1},
               {"0x 1", -1},
               {"on", -1}});
}

TEST(ParseIniInteger, Outside32BitsIsMinusOne)
{
    ExpectAll({{"2147483648", -1},
               {"-2147483649", -1},
               {"4294967296", -1},
               {"99999999999999999999999", -1},
               {"0x100000000", -1},
               {"$FFFFFFFFF", -1},
               {"-0x100000000", -1}});
}

TEST(ParseIniInteger, HexadecimalMarkNeedsDigitsAfterIt)
{
    // "0" alone and "0x" prefixes of decimal texts are not confused.
    ExpectAll({{"0", 0}, {"00", 0}, {"0x0", 0}, {"x10", -1}});
}

} // namespace
