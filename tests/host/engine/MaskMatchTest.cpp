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
    // A "?" is one character of any script, also beyond the Basic Multilingual Plane.
    {"?.TXT", "C:\\D\\\xC3\xA9.TXT", true},         // é, two bytes
    {"?.TXT", "C:\\D\\\xD0\x96.TXT", true},         // Ж, two bytes
    {"?.TXT", "C:\\D\\\xE6\x97\xA5.TXT", true},     // 日, three bytes
    {"?.TXT", "C:\\D\\\xF0\x9F\x98\x80.TXT", true}, // U+1F600, four bytes
    {"??.TXT", "C:\\D\\\xC3\xA9.TXT", true},        // the second "?" faces the dot
    {"??.TXT", "C:\\D\\\xE6\x97\xA5\xE6\x9C\xAC.TXT", true},
    {"?.TXT", "C:\\D\\\xE6\x97\xA5\xE6\x9C\xAC.TXT", false},
    {"A?C",
     "C:\\D\\A\xF0\x9F\x98\x80"
     "C",
     true},
    {"A??C",
     "C:\\D\\A\xF0\x9F\x98\x80"
     "C",
     false},
    {"?\xE6\x9C\xAC.TXT", "C:\\D\\\xE6\x97\xA5\xE6\x9C\xAC.TXT", true},
    {"\xE6\x97\xA5*.X", "C:\\D\\\xE6\x97\xA5\xD0\x96\xD0\x96.X", true},
    {"A*", "C:\\D\\A\xD0\x96\xD0\x96", true},
    {"?", "C:\\D\\\xFF", true}, // a stray byte counts as one character
    {"\\\xD0\x96\\?.TXT", "C:\\\xD0\x96\\\xC3\xA9.TXT", true},
    {"\xD0\x96:\\*", "\xD0\x96:\\A", true}, // the drive part is one character too
    {"\xD0\x96:\\*", "\xD0\x97:\\A", false},
    // A UNC folder has no drive in front: it hits its own folder and those that end with it.
    {"\\\\SERVER\\SHARE\\TMP\\*.*", "\\\\SERVER\\SHARE\\TMP\\A.TXT", true},
    {"\\\\server\\share\\tmp\\", "\\\\SERVER\\SHARE\\TMP\\A.TXT", true},
    {"\\\\SERVER\\SHARE\\TMP\\A.TXT", "\\\\SERVER\\SHARE\\TMP\\A.TXT", true},
    {"\\SHARE\\TMP\\*.*", "\\\\SERVER\\SHARE\\TMP\\A.TXT", true},
    {"\\\\SERVER\\SHARE\\TMP\\*.*", "\\\\SERVER\\SHARE\\TMP\\SUB\\A.TXT", false},
    {"\\\\SERVER\\SHARE\\TMP\\*.*", "\\\\OTHER\\SHARE\\TMP\\A.TXT", false},
    {"\\\\SERVER\\SHARE\\TMP\\*.*", "\\\\SERVER\\SHARE\\TM\\A.TXT", false},
    // A drive folder keeps its rule: it must leave the entry's folder room for a drive.
    {"\\D\\", "C:\\D\\A.TXT", true},
    {"C:\\D\\", "C:\\D\\A.TXT", true},
    {"X\\D\\", "X\\D\\A.TXT", false},
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

TEST(TargetMaskTest, AQuestionMarkIsOneCharacterOfAnyScript)
{
    const TargetMask one("?.txt");
    for (const char* name : {"q.txt", "\xC3\xA9.txt", "\xD0\x96.txt", "\xE6\x97\xA5.txt",
                             "\xF0\x9F\x98\x80.txt", "\xF0\xA0\x80\x8B.TXT"})
        EXPECT_TRUE(one.Matches(name)) << name;
    EXPECT_FALSE(one.Matches("ab.txt"));
    EXPECT_FALSE(one.Matches("\xE6\x97\xA5\xE6\x9C\xAC.txt"));
    EXPECT_TRUE(TargetMask("??.txt").Matches("\xE6\x97\xA5\xE6\x9C\xAC.txt"));
    EXPECT_TRUE(TargetMask("??").Matches("\xC3\xA9")); // a "?" at the end may take nothing
    EXPECT_FALSE(TargetMask("?").Matches("\xC3\xA9\xC3\xA9"));
    EXPECT_TRUE(TargetMask("a?c").Matches("A\xF0\x9F\x98\x80"
                                          "C"));
    EXPECT_FALSE(TargetMask("a??c").Matches("a\xF0\x9F\x98\x80"
                                            "c"));
    EXPECT_TRUE(TargetMask("?\xE6\x9C\xAC*").Matches("\xE6\x97\xA5\xE6\x9C\xAC.doc"));
    EXPECT_FALSE(TargetMask("\xE6\x97\xA5?").Matches("\xE6\x97\xA6\xE6\x9C\xAC")); // the literal differs
    EXPECT_TRUE(TargetMask("*\xD0\x96").Matches("\xD0\x96\xD0\x96"));
    EXPECT_TRUE(TargetMask("?.*").Matches("\xF0\x9F\x98\x80"));
    EXPECT_TRUE(TargetMask("?").Matches("\xFF")); // a stray byte counts as one character
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
