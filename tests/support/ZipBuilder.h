#pragma once
// ZipBuilder: zip archives made in memory for tests of the archive reader and of the search inside
// documents: stored and deflated members (raw deflate, as zip tools write), the flags and CRCs a
// test wants to break, and the zip64 form of the records.
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support
{

// data as a raw deflate stream (no zlib header), as zip members hold it.
std::string RawDeflate(const std::string& data);

class ZipBuilder
{
public:
    struct Member
    {
        std::string name;
        std::string data;
        bool deflate = true;
        uint16_t flags = 0;    // bit 0: encrypted, bit 11: the name is UTF-8
        bool wrongCrc = false; // the CRC stored does not match the data
    };

    ZipBuilder& Add(Member member);
    ZipBuilder& Add(const std::string& name, const std::string& data, bool deflate = true);
    // zip64: every size and offset in the zip64 extra field and end records, the 32-bit fields all ones.
    std::string Build(bool zip64 = false) const;

private:
    std::vector<Member> m_members;
};

// A minimal Office or OpenDocument file: the named parts (path inside, XML) plus the package's
// own bookkeeping part, deflated.
std::string OfficeFile(const std::vector<std::pair<std::string, std::string>>& parts);

} // namespace testing_support
