// The report's text builder: numbers without the C library's formatting, and a full buffer that
// cuts the text instead of writing past its end.
#include "crash/ReportText.h"

#include <gtest/gtest.h>
#include <string>

using crash::ReportText;

TEST(ReportText, FormatsHexDecimalAndPaddedNumbers)
{
    char buffer[128];
    ReportText text(buffer, sizeof(buffer));
    text.Hex(0xC0000005, 8).Text(" ").Hex(0x1A, 8).Text(" ").Hex(0, 2).Text(" ").Hex(0xABCDEF12345, 4);
    text.Text(" ")
        .Dec(0)
        .Text(" ")
        .Dec(4294967295u)
        .Text(" ")
        .Padded(7, 2)
        .Text(":")
        .Padded(2026, 2)
        .Text(":");
    text.Padded(5, 3).Line();
    EXPECT_EQ(std::string(text.Data(), text.Size()),
              "C0000005 0000001A 00 ABCDEF12345 0 4294967295 07:2026:005\r\n");
    EXPECT_FALSE(text.Truncated());
}

TEST(ReportText, AFullBufferCutsTheTextAndStaysTerminated)
{
    char buffer[9];
    buffer[8] = 'X';
    ReportText text(buffer, 8);
    text.Text("0123456789").Hex(0xFFFF, 4);
    EXPECT_EQ(text.Size(), 7u);
    EXPECT_STREQ(text.Data(), "0123456");
    EXPECT_TRUE(text.Truncated());
    EXPECT_EQ(buffer[8], 'X');
}

TEST(ReportText, ExceptionCodesHaveTheirNames)
{
    EXPECT_STREQ(crash::ExceptionName(0xC0000005), "EXCEPTION_ACCESS_VIOLATION");
    EXPECT_STREQ(crash::ExceptionName(0xC0000094), "EXCEPTION_INT_DIVIDE_BY_ZERO");
    EXPECT_STREQ(crash::ExceptionName(0xC00000FD), "EXCEPTION_STACK_OVERFLOW");
    EXPECT_STREQ(crash::ExceptionName(crash::kTerminateCode), "CPP_TERMINATE (unhandled C++ exception)");
    EXPECT_STREQ(crash::ExceptionName(0x12345678), "unknown exception");
}
