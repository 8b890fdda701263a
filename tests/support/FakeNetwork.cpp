#include "tests/support/FakeNetwork.h"

#include "network/Dns.h"

#include <algorithm>

namespace fake
{

namespace
{

class FakeEnumeration : public network::NetEnumeration
{
public:
    FakeEnumeration(Batches batches, bool failAtEnd) : m_batches(std::move(batches)), m_failAtEnd(failAtEnd)
    {
    }

    network::ReadResult ReadBatch(std::vector<network::NetEntry>& out) override
    {
        if (m_next == m_batches.size())
            return m_failAtEnd ? network::ReadResult::Failed : network::ReadResult::NoMore;
        const auto& batch = m_batches[m_next++];
        out.insert(out.end(), batch.begin(), batch.end());
        return network::ReadResult::Entries;
    }

private:
    Batches m_batches;
    bool m_failAtEnd;
    size_t m_next = 0;
};

} // namespace

network::NetEntry Entry(const std::string& remoteName, const std::string& comment)
{
    network::NetEntry entry;
    entry.remoteName = remoteName;
    entry.comment = comment;
    return entry;
}

std::unique_ptr<network::NetEnumeration> FakeNetProvider::OpenDomains()
{
    opened.push_back("(domains)");
    if (!domainsOpen)
        return nullptr;
    return std::make_unique<FakeEnumeration>(domains, false);
}

std::unique_ptr<network::NetEnumeration> FakeNetProvider::OpenChildren(const network::NetEntry& container)
{
    opened.push_back(container.remoteName);
    if (unopenable.count(container.remoteName))
        return nullptr;
    auto found = children.find(container.remoteName);
    return std::make_unique<FakeEnumeration>(found == children.end() ? Batches{} : found->second,
                                             failAfterBatches.count(container.remoteName) > 0);
}

std::optional<std::string> FakeResolver::Resolve(const std::string& name)
{
    asked.push_back(name);
    auto found = addresses.find(name);
    if (found == addresses.end())
        return std::nullopt;
    return found->second;
}

std::optional<network::AdapterAddress> FakeMacQuery::Query(uint8_t adapter, const network::NetBiosName& name)
{
    asked.push_back(name);
    if (adapter != 0)
        return std::nullopt;
    std::string key(name.begin(), name.begin() + 15);
    key.erase(key.find_last_not_of(' ') + 1);
    auto found = addresses.find(key);
    if (found == addresses.end())
        return std::nullopt;
    return found->second;
}

void RecordingSink::AddRow(const network::NetRow& row)
{
    std::string text = "row " + row.caption;
    for (const std::string& cell : row.cells)
        text += "|" + cell;
    if (row.source != network::NameSource::None && row.source != network::NameSource::BrowseList)
        text += std::string("@") + network::NameSourceKey(row.source);
    events.push_back(text);
}

void RecordingSink::AddMacCell(const network::MacCell& cell)
{
    events.push_back("last " + cell.text + (cell.vendor.empty() ? "" : " (" + cell.vendor + ")"));
}

network::Packet ReverseAnswer(uint16_t id, uint32_t address, const std::string& name)
{
    network::Packet packet = network::EncodeReverseQuestion(id, address);
    packet[2] = 0x84; // a response with authority, one answer
    packet[7] = 1;
    network::Packet data;
    size_t start = 0;
    while (start < name.size())
    {
        size_t dot = name.find('.', start);
        if (dot == std::string::npos)
            dot = name.size();
        data.push_back(static_cast<uint8_t>(dot - start));
        data.insert(data.end(), name.begin() + static_cast<std::ptrdiff_t>(start),
                    name.begin() + static_cast<std::ptrdiff_t>(dot));
        start = dot + 1;
    }
    data.push_back(0);
    packet.insert(packet.end(),
                  {0xC0, 0x0C, 0x00, 0x0C, 0x80, 0x01, 0, 0, 0, 120, 0, static_cast<uint8_t>(data.size())});
    packet.insert(packet.end(), data.begin(), data.end());
    return packet;
}

network::Packet NodeStatusAnswer(uint16_t id, const std::vector<network::NameEntry>& names,
                                 const network::AdapterAddress& unitId)
{
    network::Packet packet = {
        static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id), 0x84, 0, 0, 0, 0, 1, 0, 0, 0, 0};
    const network::Packet question = network::EncodeNodeStatusRequest(0);
    packet.insert(packet.end(), question.begin() + 12, question.begin() + 46); // the name asked
    const size_t length = 1 + names.size() * 18 + 6 + 46;
    packet.insert(packet.end(), {0x00, 0x21, 0x00, 0x01, 0, 0, 0, 0, static_cast<uint8_t>(length >> 8),
                                 static_cast<uint8_t>(length), static_cast<uint8_t>(names.size())});
    for (const network::NameEntry& entry : names)
    {
        std::string name = entry.name;
        name.resize(15, ' ');
        packet.insert(packet.end(), name.begin(), name.end());
        packet.insert(packet.end(), {entry.suffix, static_cast<uint8_t>(entry.group ? 0x84 : 0x04), 0});
    }
    packet.insert(packet.end(), unitId.begin(), unitId.end());
    packet.insert(packet.end(), 46, 0);
    return packet;
}

uint16_t TransactionId(const std::vector<uint8_t>& packet)
{
    return packet.size() < 2 ? 0 : static_cast<uint16_t>((packet[0] << 8) | packet[1]);
}

bool FakeDatagramSocket::Send(uint32_t address, uint16_t port, const std::vector<uint8_t>& packet)
{
    sentTo.push_back(address);
    sentAt.push_back(now);
    sentPort.push_back(port);
    const auto& table = port == network::kMdnsPort ? mdnsResponders : responders;
    auto responder = table.find(address);
    if (responder != table.end())
        for (network::Packet& answer : responder->second.answer(packet))
            Deliver(now + responder->second.delayMs, address, std::move(answer), port);
    return true;
}

void FakeDatagramSocket::Deliver(uint64_t at, uint32_t from, network::Packet packet, uint16_t fromPort)
{
    m_pending.push_back({at, from, fromPort, std::move(packet)});
}

bool FakeDatagramSocket::Receive(unsigned waitMs, uint32_t& from, uint16_t& fromPort,
                                 std::vector<uint8_t>& packet)
{
    auto first = m_pending.end();
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it)
        if (it->at <= now + waitMs && (first == m_pending.end() || it->at < first->at))
            first = it;
    if (first == m_pending.end())
    {
        now += waitMs;
        return false;
    }
    now = std::max(now, first->at);
    from = first->from;
    fromPort = first->port;
    packet = std::move(first->packet);
    m_pending.erase(first);
    return true;
}

void FakeReverseLookups::Ask(uint32_t address)
{
    asked.push_back(address);
    const auto found = names.find(address);
    if (found == names.end())
        m_pending.push_back({m_clock() + silentDelayMs, {address, ""}});
    else
        m_pending.push_back({m_clock() + found->second.delayMs, {address, found->second.name}});
}

void FakeReverseLookups::Take(std::vector<network::ReverseAnswer>& out)
{
    const uint64_t now = m_clock();
    for (auto it = m_pending.begin(); it != m_pending.end();)
    {
        if (it->first <= now)
        {
            out.push_back(it->second);
            it = m_pending.erase(it);
        }
        else
        {
            ++it;
        }
    }
}

std::optional<network::AdapterAddress> FakeArpQuery::Query(uint32_t address)
{
    asked.push_back(address);
    auto found = addresses.find(address);
    if (found == addresses.end())
        return std::nullopt;
    return found->second;
}

} // namespace fake
