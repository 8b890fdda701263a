#pragma once
// The command line of FindFileCmd: options, their values and how they become finder criteria.
// Portable, so the parsing is tested natively.
#include "cmd/ValueParsers.h"
#include "engine/FindCriteria.h"
#include "network/Sweep.h"

#include <optional>
#include <string>
#include <vector>

namespace engine
{
class TFindFile;
}

namespace cmd
{

// How each entry found is printed when --events is not given.
enum class OutputFormat
{
    Paths, // its full path
    Tsv,   // the found event's fields, tab-separated
    Csv,   // RFC 4180 lines under a header
    Jsonl, // one JSON object per line
};

struct CmdOptions
{
    engine::FindCriteria criteria; // the positional argument is its location
    bool locationGiven = false;
    // --documents and --archives were given: they take the place of a search file's choice.
    bool documentsGiven = false;
    bool archivesGiven = false;
    bool threaded = false;
    // --prefetch, --no-prefetch: folders opened ahead on a helper thread. Unset: only in an inline
    // run with a processor to spare (a threaded run already keeps two threads busy).
    std::optional<bool> prefetch;
    // --scan-ahead, --no-scan-ahead: long files scanned for the text on a helper thread too. Unset: the
    // finder's own choice (with a second processor).
    std::optional<bool> scanAhead;
    bool events = false;
    // --lines: each file found prints the lines holding the text; --context N: and N lines around
    // each (it implies --lines).
    bool lines = false;
    unsigned context = 0;
    OutputFormat format = OutputFormat::Paths;
    bool formatGiven = false;
    // --computers: the network lookup instead of a file search; the positional argument is its text.
    bool computers = false;
    bool domains = false; // --domains: also the domain rows
    // --sweep: the ranges a sweep asks beside the browse list; "local" for the
    // adapters' subnets. --timeout: how long it waits for answers after its last question.
    std::vector<network::AddressRange> sweepRanges;
    bool sweepLocal = false;
    unsigned sweepTimeoutMs = network::kDefaultSweepTimeoutMs;
    bool timeoutGiven = false;
    // --no-dns: the sweep asks NetBIOS and multicast DNS only, not the DNS server.
    bool reverseDns = true;
    // --search FILE: the criteria of a search file, read before the search.
    std::string searchFile;
    bool help = false;
    bool version = false;
};

// The most lines --context prints around a hit line.
constexpr unsigned kMaxContextLines = 1000;

struct ParseResult
{
    CmdOptions options;
    std::string error; // empty when the command line is valid
};

// args without the program name, UTF-8.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

// Writes the options into the finder; the finder's setters may throw engine::EFindFileError.
void ApplyOptions(const CmdOptions& options, engine::TFindFile& finder);

// The --help text, and the --version line (the version of app/Version.h).
const char* UsageText();
const char* VersionText();

} // namespace cmd
