#pragma once
// The value of one ASCII hexadecimal digit, either case; -1 for any other byte. For text read from
// files and packets, where the locale must not decide what a digit is.
namespace platform
{

constexpr int AsciiHexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace platform
