#include "tests/support/ZipBuilder.h"

#include <stdexcept>
#include <zlib.h>

namespace testing_support
{

namespace
{

void Put(std::string& out, uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t Crc(const std::string& data)
{
    return static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(data.data()),
                                       static_cast<uInt>(data.size())));
}

} // namespace

std::string RawDeflate(const std::string& data)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        throw std::runtime_error("deflate did not finish");
    return out;
}

ZipBuilder& ZipBuilder::Add(Member member)
{
    m_members.push_back(std::move(member));
    return *this;
}

ZipBuilder& ZipBuilder::Add(const std::string& name, const std::string& data, bool deflate)
{
    Member member;
    member.name = name;
    member.data = data;
    member.deflate = deflate;
    return Add(std::move(member));
}

std::string ZipBuilder::Build(bool zip64) const
{
    const uint32_t all = 0xFFFFFFFF;
    std::string archive;
    std::string directory;
    for (const Member& member : m_members)
    {
        const std::string stored = member.deflate ? RawDeflate(member.data) : member.data;
        const uint32_t crc = Crc(member.data) ^ (member.wrongCrc ? 1u : 0u);
        const uint64_t offset = archive.size();
        std::string extra;
        if (zip64)
        {
            Put(extra, 0x0001, 2);
            Put(extra, 24, 2);
            Put(extra, member.data.size(), 8);
            Put(extra, stored.size(), 8);
            Put(extra, offset, 8);
        }
        const uint16_t method = member.deflate ? 8 : 0;
        Put(archive, 0x04034b50, 4);
        Put(archive, zip64 ? 45 : 20, 2);
        Put(archive, member.flags, 2);
        Put(archive, method, 2);
        Put(archive, 0, 4); // time and date
        Put(archive, crc, 4);
        Put(archive, zip64 ? all : stored.size(), 4);
        Put(archive, zip64 ? all : member.data.size(), 4);
        Put(archive, member.name.size(), 2);
        Put(archive, 0, 2);
        archive += member.name;
        archive += stored;

        Put(directory, 0x02014b50, 4);
        Put(directory, zip64 ? 45 : 20, 2);
        Put(directory, zip64 ? 45 : 20, 2);
        Put(directory, member.flags, 2);
        Put(directory, method, 2);
        Put(directory, 0, 4);
        Put(directory, crc, 4);
        Put(directory, zip64 ? all : stored.size(), 4);
        Put(directory, zip64 ? all : member.data.size(), 4);
        Put(directory, member.name.size(), 2);
        Put(directory, extra.size(), 2);
        Put(directory, 0, 2); // comment
        Put(directory, 0, 2); // disk
        Put(directory, 0, 2); // internal attributes
        Put(directory, 0, 4); // external attributes
        Put(directory, zip64 ? all : offset, 4);
        directory += member.name;
        directory += extra;
    }
    const uint64_t directoryOffset = archive.size();
    archive += directory;
    if (zip64)
    {
        const uint64_t recordOffset = archive.size();
        Put(archive, 0x06064b50, 4);
        Put(archive, 44, 8);
        Put(archive, 45, 2);
        Put(archive, 45, 2);
        Put(archive, 0, 4);
        Put(archive, 0, 4);
        Put(archive, m_members.size(), 8);
        Put(archive, m_members.size(), 8);
        Put(archive, directory.size(), 8);
        Put(archive, directoryOffset, 8);
        Put(archive, 0x07064b50, 4);
        Put(archive, 0, 4);
        Put(archive, recordOffset, 8);
        Put(archive, 1, 4);
    }
    Put(archive, 0x06054b50, 4);
    Put(archive, 0, 2);
    Put(archive, 0, 2);
    Put(archive, zip64 ? 0xFFFF : m_members.size(), 2);
    Put(archive, zip64 ? 0xFFFF : m_members.size(), 2);
    Put(archive, zip64 ? all : directory.size(), 4);
    Put(archive, zip64 ? all : directoryOffset, 4);
    Put(archive, 0, 2);
    return archive;
}

std::string OfficeFile(const std::vector<std::pair<std::string, std::string>>& parts)
{
    ZipBuilder builder;
    builder.Add("[Content_Types].xml",
                "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                "content-types\"><Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");
    for (const auto& [name, xml] : parts)
        builder.Add(name, xml);
    return builder.Build();
}

} // namespace testing_support
