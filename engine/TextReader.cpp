#include "engine/TextReader.h"

#include "platform/Utf16.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace engine
{

namespace
{

constexpr size_t kReadSize = 64 * 1024;

// Hands out bytes already read first, then reads on: the bytes looked at to tell the encoding are
// not read twice.
class PrefixedReader : public platform::FileReader
{
public:
    PrefixedReader(std::unique_ptr<platform::FileReader> raw, std::vector<char> prefix, bool failed)
        : m_raw(std::move(raw)), m_prefix(std::move(prefix)), m_failed(failed)
    {
    }

    int64_t Read(void* buffer, size_t count) override
    {
        if (m_offset < m_prefix.size())
        {
            const size_t n = std::min(count, m_prefix.size() - m_offset);
            std::memcpy(buffer, m_prefix.data() + m_offset, n);
            m_offset += n;
            return static_cast<int64_t>(n);
        }
        return m_failed ? -1 : m_raw->Read(buffer, count);
    }
    uint64_t Size() const override { return m_raw->Size(); }
    uint64_t Position() const override
    {
        const uint64_t ahead = m_prefix.size() - m_offset;
        return m_raw->Position() - std::min<uint64_t>(ahead, m_raw->Position());
    }

private:
    std::unique_ptr<platform::FileReader> m_raw;
    std::vector<char> m_prefix;
    size_t m_offset = 0;
    bool m_failed;
};

class Utf16Reader : public platform::FileReader
{
public:
    Utf16Reader(std::unique_ptr<platform::FileReader> raw, const std::vector<char>& afterMark, bool bigEndian,
                bool failed)
        : m_raw(std::move(raw)), m_bigEndian(bigEndian), m_failed(failed)
    {
        AppendUtf16AsUtf8(m_carry, afterMark.data(), afterMark.size(), m_bigEndian, m_out);
    }

    int64_t Read(void* buffer, size_t count) override
    {
        while (m_offset >= m_out.size() && !m_failed && !m_ended)
            Fill();
        if (m_offset >= m_out.size())
            return m_failed ? -1 : 0;
        const size_t n = std::min(count, m_out.size() - m_offset);
        std::memcpy(buffer, m_out.data() + m_offset, n);
        m_offset += n;
        return static_cast<int64_t>(n);
    }
    uint64_t Size() const override { return m_raw->Size(); }
    // At the end only when every decoded byte has been handed out, and a high surrogate still
    // waiting for its pair has been decoded too (as U+FFFD, once the file has ended).
    uint64_t Position() const override
    {
        const uint64_t position = m_raw->Position();
        const bool pending = m_offset < m_out.size() || (!m_ended && m_carry.size() >= 2);
        if (pending && position > 0 && position >= m_raw->Size())
            return m_raw->Size() - 1;
        return position;
    }

private:
    void Fill()
    {
        m_out.clear();
        m_offset = 0;
        m_block.resize(kReadSize);
        const int64_t got = m_raw->Read(m_block.data(), m_block.size());
        if (got < 0)
            m_failed = true;
        else if (got == 0)
            Finish();
        else
            AppendUtf16AsUtf8(m_carry, m_block.data(), static_cast<size_t>(got), m_bigEndian, m_out);
    }

    // An odd last byte is no character; a high surrogate left alone is an unpaired one.
    void Finish()
    {
        m_ended = true;
        if (m_carry.size() >= 2)
            platform::AppendUtf8(platform::kReplacementCharacter, m_out);
        m_carry.clear();
    }

    std::unique_ptr<platform::FileReader> m_raw;
    bool m_bigEndian;
    bool m_failed;
    bool m_ended = false;
    std::string m_carry;
    std::string m_out;
    size_t m_offset = 0;
    std::vector<char> m_block;
};

} // namespace

void AppendUtf16AsUtf8(std::string& carry, const char* bytes, size_t size, bool bigEndian, std::string& out)
{
    carry.append(bytes, size);
    auto unitAt = [&](size_t i) {
        const auto b0 = static_cast<unsigned char>(carry[i]);
        const auto b1 = static_cast<unsigned char>(carry[i + 1]);
        return bigEndian ? static_cast<uint32_t>(b0 << 8 | b1) : static_cast<uint32_t>(b1 << 8 | b0);
    };
    size_t i = 0;
    while (i + 2 <= carry.size())
    {
        const uint32_t unit = unitAt(i);
        if (platform::IsHighSurrogate(unit))
        {
            if (i + 4 > carry.size())
                break; // its pair is in the next block
            const uint32_t next = unitAt(i + 2);
            if (platform::IsLowSurrogate(next))
            {
                platform::AppendUtf8(platform::JoinSurrogates(unit, next), out);
                i += 4;
                continue;
            }
            platform::AppendUtf8(platform::kReplacementCharacter, out);
            i += 2;
            continue;
        }
        platform::AppendUtf8(platform::IsLowSurrogate(unit) ? platform::kReplacementCharacter : unit, out);
        i += 2;
    }
    carry.erase(0, i);
}

std::unique_ptr<platform::FileReader> TextReader(std::unique_ptr<platform::FileReader> raw,
                                                 RecognisedEncoding* recognised)
{
    if (!raw)
        return raw;
    std::vector<char> start(kReadSize);
    size_t have = 0;
    bool failed = false;
    bool ended = false;
    // Short reads are allowed: read until the encoding could be told, the end, or an error.
    while (have < kRecognisedBytes)
    {
        const int64_t got = raw->Read(start.data() + have, start.size() - have);
        if (got <= 0)
        {
            failed = got < 0;
            ended = got == 0;
            break;
        }
        have += static_cast<size_t>(got);
    }
    start.resize(have);
    const bool wholeFile = ended || (!failed && raw->Position() >= raw->Size());
    const RecognisedEncoding found = RecogniseEncoding(start.data(), have, wholeFile);
    if (recognised)
        *recognised = found;
    start.erase(start.begin(), start.begin() + static_cast<std::ptrdiff_t>(found.markLength));
    if (found.encoding == TextEncoding::Utf16Le || found.encoding == TextEncoding::Utf16Be)
        return std::make_unique<Utf16Reader>(std::move(raw), start, found.encoding == TextEncoding::Utf16Be,
                                             failed);
    return std::make_unique<PrefixedReader>(std::move(raw), std::move(start), failed);
}

} // namespace engine
