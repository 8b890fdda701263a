#pragma once
// NetBIOS node-status packets (UDP port 137) and the IPv4 address ranges a sweep asks. Portable:
// the bytes in and out are plain vectors, so captured answers can be decoded by host tests.
#include "platform/NetworkProvider.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace network
{

using Packet = std::vector<uint8_t>;

inline constexpr uint16_t kNetBiosNamePort = 137;

// A node-status question for the wildcard name "*": any node answers it with its name table.
Packet EncodeNodeStatusRequest(uint16_t transactionId);

struct NameEntry
{
    std::string name; // the 15 bytes without their trailing spaces, as the node wrote them
    uint8_t suffix = 0;
    bool group = false;
};

struct NodeStatus
{
    std::vector<NameEntry> names;
    platform::AdapterAddress unitId{};
};

// The answer to the question of transactionId; empty when the packet is not such an answer or
// does not hold its whole name table and unit ID.
std::optional<NodeStatus> DecodeNodeStatusAnswer(const uint8_t* data, size_t size, uint16_t transactionId);

// The unique name of suffix 0 (the computer) and the group name of suffix 0 (the workgroup or
// domain); empty when the table has none.
std::string ComputerNameOf(const NodeStatus& status);
std::string WorkgroupOf(const NodeStatus& status);

// Inclusive, host byte order.
struct AddressRange
{
    uint32_t first = 0;
    uint32_t last = 0;
};

// The most addresses a subnet is swept for, and a named range of several subnets.
inline constexpr uint32_t kMaxSubnetAddresses = 1024;
inline constexpr uint32_t kMaxRangeAddresses = 4 * kMaxSubnetAddresses;

// "A.B.C.D" into host byte order.
std::optional<uint32_t> ParseAddress(const std::string& text);
std::string AddressText(uint32_t address);

// "A.B.C.D/N" (the hosts of the subnet: without its network and broadcast addresses below /31)
// of at most kMaxSubnetAddresses addresses, or "A.B.C.D-A.B.C.E" of at most kMaxRangeAddresses;
// empty for anything else.
std::optional<AddressRange> ParseRange(const std::string& text);

// The hosts of the subnet of address with prefix length bits; a subnet larger than
// kMaxSubnetAddresses is narrowed to the aligned block of that size around address.
AddressRange SubnetHosts(uint32_t address, unsigned bits);

// The addresses of the ranges in order, each once.
std::vector<uint32_t> ExpandRanges(const std::vector<AddressRange>& ranges);

bool InRanges(uint32_t address, const std::vector<AddressRange>& ranges);

} // namespace network
