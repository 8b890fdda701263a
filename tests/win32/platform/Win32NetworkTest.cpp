// The network adapters against the real APIs. Traffic goes only to 127.0.0.0/8 and only names the
// machine answers itself are resolved: the NetBIOS node-status query is answered by a responder
// bound to 127.0.0.1:137 in this process.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
// clang-format on
#include "platform/Win32Network.h"

#include "network/NetLookup.h"
#include "tests/win32/support/NodeStatusResponder.h"

#include <gtest/gtest.h>
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

TEST(SystemUpperCase, FoldsEveryScript)
{
    EXPECT_EQ(platform::SystemUpperCase("caf\xC3\xA9 \xCF\x89mega pc01"), "CAF\xC3\x89 \xCE\xA9MEGA PC01");
    EXPECT_EQ(platform::SystemUpperCase(""), "");
}

} // namespace
