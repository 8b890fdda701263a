#pragma once
// Texts many rows have in common (the folders, the type names), each kept once and known by a
// number; the rows hold the number.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ui
{

class SharedTexts
{
public:
    // The number of text, added when it is new.
    uint32_t Intern(const std::string& text);
    const std::string& Text(uint32_t id) const { return m_texts[id]; }
    size_t Count() const { return m_texts.size(); }
    void Clear();

    // For each number, the place of its text in the list's text order (CompareDisplayText): texts
    // that compare equal share a place, and the empty text alone has place 0, as it orders first.
    std::vector<uint32_t> DisplayRanks() const;

private:
    std::deque<std::string> m_texts; // a deque: the map's keys point into its strings, which stay put
    std::unordered_map<std::string_view, uint32_t> m_ids;
    uint32_t m_lastId = 0; // rows come folder by folder: the last answer mostly serves again
};

} // namespace ui
