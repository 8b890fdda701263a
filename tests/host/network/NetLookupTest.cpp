#include "network/NetLookup.h"

#include "network/MacVendor.h"
#include "tests/support/FakeNetwork.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <gtest/gtest.h>

using fake::Entry;
using Events = std::vector<std::string>;

namespace
{

// ASCII and a few accented letters, standing in for the system's rules.
std::string FakeUpper(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text.compare(i, 2, "\xC3\xA9") == 0) // é -> É
        {
            out += "\xC3\x89";
            ++i;
        }
        else
        {
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        }
    }
    return out;
}

class NetLookupTest : public ::testing::Test
{
protected:
    NetLookupTest()
    {
        provider.domains = {{Entry("WORK"), Entry("HOME")}};
        provider.children["WORK"] = {{Entry("\\\\PC01", "desk"), Entry("\\\\SERVER")}, {Entry("\\\\LAPC")}};
        provider.children["HOME"] = {{Entry("\\\\CAF\xC3\x89")}};
        resolver.addresses = {{"PC01", "10.0.0.1"}, {"SERVER", "10.0.0.7"}, {"LAPC", "10.0.0.3"}};
        mac.addresses["PC01"] = {0, 12, 41, 26, 43, 60};
    }

    Events Run(const std::string& text)
    {
        sink.events.clear();
        network::LookupServices services{provider, resolver,     mac,   FakeUpper, nullptr,
                                         &arp,     localSubnets, sweep, vendorOf};
        network::GetNetInfo(text, services, control, sink);
        return sink.events;
    }

    // Only the captions of the computer rows, in order.
    Events Computers(const std::string& text)
    {
        Events names;
        for (const std::string& event : Run(text))
            if (event.rfind("row ", 0) == 0 && event.size() > 4 && event[4] != '|')
                names.push_back(event.substr(4, event.find('|') - 4));
        return names;
    }

    fake::FakeNetProvider provider;
    fake::FakeResolver resolver;
    fake::FakeMacQuery mac;
    fake::RecordingSink sink;
    network::LookupControl control;
    fake::FakeArpQuery arp;
    std::function<std::vector<platform::AdapterSubnet>()> localSubnets;
    const network::SweepSource* sweep = nullptr;
    std::function<std::string(const network::AdapterAddress&)> vendorOf;
};

// The same network with a sweep beside it: answering nodes on 127.0.1.0/24, the browse list's
// computers on 10.0.0.0/24.
class SweepLookupTest : public NetLookupTest
{
protected:
    SweepLookupTest()
    {
        provider.domains = {};
        source.socket = &socket;
        source.nowMs = [this] { return socket.now; };
        source.ranges = {*network::ParseRange("127.0.1.0/29")};
        sweep = &source;
        localSubnets = [] { return std::vector<platform::AdapterSubnet>{{0x0A000063u, 24}}; };
    }
    void Node(uint8_t last, const std::string& name, const std::string& group, network::AdapterAddress unit,
              unsigned delayMs = 5)
    {
        socket.responders[0x7F000100u + last] = {
            delayMs, [=](const network::Packet& question) {
                std::vector<network::NameEntry> names = {{name, 0, false}};
                if (!group.empty())
                    names.push_back({group, 0, true});
                return std::vector<network::Packet>{
                    fake::NodeStatusAnswer(fake::TransactionId(question), names, unit)};
            }};
    }

    fake::FakeDatagramSocket socket;
    network::SweepSource source;
};

TEST_F(SweepLookupTest, AnsweringNodesBecomeRowsThroughTheSameMatchingRule)
{
    Node(1, "ALPHA", "LAB", {0, 12, 41, 26, 43, 60}, 30);
    Node(3, "BETA-PC", "LAB", {}, 10); // no unit ID and not on a local subnet: no ARP either
    Node(5, "GAMMA", "", {2, 0, 0, 0, 0, 5});
    EXPECT_EQ(Run(""), (Events{"clear", "row GAMMA|127.0.1.5||@netbios", "last 02-00-00-00-00-05",
                               "row BETA-PC|127.0.1.3|LAB|@netbios", "last ?-?-?-?-?-?",
                               "row ALPHA|127.0.1.1|LAB|@netbios", "last 00-0C-29-1A-2B-3C"}));
    EXPECT_TRUE(arp.asked.empty());
    // Rows came as the answers arrived, the sweep ended at the time-out after its last question.
    EXPECT_EQ(socket.sentTo.size(), 12u); // NetBIOS and multicast DNS for each address
    EXPECT_GE(socket.now, socket.sentAt.back() + network::kDefaultSweepTimeoutMs);

    EXPECT_EQ(Computers("pc"), (Events{"BETA-PC"}));
    EXPECT_EQ(Computers("\\\\al"), (Events{"ALPHA"}));
    EXPECT_EQ(Computers("127.0.1.5"), (Events{"GAMMA"}));
    EXPECT_EQ(Computers("127.0.1"), Events{});
    EXPECT_EQ(Computers("lab"), Events{}); // the workgroup is no part of the name test
}

TEST_F(SweepLookupTest, NamesOfEveryWayAreListedOnceWithTheirSourceAndVendor)
{
    auto dns = std::make_shared<fake::FakeReverseLookups>([this] { return socket.now; });
    source.dns = dns;
    const network::VendorTable vendors({{0x000C29, "VMware"}, {0x001B63, "Apple"}, {0x080027, "PCS"}});
    vendorOf = [&vendors](const network::AdapterAddress& address) {
        return network::VendorOf(address, nullptr, vendors);
    };
    localSubnets = [] { return std::vector<platform::AdapterSubnet>{{0x7F000163u, 24}}; };
    arp.addresses[0x7F000104u] = {8, 0, 39, 0, 0, 4};
    provider.domains = {{Entry("WORK")}};
    provider.children["WORK"] = {{Entry("\\\\PC01", "desk")}};
    resolver.addresses = {{"PC01", "127.0.1.1"}};
    mac.addresses["PC01"] = {0, 12, 41, 26, 43, 60};
    auto mdns = [this](uint8_t last, const std::string& name, unsigned delayMs) {
        socket.mdnsResponders[0x7F000100u + last] = {
            delayMs, [=](const network::Packet& question) {
                return std::vector<network::Packet>{
                    fake::ReverseAnswer(fake::TransactionId(question), 0x7F000100u + last, name)};
            }};
    };
    mdns(1, "pc01.local", 3); // the browse list's computer: its row alone
    Node(2, "NBNODE", "LAB", {0, 0x1B, 0x63, 0, 0, 2});
    Node(3, "LAB", "", {0, 0x1B, 0x63, 0, 0, 3}); // NetBIOS names only its workgroup...
    socket.responders[0x7F000103u].answer = [](const network::Packet& question) {
        return std::vector<network::Packet>{fake::NodeStatusAnswer(
            fake::TransactionId(question), {{"LAB", 0, true}}, {0, 0x1B, 0x63, 0, 0, 3})};
    };
    mdns(3, "mac-mini.local", 8); // ...multicast DNS names the computer
    dns->names[0x7F000104u] = {4, "printer.example"};
    socket.mdnsResponders[0x7F000105u] = {3, [](const network::Packet& question) {
                                              network::Packet cut = fake::ReverseAnswer(
                                                  fake::TransactionId(question), 0x7F000105u, "cut.local");
                                              cut.resize(cut.size() - 1);
                                              return std::vector<network::Packet>{cut};
                                          }};
    EXPECT_EQ(Run(""), (Events{"clear", "row PC01|127.0.1.1|WORK|desk", "last 00-0C-29-1A-2B-3C (VMware)",
                               "row NBNODE|127.0.1.2|LAB|@netbios", "last 00-1B-63-00-00-02 (Apple)",
                               "row mac-mini.local|127.0.1.3|LAB|@mdns", "last 00-1B-63-00-00-03 (Apple)",
                               "row printer.example|127.0.1.4||@dns", "last 08-00-27-00-00-04 (PCS)"}));
    EXPECT_EQ(dns->asked.size(), 6u);
    // The matching rule holds for every way's name.
    EXPECT_EQ(Computers("mini"), (Events{"mac-mini.local"}));
    EXPECT_EQ(Computers("127.0.1.4"), (Events{"printer.example"}));
}

TEST_F(SweepLookupTest, AStopEndsTheSweepAtOnceWhileNamesWait)
{
    source.dns = std::make_shared<fake::FakeReverseLookups>([this] { return socket.now; });
    socket.mdnsResponders[0x7F000101u] = {3, [](const network::Packet& question) {
                                              return std::vector<network::Packet>{fake::ReverseAnswer(
                                                  fake::TransactionId(question), 0x7F000101u, "waits.local")};
                                          }};
    const uint64_t start = socket.now;
    control.stopRequested = [&] { return socket.now >= start + 100; };
    EXPECT_EQ(Run(""), (Events{"clear"}));
    EXPECT_LT(socket.now, start + 100 + network::kSweepSliceMs + 1);
}

TEST_F(SweepLookupTest, AComputerBothSourcesFindIsTheBrowseListsRowWithTheSweepsMac)
{
    provider.domains = {{Entry("WORK")}};
    provider.children["WORK"] = {{Entry("\\\\PC01", "desk"), Entry("\\\\SERVER"), Entry("\\\\LAPC")}};
    resolver.addresses = {{"PC01", "127.0.1.1"}, {"SERVER", "10.0.0.7"}, {"LAPC", "10.0.1.3"}};
    mac.addresses.clear();
    arp.addresses[0x0A000007u] = {8, 0, 39, 0, 0, 7};
    Node(1, "PC01", "WORK", {0, 12, 41, 26, 43, 60}); // by address
    Node(2, "lapc", "WORK", {1, 1, 1, 1, 1, 1});      // by name, at another address
    Node(4, "NEW", "WORK", {4, 4, 4, 4, 4, 4});
    control.listDomains = [] { return true; };
    EXPECT_EQ(Run(""),
              (Events{"clear", "row ||WORK", "row PC01|127.0.1.1|WORK|desk", "last 00-0C-29-1A-2B-3C",
                      "row SERVER|10.0.0.7|WORK|", "last 08-00-27-00-00-07", "row LAPC|10.0.1.3|WORK|",
                      "last ?-?-?-?-?-?", "row NEW|127.0.1.4|WORK|@netbios", "last 04-04-04-04-04-04"}));
    // ARP only for the browse list's computer on the local subnet whose NetBIOS query failed.
    EXPECT_EQ(arp.asked, (std::vector<uint32_t>{0x0A000007u}));
}

TEST_F(SweepLookupTest, WorkgroupsOfTheSweepGetTheirRowOnceWhenDomainsAreListed)
{
    Node(1, "ALPHA", "LAB", {}, 5);
    Node(2, "BETA", "LAB", {}, 6);
    Node(3, "GAMMA", "HOME", {}, 7);
    control.listDomains = [] { return true; };
    EXPECT_EQ(Run("a"), (Events{"clear", "row ||LAB", "row ALPHA|127.0.1.1|LAB|@netbios", "last ?-?-?-?-?-?",
                                "row BETA|127.0.1.2|LAB|@netbios", "last ?-?-?-?-?-?",
                                "row GAMMA|127.0.1.3|HOME|@netbios", "last ?-?-?-?-?-?"}));
}

TEST_F(SweepLookupTest, AStopEndsTheSweepAtOnce)
{
    Node(1, "ALPHA", "", {}, 5);
    Node(2, "BETA", "", {}, 900);
    control.stopRequested = [&] { return sink.events.size() >= 3; }; // once ALPHA is whole
    const uint64_t start = socket.now;
    EXPECT_EQ(Run(""), (Events{"clear", "row ALPHA|127.0.1.1||@netbios", "last ?-?-?-?-?-?"}));
    EXPECT_LT(socket.now, start + 5 + network::kSweepSliceMs + 1);

    // A stop before the browse list ends sends the sweep's first questions only.
    control.stopRequested = [] { return true; };
    provider.domains = {{Entry("WORK")}};
    socket.sentTo.clear();
    EXPECT_EQ(Run(""), (Events{"clear"}));
    EXPECT_LE(socket.sentTo.size(), 2 * network::kSendBurst);
}

TEST_F(NetLookupTest, EmptyTextListsEveryComputerOfEveryBatchWithItsMacLast)
{
    EXPECT_EQ(Run(""), (Events{"clear", "row PC01|10.0.0.1|WORK|desk", "last 00-0C-29-1A-2B-3C",
                               "row SERVER|10.0.0.7|WORK|", "last ?-?-?-?-?-?", "row LAPC|10.0.0.3|WORK|",
                               "last ?-?-?-?-?-?", "row CAF\xC3\x89|?.?.?.?|HOME|", "last ?-?-?-?-?-?"}));
}

TEST_F(NetLookupTest, DomainRowsComeBeforeTheirComputersAndTheBoxIsReadPerDomain)
{
    int reads = 0;
    control.listDomains = [&] { return ++reads == 1; }; // checked for WORK only
    Events events = Run("");
    EXPECT_EQ(reads, 2);
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[1], "row ||WORK");
    EXPECT_EQ(events[2], "row PC01|10.0.0.1|WORK|desk");
    EXPECT_EQ(std::count(events.begin(), events.end(), "row ||HOME"), 0);
}

TEST_F(NetLookupTest, MatchingDomainWithoutMatchingComputersGivesOnlyItsRow)
{
    control.listDomains = [] { return true; };
    EXPECT_EQ(Run("hom"), (Events{"clear", "row ||HOME"}));
}

TEST_F(NetLookupTest, NameTestIsCaseBlindOnTheFullRemoteName)
{
    EXPECT_EQ(Computers("pc"), (Events{"PC01", "LAPC"}));
    EXPECT_EQ(Computers("\\\\pc"), (Events{"PC01"}));
    EXPECT_EQ(Computers("\\"), (Events{"PC01", "SERVER", "LAPC", "CAF\xC3\x89"}));
    EXPECT_EQ(Computers("caf\xC3\xA9"), (Events{"CAF\xC3\x89"}));
}

TEST_F(NetLookupTest, AddressTestComparesWholeStrings)
{
    EXPECT_EQ(Computers("10.0.0.7"), (Events{"SERVER"}));
    EXPECT_EQ(Computers("10.0.0"), Events{});
    EXPECT_EQ(Computers("?.?.?.?"), (Events{"CAF\xC3\x89"}));
    // Every computer is resolved, also those that the name test already rejects.
    EXPECT_EQ(resolver.asked.size(), 12u);
}

TEST_F(NetLookupTest, NetBiosNameIsPaddedAndTheQueryGoesToAdapterZero)
{
    provider.children["HOME"] = {{Entry("\\\\A-VERY-LONG-COMPUTER-NAME")}};
    Run("long");
    ASSERT_EQ(mac.asked.size(), 1u);
    EXPECT_EQ(std::string(mac.asked[0].begin(), mac.asked[0].end()), std::string("A-VERY-LONG-COM\0", 16));
    EXPECT_EQ(network::MakeNetBiosName("PC01"), network::MakeNetBiosName("PC01           "));
    EXPECT_EQ(network::MakeNetBiosName("PC01")[15], 0);
}

TEST_F(NetLookupTest, MacTextIsUpperCaseHexPairsOrThePlaceholder)
{
    EXPECT_EQ(network::MacText(network::AdapterAddress{0, 12, 41, 26, 43, 60}), "00-0C-29-1A-2B-3C");
    EXPECT_EQ(network::MacText(network::AdapterAddress{255, 171, 0, 1, 16, 239}), "FF-AB-00-01-10-EF");
    EXPECT_EQ(network::MacText(std::nullopt), "?-?-?-?-?-?");
}

TEST_F(NetLookupTest, StopIsSeenBetweenComputersAndBeforeADomainsComputers)
{
    control.stopRequested = [&] { return sink.events.size() >= 3; }; // after PC01 is whole
    EXPECT_EQ(Run(""), (Events{"clear", "row PC01|10.0.0.1|WORK|desk", "last 00-0C-29-1A-2B-3C"}));

    sink.events.clear();
    control.listDomains = [] { return true; };
    control.stopRequested = [&] { return sink.events.size() >= 2; };
    provider.opened.clear();
    EXPECT_EQ(Run(""), (Events{"clear", "row ||WORK"}));
    EXPECT_EQ(provider.opened, (Events{"(domains)"}));
}

TEST_F(NetLookupTest, ADomainThatFailsIsSkipped)
{
    provider.domains = {{Entry("WORK"), Entry("BROKEN"), Entry("HOME")}};
    provider.unopenable = {"WORK"};
    provider.children["BROKEN"] = {};
    provider.failAfterBatches = {"BROKEN"};
    control.listDomains = [] { return true; };
    EXPECT_EQ(Run(""), (Events{"clear", "row ||WORK", "row ||BROKEN", "row ||HOME",
                               "row CAF\xC3\x89|?.?.?.?|HOME|", "last ?-?-?-?-?-?"}));
}

TEST_F(NetLookupTest, AnEntryWithoutAComputerNameGivesNoRow)
{
    // An empty caption would make the row read as a domain's.
    provider.children["HOME"] = {{Entry("\\\\"), Entry("\\\\CAF\xC3\x89"), Entry("")}};
    EXPECT_EQ(Run(""), (Events{"clear", "row PC01|10.0.0.1|WORK|desk", "last 00-0C-29-1A-2B-3C",
                               "row SERVER|10.0.0.7|WORK|", "last ?-?-?-?-?-?", "row LAPC|10.0.0.3|WORK|",
                               "last ?-?-?-?-?-?", "row CAF\xC3\x89|?.?.?.?|HOME|", "last ?-?-?-?-?-?"}));
    EXPECT_EQ(Run("?.?.?.?"), (Events{"clear", "row CAF\xC3\x89|?.?.?.?|HOME|", "last ?-?-?-?-?-?"}));
}

TEST_F(NetLookupTest, ComputersReadBeforeAFailedBatchAreKept)
{
    provider.failAfterBatches = {"WORK"};
    EXPECT_EQ(Computers("pc"), (Events{"PC01", "LAPC"}));
}

TEST_F(NetLookupTest, EveryDomainBatchIsVisited)
{
    provider.domains = {{Entry("WORK")}, {Entry("HOME")}};
    EXPECT_EQ(Computers("caf"), (Events{"CAF\xC3\x89"}));
}

TEST_F(NetLookupTest, DomainLevelThatCannotBeOpenedLeavesTheListEmpty)
{
    provider.domainsOpen = false;
    EXPECT_EQ(Run(""), (Events{"clear"}));
    provider.domainsOpen = true;
    provider.domains = {};
    sink.events.clear();
    EXPECT_EQ(Run(""), (Events{"clear"}));
}

TEST_F(NetLookupTest, SocketsThatDoNotStartLeaveTheListAsItWas)
{
    resolver.startResult = false;
    EXPECT_EQ(Run(""), Events{});
    EXPECT_TRUE(provider.opened.empty());
}

TEST_F(NetLookupTest, NetBiosNameUsesTheConvertedName)
{
    provider.children = {{"HOME", {{Entry("\\\\pc01")}}}};
    provider.domains = {{Entry("HOME")}};
    network::LookupServices services{provider, resolver, mac,     FakeUpper, FakeUpper,
                                     nullptr,  nullptr,  nullptr, {}};
    network::GetNetInfo("", services, control, sink);
    EXPECT_EQ(sink.events.back(), "last 00-0C-29-1A-2B-3C");
}

} // namespace
