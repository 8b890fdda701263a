#include "engine/MaskMatch.h"

#include "engine/AsciiCase.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace engine
{
namespace
{

struct SplitPath
{
    std::string folder; // up to and including the last '\' or ':'
    std::string name;
};

SplitPath SplitUpper(std::string_view path)
{
    const size_t cut = path.find_last_of("\\:");
    const size_t nameStart = cut == std::string_view::npos ? 0 : cut + 1;
    SplitPath parts;
    parts.folder.reserve(nameStart);
    for (size_t i = 0; i < nameStart; ++i)
        parts.folder.push_back(AsciiUpper(path[i]));
    parts.name.reserve(path.size() - nameStart);
    for (size_t i = nameStart; i < path.size(); ++i)
        parts.name.push_back(AsciiUpper(path[i]));
    return parts;
}

bool FolderPartMatches(const std::string& entryFolder, std::string maskFolder)
{
    if (maskFolder.size() >= 2 && maskFolder[1] == ':')
    {
        const char drive = maskFolder[0];
        if (drive != '*' && drive != '?' && (entryFolder.empty() || entryFolder[0] != drive))
            return false;
        maskFolder.erase(0, 2);
    }
    // Signed on purpose: a mask folder longer than the entry's folder minus its drive never hits.
    if (static_cast<long long>(maskFolder.size()) > static_cast<long long>(entryFolder.size()) - 2)
        return false;
    return entryFolder.compare(entryFolder.size() - maskFolder.size(), maskFolder.size(), maskFolder) == 0;
}

bool NamePartMatches(const std::string& name, const std::string& mask)
{
    size_t i = 0;
    size_t j = 0;
    while (j < mask.size() && i < name.size())
    {
        const char c = name[i];
        const char m = mask[j];
        if (c == m || (c != '.' && m == '?'))
        {
            ++i;
            ++j;
        }
        else if (c == '.')
        {
            if (m == '?')
                ++j; // a "?" facing a dot matches nothing
            else if (m == '*')
                while (j < mask.size() && mask[j] != '.')
                    ++j; // a star never takes a dot of the name
            else
                return false;
        }
        else if (m == '*')
            ++i;
        else
            return false;
    }
    while (j < mask.size() && (mask[j] == '*' || mask[j] == '?'))
        ++j;
    return j >= mask.size() && i >= name.size();
}

} // namespace

bool MaskMatches(std::string_view fullPath, std::string_view maskLine)
{
    const SplitPath path = SplitUpper(fullPath);
    const SplitPath mask = SplitUpper(maskLine);
    if (!mask.folder.empty() && !FolderPartMatches(path.folder, mask.folder))
        return false;
    if (mask.name.empty())
        return true;
    return NamePartMatches(path.name, mask.name);
}

namespace
{

// Translated pattern characters: the ones Windows uses internally for its long-name matching.
constexpr char kStarBeforeDot = '<'; // any run, but never past the name's last dot
constexpr char kOneChar = '>';       // one character; nothing when facing a dot or the end
constexpr char kDot = '"';           // a dot, or nothing at the end of the name

bool IsWildcard(char c)
{
    return c == '*' || c == '?';
}

} // namespace

TargetMask::TargetMask(std::string_view mask)
{
    // Trailing spaces and dots are dropped as in any Windows path; a mask that ended in a dot
    // keeps one, which then asks for a name without an extension.
    std::string source(mask);
    while (!source.empty() && (source.back() == ' ' || source.back() == '.'))
        source.pop_back();
    if (!mask.empty() && mask.back() == '.')
        source.push_back('.');
    if (source == "*.*")
        source = "*";

    bool anyWildcard = false;
    bool onlyWildcardsAndDots = !source.empty();
    for (size_t i = 0; i < source.size(); ++i)
    {
        const char c = source[i];
        const char next = i + 1 < source.size() ? source[i + 1] : '\0';
        anyWildcard = anyWildcard || IsWildcard(c);
        onlyWildcardsAndDots = onlyWildcardsAndDots && (IsWildcard(c) || c == '.');
        if (c == '?')
            m_pattern.push_back(kOneChar);
        else if (c == '*' && next == '.')
            m_pattern.push_back(kStarBeforeDot);
        else if (c == '.' && (next == '\0' || IsWildcard(next)))
            m_pattern.push_back(kDot);
        else
            m_pattern.push_back(AsciiUpper(c));
    }
    m_matchesAll = m_pattern == "*";
    m_matchesDotEntries = anyWildcard && onlyWildcardsAndDots;
}

bool TargetMask::Matches(std::string_view name) const
{
    if (name == "." || name == "..")
        return m_matchesDotEntries;
    if (m_matchesAll)
        return true;
    const size_t count = m_pattern.size() + 1;
    // Two state sets (one flag per pattern position, the last one meaning "matched"); the stack
    // buffer covers every ordinary mask, longer ones fall back to the heap.
    uint8_t local[2 * 128];
    std::vector<uint8_t> heap;
    uint8_t* current = local;
    if (count > 128)
    {
        heap.resize(2 * count);
        current = heap.data();
    }
    uint8_t* next = current + count;
    std::fill(current, current + count, uint8_t{0});

    const size_t lastDot = name.rfind('.');
    size_t leadingDots = 0;
    while (leadingDots < name.size() && name[leadingDots] == '.')
        ++leadingDots;

    // Moves that take no character; they only go forward, so one pass in order is enough.
    auto closure = [&](uint8_t* states, size_t at) {
        const bool atEnd = at == name.size();
        const bool atDot = !atEnd && name[at] == '.';
        for (size_t i = 0; i < m_pattern.size(); ++i)
        {
            if (!states[i])
                continue;
            const char p = m_pattern[i];
            if (p == '*' || p == kStarBeforeDot || (p == kDot && atEnd))
                states[i + 1] = 1;
            else if (p == kOneChar && (atEnd || atDot))
            {
                size_t k = i;
                while (k < m_pattern.size() && m_pattern[k] == kOneChar)
                    ++k;
                states[k] = 1;
            }
        }
    };

    current[0] = 1;
    closure(current, 0);
    for (size_t j = 0; j < name.size(); ++j)
    {
        std::fill(next, next + count, uint8_t{0});
        const char c = AsciiUpper(name[j]);
        bool any = false;
        for (size_t i = 0; i < m_pattern.size(); ++i)
        {
            if (!current[i])
                continue;
            const char p = m_pattern[i];
            size_t to = count; // no move
            if (p == '*')
                to = i;
            else if (p == kStarBeforeDot)
            {
                // It may take a dot that is not the name's last one; a star that opens the mask
                // also takes the name's leading dots, which start no extension.
                if (c != '.' || (lastDot != std::string_view::npos && lastDot > j) ||
                    (i == 0 && j < leadingDots))
                    to = i;
            }
            else if (p == kOneChar)
            {
                if (c != '.')
                    to = i + 1;
            }
            else if (p == kDot)
            {
                if (c == '.')
                    to = i + 1;
            }
            else if (p == c)
                to = i + 1;
            if (to != count)
            {
                next[to] = 1;
                any = true;
            }
        }
        if (!any)
            return false;
        closure(next, j + 1);
        std::swap(current, next);
    }
    return current[m_pattern.size()] != 0;
}

} // namespace engine
