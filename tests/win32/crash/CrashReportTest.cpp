// The exception report from outside: a program that faults on request runs in a folder of its
// own; its exit code, its report (code, place, code bytes, stack, call stack) and the appending
// of a second report are checked.
#include "crash/ReportText.h"
#include "crash/SymbolTable.h"
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "tests/win32/support/ChildProcess.h"
#include "tests/win32/support/ProcessWindow.h"

#include <windows.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <tlhelp32.h>
#include <vector>

namespace
{

std::wstring OutputFolder()
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    return std::filesystem::path(exe).parent_path().wstring();
}

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A folder of the test's own holding a copy of the faulting program, and a temp folder for it.
class FaultRun
{
public:
    explicit FaultRun(const wchar_t* program = L"ff_crash_fault.exe") : m_program(program)
    {
        static int counter = 0;
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        m_folder = std::filesystem::path(base) / (L"ff_crash_" + std::to_wstring(GetCurrentProcessId()) +
                                                  L"_" + std::to_wstring(++counter));
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder / L"temp");
        std::filesystem::copy_file(std::filesystem::path(OutputFolder()) / m_program, Exe());
    }
    // Puts a file of the build's output folder beside the program.
    void Add(const wchar_t* name) const
    {
        std::filesystem::copy_file(std::filesystem::path(OutputFolder()) / name, m_folder / name);
    }
    ~FaultRun()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    std::filesystem::path Exe() const { return m_folder / m_program; }
    std::filesystem::path Log() const { return m_folder / L"ExcMagic.Log"; }
    std::filesystem::path TempLog() const { return m_folder / L"temp" / L"ExcMagic.Log"; }
    std::filesystem::path Dump() const { return m_folder / L"ExcMagic.dmp"; }
    std::filesystem::path TempDump() const { return m_folder / L"temp" / L"ExcMagic.dmp"; }
    std::string Output() const { return ReadAll(m_folder / L"output.txt"); }

    // Runs the program with kind; answers a message box of it with OK, keeping its text. While it
    // runs, poke (when given) is called until it answers true.
    DWORD Run(const std::wstring& kind, std::function<bool(HANDLE process, DWORD pid)> poke = {})
    {
        std::wstring environment;
        for (const wchar_t* entry = GetEnvironmentStringsW(); *entry; entry += wcslen(entry) + 1)
            if (_wcsnicmp(entry, L"TMP=", 4) != 0 && _wcsnicmp(entry, L"TEMP=", 5) != 0)
                environment.append(entry).push_back(L'\0');
        const std::wstring temp = (m_folder / L"temp").wstring() + L"\\";
        environment.append(L"TMP=" + temp).push_back(L'\0');
        environment.append(L"TEMP=" + temp).push_back(L'\0');
        environment.push_back(L'\0');
        std::wstring command = L"\"" + Exe().wstring() + L"\" " + kind;
        // The program's output goes to a file of the folder.
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        platform::UniqueFile output(CreateFileW((m_folder / L"output.txt").wstring().c_str(), GENERIC_WRITE,
                                                FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = output.Get();
        PROCESS_INFORMATION process{};
        if (!testing_support::StartChild(command, CREATE_UNICODE_ENVIRONMENT, environment.data(),
                                         m_folder.wstring().c_str(), startup, process))
        {
            ADD_FAILURE() << "cannot start " << Exe().string() << ", error " << GetLastError();
            return 0xFFFFFFFF;
        }
        output.Reset();
        platform::UniqueKernelHandle processHandle(process.hProcess), thread(process.hThread);
        for (int waited = 0; waited < 60000; waited += 50)
        {
            if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0)
                break;
            if (poke && poke(process.hProcess, process.dwProcessId))
                poke = nullptr;
            AnswerBox(process.dwProcessId);
        }
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
    std::vector<std::string> boxes;

private:
    void AnswerBox(DWORD pid)
    {
        const HWND box = testing_support::FindProcessWindow(L"#32770", pid).window;
        if (!box)
            return;
        wchar_t text[2048] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 2048);
        if (!text[0])
            GetDlgItemTextW(box, 100, text, 2048);
        boxes.push_back(platform::Narrow(text));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }

    std::wstring m_program;
    std::filesystem::path m_folder;
};

// The value after "Label: " on the report's first line that starts with it.
std::string Field(const std::string& report, const std::string& label)
{
    const size_t at = report.find("\n" + label);
    if (at == std::string::npos)
        return {};
    const size_t begin = at + 1 + label.size();
    return report.substr(begin, report.find('\r', begin) - begin);
}

// The bytes of the executable file at a relative virtual address.
std::vector<unsigned char> FileBytesAt(const std::filesystem::path& exe, uint32_t rva, size_t count)
{
    const std::string file = ReadAll(exe);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(file.data() + dos->e_lfanew);
    const auto* section = IMAGE_FIRST_SECTION(nt);
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
        if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->Misc.VirtualSize)
        {
            const size_t offset = rva - section->VirtualAddress + section->PointerToRawData;
            return std::vector<unsigned char>(file.begin() + offset, file.begin() + offset + count);
        }
    return {};
}

#if defined(__x86_64__)
const char* const kRegisterNames[] = {"RAX", "RBX", "RCX", "RDX", "RSI", "RDI", "RBP", "RSP", "R8 ",
                                      "R9 ", "R10", "R11", "R12", "R13", "R14", "R15", "RIP", "EFLAGS"};
constexpr char kInstructionPointer[] = "RIP";
constexpr size_t kWordDigits = 16;
#else
const char* const kRegisterNames[] = {"EAX", "EBX", "ECX", "EDX", "ESI",
                                      "EDI", "EBP", "ESP", "EIP", "EFLAGS"};
constexpr char kInstructionPointer[] = "EIP";
constexpr size_t kWordDigits = 8;
#endif

// The stack words listed under "Stack at ": every row starts with its address, and each row's address
// follows on from the words before it.
size_t StackWords(const std::string& report)
{
    const size_t stack = report.find("Stack at ");
    if (stack == std::string::npos)
        return 0;
    std::istringstream lines(report.substr(stack));
    std::string line;
    std::getline(lines, line);
    const uint64_t top = std::stoull(line.substr(9, line.find(':') - 9), nullptr, 16);
    size_t words = 0;
    while (std::getline(lines, line) && line.rfind("  ", 0) == 0)
    {
        std::istringstream row(line);
        std::string address, word;
        row >> address;
        if (std::stoull(address, nullptr, 16) != top + words * kWordDigits / 2)
            return 0;
        while (row >> word)
        {
            if (word.size() != kWordDigits)
                return 0;
            ++words;
        }
    }
    return words;
}

// The call stack's part of the report: from its heading to the end.
std::string CallStack(const std::string& report)
{
    const size_t at = report.find("\nCall stack");
    return at == std::string::npos ? std::string() : report.substr(at);
}

struct Case
{
    const wchar_t* kind;
    uint32_t code;
    const char* faultingFunction; // named in the fault's address; "" for none; null: not checked
    const char* onTheStack;       // a function the call stack must show
};

const Case kCases[] = {
    {L"av-ui", 0xC0000005, "FaultAccessViolation", "RunFault"},
    {L"av-wndproc", 0xC0000005, "FaultAccessViolation", "FaultAccessViolation"},
    {L"av-thread", 0xC0000005, "FaultAccessViolation", "FaultAccessViolation"},
    {L"divzero", 0xC0000094, "FaultDivide", "RunFault"},
// The big frame is probed by a runtime helper, which faults; the export below it (RunFault)
// must not be named for it.
#if defined(__x86_64__)
    {L"stackoverflow", 0xC00000FD, "___chkstk_ms", "FaultRecurse"},
#else
    {L"stackoverflow", 0xC00000FD, "__chkstk_ms", "FaultRecurse"},
#endif
    {L"terminate", crash::kTerminateCode, nullptr, "FaultTerminate"},
};

} // namespace

TEST(ExceptionReport, EachFaultLeavesAReportAndEndsWithItsCode)
{
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(platform::Narrow(c.kind));
        FaultRun run;
        EXPECT_EQ(run.Run(c.kind), c.code);
        const std::string report = ReadAll(run.Log());
        ASSERT_FALSE(report.empty());
        std::ostringstream code;
        code << std::hex << std::uppercase << c.code;
        EXPECT_EQ(Field(report, "Exception: ").substr(0, 8), code.str());
        EXPECT_NE(Field(report, "Exception: ").find(crash::ExceptionName(c.code)), std::string::npos);
        EXPECT_NE(Field(report, "Program: ").find("ff_crash_fault.exe version "), std::string::npos);
        for (const char* name : kRegisterNames)
            EXPECT_NE(report.find(std::string(" ") + name + "="), std::string::npos) << name;
        // The faulting instruction's address is the one in the registers.
        const std::string where = Field(report, "Address: ");
        EXPECT_NE(report.find(std::string(kInstructionPointer) + "=" + where.substr(0, where.find(' '))),
                  std::string::npos)
            << report;
        EXPECT_NE(CallStack(report).find(std::string("(") + c.onTheStack + "+"), std::string::npos) << report;
        EXPECT_EQ(StackWords(report), 64u) << report;
        if (!c.faultingFunction)
            continue;
        // The fault's place: our module and function, and the code bytes there are the file's.
        const std::string address = Field(report, "Address: ");
        EXPECT_NE(address.find(" ff_crash_fault.exe+"), std::string::npos) << address;
        if (!*c.faultingFunction)
        {
            EXPECT_EQ(address.find('('), std::string::npos) << address;
            continue;
        }
        EXPECT_NE(address.find(std::string("(") + c.faultingFunction + "+"), std::string::npos) << address;
        const uint32_t rva = std::stoul(address.substr(address.find('+') + 1, 8), nullptr, 16);
        const std::vector<unsigned char> expected = FileBytesAt(run.Exe(), rva, 16);
        ASSERT_EQ(expected.size(), 16u);
        const std::string codeBytes = Field(report, "Code bytes at ");
        std::istringstream bytes(codeBytes.substr(codeBytes.find(": ") + 2));
        for (unsigned char b : expected)
        {
            std::string hex;
            bytes >> hex;
            EXPECT_EQ(std::stoul(hex, nullptr, 16), b);
        }
    }
}

TEST(ExceptionReport, ASecondFaultIsAppended)
{
    FaultRun run;
    EXPECT_EQ(run.Run(L"divzero"), 0xC0000094u);
    const size_t first = ReadAll(run.Log()).size();
    EXPECT_EQ(run.Run(L"av-ui"), 0xC0000005u);
    const std::string report = ReadAll(run.Log());
    EXPECT_GT(report.size(), first);
    EXPECT_EQ(report.find("==== Exception report"), 0u);
    EXPECT_NE(report.find("==== Exception report", 1), std::string::npos);
    EXPECT_NE(report.find("EXCEPTION_INT_DIVIDE_BY_ZERO"), std::string::npos);
    EXPECT_NE(report.find("EXCEPTION_ACCESS_VIOLATION"), std::string::npos);
    EXPECT_TRUE(run.boxes.empty());
}

TEST(ExceptionReport, AnUnwritableProgramFolderSendsTheReportToTheTempFolderAndSaysSo)
{
    FaultRun run;
    // A folder where the report would go: the file cannot be opened there.
    std::filesystem::create_directory(run.Log());
    EXPECT_EQ(run.Run(L"av-ui"), 0xC0000005u);
    EXPECT_NE(ReadAll(run.TempLog()).find("EXCEPTION_ACCESS_VIOLATION"), std::string::npos);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_NE(run.boxes[0].find("ExcMagic.Log"), std::string::npos);
    EXPECT_NE(run.boxes[0].find("temp"), std::string::npos);
}

TEST(ExceptionReport, TheProgramItselfReportsAFaultOfOneOfItsThreads)
{
    FaultRun run(L"FindFile.exe");
    run.Add(L"FindFileEN.dll");
    // English chosen, so no first start under another system language looks for its module.
    WritePrivateProfileStringW(L"Options", L"Language", L"EN",
                               (run.Exe().parent_path() / L"FindFile.ini").wstring().c_str());
    // Once its window is up, a thread of the program is started at an address that holds no code.
    const DWORD code = run.Run(L"", [](HANDLE process, DWORD pid) {
        if (!testing_support::FindProcessWindow(L"TFindfileFrm", pid).window)
            return false;
        const auto nowhere = reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<uintptr_t>(0x10));
        platform::UniqueKernelHandle thread(
            CreateRemoteThread(process, nullptr, 0, nowhere, nullptr, 0, nullptr));
        return thread.Get() != nullptr;
    });
    EXPECT_EQ(code, 0xC0000005u);
    const std::string report = ReadAll(run.Log());
    EXPECT_EQ(report.find("==== Exception report"), 0u) << report;
    EXPECT_NE(Field(report, "Exception: ").find("EXCEPTION_ACCESS_VIOLATION"), std::string::npos);
    EXPECT_NE(Field(report, "Program: ").find("FindFile.exe version "), std::string::npos);
    EXPECT_EQ(StackWords(report), 64u) << report;
    EXPECT_TRUE(run.boxes.empty());
}

namespace
{

// The frames the walk found: the call stack's lines up to the scanned words that follow it.
std::vector<std::string> WalkedFrames(const std::string& report)
{
    std::string walk = CallStack(report);
    walk = walk.substr(0, walk.find("Code addresses on the stack"));
    std::istringstream lines(walk);
    std::vector<std::string> frames;
    std::string line;
    std::getline(lines, line); // the empty rest of the line before the heading
    std::getline(lines, line); // the heading
    while (std::getline(lines, line) && line.rfind("  ", 0) == 0)
        frames.push_back(line);
    return frames;
}

} // namespace

TEST(ExceptionReport, TheCallStackNamesEachCallerInTurnWithItsSourceLine)
{
    FaultRun run;
    run.Run(L"lines");
    std::istringstream lines(run.Output());
    std::vector<std::pair<std::string, std::string>> expected; // function, line
    std::string function, line;
    while (lines >> function >> line)
        expected.emplace_back(function, line);
    ASSERT_EQ(expected.size(), 3u) << run.Output();

    ASSERT_EQ(run.Run(L"divzero"), 0xC0000094u);
    const std::string report = ReadAll(run.Log());
    const std::vector<std::string> frames = WalkedFrames(report);
    // The fault's function first, then its callers one after the other: nothing left over from
    // earlier calls between them, although the program keeps no frame pointers.
    ASSERT_GE(frames.size(), expected.size()) << report;
    for (size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_NE(frames[i].find("(" + expected[i].first + "+"), std::string::npos) << frames[i];
        EXPECT_NE(frames[i].find(", tests/win32/crash/CrashFault.cpp:" + expected[i].second + ")"),
                  std::string::npos)
            << frames[i];
    }
}

namespace
{

// What a debugger reads first of a minidump: its signature, and the exception stream's thread and
// code.
struct DumpFacts
{
    bool minidump = false;
    uint32_t thread = 0;
    uint32_t code = 0;
};

DumpFacts ReadDump(const std::filesystem::path& path)
{
    const std::string bytes = ReadAll(path);
    DumpFacts facts;
    const auto word = [&](size_t at) {
        uint32_t w = 0;
        if (at + 4 <= bytes.size())
            memcpy(&w, bytes.data() + at, 4);
        return w;
    };
    if (bytes.compare(0, 4, "MDMP") != 0)
        return facts;
    facts.minidump = true;
    const uint32_t streams = word(8), directory = word(12);
    for (uint32_t i = 0; i < streams && i < 64; ++i)
    {
        const size_t entry = directory + i * 12;
        if (word(entry) == 6) // the exception stream
        {
            facts.thread = word(word(entry + 8));
            facts.code = word(word(entry + 8) + 8);
        }
    }
    return facts;
}

} // namespace

TEST(ExceptionReport, AMinidumpLiesBesideTheReportAndTheReportSaysSo)
{
    FaultRun run;
    EXPECT_EQ(run.Run(L"av-thread"), 0xC0000005u);
    const std::string report = ReadAll(run.Log());
    const std::string said = Field(report, "Minidump: ");
    ASSERT_GE(said.size(), 12u) << report;
    EXPECT_EQ(said.substr(said.size() - 12), "ExcMagic.dmp");
    const DumpFacts dump = ReadDump(run.Dump());
    EXPECT_TRUE(dump.minidump);
    EXPECT_EQ(dump.code, 0xC0000005u);
    // The faulting thread, which is not the program's first.
    const std::string process = Field(report, "Process: ");
    EXPECT_EQ(std::to_string(dump.thread), process.substr(process.find("thread: ") + 8));
}

TEST(ExceptionReport, AMinidumpThatCannotBeWrittenLeavesTheReportWhole)
{
    FaultRun run;
    // A folder where the dump would go: the file cannot be created there.
    std::filesystem::create_directory(run.Dump());
    EXPECT_EQ(run.Run(L"divzero"), 0xC0000094u);
    const std::string report = ReadAll(run.Log());
    EXPECT_EQ(report.find("==== Exception report"), 0u);
    EXPECT_EQ(StackWords(report), 64u) << report;
    EXPECT_NE(CallStack(report).find("(FaultDivide+"), std::string::npos) << report;
    EXPECT_EQ(Field(report, "Minidump: ").rfind("not written (system error ", 0), 0u) << report;
}

namespace
{

// The first address of a function of the program, from the symbol table in its resources.
uint32_t FunctionRva(const std::filesystem::path& exe, const char* function)
{
    platform::UniqueModule module(LoadLibraryExW(exe.wstring().c_str(), nullptr,
                                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC resource = module ? FindResourceW(module.Get(), L"FFSYMBOLS", MAKEINTRESOURCEW(10)) : nullptr;
    HGLOBAL loaded = resource ? LoadResource(module.Get(), resource) : nullptr;
    crash::SymbolTable table;
    uint32_t rva = 0;
    if (!loaded ||
        !table.Open(static_cast<const unsigned char*>(LockResource(loaded)),
                    SizeofResource(module.Get(), resource)) ||
        !table.StartOf(function, rva))
        return 0;
    return rva;
}

uintptr_t ProgramBase(DWORD pid)
{
    platform::UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
    MODULEENTRY32W module{};
    module.dwSize = sizeof(module);
    if (snapshot.Get() == INVALID_HANDLE_VALUE || !Module32FirstW(snapshot.Get(), &module))
        return 0;
    return reinterpret_cast<uintptr_t>(module.modBaseAddr);
}

} // namespace

TEST(ExceptionReport, TheProgramsOwnFunctionsAreNamedWithTheirSourceLines)
{
    FaultRun run(L"FindFile.exe");
    run.Add(L"FindFileEN.dll");
    WritePrivateProfileStringW(L"Options", L"Language", L"EN",
                               (run.Exe().parent_path() / L"FindFile.ini").wstring().c_str());
    // A function of the program that reads its first argument at once, started as a thread of it
    // with an argument that points nowhere.
    const uint32_t rva = FunctionRva(run.Exe(), "engine::CheckFilename");
    ASSERT_NE(rva, 0u);
    const DWORD code = run.Run(L"", [rva](HANDLE process, DWORD pid) {
        const uintptr_t base = ProgramBase(pid);
        if (!base || !testing_support::FindProcessWindow(L"TFindfileFrm", pid).window)
            return false;
        const auto start = reinterpret_cast<LPTHREAD_START_ROUTINE>(base + rva);
        platform::UniqueKernelHandle thread(
            CreateRemoteThread(process, nullptr, 0, start, reinterpret_cast<void*>(0x10), 0, nullptr));
        return thread.Get() != nullptr;
    });
    EXPECT_EQ(code, 0xC0000005u);
    const std::string report = ReadAll(run.Log());
    // It faults in the library code it calls first; the walk names it as the caller, in its source.
    EXPECT_NE(Field(report, "Address: ").find(" FindFile.exe+"), std::string::npos) << report;
    bool named = false;
    for (const std::string& frame : WalkedFrames(report))
        named = named || (frame.find(" FindFile.exe+") != std::string::npos &&
                          frame.find("(engine::CheckFilename+") != std::string::npos &&
                          frame.find(", engine/FindCriteria.cpp:") != std::string::npos);
    EXPECT_TRUE(named) << report;
    EXPECT_TRUE(ReadDump(run.Dump()).minidump);
}

TEST(ExceptionReport, TheShippedProgramsAreSmallAndKeepTheirDebugInformationApart)
{
    for (const wchar_t* name : {L"FindFile", L"FindFileCmd"})
    {
        SCOPED_TRACE(platform::Narrow(name));
        const std::filesystem::path exe =
            std::filesystem::path(OutputFolder()) / (std::wstring(name) + L".exe");
        const std::string image = ReadAll(exe);
        EXPECT_LT(image.size(), 2u * 1024 * 1024);
        EXPECT_EQ(image.find(".debug_info"), std::string::npos);
        // The debug link names the file that holds what was taken out.
        EXPECT_NE(image.find(platform::Narrow(name) + ".debug"), std::string::npos);
        const std::string debug =
            ReadAll(std::filesystem::path(OutputFolder()) / L".debug" / (std::wstring(name) + L".debug"));
        EXPECT_NE(debug.find(".debug_info"), std::string::npos);
    }
    // The window program names its own functions in a fault; the console program installs no
    // report.
    EXPECT_NE(
        FunctionRva(std::filesystem::path(OutputFolder()) / L"FindFile.exe", "ui::TFindfileFrm::FormCreate"),
        0u);
}

TEST(ExceptionReport, TheSymbolTableAgreesWithTheExportTable)
{
    const std::filesystem::path exe = std::filesystem::path(OutputFolder()) / L"ff_crash_fault.exe";
    platform::UniqueModule module(
        LoadLibraryExW(exe.wstring().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
    ASSERT_TRUE(module);
    for (const char* function : {"FaultAccessViolation", "FaultDivide", "FaultRecurse", "RunFault"})
    {
        const auto exported = reinterpret_cast<uintptr_t>(GetProcAddress(module.Get(), function));
        EXPECT_EQ(FunctionRva(exe, function), exported - reinterpret_cast<uintptr_t>(module.Get()))
            << function;
    }
}
