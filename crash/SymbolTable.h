#pragma once
// The table of a program's functions and source lines that the build embeds in its resources
// (tools/symbol-table.py writes it from the linked image's symbols and debug information), read
// without allocating: the exception report looks code addresses up after a fault. Portable; every
// offset is checked, so a damaged table answers nothing rather than reading outside itself.
#include <cstddef>
#include <cstdint>

namespace crash
{

struct CodeName
{
    const char* function = nullptr; // the function containing the address
    uint32_t offset = 0;            // bytes from the function's start
    const char* file = nullptr;     // the source of the address's code, when it is one of ours
    uint32_t line = 0;
};

class SymbolTable
{
public:
    // False (and an empty table) when data is not a whole table of the known layout.
    bool Open(const unsigned char* data, size_t size);

    // The function and line of the code at rva; false when no function of the table holds it (or
    // the table marks the code there as nameless).
    bool Find(uint32_t rva, CodeName& name) const;
    // The start of the function of that name (its first, when several share it).
    bool StartOf(const char* function, uint32_t& rva) const;

    uint32_t Functions() const { return m_functions; }

private:
    uint32_t Word(const unsigned char* at, uint32_t index) const;
    const char* String(uint32_t offset) const;
    void FindLine(uint32_t rva, CodeName& name) const;

    const unsigned char* m_starts = nullptr;
    const unsigned char* m_names = nullptr;
    const unsigned char* m_files = nullptr;
    const unsigned char* m_lines = nullptr;
    const char* m_strings = nullptr;
    uint32_t m_functions = 0;
    uint32_t m_fileCount = 0;
    uint32_t m_lineBytes = 0;
    uint32_t m_stringBytes = 0;
    uint32_t m_codeEnd = 0;
};

} // namespace crash
