#pragma once
// Texts by number, for logic that must build without the language module (tests pass a map).
#include <string>

namespace lang
{

class TextStore
{
public:
    virtual ~TextStore() = default;
    // The text with this ID (lang/TextIds.h); never empty.
    virtual std::string Text(int id) const = 0;
};

// The loaded language module (GetLangText).
const TextStore& ModuleTexts();

} // namespace lang
