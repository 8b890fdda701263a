// The zip reader over arbitrary bytes: the archive opens or not, every member is read under small
// caps, and whatever it answers stays inside them; the document and archive text over the same
// archive must not fail either. Input: the archive's bytes.
#include "engine/DocumentText.h"
#include "engine/ZipArchive.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    engine::MemoryByteSource source(reinterpret_cast<const char*>(data), size);
    const std::optional<engine::ZipArchive> archive = engine::ZipArchive::Open(source);
    if (!archive)
        return 0;
    // Small caps keep each run short; the checks hold for any caps.
    engine::ZipLimits limits;
    limits.maxMemberSize = 1u << 20;
    limits.ratioFreeBytes = 64u << 10;
    limits.maxRatio = 50;
    std::string out;
    for (const engine::ZipMember& member : archive->Members())
    {
        const engine::MemberRead read = archive->ReadMember(member, out, limits);
        fuzz::Check(read == engine::MemberRead::Read || out.empty(), "a member not read leaves no bytes");
        fuzz::Check(out.size() <= limits.maxMemberSize, "a member read stays under the size cap");
        fuzz::Check(read != engine::MemberRead::Read || member.method != 0 ||
                        out.size() == member.compressedSize,
                    "a stored member is its stored bytes");
    }
    for (const engine::ContainerKind kind : {engine::ContainerKind::Document, engine::ContainerKind::Archive})
    {
        size_t pieces = 0;
        engine::VisitArchiveText(
            *archive, kind,
            [&pieces](const engine::TextPiece&) {
                ++pieces;
                return true;
            },
            limits);
        fuzz::Check(pieces <= archive->Members().size(), "at most one piece per member");
    }
    return 0;
}
