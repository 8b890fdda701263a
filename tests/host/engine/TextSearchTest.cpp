#include "engine/TextSearch.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace
{

using engine::FoldTable;
using engine::TextSearch;

// The answer by definition: every start position, every byte through the table.
size_t Reference(const std::string& text, const std::string& data, const FoldTable& fold, size_t from)
{
    for (size_t at = from; at + text.size() <= data.size(); ++at)
    {
        bool same = true;
        for (size_t k = 0; k < text.size() && same; ++k)
            same =
                fold[static_cast<unsigned char>(data[at + k])] == fold[static_cast<unsigned char>(text[k])];
        if (same)
            return at;
    }
    return TextSearch::npos;
}

// A code page's upper case as the results list gets it: ASCII letters, and é (0xE9) onto É (0xC9).
FoldTable CodePageFold()
{
    FoldTable table = engine::AsciiUpperFold();
    table[0xE9] = 0xC9;
    return table;
}

// Three bytes onto one: no compare after a mask covers them, so only the scalar path can.
FoldTable ThreeWayFold()
{
    FoldTable table = engine::AsciiUpperFold();
    table['1'] = 'A';
    return table;
}

void ExpectBothPaths(const std::string& text, const std::string& data, const FoldTable& fold, size_t from = 0)
{
    const TextSearch search(text, fold);
    const size_t expected = Reference(text, data, fold, from);
    EXPECT_EQ(search.FindScalar(data.data(), data.size(), from), expected)
        << "scalar: text '" << text << "' in " << data.size() << " bytes from " << from;
    EXPECT_EQ(search.FindVector(data.data(), data.size(), from), expected)
        << "vector: text '" << text << "' in " << data.size() << " bytes from " << from;
}

TEST(TextSearch, VectorPathIsTakenWhereTheFirstAndLastBytesAllowIt)
{
    EXPECT_TRUE(TextSearch("abc", engine::AsciiUpperFold()).UsesVector());
    EXPECT_TRUE(TextSearch("[x{", engine::AsciiUpperFold()).UsesVector());
    EXPECT_TRUE(TextSearch("\xE9t\xE9", CodePageFold()).UsesVector());
    EXPECT_TRUE(TextSearch("a", engine::IdentityFold()).UsesVector());
    EXPECT_FALSE(TextSearch("a1", ThreeWayFold()).UsesVector());
    EXPECT_TRUE(TextSearch("1zz1", engine::AsciiUpperFold()).UsesVector());
}

TEST(TextSearch, FindsTextAtEveryPositionAroundTheSixteenByteSteps)
{
    const std::vector<std::string> texts = {"q",
                                            "qz",
                                            "abc",
                                            "quetzal42",
                                            std::string(15, 'q') + "z",
                                            std::string(16, 'q') + "z",
                                            std::string(40, 'q') + "z"};
    for (const std::string& text : texts)
        for (size_t size : {text.size(), size_t{15}, size_t{16}, size_t{17}, size_t{31}, size_t{32},
                            size_t{33}, size_t{64}, size_t{100}})
        {
            if (size < text.size())
                continue;
            for (size_t at = 0; at + text.size() <= size; ++at)
            {
                std::string data(size, '-');
                data.replace(at, text.size(), text);
                ExpectBothPaths(text, data, engine::IdentityFold());
                // The same text without its last byte is not found anywhere.
                data[at + text.size() - 1] = '-';
                ExpectBothPaths(text, data, engine::IdentityFold());
            }
        }
}

TEST(TextSearch, FoldsOnlyWhatTheTableFolds)
{
    const FoldTable ascii = engine::AsciiUpperFold();
    const FoldTable exact = engine::IdentityFold();
    struct Case
    {
        std::string text;
        std::string data;
        const FoldTable* fold;
        bool found;
    };
    const FoldTable codePage = CodePageFold();
    const FoldTable threeWay = ThreeWayFold();
    const std::vector<Case> cases = {
        {"abc", "xxxxxxxxxxxxxxxxxxxABCx", &ascii, true},
        {"abc", "xxxxxxxxxxxxxxxxxxxABCx", &exact, false},
        {"aBc", "xxxxxxxxxxxxxxxxxxxaBcx", &exact, true},
        {"{", "[[[[[[[[[[[[[[[[[[[[[[[", &ascii, false}, // '[' and '{' differ in the case bit only
        {"@", "````````````````````````", &ascii, false},
        {"z", "ZZZZZZZZZZZZZZZZZZZZZZZZZ", &ascii, true},
        {"\xC3\xA9", "xxxxxxxxxxxxxxxxxxxxxx\xC3\x89", &ascii, false}, // é in UTF-8 is not É
        {"\xE9t\xE9", "xxxxxxxxxxxxxxxxxxxxxxx\xC9T\xC9", &codePage, true},
        {"\xE9t\xE9", "xxxxxxxxxxxxxxxxxxxxxxx\xC9T\xC9", &ascii, false},
        {"a1", "xxxxxxxxxxxxxxxxxxxxxxxxxxxx11", &threeWay, true},
        {"abc", std::string("xxxxxxxxxxxxxxxxxxab\0c", 23), &ascii, false},
        {"b\xFF", std::string("xxxxxxxxxxxxxxxxxxa\0b\xFF", 22), &ascii, true},
    };
    for (const Case& c : cases)
    {
        const TextSearch search(c.text, *c.fold);
        EXPECT_EQ(search.FindScalar(c.data.data(), c.data.size()) != TextSearch::npos, c.found) << c.text;
        EXPECT_EQ(search.FindVector(c.data.data(), c.data.size()) != TextSearch::npos, c.found) << c.text;
        ExpectBothPaths(c.text, c.data, *c.fold);
    }
}

TEST(TextSearch, EdgesOfTheDataAndOfTheStartPosition)
{
    const FoldTable ascii = engine::AsciiUpperFold();
    ExpectBothPaths("abc", "", ascii);
    ExpectBothPaths("abc", "ab", ascii);
    ExpectBothPaths("abc", "abc", ascii);
    ExpectBothPaths("abc", "abc", ascii, 1);
    ExpectBothPaths("abc", "abc", ascii, 3);
    ExpectBothPaths("abc", "abc", ascii, 4);
    ExpectBothPaths("a", "a", ascii, 1);
    const std::string data = "abc-----------------------------------abc--------------abc";
    for (size_t from = 0; from <= data.size() + 1; ++from)
        ExpectBothPaths("ABC", data, ascii, from);
    // A text longer than the data, and one longer than many vector steps.
    const std::string longText(300, 'x');
    ExpectBothPaths(longText, std::string(299, 'x'), ascii);
    ExpectBothPaths(longText, std::string(17, '-') + std::string(300, 'X') + "-", ascii);
    const TextSearch empty("", ascii);
    EXPECT_EQ(empty.Find("abc", 3, 2), 2u);
    EXPECT_EQ(empty.Find("abc", 3, 4), TextSearch::npos);
}

TEST(TextSearch, BothPathsAgreeWithTheReferenceOnRandomData)
{
    // A small alphabet with case pairs, bytes that differ only in the case bit and zero bytes
    // makes partial matches and near misses frequent.
    const char alphabet[] = {'a', 'b', 'A', 'B', '[', '{', '\0', '\xE9', '\xC9'};
    const FoldTable folds[] = {engine::IdentityFold(), engine::AsciiUpperFold(), CodePageFold()};
    std::mt19937 random(12345);
    auto pick = [&](size_t count) {
        std::string s;
        for (size_t i = 0; i < count; ++i)
            s.push_back(alphabet[random() % sizeof(alphabet)]);
        return s;
    };
    for (int round = 0; round < 6000; ++round)
    {
        const FoldTable& fold = folds[round % 3];
        const std::string text = pick(1 + random() % 5);
        const std::string data = pick(random() % 90);
        ExpectBothPaths(text, data, fold, random() % 4);
    }
}

} // namespace
