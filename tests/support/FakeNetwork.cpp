#include "tests/support/FakeNetwork.h"

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
    events.push_back(text);
}

} // namespace fake
