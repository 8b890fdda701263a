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

// The IPv4 address of an adapter that is up and the prefix length of its subnet.
struct AdapterSubnet
{
    uint32_t address = 0; // host byte order
    unsigned prefixLength = 32;
};

// One UDP socket for the sweep's questions (NetBIOS name service, multicast DNS), closed when
// destroyed.
class DatagramSocket
{
public:
    virtual ~DatagramSocket() = default;
    // Sends packet to port of address (host byte order).
    virtual bool Send(uint32_t address, uint16_t port, const std::vector<uint8_t>& packet) = 0;
    // Waits at most waitMs for one datagram; false when none came. A datagram that could not be
    // read (an ICMP error reported on the socket) comes back true, with from 0 and no bytes.
    virtual bool Receive(unsigned waitMs, uint32_t& from, uint16_t& fromPort,
                         std::vector<uint8_t>& packet) = 0;
};

// The name registered for an address by the system's reverse lookup (DNS). It may block for
// seconds and is called from threads of its own.
class ReverseResolver
{
public:
    virtual ~ReverseResolver() = default;
    // The name of address (host byte order); empty when there is none or on any failure.
    virtual std::optional<std::string> NameOf(uint32_t address) = 0;
};

// The adapter address of a computer on a local subnet, by the address resolution protocol.
class ArpQuery
{
public:
    virtual ~ArpQuery() = default;
    virtual std::optional<AdapterAddress> Query(uint32_t address) = 0;
};

} // namespace platform
