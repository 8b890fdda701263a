#include "network/Sweep.h"

#include "tests/support/FakeNetwork.h"

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
    network::NodeStatusSweep Make(std::vector<uint32_t> addresses, unsigned timeoutMs = 2000)
    {
        return network::NodeStatusSweep(
            socket, [this] { return socket.now; }, std::move(addresses), timeoutMs,
            network::kDefaultSendsPerSecond, 0xFFF0);
    }
    // Pumps as a lookup does until the sweep is over; the answers' computer names in arrival order.
    std::vector<std::string> RunToEnd(network::NodeStatusSweep& sweep)
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

} // namespace
