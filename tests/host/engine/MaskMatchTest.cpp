// The two name matchers of a run: exclusion lines against full paths, and the target mask against
// the names of one folder (Windows long-name rules).
#include "engine/MaskMatch.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using engine::MaskMatches;
using engine::TargetMask;

namespace
{

struct ExclusionRow
{
    const char* mask;
    const char* path;
    bool hit;
};

const ExclusionRow kExclusionRows[] = {
    {"*.TMP", "C:\\D\\A.TMP", true},
    {"*.tmp", "C:\\D\\a.TMP", true},
    {"*.TMP", "C:\\D\\A.B.TMP", false},
    {"*.*", "C:\\D\\README", false},
    {"*", "C:\\D\\README", true},
    {"*", "C:\\D\\A.TXT", false},
    {"A?C", "C:\\D\\ABC", true},
    {"A?C", "C:\\D\\AC", false},
    {"AB?.TXT", "C:\\D\\AB.TXT", true},
    {"A*B.TXT", "C:\\D\\AXXC.TXT", true},
    {"ABC*", "C:\\D\\ABCDEF.TXT", false},
    {"ABC*.*", "C:\\D\\ABCDEF.TXT", true},
    {"ABC.*", "C:\\D\\ABC", false},
    {"A.TXT*", "C:\\D\\A.TXT", true},
    {"?.TXT", "C:\\D\\AB.TXT", false},
    {"C:\\TEMP\\*.*", "C:\\TEMP\\A.TXT", true},
    {"C:\\TEMP\\*.*", "D:\\TEMP\\A.TXT", false},
    {"C:\\TEMP\\*.*", "C:\\X\\TEMP\\A.TXT", true},
    {"C:\\TEMP\\*.*", "C:\\MYTEMP\\A.TXT", false},
    {"TEMP\\*.*", "C:\\MYTEMP\\A.TXT", true},
    {"*:\\TEMP\\*.*", "E:\\TEMP\\A.TXT", true},
    {"\\TEMP\\", "C:\\TEMP\\A.TXT", true},
    {"C:", "C:\\A\\B.TXT", true},
    {"", "C:\\D\\ANY.TXT", true},
    {"", "\\\\SERVER\\SHARE\\X", true},
    {"\xC3\x89.TXT", "C:\\D\\\xC3\xA9.TXT", false}, // É against é: only ASCII letters fold
    // Beyond the table: folder parts longer than the entry's folder, "?" drives, lower case.
    {"C:\\A\\B\\C\\*", "C:\\B\\C\\X", false},
    {"?:\\temp\\", "z:\\Temp\\a.txt", true},
    {"d:\\temp\\", "C:\\temp\\a.txt", false},
    {"c:\\temp\\x.txt", "C:\\TEMP\\X.TXT", true},
};

TEST(MaskMatchesTest, AnswersEveryRowOfTheExclusionTable)
{
    for (const ExclusionRow& row : kExclusionRows)
        EXPECT_EQ(MaskMatches(row.path, row.mask), row.hit)
            << "mask '" << row.mask << "' path '" << row.path << "'";
}

// The names of the folder the Windows answers were recorded in.
const std::vector<std::string> kFolderNames = {".", "..",   "..a", "..a.a", ".a", ".a..a", ".a.a", ".aaa",
                                               "a", "a..a", "a.a", "a.a.a", "aa", "aaa",   "aaaa", " .a"};

struct WildcardRow
{
    const char* mask;
    const char* names; // the names Windows lists for the mask, "|"-separated
};

// Windows' answers for long names, leaving out the DOS-only wildcards < > " and the rows that only
// hold through 8.3 short names.
const WildcardRow kWildcardRows[] = {
    {"*.*.*", ".|..|..a|..a.a|.a|.a..a|.a.a|.aaa|a|a..a|a.a|a.a.a|aa|aaa|aaaa| .a"},
    {"*.*.", ".|..|..a|..a.a|.a|.a..a|.a.a|.aaa|a|a..a|a.a|a.a.a|aa|aaa|aaaa| .a"},
    {".*.*", ".|..|..a|..a.a|.a|.a..a|.a.a|.aaa"},
    {"*.*", ".|..|..a|..a.a|.a|.a..a|.a.a|.aaa|a|a..a|a.a|a.a.a|aa|aaa|aaaa| .a"},
    {".*", ".|..|..a|..a.a|.a|.a..a|.a.a|.aaa"},
    {". *", ""},
    {"*.", ".|..|..a|.a|.aaa|a|aa|aaa|aaaa"},
    {"*", ".|..|..a|..a.a|.a|.a..a|.a.a|.aaa|a|a..a|a.a|a.a.a|aa|aaa|aaaa| .a"},
    {"*..*", ".|..|..a|..a.a|.a..a|a..a"},
    {"*..", ".|..|..a|.a|.aaa|a|aa|aaa|aaaa"},
    {".*.", ".|..|.a|.aaa"},
    {"..*", ".|..|..a|..a.a"},
    {"**", ".|..|..a|..a.a|.a|.a..a|.a.a|.aaa|a|a..a|a.a|a.a.a|aa|aaa|aaaa| .a"},
    {"**.", ".|..|..a|..a.a|.a|.a..a|.a.a|.aaa|a|a..a|a.a|a.a.a|aa|aaa|aaaa| .a"},
    {"*. ", ".|..|..a|..a.a|.a|.a..a|.a.a|.aaa|a|a..a|a.a|a.a.a|aa|aaa|aaaa| .a"},
    {"* .", ".|..|..a|.a|.aaa|a|aa|aaa|aaaa"},
    {"* . ", ".|..|..a|..a.a|.a|.a..a|.a.a|.aaa|a|a..a|a.a|a.a.a|aa|aaa|aaaa| .a"},
    {"* . *", ""},
    {"*.. ", ".|..|..a|..a.a|.a|.a..a|.a.a|.aaa|a|a..a|a.a|a.a.a|aa|aaa|aaaa| .a"},
    {"*. .", ".|..|..a|.a|.aaa|a|aa|aaa|aaaa"},
    {"* ..", ".|..|..a|.a|.aaa|a|aa|aaa|aaaa"},
    {" *..", ""},
    {"..* ", ".|..|..a|..a.a"},
    {"* .*.", " .a"},
    {"*a ", "..a|..a.a|.a|.a..a|.a.a|.aaa|a|a..a|a.a|a.a.a|aa|aaa|aaaa| .a"},
    {"aa.*", "aa"},
    {"a a*.*", ""},
    {"a ?.*", ""},
    {"? a.*", ""},
    {"a* a", ""},
    {" *a", " .a"},
    {"* *", " .a"},
    {" ?a", ""},
    {"* .a", " .a"},
    {"** .a", " .a"},
    {"aa? ", "aa|aaa"},
    {"*.a", "..a|..a.a|.a|.a..a|.a.a|a..a|a.a|a.a.a| .a"},
    {"?", ".|..|a"},
    {"?.", ".|..|a"},
    {"?. ", ".|..|a"},
    {"? .*", ""},
    {"??.", ".|..|a|aa"},
    {"??. ", ".|..|a|aa"},
    {"???.", ".|..|a|aa|aaa"},
    {"?.??.", ".|..|.a|a|a.a| .a"},
    {". ?", ""},
};

std::vector<std::string> Split(const std::string& names)
{
    std::vector<std::string> parts;
    if (names.empty())
        return parts;
    std::stringstream stream(names);
    std::string part;
    while (std::getline(stream, part, '|'))
        parts.push_back(part);
    return parts;
}

TEST(TargetMaskTest, ListsWhatWindowsListsForEveryLongNameRow)
{
    for (const WildcardRow& row : kWildcardRows)
    {
        const TargetMask mask(row.mask);
        std::vector<std::string> listed;
        for (const std::string& name : kFolderNames)
            if (mask.Matches(name))
                listed.push_back(name);
        EXPECT_EQ(listed, Split(row.names)) << "mask '" << row.mask << "'";
    }
}

TEST(TargetMaskTest, KeepsThePropertiesTheRunRelies)
{
    EXPECT_TRUE(TargetMask("*.TXT").Matches("notes.txt")); // case-blind letters
    EXPECT_TRUE(TargetMask("readme.*").Matches("README")); // NAME.* takes NAME
    EXPECT_TRUE(TargetMask("README.*").Matches("readme.md"));
    EXPECT_TRUE(TargetMask("*.*").Matches("Makefile")); // *.* takes names without a dot
    EXPECT_TRUE(TargetMask("*").Matches("a.b.c"));      // * spans dots
    EXPECT_TRUE(TargetMask("a*c").Matches("a.b.c"));
    EXPECT_TRUE(TargetMask("?b?").Matches("abc"));
    EXPECT_FALSE(TargetMask("?b?").Matches("abcd"));
    EXPECT_TRUE(TargetMask("*.").Matches("Makefile")); // *. takes names without extension
    EXPECT_FALSE(TargetMask("*.").Matches("main.c"));
    EXPECT_FALSE(TargetMask("*.htm").Matches("Page.HTML")); // no 8.3 names: .htm is not .HTML
    EXPECT_TRUE(TargetMask("*.htm").Matches("a.b.htm"));
    EXPECT_FALSE(TargetMask("\xC3\xA9*").Matches("\xC3\x89t\xC3\xA9")); // é does not fold onto É
    EXPECT_TRUE(TargetMask("\xC3\xA9t*").Matches("\xC3\xA9t\xC3\xA9.txt"));
    EXPECT_FALSE(TargetMask("").Matches("a"));
    EXPECT_TRUE(TargetMask("*.txt;*.doc").Matches("a.txt;b.doc")); // one mask, ";" is a character
    EXPECT_FALSE(TargetMask("*.txt;*.doc").Matches("a.txt"));
}

TEST(TargetMaskTest, HandlesMasksLongerThanItsStackBuffer)
{
    const std::string name(300, 'x');
    EXPECT_TRUE(TargetMask(std::string(200, '?') + "*").Matches(name));
    EXPECT_FALSE(TargetMask(std::string(301, '?')).Matches(name + "yz"));
    EXPECT_TRUE(TargetMask(std::string(301, '?')).Matches(name)); // a "?" at the end may take nothing
    EXPECT_TRUE(TargetMask(name).Matches(name));
}

} // namespace
