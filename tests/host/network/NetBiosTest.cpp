#include "network/NetBios.h"

#include <cctype>
#include <gtest/gtest.h>
#include <string>

namespace
{

using network::Packet;

Packet Hex(const std::string& text)
{
    Packet bytes;
    std::string digits;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

// A Windows workstation's answer: the question's name repeated, three names, unit ID, statistics.
const Packet kWindowsAnswer = Hex("12 34 84 00 00 00 00 01 00 00 00 00"
                                  "20 43 4b 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41"
                                  "41 41 41 41 41 41 41 41 41 00 00 21 00 01 00 00 00 00 00 6b 03"
                                  "44 45 53 4b 54 4f 50 2d 30 31 20 20 20 20 20 00 04 00" // DESKTOP-01<00>
                                  "57 4f 52 4b 47 52 4f 55 50 20 20 20 20 20 20 00 84 00" // WORKGROUP<00> g
                                  "44 45 53 4b 54 4f 50 2d 30 31 20 20 20 20 20 20 04 00" // DESKTOP-01<20>
                                  "00 0c 29 1a 2b 3c"
                                  "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                                  "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                                  "00 00 00 00 00 00");

// A Samba server's answer: the group names come first, the owner name through a compression
// pointer to the question it echoes, a unit ID of zeros.
const Packet kSambaAnswer = Hex("00 07 84 00 00 01 00 01 00 00 00 00"
                                "20 43 4b 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41"
                                "41 41 41 41 41 41 41 41 41 00 00 21 00 01"
                                "c0 0c 00 21 00 01 00 00 00 00 00 3d 03"
                                "48 4f 4d 45 20 20 20 20 20 20 20 20 20 20 20 1e 84 00" // HOME<1e> g
                                "48 4f 4d 45 20 20 20 20 20 20 20 20 20 20 20 00 84 00" // HOME<00> g
                                "4e 41 53 20 20 20 20 20 20 20 20 20 20 20 20 00 04 00" // NAS<00>
                                "00 00 00 00 00 00");

std::optional<network::NodeStatus> Decode(const Packet& packet, uint16_t id)
{
    return network::DecodeNodeStatusAnswer(packet.data(), packet.size(), id);
}

TEST(NodeStatusPacket, TheRequestAsksTheWildcardNameForItsNodeStatus)
{
    EXPECT_EQ(network::EncodeNodeStatusRequest(0xBEEF),
              Hex("be ef 00 00 00 01 00 00 00 00 00 00 20 43 4b 41 41 41 41 41 41 41 41 41 41 41 41 41 41"
                  "41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 00 00 21 00 01"));
}

TEST(NodeStatusPacket, CapturedAnswersGiveNameWorkgroupAndUnitId)
{
    auto windows = Decode(kWindowsAnswer, 0x1234);
    ASSERT_TRUE(windows);
    ASSERT_EQ(windows->names.size(), 3u);
    EXPECT_EQ(windows->names[2].suffix, 0x20);
    EXPECT_EQ(network::ComputerNameOf(*windows), "DESKTOP-01");
    EXPECT_EQ(network::WorkgroupOf(*windows), "WORKGROUP");
    EXPECT_EQ(windows->unitId, (platform::AdapterAddress{0, 12, 41, 26, 43, 60}));

    auto samba = Decode(kSambaAnswer, 7);
    ASSERT_TRUE(samba);
    EXPECT_EQ(network::ComputerNameOf(*samba), "NAS");
    EXPECT_EQ(network::WorkgroupOf(*samba), "HOME");
    EXPECT_EQ(samba->unitId, platform::AdapterAddress{});
}

TEST(NodeStatusPacket, EveryTruncationOfAnAnswerIsRejected)
{
    for (const Packet* answer : {&kWindowsAnswer, &kSambaAnswer})
    {
        const uint16_t id = static_cast<uint16_t>(((*answer)[0] << 8) | (*answer)[1]);
        for (size_t size = 0; size < answer->size(); ++size)
        {
            // A copy of exactly that size, so a read past its end is seen by the sanitizer.
            Packet cut(answer->begin(), answer->begin() + static_cast<std::ptrdiff_t>(size));
            EXPECT_FALSE(network::DecodeNodeStatusAnswer(cut.data(), cut.size(), id)) << size;
        }
    }
}

TEST(NodeStatusPacket, MalformedAnswersAreRejected)
{
    struct Case
    {
        const char* what;
        size_t offset;
        uint8_t value;
    };
    const Case cases[] = {
        {"another transaction", 1, 0x35},
        {"a question, not an answer", 2, 0x04},
        {"an error code", 3, 0x03},
        {"no answer record", 7, 0x00},
        {"a record of another type", 47, 0x20},
        {"a name whose labels run into the records", 12, 0x3f},
        {"a reserved label kind", 12, 0x80},
        {"record data past the end", 55, 0xff},
        {"a name count past the record", 56, 0x06},
        {"a name count past the packet", 56, 0xff},
    };
    ASSERT_TRUE(Decode(kWindowsAnswer, 0x1234));
    for (const Case& c : cases)
    {
        Packet bad = kWindowsAnswer;
        bad[c.offset] = c.value;
        EXPECT_FALSE(Decode(bad, 0x1234)) << c.what;
    }
    // A record length that hides the unit ID behind the packet's end.
    Packet shortRecord = kWindowsAnswer;
    shortRecord[55] = 1 + 3 * 18 + 5;
    EXPECT_FALSE(Decode(shortRecord, 0x1234));
    EXPECT_FALSE(network::DecodeNodeStatusAnswer(nullptr, 0, 0));
}

TEST(NodeStatusPacket, TablesWithoutAComputerOrGroupNameGiveEmptyTexts)
{
    network::NodeStatus status;
    status.names = {{"PRINTER", 0x20, false}, {"TEAM", 0x1e, true}};
    EXPECT_EQ(network::ComputerNameOf(status), "");
    EXPECT_EQ(network::WorkgroupOf(status), "");
}

TEST(AddressRanges, AddressesAreFourDecimalBytes)
{
    EXPECT_EQ(network::ParseAddress("127.0.1.5"), 0x7F000105u);
    EXPECT_EQ(network::AddressText(0x7F000105u), "127.0.1.5");
    for (const char* bad :
         {"", "127.0.0", "127.0.0.1.", "256.0.0.1", "1.2.3.4x", "1..2.3", "0127.0.0.1", "a.b.c.d"})
        EXPECT_FALSE(network::ParseAddress(bad)) << bad;
}

TEST(AddressRanges, SubnetsAndDashRanges)
{
    struct Case
    {
        const char* text;
        const char* first;
        const char* last;
    };
    const Case good[] = {
        {"127.0.0.0/22", "127.0.0.1", "127.0.3.254"}, // the largest subnet: 1024 addresses
        {"127.0.1.77/24", "127.0.1.1", "127.0.1.254"},
        {"127.0.0.8/30", "127.0.0.9", "127.0.0.10"},
        {"127.0.0.8/31", "127.0.0.8", "127.0.0.9"},
        {"127.0.0.9/32", "127.0.0.9", "127.0.0.9"},
        {"127.0.0.1-127.0.4.254", "127.0.0.1", "127.0.4.254"},
        {"127.0.0.5-127.0.0.5", "127.0.0.5", "127.0.0.5"},
        {"127.0.0.0-127.0.15.255", "127.0.0.0", "127.0.15.255"}, // four subnets' worth
    };
    for (const Case& c : good)
    {
        auto range = network::ParseRange(c.text);
        ASSERT_TRUE(range) << c.text;
        EXPECT_EQ(network::AddressText(range->first), c.first) << c.text;
        EXPECT_EQ(network::AddressText(range->last), c.last) << c.text;
    }
    for (const char* bad : {"127.0.0.0/21", "10.0.0.0/8", "127.0.0.0/33", "127.0.0.0/", "127.0.0.0/2x",
                            "127.0.0.9-127.0.0.8", "127.0.0.0-127.0.16.0", "127.0.0.1", "local", "1.2.3.4-"})
        EXPECT_FALSE(network::ParseRange(bad)) << bad;
}

TEST(AddressRanges, AnAdaptersLargeSubnetIsNarrowedAroundItsAddress)
{
    // 10.20.0.0/16 for 10.20.37.9: the aligned 1024 addresses around it, no network address in it.
    auto range = network::SubnetHosts(0x0A142509u, 16);
    EXPECT_EQ(network::AddressText(range.first), "10.20.36.0");
    EXPECT_EQ(network::AddressText(range.last), "10.20.39.255");
    range = network::SubnetHosts(0x0A140009u, 16);
    EXPECT_EQ(network::AddressText(range.first), "10.20.0.1");
    range = network::SubnetHosts(0xC0A80142u, 24);
    EXPECT_EQ(network::AddressText(range.first), "192.168.1.1");
    EXPECT_EQ(network::AddressText(range.last), "192.168.1.254");
}

TEST(AddressRanges, ExpandingListsEachAddressOnceInOrder)
{
    const std::vector<network::AddressRange> ranges = {{0x7F000003u, 0x7F000005u},
                                                       {0x7F000001u, 0x7F000004u}};
    EXPECT_EQ(network::ExpandRanges(ranges),
              (std::vector<uint32_t>{0x7F000003u, 0x7F000004u, 0x7F000005u, 0x7F000001u, 0x7F000002u}));
    EXPECT_TRUE(network::InRanges(0x7F000001u, ranges));
    EXPECT_FALSE(network::InRanges(0x7F000006u, ranges));
}

} // namespace
