#include "ui/search/SearchHistory.h"

#include "engine/AsciiCase.h"
#include "platform/AsciiHex.h"

#include <algorithm>

namespace ui
{

namespace
{

bool Blank(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// Kept as they are: printable ASCII that the profile functions leave alone inside a value.
bool PlainByte(unsigned char c)
{
    return c > ' ' && c < 0x7F && c != '%' && c != '"' && c != '\'' && c != ';';
}

} // namespace

SearchHistory::SearchHistory(const std::vector<std::string>& entries)
{
    // Added oldest first, so that the first of equal entries is the one kept.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        Add(*it);
}

void SearchHistory::Add(const std::string& text)
{
    if (Blank(text))
        return;
    m_entries.erase(
        std::remove_if(m_entries.begin(), m_entries.end(),
                       [&](const std::string& entry) { return engine::EqualsIgnoreAsciiCase(entry, text); }),
        m_entries.end());
    m_entries.insert(m_entries.begin(), text);
    if (m_entries.size() > kSearchHistoryLength)
        m_entries.resize(kSearchHistoryLength);
}

std::string EncodeHistoryEntry(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string value;
    value.reserve(text.size());
    for (unsigned char c : text)
    {
        if (PlainByte(c))
        {
            value += static_cast<char>(c);
            continue;
        }
        value += '%';
        value += kHex[c >> 4];
        value += kHex[c & 0x0F];
    }
    return value;
}

std::optional<std::string> DecodeHistoryEntry(const std::string& value)
{
    std::string text;
    text.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i)
    {
        if (value[i] != '%')
        {
            text += value[i];
            continue;
        }
        if (i + 2 >= value.size())
            return std::nullopt;
        const int high = platform::AsciiHexValue(value[i + 1]);
        const int low = platform::AsciiHexValue(value[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        text += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return text;
}

} // namespace ui
