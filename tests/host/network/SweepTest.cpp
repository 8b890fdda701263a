#include "network/Sweep.h"

#include "network/Dns.h"
#include "tests/support/FakeNetwork.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

namespace
{

using network::Packet;

constexpr uint32_t kBase = 0x7F000100u; // 127.0.1.0

fake::FakeDatagramSocket::Responder Answering(const std::string& name, uint8_t last, unsigned delayMs = 3)
{
    return {delayMs, [name, last](const Packet& question) {
                return std::vector<Packet>{fake::NodeStatusAnswer(fake::TransactionId(question),
                                                                  {{name, 0, false}, {"LAB", 0, true}},
                                                                  {2, 0, 0, 0, 0, last})};
            }};
}

class SweepTest : public ::testing::Test
{
protected:
    std::vector<uint32_t> Addresses(uint32_t count)
    {
        std::vector<uint32_t> addresses;
        for (uint32_t i = 1; i <= count; ++i)
            addresses.push_back(kBase + i);
        return addresses;
    }
    network::NameSweep Make(std::vector<uint32_t> addresses, unsigned timeoutMs = 2000)
    {
        return network::NameSweep(
            socket, [this] { return socket.now; }, std::move(addresses), timeoutMs,
            network::kDefaultSendsPerSecond, 0xFFF0);
    }
    // Pumps as a lookup does until the sweep is over; the answers' computer names in arrival order.
    std::vector<std::string> RunToEnd(network::NameSweep& sweep)
    {
        std::vector<std::string> names;
        while (!sweep.Finished())
        {
            std::vector<network::SweepAnswer> fresh;
            sweep.Pump(20, fresh);
            for (const network::SweepAnswer& answer : fresh)
                names.push_back(network::ComputerNameOf(answer.status) + "@" +
                                network::AddressText(answer.address));
        }
        return names;
    }

    fake::FakeDatagramSocket socket;
};

TEST_F(SweepTest, QuestionsGoOutAtTheRateWithoutWaitingAndAnswersAreTakenUntilTheTimeOut)
{
    socket.responders[kBase + 2] = Answering("NEAR", 2, 1);
    socket.responders[kBase + 300] = Answering("LAST", 44, 1900); // just inside the time-out
    socket.responders[kBase + 7] = Answering("TOOLATE", 7, 2500);
    const uint64_t start = socket.now;
    auto sweep = Make(Addresses(300));
    EXPECT_EQ(RunToEnd(sweep), (std::vector<std::string>{"NEAR@127.0.1.2", "LAST@127.0.2.44"}));
    ASSERT_EQ(socket.sentTo.size(), 300u);
    EXPECT_EQ(socket.sentTo.front(), kBase + 1);
    // A burst at once, then the rate: 300 questions within 60 ms at 5000 a second.
    EXPECT_EQ(socket.sentAt[network::kSendBurst - 1], start);
    EXPECT_GT(socket.sentAt.back(), start + 40);
    EXPECT_LE(socket.sentAt.back(), start + 60);
    // It ends at the time-out after the last question, not sooner.
    EXPECT_GE(socket.now, socket.sentAt.back() + 2000);
    EXPECT_LE(socket.now, socket.sentAt.back() + 2000 + 20);
    EXPECT_NE(sweep.AnswerOf(kBase + 2), nullptr);
    EXPECT_EQ(sweep.AnswerOf(kBase + 7), nullptr);
}

TEST_F(SweepTest, GarbageTruncatedForeignAndRepeatedDatagramsChangeNothing)
{
    socket.responders[kBase + 1] = Answering("GOOD", 1, 1);
    socket.responders[kBase + 2] = {1, [](const Packet&) { return std::vector<Packet>{Packet(80, 0xA5)}; }};
    socket.responders[kBase + 3] = {1, [](const Packet& question) {
                                        Packet whole =
                                            fake::NodeStatusAnswer(fake::TransactionId(question),
                                                                   {{"CUT", 0, false}}, {1, 2, 3, 4, 5, 6});
                                        whole.resize(whole.size() - 50); // the unit ID is lost
                                        return std::vector<Packet>{whole, Packet{}};
                                    }};
    // Another address's transaction ID: a late answer of an earlier sweep looks like this.
    socket.responders[kBase + 4] = {1, [](const Packet& question) {
                                        return std::vector<Packet>{fake::NodeStatusAnswer(
                                            fake::TransactionId(question) + 1, {{"STALE", 0, false}}, {})};
                                    }};
    // The first answer counts; the repeat with other names is dropped.
    socket.responders[kBase + 5] = {1, [](const Packet& question) {
                                        const uint16_t id = fake::TransactionId(question);
                                        return std::vector<Packet>{
                                            fake::NodeStatusAnswer(id, {{"FIRST", 0, false}}, {}),
                                            fake::NodeStatusAnswer(id, {{"SECOND", 0, false}}, {})};
                                    }};
    // Nobody asked 127.0.0.99, and an ICMP error reads as an empty datagram from nowhere.
    socket.Deliver(socket.now + 2, 0x7F000063u, fake::NodeStatusAnswer(0xFFF0, {{"UNASKED", 0, false}}, {}));
    socket.Deliver(socket.now + 2, 0, Packet{});
    auto sweep = Make(Addresses(6));
    EXPECT_EQ(RunToEnd(sweep), (std::vector<std::string>{"GOOD@127.0.1.1", "FIRST@127.0.1.5"}));
}

TEST_F(SweepTest, PumpWaitsNoLongerThanAskedAndAnEmptySweepIsOverAtOnce)
{
    auto sweep = Make(Addresses(3), 2000);
    std::vector<network::SweepAnswer> fresh;
    const uint64_t before = socket.now;
    sweep.Pump(20, fresh);
    EXPECT_EQ(socket.now, before + 20);
    EXPECT_FALSE(sweep.Finished());
    sweep.Pump(0, fresh);
    EXPECT_EQ(socket.now, before + 20);

    auto empty = Make({});
    EXPECT_TRUE(empty.Finished());
}

TEST(LocalSubnets, SweepRangesAreNarrowedButTheSubnetTestIsWhole)
{
    const std::vector<platform::AdapterSubnet> subnets = {{0x0A142509u, 16}, {0xC0A80142u, 24}};
    const auto ranges = network::LocalSweepRanges(subnets);
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[0].last - ranges[0].first + 1, network::kMaxSubnetAddresses);
    EXPECT_EQ(network::AddressText(ranges[1].first), "192.168.1.1");
    EXPECT_TRUE(network::OnLocalSubnet(0x0A14FF01u, subnets)); // 10.20.255.1: outside the swept block
    EXPECT_FALSE(network::OnLocalSubnet(0x0A150001u, subnets));
    EXPECT_FALSE(network::OnLocalSubnet(0xC0A80242u, subnets));
}

// A sweep that asks every way, on the fake socket's clock.
class WaysSweepTest : public SweepTest
{
protected:
    WaysSweepTest() : dns([this] { return socket.now; }) {}

    void Mdns(uint8_t last, const std::string& name, unsigned delayMs)
    {
        socket.mdnsResponders[kBase + last] = {delayMs, [name, last](const Packet& question) {
                                                   return std::vector<Packet>{fake::ReverseAnswer(
                                                       fake::TransactionId(question), kBase + last, name)};
                                               }};
    }
    void MdnsBytes(uint8_t last, std::function<Packet(uint16_t id)> answer)
    {
        socket.mdnsResponders[kBase + last] = {2, [answer](const Packet& question) {
                                                   return std::vector<Packet>{
                                                       answer(fake::TransactionId(question))};
                                               }};
    }
    network::NameSweep MakeAll(uint32_t count)
    {
        return network::NameSweep(
            socket, [this] { return socket.now; }, Addresses(count), 2000, network::kDefaultSendsPerSecond,
            0x4000, network::SweepWays{true, &dns});
    }
    // "MS NAME@ADDRESS by SOURCE" in the order reported, MS counted from the start in steps of 100.
    std::vector<std::string> Reports(network::NameSweep& sweep, uint64_t start)
    {
        std::vector<std::string> reports;
        while (!sweep.Finished())
        {
            std::vector<network::SweepAnswer> fresh;
            sweep.Pump(20, fresh);
            for (const network::SweepAnswer& answer : fresh)
            {
                char at[8];
                std::snprintf(at, sizeof at, "%04u", static_cast<unsigned>((socket.now - start) / 100 * 100));
                reports.push_back(std::string(at) + " " + answer.name + "@" +
                                  std::to_string(answer.address - kBase) + " by " +
                                  network::NameSourceKey(answer.source));
            }
        }
        return reports;
    }

    fake::FakeReverseLookups dns;
};

TEST_F(WaysSweepTest, EachAddressIsReportedOnceWithTheFirstNameInOrderOfTheWays)
{
    socket.responders[kBase + 1] = Answering("NBONLY", 1, 3);
    Mdns(2, "mdns-only.local", 3);
    dns.names[kBase + 3] = {3, "dns-only.example"};
    // NetBIOS answers last but its name wins; the others wait until it has answered.
    socket.responders[kBase + 4] = Answering("BOTH", 4, 900);
    Mdns(4, "both.local", 3);
    dns.names[kBase + 4] = {3, "both.example"};
    Mdns(5, "first.local", 50);
    dns.names[kBase + 5] = {3, "second.example"};
    // NetBIOS answers without a computer name: its unit ID stays with the next way's name.
    socket.responders[kBase + 6] = {3, [](const Packet& question) {
                                        return std::vector<Packet>{
                                            fake::NodeStatusAnswer(fake::TransactionId(question),
                                                                   {{"LAB", 0, true}}, {0, 12, 41, 0, 0, 6})};
                                    }};
    Mdns(6, "groupie.local", 3);
    Mdns(7, "too-late.local", 2500);         // after the time-out
    dns.names[kBase + 8] = {3, "127.0.1.8"}; // the address's own text is no name
    dns.names[kBase + 9] = {3, "bad\nname"}; // nor is a line break
    const uint64_t start = socket.now;
    auto sweep = MakeAll(10);
    std::vector<std::string> reports = Reports(sweep, start);
    // Those settled at the same time come in no particular order.
    EXPECT_TRUE(
        std::is_sorted(reports.begin(), reports.end(), [](const std::string& a, const std::string& b) {
            return a.substr(0, 4) < b.substr(0, 4);
        }));
    std::sort(reports.begin(), reports.end());
    EXPECT_EQ(reports,
              (std::vector<std::string>{"0000 NBONLY@1 by netbios", "0000 groupie.local@6 by mdns",
                                        "0900 BOTH@4 by netbios", "2000 dns-only.example@3 by dns",
                                        "2000 first.local@5 by mdns", "2000 mdns-only.local@2 by mdns"}));
    // Ten addresses, each asked by NetBIOS and multicast DNS on the one socket and by reverse DNS.
    EXPECT_EQ(std::count(socket.sentPort.begin(), socket.sentPort.end(), network::kNetBiosNamePort), 10);
    EXPECT_EQ(std::count(socket.sentPort.begin(), socket.sentPort.end(), network::kMdnsPort), 10);
    EXPECT_EQ(dns.asked, Addresses(10));
}

TEST_F(WaysSweepTest, ReportsCarryTheNetBiosAnswerWhicheverWayNamedThem)
{
    socket.responders[kBase + 1] = {3, [](const Packet& question) {
                                        return std::vector<Packet>{
                                            fake::NodeStatusAnswer(fake::TransactionId(question),
                                                                   {{"LAB", 0, true}}, {0, 12, 41, 0, 0, 1})};
                                    }};
    dns.names[kBase + 1] = {3, "one.example"};
    auto sweep = MakeAll(1);
    std::vector<network::SweepAnswer> all;
    while (!sweep.Finished())
        sweep.Pump(20, all);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].name, "one.example");
    EXPECT_EQ(all[0].source, network::NameSource::Dns);
    EXPECT_EQ(network::WorkgroupOf(all[0].status), "LAB");
    EXPECT_EQ(all[0].status.unitId, (platform::AdapterAddress{0, 12, 41, 0, 0, 1}));
}

TEST_F(WaysSweepTest, MalformedOrForeignMulticastAnswersNameNothing)
{
    MdnsBytes(1, [](uint16_t) { return Packet(60, 0xC0); }); // pointers only
    MdnsBytes(2, [](uint16_t id) { return fake::ReverseAnswer(id + 1, kBase + 2, "stale"); }); // another id
    MdnsBytes(3, [](uint16_t id) { return fake::ReverseAnswer(id, kBase + 9, "other"); }); // another address
    MdnsBytes(4, [](uint16_t id) {
        Packet answer = fake::ReverseAnswer(id, kBase + 4, "cut.local");
        answer.resize(answer.size() - 3);
        return answer;
    });
    // A NetBIOS answer that comes from port 5353 is no multicast-DNS answer.
    MdnsBytes(5, [](uint16_t id) { return fake::NodeStatusAnswer(id, {{"WRONGPORT", 0, false}}, {}); });
    // And a multicast-DNS answer from port 137 is no NetBIOS answer.
    socket.responders[kBase + 6] = {
        2, [](const Packet& question) {
            return std::vector<Packet>{fake::ReverseAnswer(fake::TransactionId(question), kBase + 6, "x")};
        }};
    auto sweep = MakeAll(6);
    EXPECT_EQ(Reports(sweep, socket.now), std::vector<std::string>{});
    EXPECT_EQ(socket.sentPort.size(), 12u);
}

TEST_F(WaysSweepTest, WithoutTheOtherWaysOnlyNetBiosIsAsked)
{
    Mdns(1, "never.local", 3);
    auto sweep = Make(Addresses(4));
    EXPECT_EQ(RunToEnd(sweep), std::vector<std::string>{});
    EXPECT_EQ(socket.sentPort, std::vector<uint16_t>(4, network::kNetBiosNamePort));
    EXPECT_TRUE(dns.asked.empty());
}

} // namespace
