#pragma once
// Fakes of the computer lookup's platform services: a provider given as batches per container, a
// resolver and a MAC query given as tables, and a sink that records what it is told.
#include "network/NetBios.h"
#include "network/NetLookup.h"
#include "network/ReverseLookups.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fake
{

using Batches = std::vector<std::vector<network::NetEntry>>;

network::NetEntry Entry(const std::string& remoteName, const std::string& comment = "");

class FakeNetProvider : public network::NetProvider
{
public:
    // The domain level, and the computers of each domain by its remote name.
    Batches domains;
    std::map<std::string, Batches> children;
    bool domainsOpen = true;
    std::set<std::string> unopenable;       // containers whose open fails
    std::set<std::string> failAfterBatches; // containers whose read fails once their batches are read
    std::vector<std::string> opened;        // containers in the order they were opened

    std::unique_ptr<network::NetEnumeration> OpenDomains() override;
    std::unique_ptr<network::NetEnumeration> OpenChildren(const network::NetEntry& container) override;
};

class FakeResolver : public network::NameResolver
{
public:
    bool startResult = true;
    std::map<std::string, std::string> addresses;
    std::vector<std::string> asked;

    bool Start() override { return startResult; }
    std::optional<std::string> Resolve(const std::string& name) override;
};

class FakeMacQuery : public network::MacQuery
{
public:
    std::map<std::string, network::AdapterAddress> addresses; // by the name's first 15 bytes
    std::vector<network::NetBiosName> asked;

    std::optional<network::AdapterAddress> Query(uint8_t adapter, const network::NetBiosName& name) override;
};

// A node-status answer to the question of id: the names (15 bytes padded with spaces, suffix,
// flags with the group bit) and the unit ID, then the statistics a node sends after it.
network::Packet NodeStatusAnswer(uint16_t id, const std::vector<network::NameEntry>& names,
                                 const network::AdapterAddress& unitId);
// The transaction ID of a question; 0 when it is too short to have one.
uint16_t TransactionId(const std::vector<uint8_t>& packet);

// A multicast-DNS answer to the reverse question of id about address, giving name, as Windows
// writes it: the question repeated, the owner by a pointer to it.
network::Packet ReverseAnswer(uint16_t id, uint32_t address, const std::string& name);

// A socket on a clock of its own: waiting in Receive moves the clock on. A responder turns each
// question sent to its address (port 137, or 5353 for the multicast-DNS ones) into datagrams
// delivered from that port after its delay.
class FakeDatagramSocket : public platform::DatagramSocket
{
public:
    struct Responder
    {
        unsigned delayMs = 0;
        std::function<std::vector<network::Packet>(const network::Packet& question)> answer;
    };
    uint64_t now = 1000;
    std::map<uint32_t, Responder> responders;
    std::map<uint32_t, Responder> mdnsResponders;
    // Every datagram sent: its address, time and port.
    std::vector<uint32_t> sentTo;
    std::vector<uint64_t> sentAt;
    std::vector<uint16_t> sentPort;

    bool Send(uint32_t address, uint16_t port, const std::vector<uint8_t>& packet) override;
    bool Receive(unsigned waitMs, uint32_t& from, uint16_t& fromPort, std::vector<uint8_t>& packet) override;
    uint64_t Now() const { return now; }
    // A datagram from any address, delivered at the given time.
    void Deliver(uint64_t at, uint32_t from, network::Packet packet, uint16_t fromPort = 137);

private:
    struct Pending
    {
        uint64_t at;
        uint32_t from;
        uint16_t port;
        network::Packet packet;
    };
    std::vector<Pending> m_pending;
};

// Reverse DNS lookups on a clock (the socket's): an address of the table is named after its delay,
// any other is answered without a name after silentDelayMs.
class FakeReverseLookups : public network::ReverseLookups
{
public:
    explicit FakeReverseLookups(std::function<uint64_t()> clock) : m_clock(std::move(clock)) {}
    struct Name
    {
        unsigned delayMs;
        std::string name;
    };
    std::map<uint32_t, Name> names;
    unsigned silentDelayMs = 5;
    std::vector<uint32_t> asked;

    void Ask(uint32_t address) override;
    void Take(std::vector<network::ReverseAnswer>& out) override;

private:
    std::function<uint64_t()> m_clock;
    std::vector<std::pair<uint64_t, network::ReverseAnswer>> m_pending;
};

class FakeArpQuery : public platform::ArpQuery
{
public:
    std::map<uint32_t, network::AdapterAddress> addresses;
    std::vector<uint32_t> asked;
    std::optional<network::AdapterAddress> Query(uint32_t address) override;
};

// Records "clear", "row CAPTION|CELL|CELL..." (with "@SOURCE" after the cells when the name came
// from the sweep) and "last CELL" (with " (VENDOR)" when there is one) in order.
class RecordingSink : public network::RowSink
{
public:
    std::vector<std::string> events;

    void Clear() override { events.push_back("clear"); }
    void AddRow(const network::NetRow& row) override;
    void AddLastCell(const std::string& text) override { events.push_back("last " + text); }
    void AddMacCell(const network::MacCell& cell) override;
};

} // namespace fake
