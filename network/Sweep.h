#pragma once
// The sweep: every address is asked for its name at a limited rate, without waiting for answers,
// which are collected until a time-out after the last question. Each address is asked its NetBIOS
// node status (port 137), and by choice its multicast-DNS reverse name (port 5353, the same
// socket) and its reverse DNS name (through ReverseLookups). An address is reported once, with the
// first name in that order: a later way's name waits until the earlier ways have answered without
// a name or are out of time for that address. It is driven in slices (Pump) so that its owner can
// interleave other work and see a stop request at once.
#include "network/NameSource.h"
#include "network/NetBios.h"
#include "network/ReverseLookups.h"
#include "platform/NetworkProvider.h"

#include <functional>
#include <map>
#include <unordered_map>
#include <vector>

namespace network
{

inline constexpr unsigned kDefaultSweepTimeoutMs = 2000;
// 1024 addresses are asked in about 0.2 s; a short burst goes at once.
inline constexpr unsigned kDefaultSendsPerSecond = 5000;
inline constexpr unsigned kSendBurst = 32;

// The ways each address is asked beside NetBIOS.
struct SweepWays
{
    bool mdns = false;
    ReverseLookups* dns = nullptr; // null: no reverse DNS
};

struct SweepAnswer
{
    uint32_t address = 0;
    // The name of the first way that gave one; NetBIOS's as the node wrote it (its code page).
    std::string name;
    NameSource source = NameSource::None;
    // The NetBIOS answer (name table and unit ID), also when another way gave the name; empty
    // when NetBIOS was silent.
    NodeStatus status;
};

class NameSweep
{
public:
    // nowMs: a steady clock in milliseconds. Each address is asked with its own transaction ID,
    // counted from firstId, so a stray or late datagram is not taken for another's answer.
    NameSweep(platform::DatagramSocket& socket, std::function<uint64_t()> nowMs,
              std::vector<uint32_t> addresses, unsigned timeoutMs, unsigned sendsPerSecond, uint16_t firstId,
              SweepWays ways = {});

    // Sends what the rate allows by now, then takes answers for at most waitMs (less when the next
    // send or the end is due sooner). Each address whose name is settled is appended to fresh once.
    void Pump(unsigned waitMs, std::vector<SweepAnswer>& fresh);
    // Every question sent and the time-out after the last one over.
    bool Finished() const;
    // The NetBIOS answer of address received so far; null when none.
    const NodeStatus* AnswerOf(uint32_t address) const;
    size_t Sent() const { return m_sent; }

private:
    // What one address has said so far.
    struct Heard
    {
        uint64_t askedAt = 0;
        bool netBios = false, mdns = false, dns = false; // answered (with a name or without)
        std::string mdnsName, dnsName;
        bool reported = false;
    };

    void SendDue(uint64_t now);
    uint64_t NextSendAt() const;
    void Take(uint32_t from, uint16_t port, const std::vector<uint8_t>& packet);
    void TakeReverseLookups();
    // Reports the address at index when its name can no longer change; true when it is done with.
    bool Settle(size_t index, uint64_t now, std::vector<SweepAnswer>& fresh);
    void SettleWaiting(std::vector<SweepAnswer>& fresh);

    platform::DatagramSocket& m_socket;
    std::function<uint64_t()> m_nowMs;
    std::vector<uint32_t> m_addresses;
    std::unordered_map<uint32_t, size_t> m_index;
    std::vector<Heard> m_heard;
    std::map<uint32_t, NodeStatus> m_answers;
    std::vector<size_t> m_waiting; // addresses that said something and are not reported yet
    unsigned m_timeoutMs;
    unsigned m_sendsPerSecond;
    uint16_t m_firstId;
    SweepWays m_ways;
    uint64_t m_start;
    uint64_t m_lastSend;
    size_t m_sent = 0;
};

// A steady clock in milliseconds, for a sweep of real sockets.
uint64_t SteadyMilliseconds();

// The sweep ranges of the adapters' subnets (each narrowed to kMaxSubnetAddresses), and whether
// an address lies on one of those subnets (whole, not narrowed).
std::vector<AddressRange> LocalSweepRanges(const std::vector<platform::AdapterSubnet>& subnets);
bool OnLocalSubnet(uint32_t address, const std::vector<platform::AdapterSubnet>& subnets);

} // namespace network
