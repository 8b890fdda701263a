#pragma once
// Fakes of the computer lookup's platform services: a provider given as batches per container, a
// resolver and a MAC query given as tables, and a sink that records what it is told.
#include "network/NetLookup.h"

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

// Records "clear", "row CAPTION|CELL|CELL..." and "last CELL" in order.
class RecordingSink : public network::RowSink
{
public:
    std::vector<std::string> events;

    void Clear() override { events.push_back("clear"); }
    void AddRow(const network::NetRow& row) override;
    void AddLastCell(const std::string& text) override { events.push_back("last " + text); }
};

} // namespace fake
