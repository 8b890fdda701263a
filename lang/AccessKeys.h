#pragma once
// Access keys (Alt+letter) for the labels of a window, chosen from the labels' texts in whatever
// language is loaded: no language module marks them, and each language has its own letters.
#include <cstddef>
#include <string>
#include <vector>

namespace lang
{

constexpr size_t kNoAccessKey = static_cast<size_t>(-1);

// The key's form for comparing: upper case for the Latin, Latin-1, Latin Extended-A and Cyrillic
// letters; every other character is itself.
wchar_t FoldAccessKey(wchar_t c);

// For each caption, the position of its access key's character, or kNoAccessKey. Captions earlier
// in the list choose first; no two captions share a key (letters compared folded). A caption
// prefers the first letter of one of its words, then any other letter or digit.
std::vector<size_t> ChooseAccessKeys(const std::vector<std::wstring>& captions);

} // namespace lang
