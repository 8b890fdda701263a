#include "cmd/JsonString.h"

#include <cstdint>

namespace cmd
{

namespace
{

constexpr char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD

// The length of the well-formed UTF-8 character of two or more bytes that starts at `at`, or 0.
// The ranges of the second byte are those of RFC 3629: they rule out overlong forms, surrogates
// and code points beyond U+10FFFF.
size_t WellFormedLength(std::string_view text, size_t at)
{
    const auto byte = [&text](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(at);
    size_t length = 0;
    uint8_t low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || length > text.size() - at)
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (size_t k = 2; k < length; ++k)
        if ((byte(at + k) & 0xC0) != 0x80)
            return 0;
    return length;
}

void AppendEscaped(std::string& out, char c)
{
    static const char kHex[] = "0123456789abcdef";
    switch (c)
    {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\f':
        out += "\\f";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        out += "\\u00";
        out += kHex[(c >> 4) & 0xF];
        out += kHex[c & 0xF];
    }
}

} // namespace

void AppendJsonString(std::string& out, std::string_view text)
{
    out += '"';
    for (size_t at = 0; at < text.size();)
    {
        const auto byte = static_cast<uint8_t>(text[at]);
        if (byte < 0x80)
        {
            if (byte < 0x20 || byte == '"' || byte == '\\')
                AppendEscaped(out, text[at]);
            else
                out += text[at];
            ++at;
            continue;
        }
        const size_t length = WellFormedLength(text, at);
        if (length == 0)
        {
            out += kReplacement;
            ++at;
            continue;
        }
        out.append(text.substr(at, length));
        at += length;
    }
    out += '"';
}

std::string JsonString(std::string_view text)
{
    std::string out;
    AppendJsonString(out, text);
    return out;
}

} // namespace cmd
