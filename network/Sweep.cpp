#include "network/Sweep.h"

#include <algorithm>
#include <chrono>

namespace network
{

NodeStatusSweep::NodeStatusSweep(platform::DatagramSocket& socket, std::function<uint64_t()> nowMs,
                                 std::vector<uint32_t> addresses, unsigned timeoutMs, unsigned sendsPerSecond,
                                 uint16_t firstId)
    : m_socket(socket), m_nowMs(std::move(nowMs)), m_addresses(std::move(addresses)), m_timeoutMs(timeoutMs),
      m_sendsPerSecond(std::max(1u, sendsPerSecond)), m_firstId(firstId), m_start(m_nowMs()),
      m_lastSend(m_start)
{
    for (size_t i = 0; i < m_addresses.size(); ++i)
        m_index.emplace(m_addresses[i], i);
}

uint64_t NodeStatusSweep::NextSendAt() const
{
    if (m_sent < kSendBurst)
        return m_start;
    return m_start + (uint64_t(m_sent - kSendBurst + 1) * 1000) / m_sendsPerSecond;
}

void NodeStatusSweep::SendDue(uint64_t now)
{
    while (m_sent < m_addresses.size() && NextSendAt() <= now)
    {
        const uint16_t id = static_cast<uint16_t>(m_firstId + m_sent);
        // A question that cannot be sent simply gets no answer.
        m_socket.Send(m_addresses[m_sent], EncodeNodeStatusRequest(id));
        ++m_sent;
        m_lastSend = now;
    }
}

void NodeStatusSweep::Take(uint32_t from, const std::vector<uint8_t>& packet, std::vector<SweepAnswer>& fresh)
{
    const auto asked = m_index.find(from);
    if (asked == m_index.end() || asked->second >= m_sent || m_answers.count(from))
        return;
    const uint16_t id = static_cast<uint16_t>(m_firstId + asked->second);
    auto status = DecodeNodeStatusAnswer(packet.data(), packet.size(), id);
    if (!status)
        return;
    m_answers.emplace(from, *status);
    fresh.push_back({from, std::move(*status)});
}

void NodeStatusSweep::Pump(unsigned waitMs, std::vector<SweepAnswer>& fresh)
{
    uint64_t now = m_nowMs();
    SendDue(now);
    uint64_t until = now + waitMs;
    if (m_sent < m_addresses.size())
        until = std::min(until, std::max(now, NextSendAt()));
    else
        until = std::min(until, std::max(now, m_lastSend + m_timeoutMs));
    uint32_t from = 0;
    std::vector<uint8_t> packet;
    for (;;)
    {
        now = m_nowMs();
        const unsigned wait = until > now ? static_cast<unsigned>(until - now) : 0;
        if (!m_socket.Receive(wait, from, packet))
            return;
        Take(from, packet, fresh);
    }
}

bool NodeStatusSweep::Finished() const
{
    return m_addresses.empty() || (m_sent == m_addresses.size() && m_nowMs() >= m_lastSend + m_timeoutMs);
}

const NodeStatus* NodeStatusSweep::AnswerOf(uint32_t address) const
{
    const auto found = m_answers.find(address);
    return found == m_answers.end() ? nullptr : &found->second;
}

uint64_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::vector<AddressRange> LocalSweepRanges(const std::vector<platform::AdapterSubnet>& subnets)
{
    std::vector<AddressRange> ranges;
    for (const platform::AdapterSubnet& subnet : subnets)
        ranges.push_back(SubnetHosts(subnet.address, subnet.prefixLength));
    return ranges;
}

bool OnLocalSubnet(uint32_t address, const std::vector<platform::AdapterSubnet>& subnets)
{
    for (const platform::AdapterSubnet& subnet : subnets)
    {
        const unsigned bits = std::min(subnet.prefixLength, 32u);
        const uint32_t mask = bits == 0 ? 0 : ~uint32_t(0) << (32 - bits);
        if ((address & mask) == (subnet.address & mask))
            return true;
    }
    return false;
}

} // namespace network
