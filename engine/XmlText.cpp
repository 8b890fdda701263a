#include "engine/XmlText.h"

#include "platform/Utf16.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace engine
{

namespace
{

enum class Mark
{
    None,
    LineAfter, // a paragraph-like element: a line break where it ends
    LineBreak, // an explicit break: a line break where it stands
    Tab,       // an explicit tab
    TabAfter,  // a cell: a tab where it ends
    Space,     // OpenDocument's run of spaces (one is enough for a search)
};

struct MarkedElement
{
    std::string_view name;
    Mark mark;
};

// WordprocessingML (w:), DrawingML (a:), SpreadsheetML (no prefix) and OpenDocument (text:, table:).
constexpr std::array<MarkedElement, 17> kMarkedElements{{
    {"w:p", Mark::LineAfter},
    {"a:p", Mark::LineAfter},
    {"text:p", Mark::LineAfter},
    {"text:h", Mark::LineAfter},
    {"row", Mark::LineAfter},
    {"si", Mark::LineAfter},
    {"table:table-row", Mark::LineAfter},
    {"w:br", Mark::LineBreak},
    {"w:cr", Mark::LineBreak},
    {"a:br", Mark::LineBreak},
    {"text:line-break", Mark::LineBreak},
    {"w:tab", Mark::Tab},
    {"text:tab", Mark::Tab},
    {"c", Mark::TabAfter},
    {"table:table-cell", Mark::TabAfter},
    {"table:covered-table-cell", Mark::TabAfter},
    {"text:s", Mark::Space},
}};

Mark MarkOf(std::string_view name)
{
    for (const MarkedElement& element : kMarkedElements)
        if (element.name == name)
            return element.mark;
    return Mark::None;
}

bool IsXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The five named entities and numeric references; false for anything else (kept as written).
bool AppendReference(std::string_view reference, std::string& out)
{
    static constexpr std::array<std::pair<std::string_view, char>, 5> kNamed{
        {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}}};
    for (const auto& [name, c] : kNamed)
        if (reference == name)
        {
            out += c;
            return true;
        }
    if (reference.size() < 2 || reference[0] != '#')
        return false;
    const bool hex = reference[1] == 'x' || reference[1] == 'X';
    const std::string_view digits = reference.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8)
        return false;
    uint32_t code = 0;
    for (char c : digits)
    {
        uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            return false;
        code = code * (hex ? 16 : 10) + digit;
    }
    // Not characters: zero, surrogates and beyond Unicode's range.
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return false;
    platform::AppendUtf8(code, out);
    return true;
}

class TextCollector
{
public:
    explicit TextCollector(std::string_view xml) : m_xml(xml)
    {
        if (m_xml.substr(0, 3) == "\xEF\xBB\xBF")
            m_xml.remove_prefix(3);
    }

    std::string Run()
    {
        while (m_at < m_xml.size())
        {
            const size_t open = m_xml.find('<', m_at);
            AppendText(
                m_xml.substr(m_at, open == std::string_view::npos ? std::string_view::npos : open - m_at));
            if (open == std::string_view::npos)
                break;
            m_at = open;
            if (!Markup())
                break;
        }
        return std::move(m_out);
    }

private:
    // Text between two tags. Whitespace alone across a line break is the file's own indenting,
    // not the document's: it is dropped, so runs on separate lines of the file still join.
    void AppendText(std::string_view text)
    {
        if (text.empty())
            return;
        const bool blank = std::all_of(text.begin(), text.end(), IsXmlSpace);
        if (blank && text.find('\n') != std::string_view::npos)
            return;
        for (size_t at = 0; at < text.size();)
        {
            const size_t amp = text.find('&', at);
            m_out.append(text.substr(at, amp == std::string_view::npos ? std::string_view::npos : amp - at));
            if (amp == std::string_view::npos)
                return;
            const size_t semicolon = text.find(';', amp + 1);
            if (semicolon != std::string_view::npos && semicolon - amp <= 12 &&
                AppendReference(text.substr(amp + 1, semicolon - amp - 1), m_out))
                at = semicolon + 1;
            else
            {
                m_out += '&';
                at = amp + 1;
            }
        }
    }

    // The markup at m_at (a '<'); false when it does not end.
    bool Markup()
    {
        const std::string_view rest = m_xml.substr(m_at);
        if (rest.substr(0, 4) == "<!--")
            return SkipPast("-->");
        if (rest.substr(0, 9) == "<![CDATA[")
        {
            const size_t end = m_xml.find("]]>", m_at + 9);
            if (end == std::string_view::npos)
                return false;
            m_out.append(m_xml.substr(m_at + 9, end - m_at - 9));
            m_at = end + 3;
            return true;
        }
        if (rest.substr(0, 2) == "<?")
            return SkipPast("?>");
        if (rest.substr(0, 2) == "<!")
            return SkipDeclaration();
        return Tag();
    }

    bool SkipPast(std::string_view end)
    {
        const size_t found = m_xml.find(end, m_at);
        if (found == std::string_view::npos)
            return false;
        m_at = found + end.size();
        return true;
    }

    // <!DOCTYPE ...>, whose internal subset in brackets may hold '>' of its own.
    bool SkipDeclaration()
    {
        int depth = 0;
        for (size_t at = m_at + 2; at < m_xml.size(); ++at)
        {
            const char c = m_xml[at];
            if (c == '[')
                ++depth;
            else if (c == ']')
                depth = std::max(depth - 1, 0);
            else if (c == '>' && depth == 0)
            {
                m_at = at + 1;
                return true;
            }
        }
        return false;
    }

    bool Tag()
    {
        // An attribute's quoted value may hold '>'.
        char quote = 0;
        size_t end = m_at + 1;
        for (; end < m_xml.size(); ++end)
        {
            const char c = m_xml[end];
            if (quote != 0)
                quote = c == quote ? 0 : quote;
            else if (c == '"' || c == '\'')
                quote = c;
            else if (c == '>')
                break;
        }
        if (end >= m_xml.size())
            return false;
        const std::string_view tag = m_xml.substr(m_at + 1, end - m_at - 1);
        m_at = end + 1;
        const bool closing = !tag.empty() && tag.front() == '/';
        const bool empty = !tag.empty() && tag.back() == '/';
        const std::string_view body = tag.substr(closing ? 1 : 0);
        const size_t nameEnd = std::min(body.find_first_of(" \t\r\n/"), body.size());
        Apply(MarkOf(body.substr(0, nameEnd)), closing, empty);
        return true;
    }

    void Apply(Mark mark, bool closing, bool empty)
    {
        const bool ends = closing || empty;
        switch (mark)
        {
        case Mark::None:
            break;
        case Mark::LineAfter:
            if (ends)
                m_out += '\n';
            break;
        case Mark::LineBreak:
            if (!closing)
                m_out += '\n';
            break;
        case Mark::Tab:
            if (!closing)
                m_out += '\t';
            break;
        case Mark::TabAfter:
            if (ends)
                m_out += '\t';
            break;
        case Mark::Space:
            if (!closing)
                m_out += ' ';
            break;
        }
    }

    std::string_view m_xml;
    size_t m_at = 0;
    std::string m_out;
};

} // namespace

std::string XmlText(std::string_view xml)
{
    return TextCollector(xml).Run();
}

} // namespace engine
