#include "engine/ZipArchive.h"

#include "platform/Utf16.h"

#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace engine
{

namespace
{

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kDirectorySignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndSize = 22;
constexpr size_t kZip64EndSize = 56;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kDirectoryEntrySize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kMaxCommentSize = 0xFFFF;
constexpr uint16_t kZip64ExtraId = 0x0001;
constexpr size_t kInflateChunk = 64 * 1024;
constexpr uint64_t kMaxDirectorySize = 64ull << 20; // about a million members
constexpr int kMaxEndRecordAttempts = 8;

// The upper half of code page 437, which names are stored in unless the archive flags UTF-8.
constexpr uint16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320,
    0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};
constexpr uint16_t kUtf8NameFlag = 1u << 11;

std::string NameAsUtf8(std::string stored, uint16_t flags)
{
    if ((flags & kUtf8NameFlag) != 0)
        return stored;
    std::string name;
    name.reserve(stored.size());
    for (char c : stored)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            name += c;
        else
            platform::AppendUtf8(kCp437High[byte - 0x80], name);
    }
    return name;
}

// Little-endian fields of a record read into memory; a field past the end reads as zero, and the
// callers check a record's length before they read its fields.
class Fields
{
public:
    Fields(const char* data, size_t size) : m_data(reinterpret_cast<const unsigned char*>(data)), m_size(size)
    {
    }
    uint64_t At(size_t offset, size_t width) const
    {
        uint64_t value = 0;
        for (size_t i = width; i-- > 0;)
            value = (value << 8) | (offset + i < m_size ? m_data[offset + i] : 0u);
        return value;
    }
    uint16_t U16(size_t offset) const { return static_cast<uint16_t>(At(offset, 2)); }
    uint32_t U32(size_t offset) const { return static_cast<uint32_t>(At(offset, 4)); }
    uint64_t U64(size_t offset) const { return At(offset, 8); }

private:
    const unsigned char* m_data;
    size_t m_size;
};

bool Fits(uint64_t offset, uint64_t length, uint64_t total)
{
    return offset <= total && length <= total - offset;
}

// The zip64 extra field replaces, in this order, each of the sizes and the offset whose 32-bit
// field holds all ones.
void ApplyZip64Extra(const std::string& extra, ZipMember& member, bool sizeWide, bool compressedWide,
                     bool offsetWide)
{
    const Fields fields(extra.data(), extra.size());
    for (size_t at = 0; at + 4 <= extra.size();)
    {
        const uint16_t id = fields.U16(at);
        const size_t length = fields.U16(at + 2);
        const size_t start = at + 4;
        if (length > extra.size() - start)
            return;
        if (id == kZip64ExtraId)
        {
            size_t next = start;
            auto take = [&](uint64_t& value) {
                if (next + 8 > start + length)
                    return;
                value = fields.U64(next);
                next += 8;
            };
            if (sizeWide)
                take(member.size);
            if (compressedWide)
                take(member.compressedSize);
            if (offsetWide)
                take(member.localHeaderOffset);
            return;
        }
        at = start + length;
    }
}

// Appends inflated bytes to out under the limits; the caller has checked that the compressed
// bytes lie inside the source.
MemberRead Inflate(ByteSource& source, uint64_t offset, uint64_t compressedSize, const ZipLimits& limits,
                   std::string& out)
{
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return MemberRead::Damaged;
    struct StreamEnd
    {
        z_stream& stream;
        ~StreamEnd() { inflateEnd(&stream); }
    } streamEnd{stream};

    std::vector<char> input(kInflateChunk);
    std::vector<char> output(kInflateChunk);
    uint64_t consumed = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END)
    {
        if (stream.avail_in == 0)
        {
            const uint64_t left = compressedSize - consumed;
            if (left == 0)
                return MemberRead::Damaged; // the stream wants more than the member holds
            const size_t chunk = static_cast<size_t>(std::min<uint64_t>(left, input.size()));
            if (!source.ReadAt(offset + consumed, input.data(), chunk))
                return MemberRead::Damaged;
            consumed += chunk;
            stream.next_in = reinterpret_cast<Bytef*>(input.data());
            stream.avail_in = static_cast<uInt>(chunk);
        }
        stream.next_out = reinterpret_cast<Bytef*>(output.data());
        stream.avail_out = static_cast<uInt>(output.size());
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            return MemberRead::Damaged;
        const size_t produced = output.size() - stream.avail_out;
        const uint64_t total = out.size() + produced;
        const uint64_t usedInput = consumed - stream.avail_in;
        if (total > limits.maxMemberSize ||
            (total > limits.ratioFreeBytes && total / std::max<uint64_t>(usedInput, 1) >= limits.maxRatio))
            return MemberRead::TooLarge;
        out.append(output.data(), produced);
    }
    return MemberRead::Read;
}

} // namespace

bool FileByteSource::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    if (!Fits(offset, count, m_reader.Size()) || !m_reader.Seek(offset))
        return false;
    auto* bytes = static_cast<char*>(buffer);
    size_t filled = 0;
    while (filled < count)
    {
        const int64_t read = m_reader.Read(bytes + filled, count - filled);
        if (read <= 0)
            return false;
        filled += static_cast<size_t>(read);
    }
    return true;
}

bool MemoryByteSource::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    if (!Fits(offset, count, m_size))
        return false;
    if (count > 0)
        std::memcpy(buffer, m_data + offset, count);
    return true;
}

std::optional<ZipArchive> ZipArchive::Open(ByteSource& source)
{
    const uint64_t fileSize = source.Size();
    if (fileSize < kEndSize)
        return std::nullopt;
    // The end record sits in the last 22 bytes plus at most a comment's length.
    const size_t tailSize = static_cast<size_t>(std::min<uint64_t>(fileSize, kEndSize + kMaxCommentSize));
    const uint64_t tailStart = fileSize - tailSize;
    std::string tail(tailSize, '\0');
    if (!source.ReadAt(tailStart, tail.data(), tail.size()))
        return std::nullopt;
    const Fields tailFields(tail.data(), tail.size());
    size_t at = tailSize - kEndSize + 1;
    int attempts = 0;
    do
    {
        --at;
        if (tailFields.U32(at) != kEndSignature)
            continue;
        const Fields end(tail.data() + at, kEndSize);
        uint64_t count = end.U16(10);
        uint64_t directorySize = end.U32(12);
        uint64_t directoryOffset = end.U32(16);
        const uint64_t endOffset = tailStart + at;
        const bool wide = count == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF;
        if (wide && endOffset >= kZip64LocatorSize)
        {
            char locator[kZip64LocatorSize];
            char record[kZip64EndSize];
            if (source.ReadAt(endOffset - kZip64LocatorSize, locator, sizeof locator) &&
                Fields(locator, sizeof locator).U32(0) == kZip64LocatorSignature &&
                source.ReadAt(Fields(locator, sizeof locator).U64(8), record, sizeof record) &&
                Fields(record, sizeof record).U32(0) == kZip64EndSignature)
            {
                const Fields zip64(record, sizeof record);
                count = zip64.U64(32);
                directorySize = zip64.U64(40);
                directoryOffset = zip64.U64(48);
            }
        }
        // The directory lies before its end record, and each entry takes at least 46 bytes: a
        // count the directory cannot hold is damage, and checking it first keeps a false claim
        // from reserving memory.
        if (!Fits(directoryOffset, directorySize, endOffset) || directorySize > kMaxDirectorySize ||
            count > directorySize / kDirectoryEntrySize)
            continue;
        ZipArchive archive(source);
        if (archive.ReadDirectory(directoryOffset, directorySize, count))
            return archive;
        // A comment can hold the signature too, but not many times over in a real archive.
        if (++attempts == kMaxEndRecordAttempts)
            break;
    } while (at > 0);
    return std::nullopt;
}

bool ZipArchive::ReadDirectory(uint64_t offset, uint64_t size, uint64_t count)
{
    std::string directory(static_cast<size_t>(size), '\0');
    if (!m_source->ReadAt(offset, directory.data(), directory.size()))
        return false;
    m_members.reserve(static_cast<size_t>(count));
    size_t at = 0;
    for (uint64_t i = 0; i < count; ++i)
    {
        if (directory.size() - at < kDirectoryEntrySize)
            return false;
        const Fields entry(directory.data() + at, kDirectoryEntrySize);
        if (entry.U32(0) != kDirectorySignature)
            return false;
        const size_t nameLength = entry.U16(28);
        const size_t extraLength = entry.U16(30);
        const size_t commentLength = entry.U16(32);
        const size_t variable = nameLength + extraLength + commentLength;
        if (directory.size() - at - kDirectoryEntrySize < variable)
            return false;
        ZipMember member;
        member.flags = entry.U16(8);
        member.method = entry.U16(10);
        member.crc = entry.U32(16);
        member.compressedSize = entry.U32(20);
        member.size = entry.U32(24);
        member.localHeaderOffset = entry.U32(42);
        const size_t nameStart = at + kDirectoryEntrySize;
        member.name = NameAsUtf8(directory.substr(nameStart, nameLength), member.flags);
        ApplyZip64Extra(directory.substr(nameStart + nameLength, extraLength), member,
                        member.size == 0xFFFFFFFF, member.compressedSize == 0xFFFFFFFF,
                        member.localHeaderOffset == 0xFFFFFFFF);
        m_members.push_back(std::move(member));
        at += kDirectoryEntrySize + variable;
    }
    return true;
}

std::optional<uint64_t> ZipArchive::DataOffset(const ZipMember& member) const
{
    char header[kLocalHeaderSize];
    if (!m_source->ReadAt(member.localHeaderOffset, header, sizeof header))
        return std::nullopt;
    const Fields local(header, sizeof header);
    if (local.U32(0) != kLocalSignature)
        return std::nullopt;
    const uint64_t start = member.localHeaderOffset + kLocalHeaderSize + local.U16(26) + local.U16(28);
    if (!Fits(start, member.compressedSize, m_source->Size()))
        return std::nullopt;
    return start;
}

MemberRead ZipArchive::ReadMember(const ZipMember& member, std::string& out, const ZipLimits& limits) const
{
    out.clear();
    if (member.IsEncrypted())
        return MemberRead::Encrypted;
    if (member.method != 0 && member.method != 8)
        return MemberRead::Unsupported;
    const std::optional<uint64_t> start = DataOffset(member);
    if (!start)
        return MemberRead::Damaged;
    if (member.method == 0)
    {
        if (member.compressedSize > limits.maxMemberSize)
            return MemberRead::TooLarge;
        out.resize(static_cast<size_t>(member.compressedSize));
        if (!m_source->ReadAt(*start, out.data(), out.size()))
        {
            out.clear();
            return MemberRead::Damaged;
        }
    }
    else
    {
        // The claimed size is only a hint for the first allocation, and never more than the cap.
        out.reserve(
            static_cast<size_t>(std::min(member.size, std::min<uint64_t>(limits.maxMemberSize, 1u << 20))));
        const MemberRead inflated = Inflate(*m_source, *start, member.compressedSize, limits, out);
        if (inflated != MemberRead::Read)
        {
            out.clear();
            return inflated;
        }
    }
    uLong crc = crc32(0L, Z_NULL, 0);
    for (size_t done = 0; done < out.size();)
    {
        const uInt piece = static_cast<uInt>(std::min<size_t>(out.size() - done, 1u << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(out.data() + done), piece);
        done += piece;
    }
    if (crc == member.crc)
        return MemberRead::Read;
    out.clear();
    return MemberRead::Damaged;
}

} // namespace engine
