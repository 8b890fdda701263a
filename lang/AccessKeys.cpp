#include "lang/AccessKeys.h"

#include <set>

namespace lang
{

namespace
{

// Latin Extended-A pairs its cases by parity, upper first, except in two runs where the lower
// letter is the even one.
wchar_t FoldLatinExtendedA(wchar_t c)
{
    const bool lowerIsOdd = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool lowerIsEven = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (lowerIsOdd && (c & 1))
        return static_cast<wchar_t>(c - 1);
    if (lowerIsEven && !(c & 1))
        return static_cast<wchar_t>(c - 1);
    return c;
}

bool IsKeyCharacter(wchar_t c)
{
    if ((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'))
        return true;
    // Letters of Latin-1, Latin Extended-A and Cyrillic (signs and symbols excluded).
    return (c >= 0xC0 && c <= 0x17F && c != 0xD7 && c != 0xF7) || (c >= 0x400 && c <= 0x45F);
}

bool StartsWord(const std::wstring& caption, size_t at)
{
    return at == 0 || !IsKeyCharacter(caption[at - 1]);
}

} // namespace

wchar_t FoldAccessKey(wchar_t c)
{
    if (c >= L'a' && c <= L'z')
        return static_cast<wchar_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<wchar_t>(c - 0x20);
    if (c >= 0x100 && c <= 0x17F)
        return FoldLatinExtendedA(c);
    if (c >= 0x430 && c <= 0x44F)
        return static_cast<wchar_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<wchar_t>(c - 0x50);
    return c;
}

std::vector<size_t> ChooseAccessKeys(const std::vector<std::wstring>& captions)
{
    std::vector<size_t> keys;
    std::set<wchar_t> taken;
    for (const std::wstring& caption : captions)
    {
        size_t chosen = kNoAccessKey;
        for (int pass = 0; pass < 2 && chosen == kNoAccessKey; ++pass)
            for (size_t at = 0; at < caption.size(); ++at)
            {
                const bool candidate = IsKeyCharacter(caption[at]) && (pass == 1 || StartsWord(caption, at));
                if (candidate && !taken.count(FoldAccessKey(caption[at])))
                {
                    chosen = at;
                    break;
                }
            }
        if (chosen != kNoAccessKey)
            taken.insert(FoldAccessKey(caption[chosen]));
        keys.push_back(chosen);
    }
    return keys;
}

} // namespace lang
