#include "settings/IniInteger.h"

#include "platform/AsciiHex.h"

#include <cstdint>

namespace settings
{

int ParseIniInteger(const std::string& text)
{
    constexpr int kInvalid = -1;
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
    {
        negative = text[pos] == '-';
        ++pos;
    }

    bool hex = false;
    if (pos < text.size() && text[pos] == '$')
    {
        hex = true;
        ++pos;
    }
    else if (text.size() - pos > 2 && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X'))
    {
        hex = true;
        pos += 2;
    }
    if (pos == text.size())
        return kInvalid;

    // Accumulate in 64 bits; any value past the 32-bit range is rejected before it can grow further.
    const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    const unsigned base = hex ? 16 : 10;
    uint64_t value = 0;
    for (; pos < text.size(); ++pos)
    {
        int digit = hex ? platform::AsciiHexValue(text[pos])
                        : (text[pos] >= '0' && text[pos] <= '9' ? text[pos] - '0' : -1);
        if (digit < 0)
            return kInvalid;
        value = value * base + static_cast<unsigned>(digit);
        if (value > limit)
            return kInvalid;
    }

    uint32_t bits = static_cast<uint32_t>(value);
    if (negative)
        bits = 0u - bits;
    return static_cast<int32_t>(bits);
}

} // namespace settings
