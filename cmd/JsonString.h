#pragma once
// JSON string values for the console's JSON lines. File names and computer comments come from
// outside: whatever their bytes, the result is one valid JSON string.
#include <string>
#include <string_view>

namespace cmd
{

// Appends text as a quoted JSON string: quote, backslash and control characters escaped, well-formed
// UTF-8 kept as it is, and each byte that does not belong to a well-formed UTF-8 character (a stray
// continuation byte, a cut or overlong sequence, an encoded surrogate, a code point beyond
// U+10FFFF) written as U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);

std::string JsonString(std::string_view text);

} // namespace cmd
