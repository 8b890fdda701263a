// Node-status answers as they come off the network: whatever decodes must hold names of at most
// fifteen bytes without their padding, and must decode to the same table once written out again.
#include "fuzz/FuzzSupport.h"
#include "network/NetBios.h"
#include "tests/support/FakeNetwork.h"

namespace
{

bool SameStatus(const network::NodeStatus& a, const network::NodeStatus& b)
{
    if (a.unitId != b.unitId || a.names.size() != b.names.size())
        return false;
    for (size_t i = 0; i < a.names.size(); ++i)
        if (a.names[i].name != b.names[i].name || a.names[i].suffix != b.names[i].suffix ||
            a.names[i].group != b.names[i].group)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint16_t id = size >= 2 ? static_cast<uint16_t>(data[0] << 8 | data[1]) : 0;
    const std::optional<network::NodeStatus> status = network::DecodeNodeStatusAnswer(data, size, id);
    fuzz::Check(!network::DecodeNodeStatusAnswer(data, size, static_cast<uint16_t>(id + 1)),
                "an answer to another question is refused");
    if (!status)
        return 0;
    for (const network::NameEntry& entry : status->names)
        fuzz::Check(entry.name.size() <= 15 &&
                        (entry.name.empty() || (entry.name.back() != ' ' && entry.name.back() != '\0')),
                    "names are the fifteen bytes without their padding");
    const std::string computer = network::ComputerNameOf(*status);
    const std::string workgroup = network::WorkgroupOf(*status);
    fuzz::Check(computer.size() <= 15 && workgroup.size() <= 15,
                "computer and workgroup come from the table");

    const network::Packet again = fake::NodeStatusAnswer(id, status->names, status->unitId);
    const auto reread = network::DecodeNodeStatusAnswer(again.data(), again.size(), id);
    fuzz::Check(reread && SameStatus(*reread, *status), "a decoded table reads back the same");
    return 0;
}
