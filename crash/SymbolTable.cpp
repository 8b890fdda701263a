#include "crash/SymbolTable.h"

namespace crash
{
namespace
{

constexpr uint32_t kVersion = 1;
constexpr size_t kHeaderBytes = 4 + 6 * 4;

uint32_t ReadWord(const unsigned char* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

// Reads a varint at position; false when it runs past end or does not fit 32 bits.
bool ReadVarint(const unsigned char* data, uint32_t end, uint32_t& position, uint32_t& value)
{
    value = 0;
    for (int shift = 0; shift < 35; shift += 7)
    {
        if (position >= end)
            return false;
        const unsigned char byte = data[position++];
        value |= static_cast<uint32_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

int32_t Unzigzag(uint32_t value)
{
    return static_cast<int32_t>(value >> 1) ^ -static_cast<int32_t>(value & 1);
}

} // namespace

bool SymbolTable::Open(const unsigned char* data, size_t size)
{
    *this = SymbolTable();
    if (!data || size < kHeaderBytes || data[0] != 'F' || data[1] != 'F' || data[2] != 'S' ||
        data[3] != 'Y' || ReadWord(data + 4) != kVersion)
        return false;
    const uint32_t functions = ReadWord(data + 8), files = ReadWord(data + 12);
    const uint32_t lineBytes = ReadWord(data + 16), stringBytes = ReadWord(data + 20);
    // Sizes in 64 bits: a damaged count must not wrap the sum below the table's size.
    const uint64_t need = kHeaderBytes + (2ull * functions + files) * 4 + lineBytes + stringBytes;
    if (need != size || stringBytes == 0 || data[size - 1] != '\0')
        return false;
    m_starts = data + kHeaderBytes;
    m_names = m_starts + 4ull * functions;
    m_files = m_names + 4ull * functions;
    m_lines = m_files + 4ull * files;
    m_strings = reinterpret_cast<const char*>(m_lines + lineBytes);
    m_functions = functions;
    m_fileCount = files;
    m_lineBytes = lineBytes;
    m_stringBytes = stringBytes;
    m_codeEnd = ReadWord(data + 24);
    bool sound = true;
    for (uint32_t i = 0; i < functions && sound; ++i)
        sound = Word(m_names, i) < stringBytes && (i == 0 || Word(m_starts, i - 1) < Word(m_starts, i)) &&
                Word(m_starts, i) < m_codeEnd;
    for (uint32_t i = 0; i < files && sound; ++i)
        sound = Word(m_files, i) < stringBytes;
    if (!sound)
        *this = SymbolTable();
    return sound;
}

uint32_t SymbolTable::Word(const unsigned char* at, uint32_t index) const
{
    return ReadWord(at + 4ull * index);
}

const char* SymbolTable::String(uint32_t offset) const
{
    return m_strings + offset;
}

bool SymbolTable::Find(uint32_t rva, CodeName& name) const
{
    name = CodeName();
    if (m_functions == 0 || rva < Word(m_starts, 0) || rva >= m_codeEnd)
        return false;
    uint32_t low = 0, high = m_functions; // the last start at or below rva lies in [low, high)
    while (high - low > 1)
    {
        const uint32_t middle = low + (high - low) / 2;
        if (Word(m_starts, middle) <= rva)
            low = middle;
        else
            high = middle;
    }
    name.function = String(Word(m_names, low));
    // An empty name marks code that no name covers.
    if (!*name.function)
    {
        name = CodeName();
        return false;
    }
    name.offset = rva - Word(m_starts, low);
    FindLine(rva, name);
    return true;
}

void SymbolTable::FindLine(uint32_t rva, CodeName& name) const
{
    uint32_t position = 0, at = 0, step = 0, fileIndex = 0, lineStep = 0;
    int64_t line = 0;
    uint32_t foundFile = 0;
    int64_t foundLine = 0;
    while (position < m_lineBytes)
    {
        if (!ReadVarint(m_lines, m_lineBytes, position, step) ||
            !ReadVarint(m_lines, m_lineBytes, position, fileIndex) ||
            !ReadVarint(m_lines, m_lineBytes, position, lineStep))
            return;
        if (static_cast<uint64_t>(at) + step > 0xFFFFFFFFull)
            return;
        at += step;
        line += Unzigzag(lineStep);
        if (at > rva)
            break;
        foundFile = fileIndex;
        foundLine = line;
    }
    if (foundFile == 0 || foundFile > m_fileCount || foundLine <= 0 || foundLine > 0xFFFFFFFF)
        return;
    name.file = String(Word(m_files, foundFile - 1));
    name.line = static_cast<uint32_t>(foundLine);
}

bool SymbolTable::StartOf(const char* function, uint32_t& rva) const
{
    for (uint32_t i = 0; i < m_functions; ++i)
    {
        const char* candidate = String(Word(m_names, i));
        const char* wanted = function;
        while (*candidate && *candidate == *wanted)
            ++candidate, ++wanted;
        if (*candidate == '\0' && *wanted == '\0')
        {
            rva = Word(m_starts, i);
            return true;
        }
    }
    return false;
}

} // namespace crash
