#include "network/NetBios.h"

#include <set>

namespace network
{

namespace
{

constexpr uint16_t kTypeNodeStatus = 0x21;
constexpr uint16_t kClassInternet = 0x01;
constexpr size_t kHeaderBytes = 12;
constexpr size_t kNameEntryBytes = 18;
constexpr size_t kUnitIdBytes = 6;

void Put16(Packet& packet, uint16_t value)
{
    packet.push_back(static_cast<uint8_t>(value >> 8));
    packet.push_back(static_cast<uint8_t>(value));
}

uint16_t Get16(const uint8_t* data)
{
    return static_cast<uint16_t>((data[0] << 8) | data[1]);
}

// Moves pos past an encoded name (labels, or a compression pointer); false when it runs past size.
bool SkipName(const uint8_t* data, size_t size, size_t& pos)
{
    while (pos < size)
    {
        const uint8_t length = data[pos];
        if (length == 0)
        {
            ++pos;
            return true;
        }
        if ((length & 0xC0) == 0xC0)
        {
            pos += 2;
            return pos <= size;
        }
        if ((length & 0xC0) != 0)
            return false;
        pos += 1 + length;
    }
    return false;
}

std::string TrimmedName(const uint8_t* data)
{
    size_t length = 15;
    while (length > 0 && (data[length - 1] == ' ' || data[length - 1] == 0))
        --length;
    return std::string(reinterpret_cast<const char*>(data), length);
}

std::string FirstNameOfSuffixZero(const NodeStatus& status, bool group)
{
    for (const NameEntry& entry : status.names)
        if (entry.suffix == 0 && entry.group == group && !entry.name.empty())
            return entry.name;
    return {};
}

// The name table and unit ID of a node-status record's data.
std::optional<NodeStatus> DecodeStatusData(const uint8_t* data, size_t size)
{
    if (size < 1)
        return std::nullopt;
    const size_t count = data[0];
    if (1 + count * kNameEntryBytes + kUnitIdBytes > size)
        return std::nullopt;
    NodeStatus status;
    const uint8_t* entry = data + 1;
    for (size_t i = 0; i < count; ++i, entry += kNameEntryBytes)
        status.names.push_back({TrimmedName(entry), entry[15], (Get16(entry + 16) & 0x8000) != 0});
    for (size_t i = 0; i < kUnitIdBytes; ++i)
        status.unitId[i] = entry[i];
    return status;
}

} // namespace

Packet EncodeNodeStatusRequest(uint16_t transactionId)
{
    Packet packet;
    Put16(packet, transactionId);
    Put16(packet, 0x0000); // a query, no recursion: the node itself answers
    Put16(packet, 1);      // one question
    Put16(packet, 0);
    Put16(packet, 0);
    Put16(packet, 0);
    // The first-level encoding of "*" and 15 zero bytes: each half byte as a letter from 'A'.
    packet.push_back(32);
    uint8_t name[16] = {'*'};
    for (uint8_t byte : name)
    {
        packet.push_back(static_cast<uint8_t>('A' + (byte >> 4)));
        packet.push_back(static_cast<uint8_t>('A' + (byte & 0x0F)));
    }
    packet.push_back(0);
    Put16(packet, kTypeNodeStatus);
    Put16(packet, kClassInternet);
    return packet;
}

std::optional<NodeStatus> DecodeNodeStatusAnswer(const uint8_t* data, size_t size, uint16_t transactionId)
{
    if (!data || size < kHeaderBytes || Get16(data) != transactionId)
        return std::nullopt;
    const uint16_t flags = Get16(data + 2);
    const bool response = (flags & 0x8000) != 0;
    const unsigned opcode = (flags >> 11) & 0x0F;
    if (!response || opcode != 0 || (flags & 0x000F) != 0 || Get16(data + 6) == 0)
        return std::nullopt;
    size_t pos = kHeaderBytes;
    for (uint16_t question = Get16(data + 4); question > 0; --question)
    {
        if (!SkipName(data, size, pos) || pos + 4 > size)
            return std::nullopt;
        pos += 4;
    }
    if (!SkipName(data, size, pos) || pos + 10 > size)
        return std::nullopt;
    if (Get16(data + pos) != kTypeNodeStatus || Get16(data + pos + 2) != kClassInternet)
        return std::nullopt;
    const size_t length = Get16(data + pos + 8);
    pos += 10;
    if (length > size - pos)
        return std::nullopt;
    return DecodeStatusData(data + pos, length);
}

std::string ComputerNameOf(const NodeStatus& status)
{
    return FirstNameOfSuffixZero(status, false);
}

std::string WorkgroupOf(const NodeStatus& status)
{
    return FirstNameOfSuffixZero(status, true);
}

std::optional<uint32_t> ParseAddress(const std::string& text)
{
    uint32_t address = 0;
    size_t pos = 0;
    for (int part = 0; part < 4; ++part)
    {
        if (part > 0 && (pos >= text.size() || text[pos++] != '.'))
            return std::nullopt;
        unsigned value = 0;
        size_t digits = 0;
        for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4; ++pos, ++digits)
            value = value * 10 + static_cast<unsigned>(text[pos] - '0');
        if (digits == 0 || digits > 3 || value > 255)
            return std::nullopt;
        address = (address << 8) | value;
    }
    if (pos != text.size())
        return std::nullopt;
    return address;
}

std::string AddressText(uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

AddressRange SubnetHosts(uint32_t address, unsigned bits)
{
    if (bits > 32)
        bits = 32;
    const unsigned narrowest = 32 - 10; // kMaxSubnetAddresses = 2^10
    const unsigned used = bits < narrowest ? narrowest : bits;
    const uint32_t mask = used == 0 ? 0 : ~uint32_t(0) << (32 - used);
    AddressRange range{address & mask, (address & mask) | ~mask};
    // The network and broadcast addresses of the real subnet are no hosts; /31 and /32 have none.
    if (bits < 31)
    {
        const uint32_t realMask = bits == 0 ? 0 : ~uint32_t(0) << (32 - bits);
        if (range.first == (address & realMask))
            ++range.first;
        if (range.last == ((address & realMask) | ~realMask))
            --range.last;
    }
    return range;
}

std::optional<AddressRange> ParseRange(const std::string& text)
{
    const size_t slash = text.find('/');
    if (slash != std::string::npos)
    {
        const auto address = ParseAddress(text.substr(0, slash));
        const std::string bitsText = text.substr(slash + 1);
        if (!address || bitsText.empty() || bitsText.size() > 2 ||
            bitsText.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        const unsigned bits = static_cast<unsigned>(std::stoul(bitsText));
        if (bits > 32 || (uint64_t(1) << (32 - bits)) > kMaxSubnetAddresses)
            return std::nullopt;
        return SubnetHosts(*address, bits);
    }
    const size_t dash = text.find('-');
    if (dash == std::string::npos)
        return std::nullopt;
    const auto first = ParseAddress(text.substr(0, dash));
    const auto last = ParseAddress(text.substr(dash + 1));
    if (!first || !last || *last < *first || *last - *first >= kMaxRangeAddresses)
        return std::nullopt;
    return AddressRange{*first, *last};
}

std::vector<uint32_t> ExpandRanges(const std::vector<AddressRange>& ranges)
{
    std::vector<uint32_t> addresses;
    std::set<uint32_t> seen;
    for (const AddressRange& range : ranges)
    {
        for (uint64_t address = range.first; address <= range.last; ++address)
            if (seen.insert(static_cast<uint32_t>(address)).second)
                addresses.push_back(static_cast<uint32_t>(address));
    }
    return addresses;
}

bool InRanges(uint32_t address, const std::vector<AddressRange>& ranges)
{
    for (const AddressRange& range : ranges)
        if (address >= range.first && address <= range.last)
            return true;
    return false;
}

} // namespace network
