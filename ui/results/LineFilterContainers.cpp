#include "ui/results/LineFilterContainers.h"

#include "engine/TextSearch.h"

#include <algorithm>
#include <string_view>

namespace ui
{

namespace
{

class LineCounter
{
public:
    LineCounter(const std::vector<std::string>& texts, const ByteUpperCase& upper)
    {
        for (const std::string& text : texts)
        {
            if (text.empty())
                m_everyLine = true;
            else
                m_searches.emplace_back(text, upper.Table());
        }
    }

    int Count(std::string_view text) const
    {
        text = text.substr(0, text.find('\0'));
        int count = 0;
        size_t start = 0;
        while (start < text.size())
        {
            const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
            if (Matches(text.substr(start, end - start)))
                ++count;
            start = end;
            if (start < text.size())
                start += text.compare(start, 2, "\r\n") == 0 ? 2 : 1;
        }
        return count;
    }

private:
    bool Matches(std::string_view line) const
    {
        return m_everyLine ||
               std::any_of(m_searches.begin(), m_searches.end(), [line](const engine::TextSearch& search) {
                   return search.Contains(line.data(), line.size());
               });
    }

    std::vector<engine::TextSearch> m_searches;
    bool m_everyLine = false;
};

} // namespace

int CountMatchingLinesInText(const std::string& text, const std::vector<std::string>& texts,
                             const ByteUpperCase& upper)
{
    return LineCounter(texts, upper).Count(text);
}

int CountMatchingLinesInside(platform::FileSystem& fileSystem, const std::string& path,
                             engine::ContainerKind kind, const std::vector<std::string>& texts,
                             const ByteUpperCase& upper)
{
    const LineCounter counter(texts, upper);
    int count = 0;
    engine::VisitContainerText(
        fileSystem, path, kind,
        [&](const engine::TextPiece& piece) {
            count += counter.Count(piece.text);
            return true;
        },
        platform::FileShare::Read);
    return count;
}

} // namespace ui
