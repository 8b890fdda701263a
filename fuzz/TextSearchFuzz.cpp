// The content search's two paths against a search written straight from its definition: the first
// position at or after `from` where every byte of the text equals the data's byte after folding.
// Input: a choice byte, the text's length, the text, then the data.
#include "engine/EntryFilter.h"
#include "engine/TextSearch.h"
#include "fuzz/FuzzSupport.h"

namespace
{

size_t FindByDefinition(const std::string& text, const std::string& data, size_t from,
                        const engine::FoldTable& fold)
{
    for (size_t at = from; at + text.size() <= data.size(); ++at)
    {
        size_t same = 0;
        while (same < text.size() && fold[static_cast<unsigned char>(data[at + same])] ==
                                         fold[static_cast<unsigned char>(text[same])])
            ++same;
        if (same == text.size())
            return at;
    }
    return engine::TextSearch::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const uint8_t choice = input.Byte();
    const bool ignoreCase = choice & 1;
    const size_t textLength = input.Byte() % 48;
    std::string text;
    for (size_t i = 0; i < textLength; ++i)
        text += static_cast<char>(input.Byte());
    const std::string haystack = input.Rest();
    const size_t from = haystack.empty() ? 0 : (choice >> 1) % (haystack.size() + 1);

    const engine::FoldTable fold = ignoreCase ? engine::AsciiUpperFold() : engine::IdentityFold();
    const engine::TextSearch search(text, fold);
    const size_t expected = text.empty() ? from : FindByDefinition(text, haystack, from, fold);
    fuzz::Check(search.FindScalar(haystack.data(), haystack.size(), from) == expected, "scalar search");
    fuzz::Check(search.FindVector(haystack.data(), haystack.size(), from) == expected, "vector search");
    fuzz::Check(search.Find(haystack.data(), haystack.size(), from) == expected, "search");

    const engine::ContentScanner scanner(text, ignoreCase);
    const bool contained =
        text.empty() || FindByDefinition(text, haystack, 0, fold) != engine::TextSearch::npos;
    fuzz::Check(scanner.Contains(haystack.data(), haystack.size()) == contained, "content scanner");
    return 0;
}
