// Reverse-lookup answers as they come off the network, about 127.0.1.5: whatever decodes is a
// name of at most 255 bytes on the wire, of showable labels of at most 63 bytes, that decodes the
// same once written out again; a name read anywhere in the bytes stays within its bounds.
#include "fuzz/FuzzSupport.h"
#include "network/Dns.h"

namespace
{

constexpr uint32_t kAsked = 0x7F000105u;

void Put16(network::Packet& packet, size_t value)
{
    packet.push_back(static_cast<uint8_t>(value >> 8));
    packet.push_back(static_cast<uint8_t>(value));
}

void PutName(network::Packet& packet, const std::string& dotted)
{
    size_t start = 0;
    while (start <= dotted.size())
    {
        size_t dot = dotted.find('.', start);
        if (dot == std::string::npos)
            dot = dotted.size();
        packet.push_back(static_cast<uint8_t>(dot - start));
        packet.insert(packet.end(), dotted.begin() + static_cast<std::ptrdiff_t>(start),
                      dotted.begin() + static_cast<std::ptrdiff_t>(dot));
        start = dot + 1;
    }
    packet.push_back(0);
}

// The plainest answer that gives name: no question, the owner and the name written out.
network::Packet PlainAnswer(uint16_t id, const std::string& name)
{
    network::Packet packet;
    for (size_t field : {size_t(id), size_t(0x8400), size_t(0), size_t(1), size_t(0), size_t(0)})
        Put16(packet, field);
    PutName(packet, network::ReverseName(kAsked));
    for (size_t field :
         {size_t(network::kDnsTypePtr), size_t(network::kDnsClassInternet), size_t(0), size_t(60)})
        Put16(packet, field);
    network::Packet data;
    PutName(data, name);
    Put16(packet, data.size());
    packet.insert(packet.end(), data.begin(), data.end());
    return packet;
}

void CheckNamesReadAnywhere(const uint8_t* data, size_t size)
{
    for (size_t start = 0; start < size && start < 512; ++start)
    {
        size_t pos = start;
        const auto labels = network::ReadName(data, size, pos);
        if (!labels)
            continue;
        size_t wire = 1;
        for (const std::string& label : *labels)
        {
            fuzz::Check(!label.empty() && label.size() <= network::kMaxLabelBytes, "labels of 1 to 63 bytes");
            wire += 1 + label.size();
        }
        fuzz::Check(wire <= network::kMaxNameBytes, "names of at most 255 bytes");
        fuzz::Check(pos > start && pos <= size, "a name read moves on within the message");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckNamesReadAnywhere(data, size);
    const uint16_t id = size >= 2 ? static_cast<uint16_t>(data[0] << 8 | data[1]) : 0;
    const auto name = network::DecodeReverseAnswer(data, size, id, kAsked);
    fuzz::Check(!network::DecodeReverseAnswer(data, size, static_cast<uint16_t>(id + 1), kAsked),
                "an answer to another question is refused");
    if (!name)
        return 0;
    fuzz::Check(!name->empty() && name->size() <= network::kMaxNameBytes - 2, "a name fits its bounds");
    fuzz::Check(name->front() != '.' && name->back() != '.' && name->find("..") == std::string::npos,
                "no empty label");
    for (char c : *name)
        fuzz::Check(static_cast<uint8_t>(c) >= 0x20 && c != 0x7F, "no control character");
    const network::Packet again = PlainAnswer(id, *name);
    const auto reread = network::DecodeReverseAnswer(again.data(), again.size(), id, kAsked);
    fuzz::Check(reread && *reread == *name, "a decoded name reads back the same");
    return 0;
}
