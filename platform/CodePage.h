#pragma once
// The system's ANSI code page, for the text of files that carry no other encoding: a searched text
// in that page's bytes, and such a file's lines read back as UTF-8. The Win32 one is the system's
// (Win32CodePage.h); Latin-1 stands in where none is given and in tests.
#include "platform/Utf16.h"

#include <optional>
#include <string>

namespace platform
{

class CodePage
{
public:
    virtual ~CodePage() = default;
    // The UTF-8 text in this code page; nothing when one of its characters has no form here.
    virtual std::optional<std::string> FromUtf8(const std::string& utf8) const = 0;
    // Bytes of this code page as UTF-8.
    virtual std::string ToUtf8(const std::string& bytes) const = 0;
};

// ISO 8859-1: each byte is the code point of the same number.
class Latin1CodePage : public CodePage
{
public:
    std::optional<std::string> FromUtf8(const std::string& utf8) const override
    {
        std::string out;
        out.reserve(utf8.size());
        for (size_t i = 0; i < utf8.size(); ++i)
        {
            const auto lead = static_cast<unsigned char>(utf8[i]);
            if (lead < 0x80)
                out += static_cast<char>(lead);
            else if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size() &&
                     (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80)
                out +=
                    static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
            else
                return std::nullopt;
        }
        return out;
    }

    std::string ToUtf8(const std::string& bytes) const override
    {
        std::string out;
        out.reserve(bytes.size());
        for (const char c : bytes)
            AppendUtf8(static_cast<unsigned char>(c), out);
        return out;
    }
};

} // namespace platform
