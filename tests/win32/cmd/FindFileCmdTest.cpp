// FindFileCmd.exe end to end: started with CreateProcessW, its output read through pipes.
#include "platform/NetworkProvider.h"
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "tests/support/Utf16Bytes.h"
#include "tests/support/ZipBuilder.h"
#include "tests/win32/platform/TempTree.h"
#include "tests/win32/support/ChildProcess.h"
#include "tests/win32/support/NodeStatusResponder.h"

#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

using testing_support::FileTimeOf;
using testing_support::LocalFileTimeOf;
using testing_support::TempTree;

struct Outcome
{
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

// One argument quoted so that the program's argument splitting gives it back unchanged.
std::wstring Quote(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos)
        return arg;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg)
    {
        if (c == L'\\')
        {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring ProgramPath()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"FindFileCmd.exe";
}

void ReadAll(HANDLE pipe, std::string& target)
{
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        target.append(buffer, read);
}

// A run of FindFileCmd here takes a second or two; one that takes minutes hangs.
constexpr DWORD kRunLimitMs = 120000;

// One run; false when the child had to be killed after kRunLimitMs.
bool RunOnce(std::wstring commandLine, Outcome& outcome)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    platform::UniqueKernelHandle outReader(outRead), outWriter(outWrite), errReader(errRead),
        errWriter(errWrite);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process = {};
    if (!testing_support::StartChild(commandLine, 0, nullptr, nullptr, startup, process))
    {
        ADD_FAILURE() << "cannot start FindFileCmd.exe, error " << GetLastError();
        return true;
    }
    platform::UniqueKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    outWriter.Reset();
    errWriter.Reset();

    // The output is read beside the wait, so a child that hangs is killed instead of hanging the
    // whole test program on its pipes.
    std::thread outThread([&] { ReadAll(outRead, outcome.out); });
    std::thread errThread([&] { ReadAll(errRead, outcome.err); });
    const bool finished = WaitForSingleObject(process.hProcess, kRunLimitMs) == WAIT_OBJECT_0;
    if (!finished)
        TerminateProcess(process.hProcess, 1);
    outThread.join();
    errThread.join();
    GetExitCodeProcess(process.hProcess, &outcome.exitCode);
    return finished;
}

Outcome RunCmd(const std::vector<std::string>& args, const std::wstring& program = ProgramPath())
{
    std::wstring commandLine = Quote(program);
    for (const std::string& arg : args)
        commandLine += L" " + Quote(platform::Widen(arg));
    Outcome outcome;
    if (RunOnce(commandLine, outcome))
        return outcome;
    // Under load the first child of a run has hung, now and then, before it printed anything; the
    // cause is not known (Wine losing a child as it starts, as StartChild says, is the likely one). Once
    // more, said on the log: a hang that comes back fails.
    if (outcome.out.empty() && outcome.err.empty())
    {
        std::fprintf(stderr, "FindFileCmd.exe started but did nothing for %lu s: run again\n",
                     static_cast<unsigned long>(kRunLimitMs / 1000));
        outcome = Outcome{};
        if (RunOnce(commandLine, outcome))
            return outcome;
    }
    ADD_FAILURE() << "FindFileCmd.exe did not finish within " << kRunLimitMs / 1000
                  << " s: " << platform::Narrow(commandLine) << "\nprinted so far:\n"
                  << outcome.out << outcome.err;
    return outcome;
}

// The file version of a program's version block, as "A.B.C.D".
std::string BlockVersion(const std::wstring& program)
{
    std::vector<char> block(GetFileVersionInfoSizeW(program.c_str(), nullptr));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (block.empty() ||
        !GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) || !fixed)
        return "<no version block>";
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
           std::to_string(LOWORD(fixed->dwFileVersionLS));
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> SortedLines(const std::string& text)
{
    std::vector<std::string> lines = Lines(text);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// A path as it stands inside a JSON string: each backslash doubled.
std::string JsonPath(const std::string& path)
{
    std::string escaped;
    for (char c : path)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return escaped;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

class FindFileCmdTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tree.MakeFolder("with space");
        tree.MakeFile("with space\\one.txt", "first file");
        tree.MakeFile("with space\\two.log", "second");
        tree.MakeFolder("with space\\sub");
        tree.MakeFile("with space\\sub\\three.txt", "third file");
        tree.MakeFile("with space\\sub\\日本語 Привет.txt", "script");
        tree.SetTimes("with space\\one.txt", 0, 0, LocalFileTimeOf(2015, 7, 1, 10, 20, 30));
        location = tree.Path("with space\\"); // a trailing backslash inside quotes on purpose
    }

    TempTree tree;
    std::string location;
};

TEST_F(FindFileCmdTest, PrintsTheFullPathOfEveryEntryFound)
{
    Outcome o = RunCmd({"-n", "*.txt", location});
    EXPECT_EQ(o.exitCode, 0u) << o.err;
    EXPECT_EQ(o.err, "");
    std::vector<std::string> expected = {location + "one.txt", location + "sub\\three.txt",
                                         location + "sub\\日本語 Привет.txt"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortedLines(o.out), expected);

    // The threaded run prints the same lines.
    Outcome threaded = RunCmd({"--threaded", "-n", "*.txt", location});
    EXPECT_EQ(threaded.exitCode, 0u);
    EXPECT_EQ(threaded.out, o.out);
}

TEST_F(FindFileCmdTest, EventsCarryEveryField)
{
    for (const char* mode : {"--events", "--threaded"})
    {
        std::vector<std::string> args = {"--events", "-n", "one.*", location};
        if (std::string(mode) == "--threaded")
            args.insert(args.begin(), "--threaded");
        Outcome o = RunCmd(args);
        EXPECT_EQ(o.exitCode, 0u) << o.err;
        std::vector<std::string> lines = Lines(o.out);
        const std::string top = location.substr(0, location.size() - 1);
        ASSERT_EQ(lines.size(), 4u) << o.out;
        EXPECT_EQ(lines[0], "folder\t" + top);
        std::vector<std::string> found = Fields(lines[1]);
        ASSERT_EQ(found.size(), 6u) << lines[1];
        EXPECT_EQ(found[0], "found");
        EXPECT_EQ(found[1], top);
        EXPECT_EQ(found[2], "one.txt");
        EXPECT_EQ(found[3], "10");
        EXPECT_EQ(found[4].size(), 8u);
        EXPECT_EQ(std::stoul(found[4], nullptr, 16) & 0x17u, 0u);
        EXPECT_EQ(found[5], "2015-07-01 10:20:30"); // the local time the file was given

        EXPECT_EQ(lines[2], "folder\t" + top + "\\sub");
        EXPECT_EQ(lines[3], "complete\t1\t0");
    }
}

TEST_F(FindFileCmdTest, FormatsPrintTsvAndCsvLines)
{
    tree.MakeFile("with space\\sub\\a,b.txt", "commas");
    const std::string top = location.substr(0, location.size() - 1);
    Outcome tsv = RunCmd({"--format", "tsv", "-n", "one.*", location});
    EXPECT_EQ(tsv.exitCode, 0u) << tsv.err;
    EXPECT_EQ(tsv.out,
              top + "\tone.txt\t10\t" + Fields(Lines(tsv.out).at(0)).at(3) + "\t2015-07-01 10:20:30\n");

    Outcome csv = RunCmd({"-f", "csv", "-n", "a?b.txt", location});
    EXPECT_EQ(csv.exitCode, 0u) << csv.err;
    const std::vector<std::string> lines = Lines(csv.out);
    ASSERT_EQ(lines.size(), 2u) << csv.out;
    EXPECT_EQ(lines[0], "Name,Folder,Path,Size,Modified,Attributes");
    EXPECT_EQ(lines[1].rfind("\"a,b.txt\"," + top + "\\sub,\"" + top + "\\sub\\a,b.txt\",6,", 0), 0u)
        << lines[1];

    Outcome paths = RunCmd({"--format=paths", "-n", "one.*", location});
    EXPECT_EQ(paths.out, location + "one.txt\n");
    EXPECT_EQ(RunCmd({"--format", "xml", location}).exitCode, 2u);
}

// The UTC file time a "YYYY-MM-DDTHH:MM:SS+HH:MM" text names: its local fields less its offset.
uint64_t FileTimeOfIso(const std::string& text)
{
    int year, month, day, hour, minute, second, offsetHours, offsetMinutes;
    char sign;
    if (text.size() != 25 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c%2d:%2d", &year, &month, &day, &hour, &minute,
                    &second, &sign, &offsetHours, &offsetMinutes) != 9)
        return 0;
    const int64_t offset = (sign == '-' ? -1 : 1) * (offsetHours * 60 + offsetMinutes) * 600000000LL;
    return FileTimeOf(year, month, day, hour, minute, second) - offset;
}

TEST_F(FindFileCmdTest, JsonLinesCarryEveryFieldOfAnEntry)
{
    tree.MakeFile("with space\\sub\\it's [1].txt", "quote");
    tree.SetTimes("with space\\sub\\it's [1].txt", 0, 0, FileTimeOf(2015, 7, 1, 10, 20, 30));
    const std::string sub = location + "sub";
    const std::string subJson = JsonPath(sub);
    Outcome o = RunCmd({"--format", "jsonl", "-n", "it*", location});
    EXPECT_EQ(o.exitCode, 0u) << o.err;
    const std::string start = "{\"path\":\"" + subJson +
                              "\\\\it's [1].txt\",\"name\":\"it's [1].txt\",\"folder\":\"" + subJson +
                              "\",\"size\":5,\"modified\":\"";
    ASSERT_EQ(o.out.compare(0, start.size(), start), 0) << o.out;
    // The local time and its offset name the moment the file was given, in any time zone.
    const std::string modified = o.out.substr(start.size(), 25);
    EXPECT_EQ(FileTimeOfIso(modified), FileTimeOf(2015, 7, 1, 10, 20, 30)) << modified;
    const std::string end = o.out.substr(start.size() + 25);
    EXPECT_EQ(end.rfind("\",\"attributes\":", 0), 0u) << end;
    EXPECT_EQ(end.substr(end.size() - 2), "}\n");

    Outcome script = RunCmd({"-f", "jsonl", "-n", "日本語*", location});
    EXPECT_EQ(Lines(script.out).size(), 1u);
    EXPECT_NE(script.out.find("\"name\":\"日本語 Привет.txt\""), std::string::npos) << script.out;

    const uint64_t size = 5ull << 30;
    if (!tree.MakeSparseFile("with space\\big.bin", size))
        GTEST_SKIP() << "this file system cannot hold a sparse file of 5 GiB";
    Outcome big = RunCmd({"-f", "jsonl", "-n", "big.bin", location});
    EXPECT_NE(big.out.find(",\"size\":5368709120,"), std::string::npos) << big.out;
}

TEST_F(FindFileCmdTest, CriteriaOptionsReachTheSearch)
{
    EXPECT_EQ(SortedLines(RunCmd({"-c", "FILE", location}).out),
              (std::vector<std::string>{location + "one.txt", location + "sub\\three.txt"}));
    EXPECT_EQ(RunCmd({"-c", "FILE", "--case-sensitive", location}).exitCode, 1u);
    EXPECT_EQ(Lines(RunCmd({"--no-subfolders", "-n", "*.txt", location}).out),
              std::vector<std::string>{location + "one.txt"});
    EXPECT_EQ(Lines(RunCmd({"-x", "*.txt", "-n", "*", "--no-subfolders", location}).out),
              std::vector<std::string>{location + "two.log"});
    EXPECT_EQ(Lines(RunCmd({"--modified-before", "2016-01-01", location}).out),
              std::vector<std::string>{location + "one.txt"});
    EXPECT_EQ(Lines(RunCmd({"--size-min", "7", "--size-max", "10", "-n", "*.txt", location}).out),
              (std::vector<std::string>{location + "one.txt", location + "sub\\three.txt"}));
    EXPECT_EQ(Lines(RunCmd({"-a", "D", "--exact-attributes", "-n", "*", location}).out),
              std::vector<std::string>{location + "sub"});
    EXPECT_EQ(Lines(RunCmd({"-i", location + "sub\\*.txt", "--no-subfolders"}).out).size(), 2u);
}

TEST_F(FindFileCmdTest, TextInsideDocumentsAndArchivesIsFoundWhenTheirKindIsOn)
{
    tree.MakeFolder("docs");
    tree.MakeFile(
        "docs\\report.docx",
        testing_support::OfficeFile({{"word/document.xml", "<w:p><w:r><w:t>Quarterly fig</w:t></w:r>"
                                                           "<w:r><w:b/><w:t>ures</w:t></w:r></w:p>"}}));
    testing_support::ZipBuilder zip;
    zip.Add("notes/readme.txt", "an archived needle\r\n").Add("logo.bin", std::string("\0\1needle", 8));
    tree.MakeFile("docs\\bundle.zip", zip.Build());
    const std::string docs = tree.Path("docs\\");

    EXPECT_EQ(Lines(RunCmd({"-c", "quarterly figures", docs}).out),
              std::vector<std::string>{docs + "report.docx"});
    EXPECT_EQ(RunCmd({"-c", "quarterly figures", "--documents", "no", docs}).exitCode, 1u);
    EXPECT_EQ(RunCmd({"-c", "archived needle", docs}).exitCode, 1u); // archives are off by default
    const Outcome inside = RunCmd({"-c", "ARCHIVED NEEDLE", "--archives", "yes", docs});
    EXPECT_EQ(inside.exitCode, 0u) << inside.err;
    EXPECT_EQ(Lines(inside.out), std::vector<std::string>{docs + "bundle.zip"});
    EXPECT_EQ(RunCmd({"-c", "ARCHIVED NEEDLE", "--archives", "yes", "--case-sensitive", docs}).exitCode, 1u);
    EXPECT_EQ(RunCmd({"--archives", "maybe", docs}).exitCode, 2u);

    // The hit lines name the part or member they come from.
    EXPECT_EQ(Lines(RunCmd({"-c", "figures", "--lines", docs}).out),
              std::vector<std::string>{docs + "report.docx|word/document.xml:1:Quarterly figures"});
    EXPECT_EQ(Lines(RunCmd({"-c", "needle", "--archives", "yes", "--lines", "-n", "*.zip", docs}).out),
              std::vector<std::string>{docs + "bundle.zip|notes/readme.txt:1:an archived needle"});
}

TEST(FindFileCmdNames, AQuestionMarkIsOneCharacterOfAnyScript)
{
    TempTree tree;
    // Two, two, three and four bytes in UTF-8; the last one lies beyond the Basic Multilingual Plane.
    const std::vector<std::string> single = {"q.txt", "\xC3\xA9.txt", "\xD0\x96.txt", "\xE6\x97\xA5.txt",
                                             "\xF0\x9F\x98\x80.txt"};
    for (const std::string& name : single)
        tree.MakeFile(name);
    tree.MakeFile("ab.txt");
    tree.MakeFile("\xE6\x97\xA5\xE6\x9C\xAC.txt");
    std::vector<std::string> expected;
    for (const std::string& name : single)
        expected.push_back(tree.Path(name));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortedLines(RunCmd({"-n", "?.txt", tree.Root()}).out), expected);

    // The same names answer an exclusion line, which has a matcher of its own.
    const std::string folder = tree.Root().substr(0, tree.Root().size() - 1);
    const std::string excluded = folder.substr(folder.find_last_of('\\')) + "\\?.txt";
    EXPECT_EQ(SortedLines(RunCmd({"-n", "*.txt", "-x", excluded, tree.Root()}).out),
              (std::vector<std::string>{tree.Path("ab.txt"), tree.Path("\xE6\x97\xA5\xE6\x9C\xAC.txt")}));
}

TEST_F(FindFileCmdTest, ExitStatusTellsFoundNothingAndBadUsage)
{
    Outcome nothing = RunCmd({"--events", "-n", "*.none", location});
    EXPECT_EQ(nothing.exitCode, 1u);
    EXPECT_EQ(Lines(nothing.out).back(), "complete\t0\t0");

    Outcome badOption = RunCmd({"--frobnicate"});
    EXPECT_EQ(badOption.exitCode, 2u);
    EXPECT_EQ(badOption.out, "");
    EXPECT_NE(badOption.err.find("--frobnicate"), std::string::npos);

    Outcome badName = RunCmd({"-n", "dir\\x.txt", location});
    EXPECT_EQ(badName.exitCode, 2u);
    EXPECT_EQ(badName.err, "dir\\x.txt\n\rInvalid filename specified\n");

    Outcome badLocation = RunCmd({location + "*"});
    EXPECT_EQ(badLocation.exitCode, 2u);
    EXPECT_EQ(badLocation.err, location + "*\n\rlocation cannot to be contained wildcards\n");

    // A folder that is not there is an error even when another location finds something.
    const std::string missing = tree.Path("not here");
    for (const char* mode : {"--no-prefetch", "--threaded"})
    {
        Outcome missingFolder = RunCmd({mode, "-n", "one.txt", location + ";" + missing});
        EXPECT_EQ(missingFolder.exitCode, 2u) << mode;
        EXPECT_EQ(missingFolder.out, location + "one.txt\n");
        EXPECT_EQ(missingFolder.err, "FindFileCmd: folder not found: " + missing + "\n");
    }
    Outcome fileAsFolder = RunCmd({"-f", "jsonl", location + "one.txt"});
    EXPECT_EQ(fileAsFolder.exitCode, 2u);
    EXPECT_EQ(fileAsFolder.out, "");
    EXPECT_EQ(fileAsFolder.err, "FindFileCmd: folder not found: " + location + "one.txt\n");

    Outcome help = RunCmd({"--help"});
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_NE(help.out.find("--containing"), std::string::npos);

    // The version printed is the one of the program's own version block.
    Outcome version = RunCmd({"--version"});
    EXPECT_EQ(version.exitCode, 0u);
    EXPECT_EQ(version.out, "FindFileCmd " + BlockVersion(ProgramPath()) + "\n");
}

TEST_F(FindFileCmdTest, WhatWasSkippedIsToldInOneLineOnStandardError)
{
    if (!tree.MakeFolderLink("with space\\link", tree.Path("with space\\sub")))
        GTEST_SKIP() << "this system makes no folder links";
    for (const char* mode : {"--prefetch", "--threaded"})
    {
        Outcome o = RunCmd({mode, "-n", "three.txt", location});
        EXPECT_EQ(o.exitCode, 0u) << mode;
        EXPECT_EQ(o.out, location + "sub\\three.txt\n") << mode; // once: the link is not entered
        EXPECT_EQ(o.err, "FindFileCmd: 1 folder link was not followed\n") << mode;
    }
    Outcome nothing = RunCmd({"-n", "*.none", location});
    EXPECT_EQ(nothing.exitCode, 1u);
    EXPECT_EQ(nothing.err, "FindFileCmd: 1 folder link was not followed\n");
}

TEST(FindFileCmdComputers, WithoutALanManagerProviderTheLookupPrintsNoRowsAndExitsWithOne)
{
    if (!platform::LanManagerProviderName().empty())
        GTEST_SKIP() << "this system has a LAN Manager provider";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--computers"}, {"--computers", "--domains", "pc"}})
    {
        Outcome outcome = RunCmd(args);
        EXPECT_EQ(outcome.exitCode, 1u);
        EXPECT_EQ(outcome.out, "complete\t0\n");
        EXPECT_EQ(outcome.err, "");
    }
    Outcome json = RunCmd({"--computers", "--format", "jsonl"});
    EXPECT_EQ(json.exitCode, 1u);
    EXPECT_EQ(json.out, ""); // JSON lines have no closing line
    EXPECT_EQ(RunCmd({"--computers", "--format", "csv"}).exitCode, 2u);
    Outcome domainsAlone = RunCmd({"--domains"});
    EXPECT_EQ(domainsAlone.exitCode, 2u);
    EXPECT_NE(domainsAlone.err.find("--computers"), std::string::npos);
}

// FindFileCmd.exe copied into a folder of its own with the vendors' file beside it: the vendors
// printed are those of that file (the OUIs of the tests' nodes are in it or set locally), whatever
// table the build carries.
class CopiedProgram
{
public:
    CopiedProgram()
    {
        m_tree.MakeFile("oui.txt",
                        "00-0C-29   (hex)\t\tVMware, Inc.\r\n000C29     (base 16)\t\tVMware, Inc.\r\n"
                        "00-1B-63   (hex)\t\tApple, Inc.\r\n");
        m_copied = CopyFileW(ProgramPath().c_str(), Path().c_str(), FALSE) != 0;
    }
    bool Copied() const { return m_copied; }
    std::wstring Path() const { return platform::Widen(m_tree.Path("FindFileCmd.exe")); }

private:
    TempTree m_tree;
    bool m_copied = false;
};

// Only loopback addresses are swept, and no reverse DNS is asked (the real resolver could ask a DNS
// server): several nodes answer, two send what is no answer, one lies outside the ranges asked and
// must hear nothing.
TEST(FindFileCmdComputers, ASweepOfLoopbackRangesListsExactlyTheNodesThatAnswer)
{
    testing_support::LoopbackNodes nodes({
        "127.0.1.5=answer=ALPHA<00>,LAB<00>g=00-0c-29-1a-2b-3c",
        "127.0.1.6=answer=LAB<00>g,BETA-PC<20>,BETA-PC<00>=02-00-00-00-00-06",
        "127.0.2.9=answer=GAMMA<00>,HOME<00>g=02-00-00-00-00-09",
        "127.0.1.7=garbage=GARBAGE<00>=00-00-00-00-00-00",
        "127.0.1.8=truncated=TRUNCATED<00>,LAB<00>g=00-00-00-00-00-00",
        "127.0.3.1=answer=OUTSIDE<00>=00-00-00-00-00-00",
    });
    ASSERT_TRUE(nodes.Ready()) << nodes.Status();
    CopiedProgram program;
    ASSERT_TRUE(program.Copied());
    const std::vector<std::string> sweep = {
        "--computers", "--sweep", "127.0.1.0/24", "--sweep=127.0.2.8-127.0.2.10",
        "--timeout",   "1000",    "--no-dns"};
    auto run = [&sweep, &program](std::vector<std::string> more) {
        std::vector<std::string> args = sweep;
        args.insert(args.end(), more.begin(), more.end());
        return RunCmd(args, program.Path());
    };

    Outcome all = run({});
    EXPECT_EQ(all.exitCode, 0u) << all.err;
    EXPECT_EQ(SortedLines(all.out),
              (std::vector<std::string>{
                  "complete\t3",
                  "computer\tALPHA\t127.0.1.5\tLAB\t\t00-0C-29-1A-2B-3C\tVMware\tnetbios",
                  "computer\tBETA-PC\t127.0.1.6\tLAB\t\t02-00-00-00-00-06\t\tnetbios",
                  "computer\tGAMMA\t127.0.2.9\tHOME\t\t02-00-00-00-00-09\t\tnetbios",
              }));
    // The matching rule: the name test on the name after two backslashes, the whole address.
    EXPECT_EQ(Lines(run({"pc"}).out),
              (std::vector<std::string>{"computer\tBETA-PC\t127.0.1.6\tLAB\t\t02-00-00-00-00-06\t\tnetbios",
                                        "complete\t1"}));
    EXPECT_EQ(run({"--format", "jsonl", "pc"}).out,
              "{\"name\":\"BETA-PC\",\"ip\":\"127.0.1.6\",\"workgroup\":\"LAB\","
              "\"comment\":\"\",\"mac\":\"02-00-00-00-00-06\",\"vendor\":\"\",\"source\":\"netbios\"}\n");
    EXPECT_EQ(Lines(run({"\\\\gam"}).out).size(), 2u);
    EXPECT_EQ(Lines(run({"127.0.1.5"}).out).front(),
              "computer\tALPHA\t127.0.1.5\tLAB\t\t00-0C-29-1A-2B-3C\tVMware\tnetbios");
    Outcome none = run({"127.0.1"});
    EXPECT_EQ(none.exitCode, 1u);
    EXPECT_EQ(none.out, "complete\t0\n");
    // With --domains each workgroup that matches comes once, before its first computer.
    EXPECT_EQ(SortedLines(run({"--domains", "home"}).out),
              (std::vector<std::string>{"complete\t1", "domain\tHOME"}));

    Outcome bad = RunCmd({"--computers", "--sweep", "10.0.0.0/8"});
    EXPECT_EQ(bad.exitCode, 2u);
    EXPECT_NE(bad.err.find("10.0.0.0/8"), std::string::npos);
}

// NetBIOS-only, multicast-DNS-only, both, silent and malformed nodes on loopback: exactly the
// answering ones are listed, each once, with the name of the first way in order, its source and
// its vendor; a multicast-DNS node that also answers NetBIOS is listed by its NetBIOS name.
TEST(FindFileCmdComputers, ASweepAsksNetBiosAndMulticastDnsAndListsEachComputerOnce)
{
    testing_support::LoopbackNodes nodes({
        "127.0.4.1=answer=NBONLY<00>,LAB<00>g=00-1b-63-00-00-01",
        "127.0.4.2=mdns=mini.local=-",
        "127.0.4.3=answer=BOTH<00>,LAB<00>g=00-0c-29-00-00-03",
        "127.0.4.3=mdns=both.local=-",
        "127.0.4.4=answer=LAB<00>g=00-0c-29-00-00-04", // only its workgroup: the name comes by mDNS
        "127.0.4.4=mdns=grouped.local=-",
        "127.0.4.5=mdns-garbage=garbage.local=-",
        "127.0.4.6=mdns-truncated=cut.local=-",
    });
    ASSERT_TRUE(nodes.Ready()) << nodes.Status();
    CopiedProgram program;
    ASSERT_TRUE(program.Copied());
    Outcome all = RunCmd({"--computers", "--sweep", "127.0.4.1-127.0.4.9", "--timeout", "1000", "--no-dns"},
                         program.Path());
    EXPECT_EQ(all.exitCode, 0u) << all.err;
    EXPECT_EQ(SortedLines(all.out),
              (std::vector<std::string>{
                  "complete\t4",
                  "computer\tBOTH\t127.0.4.3\tLAB\t\t00-0C-29-00-00-03\tVMware\tnetbios",
                  "computer\tNBONLY\t127.0.4.1\tLAB\t\t00-1B-63-00-00-01\tApple\tnetbios",
                  "computer\tgrouped.local\t127.0.4.4\tLAB\t\t00-0C-29-00-00-04\tVMware\tmdns",
                  "computer\tmini.local\t127.0.4.2\t\t\t?-?-?-?-?-?\t\tmdns",
              }));
    EXPECT_EQ(Lines(RunCmd({"--computers", "mini", "--sweep", "127.0.4.1-127.0.4.9", "--timeout", "1000",
                            "--no-dns"},
                           program.Path())
                        .out),
              (std::vector<std::string>{"computer\tmini.local\t127.0.4.2\t\t\t?-?-?-?-?-?\t\tmdns",
                                        "complete\t1"}));
    Outcome noSweep = RunCmd({"--computers", "--no-dns"});
    EXPECT_EQ(noSweep.exitCode, 2u);
    EXPECT_NE(noSweep.err.find("--no-dns needs --sweep"), std::string::npos);
}

// The same seven lines in every encoding a file may use; the ANSI file only where the system's code
// page holds its letters.
class FindFileCmdLinesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::u16string text =
            u"erste Zeile\r\nGr\u00fc\u00dfe nadel hier\r\ndritte\nvierte\rf\u00fcnfte\r\n"
            u"sechste Nadel\r\nsiebte";
        const std::string utf8 = platform::Narrow(std::wstring(text.begin(), text.end()));
        tree.MakeFile("u8.txt", utf8);
        tree.MakeFile("u8bom.txt", "\xEF\xBB\xBF" + utf8);
        tree.MakeFile("le.txt", fake::Utf16(text, false));
        tree.MakeFile("be.txt", fake::Utf16(text, true));
        tree.MakeFile("le-nomark.txt", fake::Utf16(text, false, false));
        tree.MakeFile("be-nomark.txt", fake::Utf16(text, true, false));
        const std::wstring wide(text.begin(), text.end());
        BOOL lossy = FALSE;
        std::string ansi(wide.size() * 2, '\0');
        const int length =
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                ansi.data(), static_cast<int>(ansi.size()), nullptr, &lossy);
        if (length > 0 && !lossy && GetACP() != CP_UTF8)
        {
            ansi.resize(static_cast<size_t>(length));
            tree.MakeFile("ansi.txt", ansi);
            names.push_back("ansi.txt");
        }
    }

    // The lines expected of each file, in name order.
    std::vector<std::string> Expected(const std::vector<std::string>& perFile) const
    {
        std::vector<std::string> lines;
        for (const std::string& name : names)
            for (const std::string& line : perFile)
                lines.push_back(tree.Path(name) + line);
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    TempTree tree;
    std::vector<std::string> names = {"u8.txt", "u8bom.txt",     "le.txt",
                                      "be.txt", "le-nomark.txt", "be-nomark.txt"};
};

TEST_F(FindFileCmdLinesTest, PrintsTheHitLinesOfEveryEncodingAsUtf8)
{
    Outcome o = RunCmd({"-c", "NADEL", "--lines", tree.Root()});
    EXPECT_EQ(o.exitCode, 0u) << o.err;
    EXPECT_EQ(SortedLines(o.out), Expected({":2:Gr\u00fc\u00dfe nadel hier", ":6:sechste Nadel"}));

    o = RunCmd({"-c", "Nadel", "--case-sensitive", "--lines", tree.Root()});
    EXPECT_EQ(SortedLines(o.out), Expected({":6:sechste Nadel"}));

    // Non-ASCII text is found in each encoding, its ASCII letters folded.
    o = RunCmd({"-c", "GR\u00fc\u00dfE", "--lines", tree.Root()});
    EXPECT_EQ(SortedLines(o.out), Expected({":2:Gr\u00fc\u00dfe nadel hier"}));
}

TEST_F(FindFileCmdLinesTest, ContextLinesAroundEachHitInGroups)
{
    for (const std::string& name : names)
    {
        Outcome o = RunCmd({"-c", "nadel", "--context", "1", "-n", name, tree.Root()});
        EXPECT_EQ(o.exitCode, 0u) << o.err;
        const std::string path = tree.Path(name);
        EXPECT_EQ(o.out, path + "-1-erste Zeile\n" + path + ":2:Gr\u00fc\u00dfe nadel hier\n" + path +
                             "-3-dritte\n--\n" + path + "-5-f\u00fcnfte\n" + path + ":6:sechste Nadel\n" +
                             path + "-7-siebte\n")
            << name;
    }
    Outcome two = RunCmd({"-c", "sechste", "--context=1", "-n", "u8*.txt", tree.Root()});
    const std::vector<std::string> lines = Lines(two.out);
    ASSERT_EQ(lines.size(), 7u) << two.out;
    EXPECT_EQ(lines[3], "--"); // the second file's group stands apart
}

TEST_F(FindFileCmdLinesTest, JsonLinesCarryTheHitLines)
{
    Outcome o = RunCmd({"-c", "nadel", "--lines", "-f", "jsonl", "-n", "le-nomark.txt", tree.Root()});
    EXPECT_EQ(o.exitCode, 0u) << o.err;
    EXPECT_NE(o.out.find(",\"lines\":[{\"line\":2,\"text\":\"Gr\u00fc\u00dfe nadel hier\",\"hits\":[[8,5]],"
                         "\"context\":false},{\"line\":6,\"text\":\"sechste Nadel\",\"hits\":[[8,5]],"
                         "\"context\":false}],\"encoding\":\"UTF-16 LE\"}\n"),
              std::string::npos)
        << o.out;
}

} // namespace
