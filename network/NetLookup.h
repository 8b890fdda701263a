#pragma once
// The computer lookup of the network panel, free of the platform: it walks the provider's domains
// and their computers, keeps those that match the search text and hands rows to a sink. The panel
// and FindFileCmd --computers both run it; host tests drive it with fakes.
#include "network/NameSource.h"
#include "network/Sweep.h"
#include "platform/NetworkProvider.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace network
{

using platform::AdapterAddress;
using platform::MacQuery;
using platform::NameResolver;
using platform::NetBiosName;
using platform::NetEntry;
using platform::NetEnumeration;
using platform::NetProvider;
using platform::ReadResult;

// A row of the list in network mode: a domain row has an empty caption and two cells ("" and the
// domain); a computer row has the computer, then the IP text, domain, comment and MAC cells, and
// the way its name was found.
struct NetRow
{
    std::string caption;
    std::vector<std::string> cells;
    NameSource source = NameSource::None;
};

// The MAC cell of a computer row and the short name of the card's maker (empty: unknown).
struct MacCell
{
    std::string text;
    std::string vendor;
};

// Where the rows go, in the order they are found.
class RowSink
{
public:
    virtual ~RowSink() = default;
    virtual void Clear() = 0;
    virtual void AddRow(const NetRow& row) = 0;
    // The last cell (the MAC text) of the row added last.
    virtual void AddLastCell(const std::string& text) = 0;
    // The MAC cell with its vendor, for the row added last; a sink that shows no vendor keeps the
    // cell alone.
    virtual void AddMacCell(const MacCell& cell) { AddLastCell(cell.text); }
};

// The sweep as a second source of computers.
struct SweepSource
{
    platform::DatagramSocket* socket = nullptr; // null: no sweep
    std::function<uint64_t()> nowMs;
    std::vector<AddressRange> ranges;
    unsigned timeoutMs = kDefaultSweepTimeoutMs;
    unsigned sendsPerSecond = kDefaultSendsPerSecond;
    // Names from the code page NetBIOS names are written in to UTF-8; null: the bytes as they are.
    std::function<std::string(const std::string&)> fromNetBiosCodePage;
    // Each address is also asked by multicast DNS (the socket sends to its port 5353 too) and,
    // when there are lookups, by reverse DNS.
    bool askMdns = true;
    std::shared_ptr<ReverseLookups> dns;
};

struct LookupServices
{
    NetProvider& provider;
    NameResolver& resolver;
    MacQuery& mac;
    // Upper case by the system's rules (any script), UTF-8 in and out.
    std::function<std::string(const std::string&)> upper;
    // The computer name in the code page NetBIOS names are written in; null: the bytes as they are.
    std::function<std::string(const std::string&)> toNetBiosCodePage;
    // The adapter address of a computer on a local subnet when NetBIOS gives none; null: none.
    platform::ArpQuery* arp = nullptr;
    std::function<std::vector<platform::AdapterSubnet>()> localSubnets;
    // The sweep; null: the browse list alone.
    const SweepSource* sweep = nullptr;
    // The short name of a card's maker; null: no vendor is given.
    std::function<std::string(const AdapterAddress&)> vendorOf;
};

struct LookupControl
{
    // The "list workgroups" check box, read at each domain.
    std::function<bool()> listDomains;
    // The stop request, read before each domain's computers and before each computer.
    std::function<bool()> stopRequested;
};

inline constexpr const char* kNoAddress = "?.?.?.?";
inline constexpr const char* kNoMac = "?-?-?-?-?-?";
// How long the sweep waits for answers between two looks at the stop request.
inline constexpr unsigned kSweepSliceMs = 20;

// The whole lookup for search text text: the browse list, then the rows of the sweep (whose
// questions went out before the browse list was read) as their names are settled. A computer found
// more than once (by name or by address) is listed once, as the browse list's row, else with the
// sweep's preferred name.
void GetNetInfo(const std::string& text, LookupServices services, const LookupControl& control,
                RowSink& sink);

// A computer's name from its remote name (two backslashes, then the name).
std::string ComputerName(const std::string& remoteName);

// The matching rule: the name test on the full remote name, case-blind; or an empty text; or the
// whole text equal to the IP text.
bool ComputerMatches(const std::string& upperText, const std::string& text,
                     const std::string& upperRemoteName, const std::string& ipText);

// name in the OEM code page: at most 15 bytes, padded with spaces, then the workstation suffix 0.
NetBiosName MakeNetBiosName(const std::string& oemName);

// Six upper-case hex pairs joined by "-", or the placeholder.
std::string MacText(const std::optional<AdapterAddress>& address);

} // namespace network
