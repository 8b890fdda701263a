#pragma once
// The NetBIOS node-status sweep: one question to every address, sent at a limited rate without
// waiting for answers, which are collected until a time-out after the last send. It is driven in
// slices (Pump) so that its owner can interleave other work and see a stop request at once.
#include "network/NetBios.h"
#include "platform/NetworkProvider.h"

#include <functional>
#include <map>
#include <unordered_map>
#include <vector>

namespace network
{

inline constexpr unsigned kDefaultSweepTimeoutMs = 2000;
// 1024 questions leave in about 0.2 s; a short burst goes at once.
inline constexpr unsigned kDefaultSendsPerSecond = 5000;
inline constexpr unsigned kSendBurst = 32;

struct SweepAnswer
{
    uint32_t address = 0;
    NodeStatus status;
};

class NodeStatusSweep
{
public:
    // nowMs: a steady clock in milliseconds. Each address is asked with its own transaction ID,
    // counted from firstId, so a stray or late datagram is not taken for another's answer.
    NodeStatusSweep(platform::DatagramSocket& socket, std::function<uint64_t()> nowMs,
                    std::vector<uint32_t> addresses, unsigned timeoutMs, unsigned sendsPerSecond,
                    uint16_t firstId);

    // Sends what the rate allows by now, then takes answers for at most waitMs (less when the next
    // send or the end is due sooner). The first answer of each address asked is appended to fresh.
    void Pump(unsigned waitMs, std::vector<SweepAnswer>& fresh);
    // Every question sent and the time-out after the last one over.
    bool Finished() const;
    // The answer of address received so far; null when none.
    const NodeStatus* AnswerOf(uint32_t address) const;
    size_t Sent() const { return m_sent; }

private:
    void SendDue(uint64_t now);
    uint64_t NextSendAt() const;
    void Take(uint32_t from, const std::vector<uint8_t>& packet, std::vector<SweepAnswer>& fresh);

    platform::DatagramSocket& m_socket;
    std::function<uint64_t()> m_nowMs;
    std::vector<uint32_t> m_addresses;
    std::unordered_map<uint32_t, size_t> m_index;
    std::map<uint32_t, NodeStatus> m_answers;
    unsigned m_timeoutMs;
    unsigned m_sendsPerSecond;
    uint16_t m_firstId;
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
