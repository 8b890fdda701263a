#include "network/Sweep.h"

#include "network/Dns.h"

#include <algorithm>
#include <chrono>

namespace network
{

NameSweep::NameSweep(platform::DatagramSocket& socket, std::function<uint64_t()> nowMs,
                     std::vector<uint32_t> addresses, unsigned timeoutMs, unsigned sendsPerSecond,
                     uint16_t firstId, SweepWays ways)
    : m_socket(socket), m_nowMs(std::move(nowMs)), m_addresses(std::move(addresses)),
      m_heard(m_addresses.size()), m_timeoutMs(timeoutMs), m_sendsPerSecond(std::max(1u, sendsPerSecond)),
      m_firstId(firstId), m_ways(ways), m_start(m_nowMs()), m_lastSend(m_start)
{
    for (size_t i = 0; i < m_addresses.size(); ++i)
        m_index.emplace(m_addresses[i], i);
}

uint64_t NameSweep::NextSendAt() const
{
    if (m_sent < kSendBurst)
        return m_start;
    return m_start + (uint64_t(m_sent - kSendBurst + 1) * 1000) / m_sendsPerSecond;
}

void NameSweep::SendDue(uint64_t now)
{
    while (m_sent < m_addresses.size() && NextSendAt() <= now)
    {
        const uint32_t address = m_addresses[m_sent];
        const uint16_t id = static_cast<uint16_t>(m_firstId + m_sent);
        // A question that cannot be sent simply gets no answer.
        m_socket.Send(address, kNetBiosNamePort, EncodeNodeStatusRequest(id));
        if (m_ways.mdns)
            m_socket.Send(address, kMdnsPort, EncodeReverseQuestion(id, address));
        if (m_ways.dns)
            m_ways.dns->Ask(address);
        m_heard[m_sent].askedAt = now;
        ++m_sent;
        m_lastSend = now;
    }
}

void NameSweep::Take(uint32_t from, uint16_t port, const std::vector<uint8_t>& packet)
{
    const auto asked = m_index.find(from);
    if (asked == m_index.end() || asked->second >= m_sent)
        return;
    const size_t index = asked->second;
    Heard& heard = m_heard[index];
    const uint16_t id = static_cast<uint16_t>(m_firstId + index);
    if (port == kNetBiosNamePort && !heard.netBios)
    {
        auto status = DecodeNodeStatusAnswer(packet.data(), packet.size(), id);
        if (!status)
            return;
        heard.netBios = true;
        const bool named = !ComputerNameOf(*status).empty();
        m_answers.emplace(from, std::move(*status));
        // Without a computer name it only ends NetBIOS's turn; a later way's name is waiting already.
        if (!named)
            return;
    }
    else if (port == kMdnsPort && m_ways.mdns && !heard.mdns)
    {
        auto name = DecodeReverseAnswer(packet.data(), packet.size(), id, from);
        if (!name)
            return;
        heard.mdns = true;
        heard.mdnsName = std::move(*name);
    }
    else
    {
        return;
    }
    if (!heard.reported)
        m_waiting.push_back(index);
}

void NameSweep::TakeReverseLookups()
{
    if (!m_ways.dns)
        return;
    std::vector<ReverseAnswer> answers;
    m_ways.dns->Take(answers);
    for (ReverseAnswer& answer : answers)
    {
        const auto asked = m_index.find(answer.address);
        if (asked == m_index.end() || asked->second >= m_sent || m_heard[asked->second].dns)
            continue;
        Heard& heard = m_heard[asked->second];
        heard.dns = true;
        // A name is shown as a row's caption and printed on a line: nothing else is taken.
        if (IsShowableName(answer.name) && !ParseAddress(answer.name))
            heard.dnsName = std::move(answer.name);
        if (!heard.reported && !heard.dnsName.empty())
            m_waiting.push_back(asked->second);
    }
}

bool NameSweep::Settle(size_t index, uint64_t now, std::vector<SweepAnswer>& fresh)
{
    Heard& heard = m_heard[index];
    if (heard.reported)
        return true;
    const bool outOfTime = now >= heard.askedAt + m_timeoutMs;
    const uint32_t address = m_addresses[index];
    const auto netBios = m_answers.find(address);
    const std::string netBiosName =
        netBios == m_answers.end() ? std::string() : ComputerNameOf(netBios->second);
    // The ways in the order their names are preferred: answered, and the name it gave.
    const struct
    {
        bool asked, answered;
        const std::string& name;
        NameSource source;
    } ways[] = {{true, heard.netBios, netBiosName, NameSource::NetBios},
                {m_ways.mdns, heard.mdns, heard.mdnsName, NameSource::Mdns},
                {m_ways.dns != nullptr, heard.dns, heard.dnsName, NameSource::Dns}};
    for (const auto& way : ways)
    {
        if (!way.asked)
            continue;
        if (way.answered && !way.name.empty())
        {
            heard.reported = true;
            SweepAnswer answer{address, way.name, way.source, {}};
            if (netBios != m_answers.end())
                answer.status = netBios->second;
            fresh.push_back(std::move(answer));
            return true;
        }
        // A way that may still answer keeps the later ways' names waiting.
        if (!way.answered && !outOfTime)
            return false;
    }
    return outOfTime; // no way gave a name
}

void NameSweep::SettleWaiting(std::vector<SweepAnswer>& fresh)
{
    const uint64_t now = m_nowMs();
    // The same address may wait twice (two ways named it): once reported, the other entry goes too.
    m_waiting.erase(std::remove_if(m_waiting.begin(), m_waiting.end(),
                                   [&](size_t index) { return Settle(index, now, fresh); }),
                    m_waiting.end());
}

void NameSweep::Pump(unsigned waitMs, std::vector<SweepAnswer>& fresh)
{
    uint64_t now = m_nowMs();
    SendDue(now);
    uint64_t until = now + waitMs;
    if (m_sent < m_addresses.size())
        until = std::min(until, std::max(now, NextSendAt()));
    else
        until = std::min(until, std::max(now, m_lastSend + m_timeoutMs));
    uint32_t from = 0;
    uint16_t port = 0;
    std::vector<uint8_t> packet;
    for (;;)
    {
        TakeReverseLookups();
        SettleWaiting(fresh);
        now = m_nowMs();
        const unsigned wait = until > now ? static_cast<unsigned>(until - now) : 0;
        if (!m_socket.Receive(wait, from, port, packet))
            break;
        Take(from, port, packet);
    }
    TakeReverseLookups();
    SettleWaiting(fresh);
}

bool NameSweep::Finished() const
{
    return m_addresses.empty() || (m_sent == m_addresses.size() && m_nowMs() >= m_lastSend + m_timeoutMs);
}

const NodeStatus* NameSweep::AnswerOf(uint32_t address) const
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
