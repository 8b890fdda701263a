#pragma once
// Reads the members of a zip archive (and so of Office and OpenDocument files, which are zip
// archives of XML parts). Every offset and size an archive states is checked against the file
// before it is used, and a member is inflated under caps on its expanded size and on its expansion
// ratio, so a damaged or hostile archive costs bounded memory and time. Damage shows as a member
// (or an archive) that cannot be read, never as more than that.
#include "platform/FileSystem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace engine
{

// Bytes read by position: a file on disk, or bytes in memory.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads exactly count bytes at offset; false when they are not all there or a read fails.
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t count) = 0;
};

// An open file read by position (through its reader's Seek).
class FileByteSource : public ByteSource
{
public:
    explicit FileByteSource(platform::FileReader& reader) : m_reader(reader) {}
    uint64_t Size() const override { return m_reader.Size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) override;

private:
    platform::FileReader& m_reader;
};

class MemoryByteSource : public ByteSource
{
public:
    MemoryByteSource(const char* data, size_t size) : m_data(data), m_size(size) {}
    uint64_t Size() const override { return m_size; }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) override;

private:
    const char* m_data;
    size_t m_size;
};

struct ZipMember
{
    std::string name; // UTF-8 (an archive not flagged UTF-8 stores names in code page 437)
    uint16_t flags = 0;
    uint16_t method = 0; // 0 stored, 8 deflated
    uint32_t crc = 0;
    uint64_t compressedSize = 0;
    uint64_t size = 0; // what the archive claims; the reader trusts it only as a hint
    uint64_t localHeaderOffset = 0;

    bool IsFolder() const { return !name.empty() && (name.back() == '/' || name.back() == '\\'); }
    bool IsEncrypted() const { return (flags & 1u) != 0; }
};

struct ZipLimits
{
    uint64_t maxMemberSize = 64ull << 20;
    // Beyond the first ratioFreeBytes, a member may not expand more than maxRatio times the
    // compressed bytes consumed so far.
    uint64_t ratioFreeBytes = 1ull << 20;
    uint64_t maxRatio = 200;
};

enum class MemberRead
{
    Read,
    Encrypted,   // not read: no password
    Unsupported, // a compression method other than stored or deflated
    TooLarge,    // over a cap of ZipLimits
    Damaged,     // bad offsets, truncated data, an inflate error or a CRC mismatch
};

class ZipArchive
{
public:
    // The archive's central directory; nothing when source is no readable zip archive.
    static std::optional<ZipArchive> Open(ByteSource& source);

    const std::vector<ZipMember>& Members() const { return m_members; }
    // The expanded bytes of member (one of Members()) into out, which is emptied first.
    MemberRead ReadMember(const ZipMember& member, std::string& out, const ZipLimits& limits = {}) const;

private:
    explicit ZipArchive(ByteSource& source) : m_source(&source) {}
    bool ReadDirectory(uint64_t offset, uint64_t size, uint64_t count);
    std::optional<uint64_t> DataOffset(const ZipMember& member) const;

    ByteSource* m_source;
    std::vector<ZipMember> m_members;
};

} // namespace engine
