#include "ui/results/LineFilter.h"

#include "engine/LineBreaks.h"
#include "engine/TextEncoding.h"
#include "engine/TextReader.h"
#include "engine/TextSearch.h"
#include "ui/results/LineFilterContainers.h"

#include <algorithm>
#include <cstring>

namespace ui
{

namespace
{

constexpr size_t kBlockSize = 64 * 1024;

// Follows one line at a time, keeping of the line only what a match still could start in.
class LineMatcher
{
public:
    LineMatcher(const std::vector<std::string>& texts, const ByteUpperCase& upper)
    {
        for (const std::string& text : texts)
        {
            if (text.empty())
            {
                m_matchesEveryLine = true;
                continue;
            }
            m_keep = std::max(m_keep, text.size() - 1);
            m_searches.emplace_back(text, upper.Table());
        }
    }

    void AddToLine(const char* data, size_t length)
    {
        if (length == 0)
            return;
        m_lineHasText = true;
        if (m_lineMatched)
            return;
        m_window.append(data, length);
        for (const engine::TextSearch& search : m_searches)
        {
            if (search.Contains(m_window.data(), m_window.size()))
            {
                m_lineMatched = true;
                m_window.clear();
                return;
            }
        }
        if (m_window.size() > m_keep)
            m_window.erase(0, m_window.size() - m_keep);
    }

    // A line break was read: the line ends even when it is empty.
    void EndLine() { Finish(); }

    // The end of the text: an unfinished line counts only when it holds something.
    void EndText()
    {
        if (m_lineHasText)
            Finish();
    }

    int Count() const { return m_count; }

private:
    void Finish()
    {
        if (m_lineMatched || m_matchesEveryLine)
            ++m_count;
        m_lineMatched = false;
        m_lineHasText = false;
        m_window.clear();
    }

    std::vector<engine::TextSearch> m_searches; // letter case folded by the code page's table
    size_t m_keep = 0;
    bool m_matchesEveryLine = false;
    std::string m_window;
    bool m_lineMatched = false;
    bool m_lineHasText = false;
    int m_count = 0;
};

// A Unicode file, and the text inside a document or archive, read as UTF-8, whose bytes past ASCII
// are parts of characters: the code page's upper case would mix them up, and a text in the code
// page's bytes is no UTF-8 to find there. Only the texts that are UTF-8 are looked for.
std::vector<std::string> Utf8Texts(const std::vector<std::string>& texts)
{
    std::vector<std::string> wanted;
    for (const std::string& text : texts)
        if (engine::IsValidUtf8(text))
            wanted.push_back(text);
    return wanted;
}

// Hands text to matcher line by line.
void FeedLines(LineMatcher& matcher, engine::LineBreaks& breaks, const char* text, size_t size)
{
    breaks.Feed(
        text, size, [&matcher](const char* data, size_t length) { matcher.AddToLine(data, length); },
        [&matcher] {
            matcher.EndLine();
            return true;
        });
}

} // namespace

ByteUpperCase::ByteUpperCase()
{
    for (size_t c = 0; c < m_table.size(); ++c)
        m_table[c] = static_cast<unsigned char>((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c);
}

int CountMatchingLines(platform::FileSystem& fileSystem, const std::string& path,
                       const std::vector<std::string>& texts, const ByteUpperCase& upper,
                       const engine::ContainerKinds& opened)
{
    const engine::ContainerKind kind = engine::ContainerKindOf(path, opened);
    if (kind != engine::ContainerKind::None)
        return CountMatchingLinesInside(fileSystem, path, kind, Utf8Texts(texts), ByteUpperCase());
    engine::RecognisedEncoding recognised;
    std::unique_ptr<platform::FileReader> file =
        engine::TextReader(fileSystem.OpenFile(path, platform::FileShare::Read), &recognised);
    if (!file)
        return 0;

    const bool unicode = recognised.encoding != engine::TextEncoding::Ansi;
    LineMatcher matcher(unicode ? Utf8Texts(texts) : texts, unicode ? ByteUpperCase() : upper);
    std::vector<char> block(kBlockSize);
    engine::LineBreaks breaks;
    for (;;)
    {
        int64_t got = file->Read(block.data(), block.size());
        if (got < 0)
            return 0;
        if (got == 0)
            break;
        const auto* nul = static_cast<const char*>(std::memchr(block.data(), '\0', static_cast<size_t>(got)));
        const size_t text = nul ? static_cast<size_t>(nul - block.data()) : static_cast<size_t>(got);
        FeedLines(matcher, breaks, block.data(), text);
        if (nul)
            break; // the text ends at its first NUL
    }
    matcher.EndText();
    return matcher.Count();
}

int CountMatchingLinesInText(const std::string& text, const std::vector<std::string>& texts,
                             const ByteUpperCase& upper)
{
    LineMatcher matcher(texts, upper);
    engine::LineBreaks breaks;
    FeedLines(matcher, breaks, text.data(), std::min(text.find('\0'), text.size()));
    matcher.EndText();
    return matcher.Count();
}

} // namespace ui
