#include "network/Dns.h"

namespace network
{

namespace
{

constexpr size_t kHeaderBytes = 12;
constexpr size_t kQuestionTailBytes = 4; // type, class
constexpr size_t kRecordFixedBytes = 10; // type, class, time to live, data length
constexpr uint8_t kPointerBits = 0xC0;
constexpr uint16_t kCacheFlushBit = 0x8000; // set by multicast DNS on the class of a unique record

uint16_t Get16(const uint8_t* data)
{
    return static_cast<uint16_t>((data[0] << 8) | data[1]);
}

void Put16(Packet& packet, uint16_t value)
{
    packet.push_back(static_cast<uint8_t>(value >> 8));
    packet.push_back(static_cast<uint8_t>(value));
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameNameIgnoringCase(const std::vector<std::string>& labels, const std::string& dotted)
{
    std::string joined;
    for (const std::string& label : labels)
        joined += (joined.empty() ? "" : ".") + label;
    if (joined.size() != dotted.size())
        return false;
    for (size_t i = 0; i < joined.size(); ++i)
        if (AsciiLower(joined[i]) != AsciiLower(dotted[i]))
            return false;
    return true;
}

// Well-formed UTF-8 without overlong forms or surrogates.
bool IsUtf8(const std::string& text)
{
    for (size_t i = 0; i < text.size();)
    {
        const auto lead = static_cast<uint8_t>(text[i]);
        size_t extra = 0;
        uint32_t code = 0;
        if (lead < 0x80)
            extra = 0, code = lead;
        else if ((lead & 0xE0) == 0xC0)
            extra = 1, code = lead & 0x1F;
        else if ((lead & 0xF0) == 0xE0)
            extra = 2, code = lead & 0x0F;
        else if ((lead & 0xF8) == 0xF0)
            extra = 3, code = lead & 0x07;
        else
            return false;
        if (extra > text.size() - i - 1)
            return false;
        for (size_t k = 1; k <= extra; ++k)
        {
            const auto next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        static const uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += 1 + extra;
    }
    return true;
}

// A label shown as part of a name: no dot of its own (it would read as two labels) and nothing a
// list or a console line cannot show.
bool ShowableLabel(const std::string& label)
{
    for (char c : label)
    {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x20 || byte == 0x7F || c == '.')
            return false;
    }
    return IsUtf8(label);
}

bool SkipQuestion(const uint8_t* data, size_t size, size_t& pos)
{
    if (!ReadName(data, size, pos) || size - pos < kQuestionTailBytes)
        return false;
    pos += kQuestionTailBytes;
    return true;
}

// The PTR name of a record that is the reverse name's; empty for any other record. False when the
// record does not lie within the message.
bool ReadRecord(const uint8_t* data, size_t size, size_t& pos, const std::string& owner,
                std::optional<std::vector<std::string>>& ptrName)
{
    const auto name = ReadName(data, size, pos);
    if (!name || size - pos < kRecordFixedBytes)
        return false;
    const uint16_t type = Get16(data + pos);
    const uint16_t recordClass = Get16(data + pos + 2) & ~kCacheFlushBit;
    const size_t length = Get16(data + pos + 8);
    pos += kRecordFixedBytes;
    if (length > size - pos)
        return false;
    const size_t end = pos + length;
    if (!ptrName && type == kDnsTypePtr && recordClass == kDnsClassInternet &&
        SameNameIgnoringCase(*name, owner))
    {
        size_t at = pos;
        auto target = ReadName(data, size, at);
        // The record's data is the name and nothing else.
        if (!target || at != end)
            return false;
        ptrName = std::move(target);
    }
    pos = end;
    return true;
}

} // namespace

bool IsShowableName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxNameBytes - 2)
        return false;
    for (char c : name)
    {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    return IsUtf8(name);
}

std::string ReverseName(uint32_t address)
{
    return std::to_string(address & 0xFF) + "." + std::to_string((address >> 8) & 0xFF) + "." +
           std::to_string((address >> 16) & 0xFF) + "." + std::to_string(address >> 24) + ".in-addr.arpa";
}

Packet EncodeReverseQuestion(uint16_t id, uint32_t address)
{
    Packet packet;
    Put16(packet, id);
    Put16(packet, 0x0000); // a standard query
    Put16(packet, 1);      // one question
    Put16(packet, 0);
    Put16(packet, 0);
    Put16(packet, 0);
    const std::string name = ReverseName(address);
    size_t start = 0;
    while (start < name.size())
    {
        size_t dot = name.find('.', start);
        if (dot == std::string::npos)
            dot = name.size();
        packet.push_back(static_cast<uint8_t>(dot - start));
        packet.insert(packet.end(), name.begin() + static_cast<std::ptrdiff_t>(start),
                      name.begin() + static_cast<std::ptrdiff_t>(dot));
        start = dot + 1;
    }
    packet.push_back(0);
    Put16(packet, kDnsTypePtr);
    Put16(packet, kDnsClassInternet);
    return packet;
}

std::optional<std::vector<std::string>> ReadName(const uint8_t* data, size_t size, size_t& pos)
{
    std::vector<std::string> labels;
    size_t at = pos;
    size_t segmentStart = pos; // where the labels being read began: a pointer must lead before it
    size_t wireBytes = 1;      // the root's zero
    bool jumped = false;
    for (;;)
    {
        if (at >= size)
            return std::nullopt;
        const uint8_t length = data[at];
        if ((length & kPointerBits) == kPointerBits)
        {
            if (size - at < 2)
                return std::nullopt;
            const size_t target = static_cast<size_t>(((length & 0x3F) << 8) | data[at + 1]);
            if (target >= segmentStart)
                return std::nullopt;
            if (!jumped)
                pos = at + 2;
            jumped = true;
            at = segmentStart = target;
            continue;
        }
        if ((length & kPointerBits) != 0) // the reserved kinds 01 and 10
            return std::nullopt;
        if (length == 0)
        {
            if (!jumped)
                pos = at + 1;
            return labels;
        }
        wireBytes += 1 + length;
        if (wireBytes > kMaxNameBytes || length > size - at - 1)
            return std::nullopt;
        labels.emplace_back(reinterpret_cast<const char*>(data + at + 1), length);
        at += 1 + length;
    }
}

std::optional<std::string> DecodeReverseAnswer(const uint8_t* data, size_t size, uint16_t id,
                                               uint32_t address)
{
    if (!data || size < kHeaderBytes || Get16(data) != id)
        return std::nullopt;
    const uint16_t flags = Get16(data + 2);
    const bool response = (flags & 0x8000) != 0;
    const unsigned opcode = (flags >> 11) & 0x0F;
    if (!response || opcode != 0 || (flags & 0x000F) != 0)
        return std::nullopt;
    size_t pos = kHeaderBytes;
    for (unsigned question = Get16(data + 4); question > 0; --question)
        if (!SkipQuestion(data, size, pos))
            return std::nullopt;
    const std::string owner = ReverseName(address);
    std::optional<std::vector<std::string>> target;
    for (unsigned record = Get16(data + 6); record > 0; --record)
        if (!ReadRecord(data, size, pos, owner, target))
            return std::nullopt;
    if (!target || target->empty())
        return std::nullopt;
    std::string name;
    for (const std::string& label : *target)
    {
        if (!ShowableLabel(label))
            return std::nullopt;
        name += (name.empty() ? "" : ".") + label;
    }
    return name;
}

} // namespace network
