#include "network/NetLookup.h"

#include "tests/support/FakeNetwork.h"

#include <algorithm>
#include <cctype>
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
        network::LookupServices services{provider, resolver, mac, FakeUpper, nullptr};
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
};

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
    network::LookupServices services{provider, resolver, mac, FakeUpper, FakeUpper};
    network::GetNetInfo("", services, control, sink);
    EXPECT_EQ(sink.events.back(), "last 00-0C-29-1A-2B-3C");
}

} // namespace
