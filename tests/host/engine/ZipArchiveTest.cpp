// The zip reader over archives built in the test: members stored and deflated, zip64 records, and
// archives damaged in the ways a reader meets (truncated, bad offsets, wrong CRC, hostile sizes).
#include "engine/ZipArchive.h"

#include "tests/support/FakeFileSystem.h"
#include "tests/support/ZipBuilder.h"

#include <gtest/gtest.h>

using engine::MemberRead;
using engine::MemoryByteSource;
using engine::ZipArchive;
using engine::ZipLimits;
using testing_support::ZipBuilder;

namespace
{

std::string Repeated(const std::string& piece, size_t times)
{
    std::string out;
    for (size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

// Letters that deflate only about two to one: text far below any ratio cap.
std::string VariedText(size_t size)
{
    std::string text(size, ' ');
    uint32_t state = 12345;
    for (char& c : text)
    {
        state = state * 1103515245u + 12345u;
        c = "abcdefghijklmno "[(state >> 16) & 15];
    }
    return text;
}

// Every member's name and what reading it gives.
std::vector<std::pair<std::string, MemberRead>> ReadAll(const std::string& bytes,
                                                        std::vector<std::string>* data = nullptr,
                                                        const ZipLimits& limits = {})
{
    MemoryByteSource source(bytes.data(), bytes.size());
    std::vector<std::pair<std::string, MemberRead>> result;
    const std::optional<ZipArchive> archive = ZipArchive::Open(source);
    if (!archive)
        return result;
    for (const engine::ZipMember& member : archive->Members())
    {
        std::string out;
        result.emplace_back(member.name, archive->ReadMember(member, out, limits));
        if (data)
            data->push_back(out);
    }
    return result;
}

TEST(ZipArchiveTest, ReadsStoredAndDeflatedMembersInBothRecordForms)
{
    const std::string big = Repeated("line of text\n", 20000);
    for (const bool zip64 : {false, true})
    {
        ZipBuilder builder;
        builder.Add("a.txt", "stored bytes", false).Add("dir/b.txt", big).Add("empty", "", true);
        std::vector<std::string> data;
        const auto members = ReadAll(builder.Build(zip64), &data);
        ASSERT_EQ(members.size(), 3u) << zip64;
        EXPECT_EQ(members[0], std::make_pair(std::string("a.txt"), MemberRead::Read));
        EXPECT_EQ(members[1], std::make_pair(std::string("dir/b.txt"), MemberRead::Read));
        EXPECT_EQ(members[2].second, MemberRead::Read);
        EXPECT_EQ(data[0], "stored bytes");
        EXPECT_EQ(data[1], big);
        EXPECT_EQ(data[2], "");
    }
}

TEST(ZipArchiveTest, NamesAreUtf8EitherWay)
{
    ZipBuilder builder;
    builder.Add({"caf\x82.txt", "x", true, 0, false});                 // code page 437: e acute
    builder.Add({"caf\xC3\xA9-utf8.txt", "x", true, 1u << 11, false}); // flagged UTF-8
    const auto members = ReadAll(builder.Build());
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0].first, "caf\xC3\xA9.txt");
    EXPECT_EQ(members[1].first, "caf\xC3\xA9-utf8.txt");
}

TEST(ZipArchiveTest, EncryptedDamagedAndUnknownMembersAreNotRead)
{
    ZipBuilder builder;
    builder.Add({"secret.txt", "password protected", true, 1, false});
    builder.Add({"crc.txt", "checked", true, 0, true});
    builder.Add({"crc-stored.txt", "checked", false, 0, true});
    builder.Add("good.txt", "fine");
    std::string bytes = builder.Build();
    const auto members = ReadAll(bytes);
    ASSERT_EQ(members.size(), 4u);
    EXPECT_EQ(members[0].second, MemberRead::Encrypted);
    EXPECT_EQ(members[1].second, MemberRead::Damaged);
    EXPECT_EQ(members[2].second, MemberRead::Damaged);
    EXPECT_EQ(members[3].second, MemberRead::Read);

    // Method 12 (bzip2) in both headers: not read, and the members after it still are.
    ZipBuilder other;
    other.Add("odd.bin", "data", false).Add("after.txt", "after", false);
    bytes = other.Build();
    const size_t firstEntry = bytes.find("PK\x01\x02");
    ASSERT_NE(firstEntry, std::string::npos);
    bytes[firstEntry + 10] = 12;
    const auto unknown = ReadAll(bytes);
    ASSERT_EQ(unknown.size(), 2u);
    EXPECT_EQ(unknown[0].second, MemberRead::Unsupported);
    EXPECT_EQ(unknown[1].second, MemberRead::Read);
}

TEST(ZipArchiveTest, ExpansionIsCappedBySizeAndRatioWhileInflating)
{
    const std::string zeros(8u << 20, '\0'); // deflates about 1000 to 1
    ZipBuilder builder;
    builder.Add("bomb.bin", zeros).Add("text.txt", VariedText(2300000));
    const std::string bytes = builder.Build();

    std::vector<std::string> data;
    auto members = ReadAll(bytes, &data);
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0].second, MemberRead::TooLarge); // the ratio, past the first MiB
    EXPECT_TRUE(data[0].empty());
    EXPECT_EQ(members[1].second, MemberRead::Read);

    ZipLimits generousRatio;
    generousRatio.maxRatio = 100000;
    EXPECT_EQ(ReadAll(bytes, nullptr, generousRatio)[0].second, MemberRead::Read);
    generousRatio.maxMemberSize = 4u << 20;
    members = ReadAll(bytes, nullptr, generousRatio);
    EXPECT_EQ(members[0].second, MemberRead::TooLarge); // the size cap, whatever the header claims
    EXPECT_EQ(members[1].second, MemberRead::Read);     // 2.3 MB of text stays under it
}

TEST(ZipArchiveTest, DamagedArchivesOpenAsNothingOrFailPerMember)
{
    ZipBuilder builder;
    builder.Add("one.txt", Repeated("first member ", 1000)).Add("two.txt", "second", false);
    const std::string good = builder.Build();
    ASSERT_EQ(ReadAll(good).size(), 2u);

    // A member that reads at all reads as it was written: the CRC catches what the sizes miss.
    auto expectReadAsWritten = [&](const std::string& bytes, size_t where) {
        std::vector<std::string> data;
        const auto members = ReadAll(bytes, &data);
        for (size_t i = 0; i < members.size(); ++i)
        {
            const bool written = data[i] == Repeated("first member ", 1000) || data[i] == "second";
            EXPECT_TRUE(members[i].second != MemberRead::Read || written) << where;
        }
    };
    // Cut anywhere, or each byte flipped in turn: no crash, no wrong bytes.
    for (size_t length = 0; length < good.size(); length += 7)
        expectReadAsWritten(good.substr(0, length), length);
    EXPECT_TRUE(ReadAll(good.substr(0, good.size() - 1)).empty()); // the end record cut short
    EXPECT_TRUE(ReadAll("not a zip archive at all, just some words").empty());
    EXPECT_TRUE(ReadAll("").empty());

    for (size_t at = 0; at < good.size(); ++at)
    {
        std::string broken = good;
        broken[at] = static_cast<char>(broken[at] ^ 0x5A);
        expectReadAsWritten(broken, at);
    }
}

TEST(ZipArchiveTest, HostileCountsAndOffsetsReserveNothing)
{
    ZipBuilder builder;
    builder.Add("a.txt", "abc", false);
    const std::string good = builder.Build();
    const size_t end = good.rfind("PK\x05\x06");
    ASSERT_NE(end, std::string::npos);
    struct Case
    {
        size_t offset; // in the end record
        std::string value;
    };
    const Case cases[] = {
        {10, std::string("\xFF\xFF", 2)},         // 65535 entries in a directory of one
        {12, std::string("\xFF\xFF\xFF\x7F", 4)}, // a directory larger than the file
        {16, std::string("\xF0\xFF\xFF\xFF", 4)}, // a directory past the end
    };
    for (const Case& c : cases)
    {
        std::string broken = good;
        broken.replace(end + c.offset, c.value.size(), c.value);
        EXPECT_TRUE(ReadAll(broken).empty()) << c.offset;
    }
    // A local header offset past the end: the member is damaged, the archive still opens.
    std::string badLocal = good;
    const size_t entry = good.find("PK\x01\x02");
    badLocal.replace(entry + 42, 4, std::string("\x00\x00\x00\x10", 4));
    const auto members = ReadAll(badLocal);
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(members[0].second, MemberRead::Damaged);
}

TEST(ZipArchiveTest, ReadsThroughTheFileInterfaceByPosition)
{
    testing_support::FakeFileSystem files;
    ZipBuilder builder;
    builder.Add("first.txt", Repeated("0123456789", 5000)).Add("second.txt", "tail", false);
    testing_support::FakeEntry entry;
    entry.content = builder.Build();
    entry.shortReads = {1000, 7}; // reads answered in pieces, as from a network share
    files.AddFile("C:\\a.zip", entry);
    std::unique_ptr<platform::FileReader> reader = files.OpenFile("C:\\a.zip", platform::FileShare::Read);
    ASSERT_TRUE(reader);
    engine::FileByteSource source(*reader);
    const std::optional<ZipArchive> archive = ZipArchive::Open(source);
    ASSERT_TRUE(archive);
    ASSERT_EQ(archive->Members().size(), 2u);
    std::string out;
    EXPECT_EQ(archive->ReadMember(archive->Members()[1], out), MemberRead::Read);
    EXPECT_EQ(out, "tail");
    EXPECT_EQ(archive->ReadMember(archive->Members()[0], out), MemberRead::Read);
    EXPECT_EQ(out, Repeated("0123456789", 5000));
}

} // namespace
