#include "engine/HitLines.h"

#include "engine/DocumentText.h"
#include "engine/LineBreaks.h"
#include "engine/TextEncoding.h"
#include "engine/TextReader.h"
#include "engine/TextSearch.h"

#include <algorithm>
#include <deque>
#include <optional>

namespace engine
{

namespace
{

constexpr size_t kBlockSize = 64 * 1024;
// A line kept for context is shown only up to the cut: a few bytes more keep its last character.
constexpr size_t kContextBytes = kHitLineTextLimit + 4;

// A line as read, in the reader's bytes (a UTF-16 file's already UTF-8).
struct RawLine
{
    uint64_t number = 1;
    std::string bytes; // the line's first bytes, at most kHitLineSearchLimit
    bool cut = false;  // the line went on past bytes

    bool Empty() const { return bytes.empty() && !cut; }
    void Append(const char* data, size_t size)
    {
        const size_t room = kHitLineSearchLimit - bytes.size();
        bytes.append(data, std::min(size, room));
        cut = cut || size > room;
    }
};

// Takes the lines in order and keeps the hit lines and the lines around them.
class HitCollector
{
public:
    // member names the lines' part of a container; hitLinesBefore counts those its earlier parts
    // gave, toward maxHits.
    HitCollector(const HitLinesQuery& query, TextEncoding encoding, const platform::CodePage& codePage,
                 HitLinesResult& result, std::string member = {}, size_t hitLinesBefore = 0)
        : m_query(query), m_encoding(encoding), m_codePage(codePage), m_result(result),
          m_search(query.text, query.ignoreCase ? AsciiUpperFold() : IdentityFold()),
          m_member(std::move(member)), m_hitLines(hitLinesBefore)
    {
        const std::string ansi = AnsiForm(query.text, &codePage);
        if (encoding == TextEncoding::Ansi && !ansi.empty())
            m_ansiSearch.emplace(ansi, query.ignoreCase ? AsciiUpperFold() : IdentityFold());
    }

    // False once the collection is over: a hit line past maxHits was seen. May take line's bytes.
    bool Add(RawLine& line)
    {
        std::string text;
        std::vector<std::pair<size_t, size_t>> hits;
        bool hit = false;
        if (MayHold(line.bytes))
        {
            text = Decode(line);
            hit = FindHits(text, hits);
        }
        if (hit)
        {
            if (m_hitLines == m_query.maxHits)
            {
                m_result.cutOff = true;
                return false;
            }
            for (const RawLine& before : m_before)
                EmitContext(before);
            m_before.clear();
            Emit(line.number, std::move(text), std::move(hits), false);
            ++m_hitLines;
            m_afterLeft = m_query.context;
        }
        else if (m_hitLines == m_query.maxHits && m_afterLeft == 0)
            return true; // only whether another hit line follows matters now
        else if (m_afterLeft > 0)
        {
            --m_afterLeft;
            EmitContext(line);
        }
        else if (m_query.context > 0)
        {
            if (m_before.size() == m_query.context)
                m_before.pop_front();
            line.cut = line.cut || line.bytes.size() > kContextBytes;
            line.bytes.resize(std::min(line.bytes.size(), kContextBytes));
            m_before.push_back(std::move(line));
        }
        return true;
    }

    size_t HitLineCount() const { return m_hitLines; }

private:
    // A quick look at the undecoded bytes: a line it passes over cannot hold the text once decoded.
    bool MayHold(const std::string& bytes) const
    {
        return m_search.Contains(bytes.data(), bytes.size()) ||
               (m_ansiSearch && m_ansiSearch->Contains(bytes.data(), bytes.size()));
    }

    // An ANSI file's line that is valid UTF-8 is read as UTF-8: the first bytes may not have told.
    std::string Decode(const RawLine& line) const
    {
        if (m_encoding != TextEncoding::Ansi)
            return RepairUtf8(line.bytes);
        if (IsValidUtf8(line.bytes, line.cut))
            return line.bytes;
        return m_codePage.ToUtf8(line.bytes);
    }

    bool FindHits(const std::string& text, std::vector<std::pair<size_t, size_t>>& hits) const
    {
        const size_t length = m_search.Length();
        size_t at = m_search.Find(text.data(), text.size());
        const bool found = at != TextSearch::npos;
        for (; at != TextSearch::npos; at = m_search.Find(text.data(), text.size(), at + length))
            hits.emplace_back(at, length);
        return found;
    }

    void EmitContext(const RawLine& line) { Emit(line.number, Decode(line), {}, true); }

    void Emit(uint64_t number, std::string text, std::vector<std::pair<size_t, size_t>> hits, bool context)
    {
        HitLine out;
        out.member = m_member;
        out.number = number;
        text.resize(Utf8CutLength(text, kHitLineTextLimit));
        out.text = std::move(text);
        for (const auto& hit : hits)
            if (hit.first + hit.second <= out.text.size())
                out.hits.push_back(hit);
        out.context = context;
        m_result.lines.push_back(std::move(out));
    }

    const HitLinesQuery& m_query;
    TextEncoding m_encoding;
    const platform::CodePage& m_codePage;
    HitLinesResult& m_result;
    TextSearch m_search;                    // the UTF-8 form
    std::optional<TextSearch> m_ansiSearch; // an ANSI file's look at the ANSI form
    const std::string m_member;
    std::deque<RawLine> m_before; // lines since the last one shown, for the next hit
    unsigned m_afterLeft = 0;     // lines still to show after the last hit
    size_t m_hitLines = 0;
};

// Splits text (or a block of it) into lines for collector; false once it wants no more.
class LineFeeder
{
public:
    explicit LineFeeder(HitCollector& collector) : m_collector(collector) {}
    bool Feed(const char* data, size_t size)
    {
        return m_breaks.Feed(
            data, size, [this](const char* text, size_t length) { m_line.Append(text, length); },
            [this] {
                if (!m_collector.Add(m_line))
                    return false;
                m_line.bytes.clear();
                m_line.cut = false;
                ++m_line.number;
                return true;
            });
    }
    void End()
    {
        if (!m_line.Empty())
            m_collector.Add(m_line);
    }

private:
    HitCollector& m_collector;
    LineBreaks m_breaks;
    RawLine m_line;
};

// The lines of each text part of a document or member of an archive, in the file's order.
HitLinesResult FindContainerHitLines(platform::FileSystem& fileSystem, const std::string& path,
                                     ContainerKind kind, const HitLinesQuery& query,
                                     const platform::CodePage& codePage,
                                     const std::function<bool()>& stopRequested)
{
    HitLinesResult result;
    if (query.text.empty())
        return result;
    size_t hitLines = 0;
    bool stopped = false;
    const TextOutcome outcome = VisitContainerText(fileSystem, path, kind, [&](const TextPiece& piece) {
        if (stopRequested && stopRequested())
        {
            stopped = true;
            return false;
        }
        HitCollector collector(query, TextEncoding::Utf8, codePage, result, piece.member, hitLines);
        LineFeeder feeder(collector);
        if (feeder.Feed(piece.text.data(), piece.text.size()))
            feeder.End();
        hitLines = collector.HitLineCount();
        return !result.cutOff;
    });
    if (outcome == TextOutcome::NotFound)
        result.outcome = HitLinesResult::Outcome::Vanished;
    else if (outcome == TextOutcome::Unreadable)
        result.outcome = HitLinesResult::Outcome::Unreadable;
    else if (stopped)
        result.outcome = HitLinesResult::Outcome::Stopped;
    return result;
}

} // namespace

HitLinesResult FindHitLines(platform::FileSystem& fileSystem, const std::string& path,
                            const HitLinesQuery& query, const std::function<bool()>& stopRequested)
{
    const platform::Latin1CodePage latin1;
    const platform::CodePage& codePage = query.codePage ? *query.codePage : latin1;
    const ContainerKind kind = ContainerKindOf(path, query.containers);
    if (kind != ContainerKind::None)
        return FindContainerHitLines(fileSystem, path, kind, query, codePage, stopRequested);
    HitLinesResult result;
    platform::OpenFailure failure = platform::OpenFailure::None;
    RecognisedEncoding recognised;
    std::unique_ptr<platform::FileReader> reader =
        TextReader(fileSystem.OpenFile(path, platform::FileShare::ReadWrite, failure), &recognised);
    if (!reader)
    {
        result.outcome = failure == platform::OpenFailure::NotFound ? HitLinesResult::Outcome::Vanished
                                                                    : HitLinesResult::Outcome::Unreadable;
        return result;
    }
    result.encoding = EncodingName(recognised);
    if (query.text.empty())
        return result;

    HitCollector collector(query, recognised.encoding, codePage, result);
    LineFeeder feeder(collector);
    std::vector<char> block(kBlockSize);
    for (;;)
    {
        const int64_t got = reader->Read(block.data(), block.size());
        if (got < 0)
        {
            result.outcome = HitLinesResult::Outcome::Unreadable;
            return result;
        }
        if (got == 0)
            break;
        if (!feeder.Feed(block.data(), static_cast<size_t>(got)))
            return result;
        if (stopRequested && stopRequested())
        {
            result.outcome = HitLinesResult::Outcome::Stopped;
            return result;
        }
    }
    feeder.End();
    return result;
}

} // namespace engine
