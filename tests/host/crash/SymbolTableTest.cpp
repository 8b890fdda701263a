#include "crash/SymbolTable.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{

struct Row
{
    uint32_t rva;
    uint32_t file; // index + 1, 0: not one of ours
    int32_t line;
};

// A table in the layout the build writes, from functions (start, name), files and line rows.
class TableBytes
{
public:
    std::vector<unsigned char> Build(const std::vector<std::pair<uint32_t, std::string>>& functions,
                                     const std::vector<std::string>& files, const std::vector<Row>& rows,
                                     uint32_t codeEnd)
    {
        std::string strings;
        std::vector<uint32_t> names, fileNames;
        for (const auto& f : functions)
            names.push_back(Add(strings, f.second));
        for (const auto& f : files)
            fileNames.push_back(Add(strings, f));
        std::vector<unsigned char> lines;
        uint32_t at = 0;
        int32_t line = 0;
        for (const Row& r : rows)
        {
            Varint(lines, r.rva - at);
            Varint(lines, r.file);
            const int32_t step = r.line - line;
            Varint(lines, step >= 0 ? 2u * step : 2u * -step - 1);
            at = r.rva;
            line = r.line;
        }
        std::vector<unsigned char> out = {'F', 'F', 'S', 'Y'};
        for (uint32_t w : {1u, uint32_t(functions.size()), uint32_t(files.size()), uint32_t(lines.size()),
                           uint32_t(strings.size()), codeEnd})
            Word(out, w);
        for (const auto& f : functions)
            Word(out, f.first);
        for (uint32_t n : names)
            Word(out, n);
        for (uint32_t n : fileNames)
            Word(out, n);
        out.insert(out.end(), lines.begin(), lines.end());
        out.insert(out.end(), strings.begin(), strings.end());
        return out;
    }

private:
    static uint32_t Add(std::string& strings, const std::string& text)
    {
        const auto at = static_cast<uint32_t>(strings.size());
        strings += text;
        strings.push_back('\0');
        return at;
    }
    static void Word(std::vector<unsigned char>& out, uint32_t w)
    {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<unsigned char>(w >> (8 * i)));
    }
    static void Varint(std::vector<unsigned char>& out, uint32_t v)
    {
        do
        {
            out.push_back(static_cast<unsigned char>((v & 0x7F) | (v > 0x7F ? 0x80 : 0)));
            v >>= 7;
        } while (v);
    }
};

std::vector<unsigned char> Sample()
{
    return TableBytes().Build(
        {{0x1000, "wmain"}, {0x1040, "ui::TFindfileFrm::FormCreate"}, {0x1200, "memcpy"}, {0x1280, ""}},
        {"app/WinMain.cpp", "ui/main/FindfileFrm.cpp"},
        {{0x1000, 1, 20}, {0x1010, 1, 22}, {0x1040, 2, 61}, {0x1100, 2, 300}, {0x1200, 0, 0}}, 0x1300);
}

TEST(SymbolTable, NamesTheFunctionHoldingAnAddressAndItsSourceLine)
{
    const auto bytes = Sample();
    crash::SymbolTable table;
    ASSERT_TRUE(table.Open(bytes.data(), bytes.size()));
    struct Case
    {
        uint32_t rva;
        const char* function; // null: none
        uint32_t offset;
        const char* file; // null: none
        uint32_t line;
    } cases[] = {
        {0x0FFF, nullptr, 0, nullptr, 0},               // before the first function
        {0x1000, "wmain", 0, "app/WinMain.cpp", 20},    // a function's first byte
        {0x100F, "wmain", 0xF, "app/WinMain.cpp", 20},  // up to the next row
        {0x1010, "wmain", 0x10, "app/WinMain.cpp", 22}, // the next row
        {0x103F, "wmain", 0x3F, "app/WinMain.cpp", 22}, // the last byte before the next function
        {0x1040, "ui::TFindfileFrm::FormCreate", 0, "ui/main/FindfileFrm.cpp", 61},
        {0x11A0, "ui::TFindfileFrm::FormCreate", 0x160, "ui/main/FindfileFrm.cpp", 300},
        {0x1250, "memcpy", 0x50, nullptr, 0}, // code of no source of ours
        {0x1280, nullptr, 0, nullptr, 0},     // code the table leaves nameless
        {0x1300, nullptr, 0, nullptr, 0},     // past the code's end
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.rva);
        crash::CodeName name;
        ASSERT_EQ(table.Find(c.rva, name), c.function != nullptr);
        if (!c.function)
            continue;
        EXPECT_STREQ(name.function, c.function);
        EXPECT_EQ(name.offset, c.offset);
        if (c.file)
            EXPECT_STREQ(name.file, c.file);
        else
            EXPECT_EQ(name.file, nullptr);
        EXPECT_EQ(name.line, c.line);
    }
    uint32_t start = 0;
    EXPECT_TRUE(table.StartOf("ui::TFindfileFrm::FormCreate", start));
    EXPECT_EQ(start, 0x1040u);
    EXPECT_FALSE(table.StartOf("ui::TFindfileFrm::Form", start));
}

TEST(SymbolTable, ADamagedTableAnswersNothing)
{
    const auto good = Sample();
    std::vector<std::vector<unsigned char>> damaged;
    damaged.emplace_back(good.begin(), good.end() - 1); // cut short
    auto grown = good;
    grown.push_back(0);
    damaged.push_back(grown); // longer than it says
    auto magic = good;
    magic[0] = 'X';
    damaged.push_back(magic);
    auto version = good;
    version[4] = 2;
    damaged.push_back(version);
    auto count = good;
    count[8] = 0xFF, count[11] = 0xFF; // a function count that would wrap the size
    damaged.push_back(count);
    auto name = good;
    name[28 + 4 * 4 + 4 + 3] = 0x7F; // the second name's offset far outside the strings
    damaged.push_back(name);
    auto order = good;
    order[28 + 4] = 0x00, order[28 + 5] = 0x20; // the second start above the third
    damaged.push_back(order);
    auto terminator = good;
    terminator.back() = 'x'; // the last string without its end
    damaged.push_back(terminator);
    for (size_t i = 0; i < damaged.size(); ++i)
    {
        SCOPED_TRACE(i);
        crash::SymbolTable table;
        EXPECT_FALSE(table.Open(damaged[i].data(), damaged[i].size()));
        crash::CodeName found;
        EXPECT_FALSE(table.Find(0x1000, found));
    }
}

TEST(SymbolTable, BrokenLineRowsLoseTheLineNotTheFunction)
{
    // A varint that never ends, and a row naming a file the table does not have.
    for (const std::vector<Row>& rows : {std::vector<Row>{{0x1000, 1, 5}}, std::vector<Row>{{0x1000, 9, 5}}})
    {
        auto bytes = TableBytes().Build({{0x1000, "f"}}, {"a.cpp"}, rows, 0x1100);
        if (rows[0].file == 1)
        {
            // The row's bytes (80 20 01 0A, after the header and three words) become one varint
            // that runs past the stream.
            for (size_t i = 28 + 3 * 4; i < 28 + 3 * 4 + 4; ++i)
                bytes[i] = 0xFF;
        }
        crash::SymbolTable table;
        ASSERT_TRUE(table.Open(bytes.data(), bytes.size()));
        crash::CodeName name;
        ASSERT_TRUE(table.Find(0x1004, name));
        EXPECT_STREQ(name.function, "f");
        EXPECT_EQ(name.file, nullptr);
        EXPECT_EQ(name.line, 0u);
    }
}

} // namespace
