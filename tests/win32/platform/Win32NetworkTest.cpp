// The network adapters against the real APIs. Traffic goes only to 127.0.0.0/8 and only names the
// machine answers itself are resolved: the NetBIOS node-status query is answered by a responder
// bound to 127.0.0.1:137 in this process.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
// clang-format on
#include "platform/Win32Network.h"

#include "network/MacVendor.h"
#include "network/NetLookup.h"
#include "platform/Win32DatagramSocket.h"
#include "tests/support/FakeNetwork.h"
#include "tests/win32/support/NodeStatusResponder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace
{

using testing_support::NodeStatusResponder;

TEST(Win32MacQuery, ReadsTheAdapterAddressFromTheNodeStatusAnswer)
{
    NodeStatusResponder responder("127.0.0.1", {{"RESPONDER", 0x20, false}}, {0, 12, 41, 26, 43, 60});
    ASSERT_TRUE(responder.Bound()) << "127.0.0.1:137 is taken or needs more rights";
    platform::Win32MacQuery query;
    const auto address = query.Query(0, network::MakeNetBiosName("127.0.0.1"));
    EXPECT_EQ(network::MacText(address), "00-0C-29-1A-2B-3C");
    EXPECT_EQ(responder.questionType, 0x21u);
    EXPECT_EQ(responder.questionName.substr(0, 15), "127.0.0.1      ");
}

TEST(Win32MacQuery, NobodyAnsweringGivesThePlaceholder)
{
    platform::Win32MacQuery query;
    EXPECT_EQ(network::MacText(query.Query(0, network::MakeNetBiosName("127.0.0.9"))), "?-?-?-?-?-?");
}

TEST(Win32NameResolver, GivesTheFirstIpv4AddressInDottedForm)
{
    platform::Win32NameResolver resolver;
    ASSERT_TRUE(resolver.Start());
    EXPECT_EQ(resolver.Resolve("localhost").value_or("none"), "127.0.0.1");
    EXPECT_EQ(resolver.Resolve("127.0.0.5").value_or("none"), "127.0.0.5");
}

// A resolver of the test's own: the real one could ask a DNS server.
class TableResolver : public platform::ReverseResolver
{
public:
    std::map<uint32_t, std::string> names;
    std::optional<std::string> NameOf(uint32_t address) override
    {
        const auto found = names.find(address);
        return found == names.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
};

// The sweep on a real socket against loopback nodes, each way once: NetBIOS, multicast DNS, and
// reverse DNS through the lookups' threads and the test's resolver.
TEST(Win32Sweep, EveryWayNamesItsNodesOverRealSockets)
{
    testing_support::LoopbackNodes nodes({
        "127.0.5.1=answer=NBNODE<00>,LAB<00>g=00-1b-63-00-00-01",
        "127.0.5.2=mdns=mdns-node.local=-",
        "127.0.5.4=mdns-truncated=cut.local=-",
    });
    ASSERT_TRUE(nodes.Ready()) << nodes.Status();
    auto socket = platform::Win32DatagramSocket::Open();
    ASSERT_TRUE(socket);
    auto resolver = std::make_shared<TableResolver>();
    resolver->names[0x7F000503u] = "dns-node.example";
    network::SweepSource sweep;
    sweep.socket = socket.get();
    sweep.nowMs = network::SteadyMilliseconds;
    sweep.ranges = {*network::ParseRange("127.0.5.1-127.0.5.6")};
    sweep.timeoutMs = 800;
    sweep.dns = std::make_shared<network::ThreadedReverseLookups>(resolver);
    fake::FakeNetProvider provider;
    fake::FakeResolver names;
    fake::FakeMacQuery mac;
    const network::VendorTable vendors({{0x001B63, "Apple"}});
    network::LookupServices services{provider,
                                     names,
                                     mac,
                                     [](const std::string& text) { return text; },
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     &sweep,
                                     [&vendors](const network::AdapterAddress& address) {
                                         return network::VendorOf(address, nullptr, vendors);
                                     }};
    fake::RecordingSink sink;
    network::GetNetInfo("", services, {}, sink);
    ASSERT_EQ(sink.events.size(), 7u);
    EXPECT_EQ(sink.events[1], "row NBNODE|127.0.5.1|LAB|@netbios");
    EXPECT_EQ(sink.events[2], "last 00-1B-63-00-00-01 (Apple)");
    // The names that waited for NetBIOS's time-out come together, in no particular order.
    std::vector<std::string> later(sink.events.begin() + 3, sink.events.end());
    std::sort(later.begin(), later.end());
    EXPECT_EQ(later, (std::vector<std::string>{"last ?-?-?-?-?-?", "last ?-?-?-?-?-?",
                                               "row dns-node.example|127.0.5.3||@dns",
                                               "row mdns-node.local|127.0.5.2||@mdns"}));
}

TEST(SystemUpperCase, FoldsEveryScript)
{
    EXPECT_EQ(platform::SystemUpperCase("caf\xC3\xA9 \xCF\x89mega pc01"), "CAF\xC3\x89 \xCE\xA9MEGA PC01");
    EXPECT_EQ(platform::SystemUpperCase(""), "");
}

} // namespace
