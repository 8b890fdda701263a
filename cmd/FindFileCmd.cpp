// FindFileCmd: the search engine (and the network computer lookup) on the command line, for
// scripts, benchmarks and end-to-end tests.
#include "cmd/CmdComputers.h"
#include "cmd/CmdOptions.h"
#include "cmd/CmdOutput.h"
#include "cmd/ConsoleOutput.h"
#include "cmd/HitLinesOutput.h"
#include "cmd/JsonLines.h"
#include "cmd/SavedSearchOptions.h"
#include "cmd/SkipSummary.h"
#include "engine/FindFile.h"
#include "platform/Utf8.h"
#include "platform/Win32Clock.h"
#include "platform/Win32CodePage.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32LocalTime.h"
#include "platform/Win32SyncCall.h"
#include "platform/Win32ThreadControl.h"
#include "platform/Win32WholeFile.h"
#include "ui/search/SearchCriteria.h"

#include <windows.h>
#include <atomic>
#include <string>
#include <vector>

namespace
{

// The exit status scripts test, as grep's: an error wins over anything found.
constexpr int kFound = 0;
constexpr int kNothingFound = 1;
constexpr int kError = 2; // a bad option or criterion, a location that is not there, a failed run

std::atomic<bool> g_interrupted{false};

// Runs on a thread of its own: it only raises the flag, the main thread stops the search.
BOOL WINAPI OnConsoleControl(DWORD event)
{
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT)
    {
        g_interrupted = true;
        return TRUE;
    }
    return FALSE;
}

// The hit lines of a file found, for --lines: a folder has none.
engine::HitLinesResult HitLinesOf(platform::FileSystem& fileSystem, const std::string& folder,
                                  const engine::TSearchRec& record, const engine::HitLinesQuery& query)
{
    if ((record.FindData.attributes | static_cast<uint32_t>(record.Attr)) & FILE_ATTRIBUTE_DIRECTORY)
        return {};
    return engine::FindHitLines(fileSystem, cmd::JoinPath(folder, record.Name), query,
                                [] { return g_interrupted.load(); });
}

std::string EntryText(const cmd::CmdOptions& options, const std::string& folder,
                      const engine::TSearchRec& record, const platform::LocalTimeConverter& localTime)
{
    if (options.events)
        return cmd::FoundLine(folder, record, localTime.ToLocal(record.FindData.lastWriteTime));
    switch (options.format)
    {
    case cmd::OutputFormat::Tsv:
        return cmd::TsvLine(folder, record, localTime.ToLocal(record.FindData.lastWriteTime));
    case cmd::OutputFormat::Csv:
        return cmd::CsvLine(folder, record, localTime.ToLocal(record.FindData.lastWriteTime));
    case cmd::OutputFormat::Jsonl:
        return cmd::FileJsonLine(folder, record, localTime.ToLocal(record.FindData.lastWriteTime));
    case cmd::OutputFormat::Paths:
    default:
        return cmd::JoinPath(folder, record.Name) + "\n";
    }
}

// Tells on stderr what the run could not search, and answers its exit status: skips are told but
// change nothing, a location that is not there and a run that failed are errors.
int FinishRun(const engine::TFindFile& finder, long long found, cmd::ConsoleOutput& err)
{
    const engine::SkipReport& skipped = finder.Skipped();
    for (const std::string& folder : skipped.missingFolders)
        err.Write(cmd::MissingFolderLine(folder));
    err.Write(cmd::SkipSummaryLine(skipped.counts));
    const bool failed = finder.Aborted() && !g_interrupted;
    if (failed)
        err.Write("FindFileCmd: the search stopped on an error\n");
    if (failed || !skipped.missingFolders.empty())
        return kError;
    return found > 0 ? kFound : kNothingFound;
}

int Run(const cmd::CmdOptions& options, cmd::ConsoleOutput& out, cmd::ConsoleOutput& err)
{
    platform::Win32FileSystem fileSystem;
    platform::Win32LocalTime localTime;
    platform::Win32SyncCall syncCall;
    platform::Win32ThreadControl threads;
    const platform::Win32CodePage codePage;
    engine::TFindFile finder({fileSystem, localTime, syncCall, threads, &codePage});
    try
    {
        cmd::ApplyOptions(options, finder);
    }
    catch (const engine::EFindFileError& e)
    {
        err.Write(std::string(e.what()) + "\n");
        return kError;
    }

    long long found = 0;
    engine::HitLinesQuery hitQuery;
    hitQuery.text = finder.Containing().substr(0, finder.Containing().find('\0'));
    hitQuery.ignoreCase = finder.IgnoreCase();
    hitQuery.context = options.context;
    hitQuery.codePage = &codePage;
    hitQuery.containers = finder.Criteria().containerKinds;
    const bool printLines = options.lines && !hitQuery.text.empty();
    cmd::HitLinesPrinter linesPrinter(options.context);
    // An inline run is stopped from its own events; a threaded one from the waiting loop below.
    auto stopInlineRunWhenInterrupted = [&] {
        if (!options.threaded && g_interrupted)
            finder.AbortSearch();
    };
    finder.OnNewFolder = [&](engine::TFindFile&, const std::string& folder, bool&) {
        stopInlineRunWhenInterrupted();
        if (options.events)
            out.Write(cmd::FolderLine(folder));
    };
    finder.OnFound = [&](engine::TFindFile&, const std::string& folder, const engine::TSearchRec& record) {
        ++found;
        if (!printLines)
            out.Write(EntryText(options, folder, record, localTime));
        else if (options.format == cmd::OutputFormat::Jsonl)
        {
            const engine::HitLinesResult lines = HitLinesOf(fileSystem, folder, record, hitQuery);
            out.Write(
                cmd::FileJsonLine(folder, record, localTime.ToLocal(record.FindData.lastWriteTime), &lines));
        }
        else
            out.Write(linesPrinter.Lines(cmd::JoinPath(folder, record.Name),
                                         HitLinesOf(fileSystem, folder, record, hitQuery)));
        stopInlineRunWhenInterrupted();
    };
    finder.OnComplete = [&](engine::TFindFile& sender) {
        if (options.events)
            out.Write(cmd::CompleteLine(found, sender.Aborted()));
    };

    if (!options.events && options.format == cmd::OutputFormat::Csv)
        out.Write(cmd::CsvHeaderLine());
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    finder.StartSearch();
    if (finder.Busy())
    {
        syncCall.ServeUntil([&] { return !finder.Busy() || g_interrupted; });
        if (finder.Busy())
            finder.AbortSearch();
    }
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    out.Flush();
    return FinishRun(finder, found, err);
}

// --search FILE: the file's criteria into options; the error text, empty when they are in.
std::string ReadSearchFile(cmd::CmdOptions& options)
{
    const std::optional<std::string> text = platform::ReadWholeFile(options.searchFile, 1 << 20);
    if (!text)
        return "the search file could not be read: " + options.searchFile;
    const platform::CalendarTime now = platform::Win32Clock().Now();
    return cmd::ApplySearchFileText(*text, ui::DateToDays(now.year, now.month, now.day), options);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(platform::Narrow(argv[i]));
    cmd::ConsoleOutput out(STD_OUTPUT_HANDLE);
    cmd::ConsoleOutput err(STD_ERROR_HANDLE);

    cmd::ParseResult parsed = cmd::ParseCommandLine(args);
    if (!parsed.error.empty())
    {
        err.Write("FindFileCmd: " + parsed.error + "\nTry FindFileCmd --help.\n");
        return kError;
    }
    if (parsed.options.help)
    {
        out.Write(cmd::UsageText());
        return kFound;
    }
    if (parsed.options.version)
    {
        out.Write(cmd::VersionText());
        return kFound;
    }
    if (!parsed.options.searchFile.empty())
    {
        const std::string error = ReadSearchFile(parsed.options);
        if (!error.empty())
        {
            err.Write("FindFileCmd: " + error + "\n");
            return kError;
        }
    }
    if (parsed.options.computers)
    {
        SetConsoleCtrlHandler(OnConsoleControl, TRUE);
        const std::optional<long long> rows = cmd::RunComputers(parsed.options, out, err, g_interrupted);
        SetConsoleCtrlHandler(OnConsoleControl, FALSE);
        out.Flush();
        if (!rows)
            return kError;
        return *rows > 0 ? kFound : kNothingFound;
    }
    return Run(parsed.options, out, err);
}
