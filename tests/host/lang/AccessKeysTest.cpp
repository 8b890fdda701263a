#include "lang/AccessKeys.h"

#include <gtest/gtest.h>

namespace
{

using lang::ChooseAccessKeys;
using lang::FoldAccessKey;
using lang::kNoAccessKey;

TEST(AccessKeys, FoldsTheCasesOfEachScriptAndNothingElse)
{
    const struct
    {
        wchar_t in;
        wchar_t folded;
    } cases[] = {
        {L'a', L'A'},   {L'Z', L'Z'},   {L'5', L'5'},   {0xE9, 0xC9},   // é
        {0xF7, 0xF7},   {0xFF, 0xFF},   {0x10D, 0x10C}, {0x10C, 0x10C}, // division sign, ÿ, č
        {0x159, 0x158}, {0x13E, 0x13D}, {0x17E, 0x17D}, {0x16F, 0x16E}, // ř, ľ, ž, ů
        {0x438, 0x418}, {0x451, 0x401}, {0x416, 0x416}, {L'&', L'&'},   // и, ё, Ж
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(FoldAccessKey(c.in)), static_cast<int>(c.folded)) << std::hex << int(c.in);
}

TEST(AccessKeys, EachCaptionTakesAKeyNoOtherHolds)
{
    const struct
    {
        std::vector<std::wstring> captions;
        std::vector<size_t> keys;
    } cases[] = {
        // Word starts first, in the order of the captions.
        {{L"Named:", L"Containing text:", L"Look in:"}, {0, 0, 0}},
        // A taken first letter: the next word's start, then any letter.
        {{L"Look in:", L"Last modified"}, {0, 5}},
        {{L"Size", L"size"}, {0, 1}},
        // Case and accents: É and é are one key; e is another.
        {{L"Éditer", L"édition", L"edit"}, {0, 1, 0}},
        {{L"Имя файла:", L"имеет"}, {0, 1}},
        // Nothing left to take, or nothing to take at all.
        {{L"ab", L"ba", L"ab"}, {0, 0, kNoAccessKey}},
        {{L"", L"  :", L"x"}, {kNoAccessKey, kNoAccessKey, 0}},
        // A digit is a key; signs are not.
        {{L"-- 7 days"}, {3}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseAccessKeys(c.captions), c.keys)
            << c.captions.size() << " captions, first "
            << std::string(c.captions[0].begin(), c.captions[0].end());
}

} // namespace
