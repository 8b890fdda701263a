#pragma once
// Texts by number from a table, for tests of what shows texts: an ID the table lacks reads as the
// language module's missing text does.
#include "lang/TextStore.h"

#include <map>
#include <string>
#include <utility>

namespace fake
{

class MapTextStore : public lang::TextStore
{
public:
    explicit MapTextStore(std::map<int, std::string> texts) : m_texts(std::move(texts)) {}
    std::string Text(int id) const override
    {
        const auto found = m_texts.find(id);
        return found != m_texts.end() ? found->second : "<No load message>";
    }

private:
    std::map<int, std::string> m_texts;
};

} // namespace fake
