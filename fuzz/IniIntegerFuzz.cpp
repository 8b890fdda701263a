// Integer values of the settings file against a reading written from their definition: an
// optional sign, then decimal digits that fit a signed 32-bit integer, or up to eight significant
// hexadecimal digits after "$", "0x" or "0X" (a 32-bit pattern, negated by "-"); -1 for anything
// else.
#include "fuzz/FuzzSupport.h"
#include "settings/IniInteger.h"

namespace
{

int ByDefinition(std::string text)
{
    constexpr int kInvalid = -1;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
    {
        negative = text[0] == '-';
        text.erase(0, 1);
    }
    bool hex = false;
    if (!text.empty() && text[0] == '$')
    {
        hex = true;
        text.erase(0, 1);
    }
    else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    {
        hex = true;
        text.erase(0, 2);
    }
    if (text.empty() ||
        text.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
        return kInvalid;
    const size_t firstSignificant = text.find_first_not_of('0');
    const std::string digits = firstSignificant == std::string::npos ? "0" : text.substr(firstSignificant);
    if (hex)
    {
        if (digits.size() > 8)
            return kInvalid;
        uint32_t bits = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
        return static_cast<int32_t>(negative ? 0u - bits : bits);
    }
    const std::string largest = negative ? "2147483648" : "2147483647";
    if (digits.size() > largest.size() || (digits.size() == largest.size() && digits > largest))
        return kInvalid;
    const long long value = std::stoll(digits);
    return static_cast<int>(negative ? -value : value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzz::Check(settings::ParseIniInteger(text) == ByDefinition(text), "settings integer");
    return 0;
}
