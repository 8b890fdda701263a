#pragma once
// The network services the computer search uses: the provider it enumerates through, the name
// resolver and the adapter-address query. Portable interfaces; the Win32 adapters are beside them.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform
{

// The LAN Manager network provider's name; empty when the system has no such provider.
std::string LanManagerProviderName();

// One entry of a network enumeration. The numbers and the provider are kept so that an adapter
// can hand the whole entry back to open the level below it.
struct NetEntry
{
    std::string remoteName;
    std::string comment;
    std::string provider;
    std::string localName;
    unsigned long scope = 0;
    unsigned long type = 0;
    unsigned long displayType = 0;
    unsigned long usage = 0;
};

enum class ReadResult
{
    Entries, // at least one entry was added
    NoMore,  // the enumeration is finished
    Failed,
};

// An open enumeration; closed when destroyed.
class NetEnumeration
{
public:
    virtual ~NetEnumeration() = default;
    // Appends the next batch of entries to out.
    virtual ReadResult ReadBatch(std::vector<NetEntry>& out) = 0;
};

class NetProvider
{
public:
    virtual ~NetProvider() = default;
    // The domains and workgroups of the provider; null when the level cannot be opened.
    virtual std::unique_ptr<NetEnumeration> OpenDomains() = 0;
    // The computers of a domain entry; null when it cannot be opened.
    virtual std::unique_ptr<NetEnumeration> OpenChildren(const NetEntry& container) = 0;
};

class NameResolver
{
public:
    virtual ~NameResolver() = default;
    // Starts the socket layer for this lookup; false ends the lookup before the list is touched.
    virtual bool Start() = 0;
    // The first IPv4 address of a name in dotted decimal form; empty when it does not resolve.
    virtual std::optional<std::string> Resolve(const std::string& name) = 0;
};

using NetBiosName = std::array<uint8_t, 16>;
using AdapterAddress = std::array<uint8_t, 6>;

class MacQuery
{
public:
    virtual ~MacQuery() = default;
    // The adapter address a computer reports for its NetBIOS name; empty on any failure.
    virtual std::optional<AdapterAddress> Query(uint8_t adapter, const NetBiosName& name) = 0;
};

} // namespace platform
