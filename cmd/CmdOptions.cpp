#include "cmd/CmdOptions.h"

#include "cmd/OptionTable.h"
#include "engine/FindFile.h"

#include <utility>

namespace cmd
{

namespace
{

// The options that take a value, by long name, and where the value goes.
enum class ValueOption
{
    Name,
    Include,
    Exclude,
    Attributes,
    ModifiedAfter,
    ModifiedBefore,
    CreatedAfter,
    CreatedBefore,
    AccessedAfter,
    AccessedBefore,
    SizeMin,
    SizeMax,
    Containing,
    Format,
    Sweep,
    Timeout,
    Search,
    Context,
    Documents,
    Archives,
};

enum Flag
{
    kNoSubfolders = 100,
    kExactAttributes,
    kCaseSensitive,
    kThreaded,
    kPrefetch,
    kNoPrefetch,
    kScanAhead,
    kNoScanAhead,
    kEvents,
    kHelp,
    kVersion,
    kComputers,
    kDomains,
    kNoDns,
    kLines,
};

const std::vector<OptionSpec> kOptions = {
    {"name", 'n', true, static_cast<int>(ValueOption::Name)},
    {"include", 'i', true, static_cast<int>(ValueOption::Include)},
    {"exclude", 'x', true, static_cast<int>(ValueOption::Exclude)},
    {"attributes", 'a', true, static_cast<int>(ValueOption::Attributes)},
    {"modified-after", 0, true, static_cast<int>(ValueOption::ModifiedAfter)},
    {"modified-before", 0, true, static_cast<int>(ValueOption::ModifiedBefore)},
    {"created-after", 0, true, static_cast<int>(ValueOption::CreatedAfter)},
    {"created-before", 0, true, static_cast<int>(ValueOption::CreatedBefore)},
    {"accessed-after", 0, true, static_cast<int>(ValueOption::AccessedAfter)},
    {"accessed-before", 0, true, static_cast<int>(ValueOption::AccessedBefore)},
    {"size-min", 0, true, static_cast<int>(ValueOption::SizeMin)},
    {"size-max", 0, true, static_cast<int>(ValueOption::SizeMax)},
    {"containing", 'c', true, static_cast<int>(ValueOption::Containing)},
    {"format", 'f', true, static_cast<int>(ValueOption::Format)},
    {"sweep", 0, true, static_cast<int>(ValueOption::Sweep)},
    {"timeout", 0, true, static_cast<int>(ValueOption::Timeout)},
    {"search", 0, true, static_cast<int>(ValueOption::Search)},
    {"context", 0, true, static_cast<int>(ValueOption::Context)},
    {"documents", 0, true, static_cast<int>(ValueOption::Documents)},
    {"archives", 0, true, static_cast<int>(ValueOption::Archives)},
    {"no-subfolders", 0, false, kNoSubfolders},
    {"exact-attributes", 0, false, kExactAttributes},
    {"case-sensitive", 0, false, kCaseSensitive},
    {"threaded", 0, false, kThreaded},
    {"prefetch", 0, false, kPrefetch},
    {"no-prefetch", 0, false, kNoPrefetch},
    {"scan-ahead", 0, false, kScanAhead},
    {"no-scan-ahead", 0, false, kNoScanAhead},
    {"events", 0, false, kEvents},
    {"help", 'h', false, kHelp},
    {"version", 0, false, kVersion},
    {"computers", 0, false, kComputers},
    {"domains", 0, false, kDomains},
    {"no-dns", 0, false, kNoDns},
    {"lines", 0, false, kLines},
};

void SetFlag(CmdOptions& options, int flag)
{
    switch (flag)
    {
    case kNoSubfolders:
        options.criteria.subfolders = false;
        break;
    case kExactAttributes:
        options.criteria.exactAttribute = true;
        break;
    case kCaseSensitive:
        options.criteria.ignoreCase = false;
        break;
    case kThreaded:
        options.threaded = true;
        break;
    case kPrefetch:
        options.prefetch = true;
        break;
    case kNoPrefetch:
        options.prefetch = false;
        break;
    case kScanAhead:
        options.scanAhead = true;
        break;
    case kNoScanAhead:
        options.scanAhead = false;
        break;
    case kEvents:
        options.events = true;
        break;
    case kHelp:
        options.help = true;
        break;
    case kVersion:
        options.version = true;
        break;
    case kComputers:
        options.computers = true;
        break;
    case kDomains:
        options.domains = true;
        break;
    case kNoDns:
        options.reverseDns = false;
        break;
    case kLines:
        options.lines = true;
        break;
    }
}

std::optional<OutputFormat> ParseFormat(const std::string& value)
{
    static const std::pair<const char*, OutputFormat> kFormats[] = {
        {"paths", OutputFormat::Paths},
        {"tsv", OutputFormat::Tsv},
        {"csv", OutputFormat::Csv},
        {"jsonl", OutputFormat::Jsonl},
    };
    for (const auto& [name, format] : kFormats)
        if (value == name)
            return format;
    return std::nullopt;
}

std::string SetSweep(CmdOptions& options, const std::string& value)
{
    if (value == "local")
    {
        options.sweepLocal = true;
        return {};
    }
    const auto range = network::ParseRange(value);
    if (!range)
        return "invalid range \"" + value +
               "\" (A.B.C.D/N of at most 1024 addresses, A.B.C.D-A.B.C.E, or local)";
    options.sweepRanges.push_back(*range);
    return {};
}

std::string SetYesNo(bool& target, const char* option, const std::string& value)
{
    if (value != "yes" && value != "no")
        return std::string("invalid value \"") + value + "\" for --" + option + " (yes or no)";
    target = value == "yes";
    return {};
}

// Stores one option value; answers an error text, empty when the value is good.
std::string SetValue(CmdOptions& options, ValueOption id, const std::string& value)
{
    auto date = [&value](engine::TDateTime& target, bool upper) -> std::string {
        auto parsed = ParseDateBound(value, upper);
        if (!parsed)
            return "invalid date or time \"" + value +
                   "\" (YYYY-MM-DD from 1899-12-31 on, HH:MM[:SS] or YYYY-MM-DDTHH:MM[:SS])";
        target = *parsed;
        return {};
    };
    auto size = [&value](int64_t& target) -> std::string {
        auto parsed = ParseSize(value);
        if (!parsed)
            return "invalid size \"" + value + "\" (a whole number of bytes)";
        target = *parsed;
        return {};
    };
    switch (id)
    {
    case ValueOption::Name:
        options.criteria.filename = value;
        return {};
    case ValueOption::Include:
        options.criteria.includeFiles.push_back(value);
        return {};
    case ValueOption::Exclude:
        options.criteria.excludeFiles.push_back(value);
        return {};
    case ValueOption::Attributes:
        if (auto attributes = ParseAttributes(value))
        {
            options.criteria.attributes = *attributes;
            return {};
        }
        return "invalid attribute letters \"" + value + "\" (A, R, H, S, D)";
    case ValueOption::ModifiedAfter:
        return date(options.criteria.modifiedAfter, false);
    case ValueOption::ModifiedBefore:
        return date(options.criteria.modifiedBefore, true);
    case ValueOption::CreatedAfter:
        return date(options.criteria.createdAfter, false);
    case ValueOption::CreatedBefore:
        return date(options.criteria.createdBefore, true);
    case ValueOption::AccessedAfter:
        return date(options.criteria.accessedAfter, false);
    case ValueOption::AccessedBefore:
        return date(options.criteria.accessedBefore, true);
    case ValueOption::SizeMin:
        return size(options.criteria.sizeMin);
    case ValueOption::SizeMax:
        return size(options.criteria.sizeMax);
    case ValueOption::Containing:
        options.criteria.containing = value;
        return {};
    case ValueOption::Format:
        if (const auto format = ParseFormat(value))
        {
            options.format = *format;
            options.formatGiven = true;
            return {};
        }
        return "invalid format \"" + value + "\" (paths, tsv, csv or jsonl)";
    case ValueOption::Sweep:
        return SetSweep(options, value);
    case ValueOption::Search:
        options.searchFile = value;
        return {};
    case ValueOption::Context: {
        const auto lines = ParseSize(value);
        if (!lines || *lines > kMaxContextLines)
            return "invalid context \"" + value + "\" (lines, at most " + std::to_string(kMaxContextLines) +
                   ")";
        options.context = static_cast<unsigned>(*lines);
        options.lines = true;
        return {};
    }
    case ValueOption::Documents:
        options.documentsGiven = true;
        return SetYesNo(options.criteria.containerKinds.documents, "documents", value);
    case ValueOption::Archives:
        options.archivesGiven = true;
        return SetYesNo(options.criteria.containerKinds.archives, "archives", value);
    case ValueOption::Timeout: {
        const auto ms = ParseSize(value);
        if (!ms || *ms > 60000)
            return "invalid time-out \"" + value + "\" (milliseconds, at most 60000)";
        options.sweepTimeoutMs = static_cast<unsigned>(*ms);
        options.timeoutGiven = true;
        return {};
    }
    }
    return {};
}

} // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args)
{
    ParseResult result;
    CmdOptions& options = result.options;
    result.error = ReadArguments(
        args, kOptions,
        [&options](const OptionSpec& option, const std::string& value) -> std::string {
            if (!option.takesValue)
            {
                SetFlag(options, option.id);
                return {};
            }
            return SetValue(options, static_cast<ValueOption>(option.id), value);
        },
        [&options](const std::string& argument) -> std::string {
            if (options.locationGiven)
                return "more than one location: " + options.criteria.location + " and " + argument +
                       " (separate several folders with \";\")";
            options.criteria.location = argument;
            options.locationGiven = true;
            return {};
        });
    if (!result.error.empty())
        return result;
    const bool sweep = options.sweepLocal || !options.sweepRanges.empty();
    if ((options.domains || sweep) && !options.computers)
        result.error = std::string("option ") + (sweep ? "--sweep" : "--domains") + " needs --computers";
    else if (options.timeoutGiven && !sweep)
        result.error = "option --timeout needs --sweep";
    else if (!options.reverseDns && !sweep)
        result.error = "option --no-dns needs --sweep";
    else if (!options.searchFile.empty() && options.computers)
        result.error = "--search and --computers cannot be combined";
    else if (options.events && options.formatGiven)
        result.error = "--events and --format cannot be combined (--events prints every event)";
    else if (options.lines && options.computers)
        result.error = "--lines and --computers cannot be combined";
    else if (options.lines && options.criteria.containing.empty() && options.searchFile.empty())
        result.error = "option --lines needs --containing";
    else if (options.lines &&
             (options.events || (options.formatGiven && options.format != OutputFormat::Paths &&
                                 options.format != OutputFormat::Jsonl)))
        result.error = "--lines prints paths or jsonl (not with --events, tsv or csv)";
    else if (options.computers && options.formatGiven && options.format != OutputFormat::Tsv &&
             options.format != OutputFormat::Jsonl)
        result.error = "with --computers, --format is tsv or jsonl";
    return result;
}

void ApplyOptions(const CmdOptions& options, engine::TFindFile& finder)
{
    finder.SetCriteria(options.criteria);
    finder.SetThreaded(options.threaded);
    if (options.prefetch)
        finder.SetPrefetch(*options.prefetch);
    if (options.scanAhead)
        finder.SetScanAhead(*options.scanAhead);
}

} // namespace cmd
