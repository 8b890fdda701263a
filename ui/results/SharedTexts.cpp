#include "ui/results/SharedTexts.h"

#include "ui/results/ResultRows.h"

#include <algorithm>
#include <numeric>

namespace ui
{

uint32_t SharedTexts::Intern(const std::string& text)
{
    if (m_lastId < m_texts.size() && m_texts[m_lastId] == text)
        return m_lastId;
    auto found = m_ids.find(text);
    if (found == m_ids.end())
    {
        m_texts.push_back(text);
        found = m_ids.emplace(m_texts.back(), static_cast<uint32_t>(m_texts.size() - 1)).first;
    }
    m_lastId = found->second;
    return m_lastId;
}

void SharedTexts::Clear()
{
    m_ids = {};
    m_texts = {};
    m_lastId = 0;
}

std::vector<uint32_t> SharedTexts::DisplayRanks() const
{
    std::vector<uint32_t> byText(m_texts.size());
    std::iota(byText.begin(), byText.end(), uint32_t{0});
    std::sort(byText.begin(), byText.end(),
              [this](uint32_t a, uint32_t b) { return CompareDisplayText(m_texts[a], m_texts[b]) < 0; });
    std::vector<uint32_t> ranks(m_texts.size());
    uint32_t rank = 0;
    for (size_t i = 0; i < byText.size(); ++i)
    {
        const std::string& text = m_texts[byText[i]];
        if (i == 0 || CompareDisplayText(m_texts[byText[i - 1]], text) != 0)
            ++rank;
        ranks[byText[i]] = text.empty() ? 0 : rank;
    }
    return ranks;
}

} // namespace ui
