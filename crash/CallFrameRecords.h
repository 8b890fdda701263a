#pragma once
// The records of the call-frame information (.eh_frame) and the reading of them: a bounds-checked
// cursor over the section, a CIE's fields, the FDE that covers an address, and the rows of rules
// the instructions build. Used by the unwinder in CallFrameInfo.cpp; portable like it.
#include "crash/CallFrameInfo.h"

namespace crash
{
namespace cfi
{

// Reads the section's bytes, one value at a time; a read past the end marks the cursor bad.
class Cursor
{
public:
    Cursor(const CallFrameSection& section, size_t at, size_t end) : m_s(&section), m_at(at), m_end(end) {}

    bool Ok() const { return m_ok; }
    size_t At() const { return m_at; }
    bool AtEnd() const { return !m_ok || m_at >= m_end; }
    void Seek(size_t at)
    {
        if (at > m_end)
            m_ok = false;
        m_at = at;
    }

    uint64_t Unsigned(int bytes)
    {
        if (!m_ok || m_at > m_end || m_end - m_at < static_cast<size_t>(bytes))
        {
            m_ok = false;
            return 0;
        }
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= static_cast<uint64_t>(m_s->data[m_at + i]) << (8 * i);
        m_at += bytes;
        return v;
    }
    int64_t Signed(int bytes)
    {
        const uint64_t v = Unsigned(bytes);
        const int shift = 64 - 8 * bytes;
        return static_cast<int64_t>(v << shift) >> shift;
    }
    uint64_t Uleb()
    {
        uint64_t v = 0;
        for (int shift = 0; m_ok; shift += 7)
        {
            const uint64_t byte = Unsigned(1);
            if (shift < 64)
                v |= (byte & 0x7F) << shift;
            if (!(byte & 0x80))
                break;
            if (shift > 63)
                m_ok = false;
        }
        return v;
    }
    int64_t Sleb()
    {
        uint64_t v = 0;
        int shift = 0;
        uint64_t byte = 0;
        do
        {
            byte = Unsigned(1);
            if (shift < 64)
                v |= (byte & 0x7F) << shift;
            shift += 7;
            if (shift > 70)
                m_ok = false;
        } while (m_ok && (byte & 0x80));
        if (shift < 64 && (byte & 0x40))
            v |= ~0ull << shift;
        return static_cast<int64_t>(v);
    }
    // A pointer in one of the encodings GCC uses (absolute or pc-relative, of several widths).
    bool Pointer(uint8_t encoding, uint64_t& value, bool relative = true)
    {
        const uint64_t fieldAddress = m_s->address + m_at;
        switch (encoding & 0x0F)
        {
        case 0x00:
            value = Unsigned(m_s->wordSize);
            break;
        case 0x01:
            value = Uleb();
            break;
        case 0x02:
            value = Unsigned(2);
            break;
        case 0x03:
            value = Unsigned(4);
            break;
        case 0x04:
            value = Unsigned(8);
            break;
        case 0x09:
            value = static_cast<uint64_t>(Sleb());
            break;
        case 0x0A:
            value = static_cast<uint64_t>(Signed(2));
            break;
        case 0x0B:
            value = static_cast<uint64_t>(Signed(4));
            break;
        case 0x0C:
            value = static_cast<uint64_t>(Signed(8));
            break;
        default:
            return false;
        }
        const uint8_t application = encoding & 0x70;
        if (relative && application == 0x10)
            value += fieldAddress;
        else if (relative && application != 0x00)
            return false;
        if (m_s->wordSize == 4)
            value &= 0xFFFFFFFFull;
        if (encoding & 0x80)
        {
            uint64_t target = 0;
            if (!m_s->read || !m_s->read(value, &target, m_s->wordSize))
                return false;
            value = m_s->wordSize == 4 ? target & 0xFFFFFFFFull : target;
        }
        return m_ok;
    }

private:
    const CallFrameSection* m_s;
    size_t m_at;
    size_t m_end;
    bool m_ok = true;
};

struct Cie
{
    uint64_t codeAlign = 1;
    int64_t dataAlign = 1;
    int returnRegister = 0;
    uint8_t fdeEncoding = 0;
    bool augmented = false; // "z": FDEs carry augmentation data to skip
    size_t instructions = 0;
    size_t end = 0;
};

enum class RuleKind : uint8_t
{
    Same,
    Undefined,
    Offset,      // saved at CFA + offset
    ValueOffset, // is CFA + offset
    Register,    // in another register
    Expression,  // saved at the expression's value
    ValueExpression,
};

struct Rule
{
    RuleKind kind = RuleKind::Same;
    int64_t offset = 0;
    size_t expression = 0; // position and length of a DWARF expression in the section
    size_t length = 0;
};

struct Row
{
    int cfaRegister = -1;
    int64_t cfaOffset = 0;
    bool cfaByExpression = false;
    size_t cfaExpression = 0, cfaLength = 0;
    Rule rules[kFrameRegisters];
};

// The CIE at offset at of the section; false when it cannot be read.
bool ReadCie(const CallFrameSection& section, size_t at, Cie& cie);

// The FDE covering pc: its CIE, and the range of its instructions and of its code.
bool FindFde(const CallFrameSection& section, uint64_t pc, Cie& cie, size_t& instructions, size_t& end,
             uint64_t& begin);

} // namespace cfi
} // namespace crash
