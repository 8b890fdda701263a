#include "cmd/CmdOptions.h"

#include "app/Version.h"
#include "engine/DateTime.h"
#include "engine/FindFile.h"
#include "engine/FolderPrefetch.h"

#include <cctype>
#include <cstdlib>
#include <limits>

namespace cmd
{

namespace
{

// An upper bound at midnight would read as a whole day (or as no bound for a time of day 00:00):
// a tiny fraction, far below the millisecond the file times carry, keeps it an instant.
constexpr engine::TDateTime kInstantNudge = 1e-9;

// Reads exactly `digits` decimal digits at text[pos].
bool ReadNumber(const std::string& text, size_t& pos, size_t digits, int& value)
{
    if (pos + digits > text.size())
        return false;
    value = 0;
    for (size_t i = 0; i < digits; ++i)
    {
        char c = text[pos + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    pos += digits;
    return true;
}

bool Expect(const std::string& text, size_t& pos, char c)
{
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// A bound's day number must be 1 or more: day 0 (1899-12-30) is "no bound", a date and time on it
// would read as a time of day, and earlier days count their time of day backwards.
bool BeforeEarliestBound(const platform::CalendarTime& time)
{
    return time.year < 1899 || (time.year == 1899 && (time.month < 12 || time.day < 31));
}

bool ReadDate(const std::string& text, size_t& pos, platform::CalendarTime& time)
{
    if (!ReadNumber(text, pos, 4, time.year) || !Expect(text, pos, '-') ||
        !ReadNumber(text, pos, 2, time.month) || !Expect(text, pos, '-') ||
        !ReadNumber(text, pos, 2, time.day))
        return false;
    return time.month >= 1 && time.month <= 12 && time.day >= 1 &&
           time.day <= DaysInMonth(time.year, time.month) && !BeforeEarliestBound(time);
}

bool ReadTime(const std::string& text, size_t& pos, platform::CalendarTime& time)
{
    if (!ReadNumber(text, pos, 2, time.hour) || !Expect(text, pos, ':') ||
        !ReadNumber(text, pos, 2, time.minute))
        return false;
    time.second = 0;
    if (pos < text.size() && (!Expect(text, pos, ':') || !ReadNumber(text, pos, 2, time.second)))
        return false;
    return time.hour <= 23 && time.minute <= 59 && time.second <= 59;
}

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
};

struct OptionName
{
    const char* longName;
    char shortName;
    bool takesValue;
    int id; // a ValueOption, or a flag index below
};

enum Flag
{
    kNoSubfolders = 100,
    kExactAttributes,
    kCaseSensitive,
    kThreaded,
    kPrefetch,
    kNoPrefetch,
    kEvents,
    kHelp,
    kVersion,
    kComputers,
    kDomains,
};

const OptionName kOptions[] = {
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
    {"no-subfolders", 0, false, kNoSubfolders},
    {"exact-attributes", 0, false, kExactAttributes},
    {"case-sensitive", 0, false, kCaseSensitive},
    {"threaded", 0, false, kThreaded},
    {"prefetch", 0, false, kPrefetch},
    {"no-prefetch", 0, false, kNoPrefetch},
    {"events", 0, false, kEvents},
    {"help", 'h', false, kHelp},
    {"version", 0, false, kVersion},
    {"computers", 0, false, kComputers},
    {"domains", 0, false, kDomains},
};

const OptionName* FindLong(const std::string& name)
{
    for (const OptionName& option : kOptions)
        if (name == option.longName)
            return &option;
    return nullptr;
}

const OptionName* FindShort(char name)
{
    for (const OptionName& option : kOptions)
        if (option.shortName != 0 && option.shortName == name)
            return &option;
    return nullptr;
}

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
    }
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
        if (value == "paths" || value == "tsv" || value == "csv")
        {
            options.format = value == "paths" ? OutputFormat::Paths
                                              : (value == "tsv" ? OutputFormat::Tsv : OutputFormat::Csv);
            options.formatGiven = true;
            return {};
        }
        return "invalid format \"" + value + "\" (paths, tsv or csv)";
    case ValueOption::Sweep:
        return SetSweep(options, value);
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

std::optional<engine::TDateTime> ParseDateBound(const std::string& text, bool upperBound)
{
    platform::CalendarTime time;
    size_t pos = 0;
    engine::TDateTime value = 0;
    bool hasTime = false;
    if (text.size() >= 3 && text[2] == ':')
    {
        if (!ReadTime(text, pos, time) || pos != text.size())
            return std::nullopt;
        value = (time.hour * 3600 + time.minute * 60 + time.second) / 86400.0;
        hasTime = true;
    }
    else
    {
        if (!ReadDate(text, pos, time))
            return std::nullopt;
        if (pos < text.size())
        {
            if (!Expect(text, pos, 'T') || !ReadTime(text, pos, time) || pos != text.size())
                return std::nullopt;
            hasTime = true;
        }
        value = engine::EncodeDateTime(time);
    }
    if (upperBound && hasTime && time.hour == 0 && time.minute == 0 && time.second == 0)
        value += kInstantNudge;
    return value;
}

std::optional<engine::TFileAttributes> ParseAttributes(const std::string& letters)
{
    uint8_t bits = 0;
    for (char c : letters)
    {
        switch (std::toupper(static_cast<unsigned char>(c)))
        {
        case 'A':
            bits |= 1u << engine::ffArchive;
            break;
        case 'R':
            bits |= 1u << engine::ffReadonly;
            break;
        case 'H':
            bits |= 1u << engine::ffHidden;
            break;
        case 'S':
            bits |= 1u << engine::ffSystem;
            break;
        case 'D':
            bits |= 1u << engine::ffDirectory;
            break;
        default:
            return std::nullopt;
        }
    }
    return engine::TFileAttributes::FromBits(bits);
}

std::optional<int64_t> ParseSize(const std::string& text)
{
    if (text.empty() || text.size() > 19)
        return std::nullopt;
    int64_t value = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return std::nullopt;
        int digit = c - '0';
        if (value > (std::numeric_limits<int64_t>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

ParseResult ParseCommandLine(const std::vector<std::string>& args)
{
    ParseResult result;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        const OptionName* option = nullptr;
        std::optional<std::string> inlineValue;
        if (!optionsEnded && arg == "--")
        {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && arg.size() > 2 && arg.compare(0, 2, "--") == 0)
        {
            size_t equals = arg.find('=');
            option = FindLong(arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2));
            if (equals != std::string::npos)
                inlineValue = arg.substr(equals + 1);
        }
        else if (!optionsEnded && arg.size() == 2 && arg[0] == '-' && arg[1] != '-')
        {
            option = FindShort(arg[1]);
        }
        else if (!optionsEnded && arg.size() > 1 && arg[0] == '-')
        {
            result.error = "unknown option " + arg;
            return result;
        }
        else
        {
            if (result.options.locationGiven)
            {
                result.error = "more than one location: " + result.options.criteria.location + " and " + arg +
                               " (separate several folders with \";\")";
                return result;
            }
            result.options.criteria.location = arg;
            result.options.locationGiven = true;
            continue;
        }

        if (!option)
        {
            result.error = "unknown option " + arg;
            return result;
        }
        if (!option->takesValue)
        {
            if (inlineValue)
            {
                result.error = "option --" + std::string(option->longName) + " takes no value";
                return result;
            }
            SetFlag(result.options, option->id);
            continue;
        }
        if (!inlineValue)
        {
            if (i + 1 >= args.size())
            {
                result.error = "option " + arg + " needs a value";
                return result;
            }
            inlineValue = args[++i];
        }
        result.error = SetValue(result.options, static_cast<ValueOption>(option->id), *inlineValue);
        if (!result.error.empty())
            return result;
    }
    const bool sweep = result.options.sweepLocal || !result.options.sweepRanges.empty();
    if ((result.options.domains || sweep) && !result.options.computers)
        result.error = std::string("option ") + (sweep ? "--sweep" : "--domains") + " needs --computers";
    else if (result.options.timeoutGiven && !sweep)
        result.error = "option --timeout needs --sweep";
    else if (result.options.events && result.options.formatGiven)
        result.error = "--events and --format cannot be combined (--events prints every event)";
    return result;
}

void ApplyOptions(const CmdOptions& options, engine::TFindFile& finder)
{
    finder.SetCriteria(options.criteria);
    finder.SetThreaded(options.threaded);
    finder.SetPrefetch(options.prefetch.value_or(!options.threaded && engine::FolderPrefetch::Worthwhile()));
}

const char* UsageText()
{
    return "Usage: FindFileCmd [options] [LOCATION]\n"
           "  LOCATION                 the folders to search, separated by \";\"; default: the current "
           "folder\n"
           "  -n, --name MASK          the file-name mask (default *.*)\n"
           "  -i, --include LINE       one full pattern, folder and mask (repeatable; replaces name and "
           "location)\n"
           "  -x, --exclude MASK       one exclusion mask (repeatable)\n"
           "      --no-subfolders      search only the named folders\n"
           "  -a, --attributes LETTERS attribute letters A R H S D (default ARHS; \"\" for none)\n"
           "      --exact-attributes   the attributes must be exactly these\n"
           "      --modified-after V, --modified-before V, --created-after V, --created-before V,\n"
           "      --accessed-after V, --accessed-before V\n"
           "                           V is YYYY-MM-DD (a whole day), HH:MM[:SS] (a time of day),\n"
           "                           or YYYY-MM-DDTHH:MM[:SS]; the bounds are inclusive, their\n"
           "                           dates from 1899-12-31 on\n"
           "      --size-min BYTES, --size-max BYTES\n"
           "  -c, --containing TEXT    the text the file must contain\n"
           "      --case-sensitive     match the text's letter case exactly\n"
           "      --threaded           search on a worker thread; events still come on the main thread\n"
           "      --prefetch, --no-prefetch\n"
           "                           open the folders the walk enters next on a helper thread, or\n"
           "                           not (default: only without --threaded, with 2 processors or more)\n"
           "  -f, --format FORM        paths (default), tsv or csv: how each entry found is printed\n"
           "      --events             print every event instead of only the entries found\n"
           "      --computers [TEXT]   find computers on the network whose name contains TEXT or whose\n"
           "                           IP address is TEXT (all computers without TEXT)\n"
           "      --domains            with --computers: also the domains whose name contains TEXT\n"
           "      --sweep RANGE        with --computers: also ask every address of RANGE for its NetBIOS\n"
           "                           names (A.B.C.D/N, A.B.C.D-A.B.C.E, or local: the subnets of\n"
           "                           the adapters; repeatable)\n"
           "      --timeout MS         how long the sweep waits for answers after its last question\n"
           "                           (default 2000)\n"
           "  -h, --help               this text\n"
           "      --version            the program's version\n"
           "Output: one line per entry found: its full path; with --format tsv\n"
           "  FOLDER<TAB>NAME<TAB>SIZE<TAB>ATTR<TAB>YYYY-MM-DD HH:MM:SS; with --format csv a header line\n"
           "  Name,Folder,Path,Size,Modified,Attributes and a line per entry (RFC 4180 quoting, modified\n"
           "  as YYYY-MM-DDTHH:MM:SS local time). With --events tab-separated lines:\n"
           "  folder<TAB>FOLDER, found<TAB>FOLDER<TAB>NAME<TAB>SIZE<TAB>ATTR<TAB>YYYY-MM-DD HH:MM:SS,\n"
           "  complete<TAB>COUNT<TAB>ABORTED\n"
           "With --computers: computer<TAB>NAME<TAB>IP<TAB>DOMAIN<TAB>COMMENT<TAB>MAC, domain<TAB>NAME,\n"
           "  complete<TAB>ROWS\n"
           "Exit status: 0 something found (a row printed), 1 nothing found, 2 bad option or criteria.\n";
}

const char* VersionText()
{
    // The version the programs' version blocks carry, named in one place.
    return "FindFileCmd " FF_VERSION_TEXT "\n";
}

} // namespace cmd
