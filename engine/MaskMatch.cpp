#include "engine/MaskMatch.h"

#include "engine/AsciiCase.h"
#include "engine/Utf8Char.h"

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

bool IsUncFolder(std::string_view folder)
{
    return folder.size() >= 2 && folder[0] == '\\' && folder[1] == '\\';
}

bool FolderPartMatches(std::string_view entryFolder, std::string_view maskFolder)
{
    const size_t first = Utf8CharLength(maskFolder, 0);
    if (maskFolder.size() > first && maskFolder[first] == ':')
    {
        const std::string_view drive = maskFolder.substr(0, first);
        if (drive != "*" && drive != "?" && entryFolder.substr(0, first) != drive)
            return false;
        maskFolder.remove_prefix(first + 1);
    }
    // Counted in characters and signed on purpose: a mask folder longer than the entry's folder
    // minus its drive never hits. A UNC folder has no drive in front to leave room for, so it may
    // be as long as the entry's folder and hits its own folder.
    const long long room =
        static_cast<long long>(Utf8CharCount(entryFolder)) - (IsUncFolder(maskFolder) ? 0 : 2);
    if (static_cast<long long>(Utf8CharCount(maskFolder)) > room)
        return false;
    return entryFolder.size() >= maskFolder.size() &&
           entryFolder.substr(entryFolder.size() - maskFolder.size()) == maskFolder;
}

// Walks both names one whole character at a time; "*" and "?" are ASCII, so a wildcard is never
// part of a longer character.
bool NamePartMatches(std::string_view name, std::string_view mask)
{
    size_t i = 0;
    size_t j = 0;
    while (j < mask.size() && i < name.size())
    {
        const size_t nameStep = Utf8CharLength(name, i);
        const size_t maskStep = Utf8CharLength(mask, j);
        const std::string_view c = name.substr(i, nameStep);
        const std::string_view m = mask.substr(j, maskStep);
        if (c == m || (c != "." && m == "?"))
        {
            i += nameStep;
            j += maskStep;
        }
        else if (c == ".")
        {
            if (m == "?")
                ++j; // a "?" facing a dot matches nothing
            else if (m == "*")
                while (j < mask.size() && mask[j] != '.')
                    ++j; // a star never takes a dot of the name
            else
                return false;
        }
        else if (m == "*")
            i += nameStep;
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

// Pattern tokens: a literal character is its UTF-8 bytes packed into one value (ASCII letters
// upper-cased); the wildcards are the ones Windows uses internally for its long-name matching and
// carry a 0xFF top byte, which no packed character has.
constexpr uint32_t kStar = 0xFF000001;          // any run of characters
constexpr uint32_t kStarBeforeDot = 0xFF000002; // any run, but never past the name's last dot
constexpr uint32_t kOneChar = 0xFF000003;       // one character; nothing when facing a dot or the end
constexpr uint32_t kDot = 0xFF000004;           // a dot, or nothing at the end of the name
constexpr uint32_t kDotChar = '.';

bool IsWildcard(char c)
{
    return c == '*' || c == '?';
}

uint32_t CharKey(std::string_view text, size_t at, size_t length)
{
    if (length == 1)
        return static_cast<unsigned char>(AsciiUpper(text[at]));
    uint32_t key = 0;
    for (size_t k = 0; k < length; ++k)
        key = (key << 8) | static_cast<unsigned char>(text[at + k]);
    return key;
}

// Trailing spaces and dots are dropped as in any Windows path; a mask that ended in a dot keeps
// one, which then asks for a name without an extension.
std::string TrimmedMask(std::string_view mask)
{
    std::string source(mask);
    while (!source.empty() && (source.back() == ' ' || source.back() == '.'))
        source.pop_back();
    if (!mask.empty() && mask.back() == '.')
        source.push_back('.');
    if (source == "*.*")
        source = "*";
    return source;
}

// One walk of the pattern's state machine over a name, one whole character per step. The states
// are one flag per pattern position, the last one meaning "matched".
class NameWalk
{
public:
    NameWalk(const std::vector<uint32_t>& pattern, std::string_view name) : m_pattern(pattern), m_name(name)
    {
        m_lastDot = name.rfind('.');
        while (m_leadingDots < name.size() && name[m_leadingDots] == '.')
            ++m_leadingDots;
    }

    // current and next each hold pattern size + 1 flags.
    bool Run(uint8_t* current, uint8_t* next) const
    {
        const size_t count = m_pattern.size() + 1;
        std::fill(current, current + count, uint8_t{0});
        current[0] = 1;
        Close(current, 0);
        for (size_t at = 0; at < m_name.size();)
        {
            const size_t length = Utf8CharLength(m_name, at);
            std::fill(next, next + count, uint8_t{0});
            if (!Step(current, next, at, CharKey(m_name, at, length)))
                return false;
            at += length;
            Close(next, at);
            std::swap(current, next);
        }
        return current[m_pattern.size()] != 0;
    }

private:
    // Moves that take no character; they only go forward, so one pass in order is enough.
    void Close(uint8_t* states, size_t at) const
    {
        const bool atEnd = at == m_name.size();
        const bool atDot = !atEnd && m_name[at] == '.';
        for (size_t i = 0; i < m_pattern.size(); ++i)
        {
            if (!states[i])
                continue;
            const uint32_t p = m_pattern[i];
            if (p == kStar || p == kStarBeforeDot || (p == kDot && atEnd))
                states[i + 1] = 1;
            else if (p == kOneChar && (atEnd || atDot))
            {
                size_t k = i;
                while (k < m_pattern.size() && m_pattern[k] == kOneChar)
                    ++k;
                states[k] = 1;
            }
        }
    }

    // Takes the character c that starts at byte `at` from every live state; false when none
    // survives.
    bool Step(const uint8_t* current, uint8_t* next, size_t at, uint32_t c) const
    {
        bool any = false;
        for (size_t i = 0; i < m_pattern.size(); ++i)
        {
            if (!current[i])
                continue;
            const size_t to = Move(i, at, c);
            if (to != kNoMove)
            {
                next[to] = 1;
                any = true;
            }
        }
        return any;
    }

    // Where pattern position i goes on the character c at byte `at`.
    size_t Move(size_t i, size_t at, uint32_t c) const
    {
        const uint32_t p = m_pattern[i];
        if (p == kStar)
            return i;
        if (p == kStarBeforeDot)
        {
            // It may take a dot that is not the name's last one; a star that opens the mask also
            // takes the name's leading dots, which start no extension.
            const bool laterDot = m_lastDot != std::string_view::npos && m_lastDot > at;
            return c != kDotChar || laterDot || (i == 0 && at < m_leadingDots) ? i : kNoMove;
        }
        if (p == kOneChar)
            return c != kDotChar ? i + 1 : kNoMove;
        if (p == kDot)
            return c == kDotChar ? i + 1 : kNoMove;
        return p == c ? i + 1 : kNoMove;
    }

    static constexpr size_t kNoMove = static_cast<size_t>(-1);
    const std::vector<uint32_t>& m_pattern;
    std::string_view m_name;
    size_t m_lastDot = std::string_view::npos;
    size_t m_leadingDots = 0;
};

} // namespace

TargetMask::TargetMask(std::string_view mask)
{
    const std::string source = TrimmedMask(mask);
    bool anyWildcard = false;
    bool onlyWildcardsAndDots = !source.empty();
    for (size_t i = 0; i < source.size();)
    {
        const size_t length = Utf8CharLength(source, i);
        const char c = source[i];
        const char next = i + length < source.size() ? source[i + length] : '\0';
        anyWildcard = anyWildcard || IsWildcard(c);
        onlyWildcardsAndDots = onlyWildcardsAndDots && (IsWildcard(c) || c == '.');
        if (c == '?')
            m_pattern.push_back(kOneChar);
        else if (c == '*')
            m_pattern.push_back(next == '.' ? kStarBeforeDot : kStar);
        else if (c == '.' && (next == '\0' || IsWildcard(next)))
            m_pattern.push_back(kDot);
        else
            m_pattern.push_back(CharKey(source, i, length));
        i += length;
    }
    m_matchesAll = m_pattern.size() == 1 && m_pattern[0] == kStar;
    m_matchesDotEntries = anyWildcard && onlyWildcardsAndDots;
}

bool TargetMask::Matches(std::string_view name) const
{
    if (name == "." || name == "..")
        return m_matchesDotEntries;
    if (m_matchesAll)
        return true;
    // Two state sets; the stack buffer covers every ordinary mask, longer ones use the heap.
    const size_t count = m_pattern.size() + 1;
    uint8_t local[2 * 128];
    std::vector<uint8_t> heap;
    uint8_t* states = local;
    if (count > 128)
    {
        heap.resize(2 * count);
        states = heap.data();
    }
    return NameWalk(m_pattern, name).Run(states, states + count);
}

} // namespace engine
