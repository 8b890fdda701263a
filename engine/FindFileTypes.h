#pragma once
// Types shared by the finder component, its run and its callers.
#include "platform/FileSystem.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace engine
{

// Days since 1899-12-30, the fraction being the time of day; local time. 0 = no bound.
using TDateTime = double;

enum TFileAttribute : uint8_t
{
    ffArchive = 0,
    ffReadonly = 1,
    ffHidden = 2,
    ffSystem = 3,
    ffDirectory = 4,
};

// A set of TFileAttribute values, one bit per ordinal.
class TFileAttributes
{
public:
    constexpr TFileAttributes() = default;
    constexpr TFileAttributes(std::initializer_list<TFileAttribute> values)
    {
        for (TFileAttribute v : values)
            m_bits = static_cast<uint8_t>(m_bits | (1u << v));
    }
    static constexpr TFileAttributes FromBits(uint8_t bits)
    {
        TFileAttributes set;
        set.m_bits = static_cast<uint8_t>(bits & 0x1F);
        return set;
    }
    constexpr uint8_t Bits() const { return m_bits; }
    constexpr bool Has(TFileAttribute v) const { return (m_bits >> v) & 1u; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr bool operator==(TFileAttributes other) const { return m_bits == other.m_bits; }
    constexpr bool operator!=(TFileAttributes other) const { return m_bits != other.m_bits; }

private:
    uint8_t m_bits = 0;
};

enum class TThreadPriority
{
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical,
};

// The platform thread priority for a TThreadPriority value.
int PlatformPriority(TThreadPriority priority);

// The found-file record handed to OnFound. Sizes are 64-bit: the 32-bit truncation of older
// records gives plainly wrong sizes and filters for files of 2 GiB and more.
struct TSearchRec
{
    int32_t Time = 0; // local last-write time, DOS date word (high 16 bits) and time word (low)
    int64_t Size = 0;
    int32_t Attr = 0;
    std::string Name; // UTF-8, without folder
    platform::FindData FindData;
};

class EFindFileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace engine
