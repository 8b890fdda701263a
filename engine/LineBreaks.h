#pragma once
// Lines of text that arrives block by block: a line ends at CR LF, CR or LF, and a CR LF pair split
// between two blocks is still one break.
#include <cstddef>

namespace engine
{

class LineBreaks
{
public:
    // Hands each run of a line's bytes to onText(data, size) and each break to onBreak(), which
    // answers whether to go on. False when onBreak ended the walk.
    template <typename OnText, typename OnBreak>
    bool Feed(const char* data, size_t size, OnText&& onText, OnBreak&& onBreak)
    {
        size_t start = 0;
        for (size_t i = 0; i < size; ++i)
        {
            const char c = data[i];
            if (c != '\r' && c != '\n')
                continue;
            if (i > start)
            {
                onText(data + start, i - start);
                m_afterCR = false;
            }
            start = i + 1;
            // The LF of a CR LF pair ends no further line.
            if (c == '\n' && m_afterCR)
            {
                m_afterCR = false;
                continue;
            }
            m_afterCR = c == '\r';
            if (!onBreak())
                return false;
        }
        if (start < size)
        {
            onText(data + start, size - start);
            m_afterCR = false;
        }
        return true;
    }

private:
    bool m_afterCR = false;
};

} // namespace engine
