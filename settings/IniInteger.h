#pragma once
// Integer values of the settings file, as text.
#include <string>

namespace settings
{

// Converts a stored value: optional "+" or "-", then decimal digits, or hexadecimal digits after
// "$", "0x" or "0X". Hexadecimal gives the 32-bit pattern ("$FFFFFFFF" is -1); decimal must fit a
// signed 32-bit integer. -1 for an empty text, anything else after the digits, or overflow.
int ParseIniInteger(const std::string& text);

} // namespace settings
