#include "crash/CallFrameRecords.h"

namespace crash
{
namespace cfi
{

bool ReadCie(const CallFrameSection& section, size_t at, Cie& cie)
{
    Cursor c(section, at, section.size);
    const uint64_t length = c.Unsigned(4);
    if (!c.Ok() || length == 0 || length == 0xFFFFFFFF || length > section.size - c.At())
        return false;
    cie.end = c.At() + length;
    c = Cursor(section, c.At(), cie.end);
    if (c.Unsigned(4) != 0)
        return false;
    const uint64_t version = c.Unsigned(1);
    char augmentation[8] = {};
    size_t n = 0;
    for (uint64_t ch = c.Unsigned(1); c.Ok() && ch; ch = c.Unsigned(1))
    {
        if (n + 1 >= sizeof(augmentation))
            return false;
        augmentation[n++] = static_cast<char>(ch);
    }
    const char* a = augmentation;
    if (a[0] == 'e' && a[1] == 'h')
    {
        c.Unsigned(section.wordSize);
        a += 2;
    }
    cie.codeAlign = c.Uleb();
    cie.dataAlign = c.Sleb();
    cie.returnRegister = static_cast<int>(version == 1 ? c.Unsigned(1) : c.Uleb());
    if (cie.returnRegister < 0 || cie.returnRegister >= kFrameRegisters)
        return false;
    if (*a == 'z')
    {
        cie.augmented = true;
        const uint64_t dataLength = c.Uleb();
        const size_t dataEnd = c.At() + static_cast<size_t>(dataLength);
        for (++a; *a && c.Ok(); ++a)
        {
            uint64_t ignored = 0;
            if (*a == 'R')
                cie.fdeEncoding = static_cast<uint8_t>(c.Unsigned(1));
            else if (*a == 'P')
            {
                if (!c.Pointer(static_cast<uint8_t>(c.Unsigned(1)), ignored))
                    return false;
            }
            else if (*a == 'L')
                c.Unsigned(1);
            else if (*a != 'S')
                break; // an unknown letter: the rest of its data is skipped
        }
        c.Seek(dataEnd);
    }
    else if (*a)
        return false;
    cie.instructions = c.At();
    return c.Ok() && cie.instructions <= cie.end;
}

bool FindFde(const CallFrameSection& section, uint64_t pc, Cie& cie, size_t& instructions, size_t& end,
             uint64_t& begin)
{
    size_t at = 0;
    while (at + 8 <= section.size)
    {
        Cursor c(section, at, section.size);
        const uint64_t length = c.Unsigned(4);
        if (length == 0 || length == 0xFFFFFFFF || length > section.size - c.At())
            return false;
        const size_t recordEnd = c.At() + static_cast<size_t>(length);
        const size_t idAt = c.At();
        const uint64_t id = c.Unsigned(4);
        if (id != 0 && id <= idAt)
        {
            Cie candidate;
            if (ReadCie(section, idAt - static_cast<size_t>(id), candidate))
            {
                Cursor f(section, c.At(), recordEnd);
                uint64_t start = 0, range = 0;
                if (f.Pointer(candidate.fdeEncoding, start) &&
                    f.Pointer(candidate.fdeEncoding & 0x0F, range, false) && pc >= start &&
                    pc - start < range)
                {
                    if (candidate.augmented)
                        f.Seek(f.At() + static_cast<size_t>(f.Uleb()));
                    if (!f.Ok())
                        return false;
                    cie = candidate;
                    instructions = f.At();
                    end = recordEnd;
                    begin = start;
                    return true;
                }
            }
        }
        at = recordEnd;
    }
    return false;
}

} // namespace cfi
} // namespace crash
