#include "crash/ExceptionReport.h"

#include "app/Version.h"
#include "crash/CodePlace.h"
#include "crash/MachineState.h"
#include "crash/Minidump.h"
#include "crash/ReportText.h"

#include <windows.h>
#include <exception>
#include <winternl.h>

namespace crash
{
namespace
{

// Everything the report needs is set up at install time, so that writing allocates nothing: the
// fault may have left the heap broken or its lock held.
constexpr wchar_t kLogName[] = L"ExcMagic.Log";
constexpr wchar_t kDumpName[] = L"ExcMagic.dmp";
constexpr size_t kPathChars = 1024;
constexpr DWORD kReporterStack = 256 * 1024;
constexpr DWORD kReportTimeoutMs = 30000;

using NtCreateFileFn = LONG(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                    PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
constexpr ULONG kFileOpenIf = 3;
constexpr ULONG kSynchronousNonAlert = 0x20;
constexpr ULONG kNonDirectoryFile = 0x40;

struct Reporter
{
    NtCreateFileFn ntCreateFile = nullptr;
    wchar_t exePath[kPathChars] = {};
    wchar_t logPath[kPathChars] = {};   // NT form: \??\C:\...\ExcMagic.Log
    wchar_t tempPath[kPathChars] = {};  // NT form, in the temp folder
    wchar_t tempShown[kPathChars] = {}; // the temp folder's report as the user knows paths
    wchar_t dumpPath[kPathChars] = {};  // the minidump beside each report
    wchar_t tempDumpPath[kPathChars] = {};
    HANDLE request = nullptr;
    HANDLE done = nullptr;
    EXCEPTION_POINTERS* pointers = nullptr;
    DWORD threadId = 0;
    LONG busy = 0;
    bool hasThread = false;
    StackBounds stack;
    char text[64 * 1024] = {};
};
Reporter g_reporter;

void ToNtPath(const wchar_t* dosPath, wchar_t* out)
{
    const wchar_t* prefix = L"\\??\\";
    const wchar_t* rest = dosPath;
    if (dosPath[0] == L'\\' && dosPath[1] == L'\\')
    {
        prefix = L"\\??\\UNC\\";
        rest = dosPath + 2;
    }
    lstrcpynW(out, prefix, kPathChars);
    const int used = lstrlenW(out);
    lstrcpynW(out + used, rest, static_cast<int>(kPathChars) - used);
}

void Header(ReportText& text, const EXCEPTION_RECORD& record)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    text.Text("==== Exception report ====").Line();
    text.Text("Date: ").Padded(now.wYear, 4).Text("-").Padded(now.wMonth, 2).Text("-").Padded(now.wDay, 2);
    text.Text(" ")
        .Padded(now.wHour, 2)
        .Text(":")
        .Padded(now.wMinute, 2)
        .Text(":")
        .Padded(now.wSecond, 2)
        .Line();
    text.Text("Program: ")
        .Text(NarrowPath(g_reporter.exePath))
        .Text(" version ")
        .Text(FF_VERSION_TEXT)
        .Line();
    text.Text("Process: ").Dec(GetCurrentProcessId()).Text(" thread: ").Dec(g_reporter.threadId).Line();
    text.Text("Exception: ").Hex(record.ExceptionCode, 8).Text(" ").Text(ExceptionName(record.ExceptionCode));
    if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2)
    {
        const ULONG_PTR kind = record.ExceptionInformation[0];
        text.Text(kind == 0 ? ", reading " : kind == 1 ? ", writing " : ", executing ");
        text.Hex(record.ExceptionInformation[1], kAddressDigits);
    }
    text.Line();
    text.Text("Address: ");
    AppendCodePlace(text, reinterpret_cast<uintptr_t>(record.ExceptionAddress));
    text.Line();
}

// Appends the report to the file at ntPath; false when the file cannot be opened or written.
bool Append(const wchar_t* ntPath, const ReportText& text)
{
    if (!g_reporter.ntCreateFile || !ntPath[0])
        return false;
    UNICODE_STRING name;
    name.Buffer = const_cast<wchar_t*>(ntPath);
    name.Length = static_cast<USHORT>(lstrlenW(ntPath) * sizeof(wchar_t));
    name.MaximumLength = name.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    IO_STATUS_BLOCK status;
    HANDLE file = nullptr;
    // Append access alone: every write lands at the end, so reports are added, never overwritten.
    if (g_reporter.ntCreateFile(&file, FILE_APPEND_DATA | SYNCHRONIZE, &attributes, &status, nullptr,
                                FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE, kFileOpenIf,
                                kSynchronousNonAlert | kNonDirectoryFile, nullptr, 0) < 0)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, text.Data(), static_cast<DWORD>(text.Size()), &written, nullptr) &&
                    written == text.Size();
    CloseHandle(file);
    return ok;
}

// Writes the minidump beside the report at logPath and adds a line saying how that went.
void AddMinidump(const wchar_t* logPath, const wchar_t* dumpPath)
{
    DWORD error = 0;
    const bool written =
        dumpPath[0] && WriteMinidump(dumpPath, g_reporter.pointers, g_reporter.threadId, error);
    char line[kPathChars * 3 + 64];
    ReportText text(line, sizeof(line));
    if (written)
        text.Text("Minidump: ").Text(NarrowPath(dumpPath));
    else
        text.Text("Minidump: not written (system error ").Dec(error).Text(")");
    text.Line().Line();
    Append(logPath, text);
}

void WriteReport()
{
    const EXCEPTION_POINTERS& pointers = *g_reporter.pointers;
    ReportText text(g_reporter.text, sizeof(g_reporter.text));
    Header(text, *pointers.ExceptionRecord);
    AppendMachineState(text, *pointers.ContextRecord, g_reporter.stack);
    // The text goes first: the dump loads a library and may fail in a broken process.
    if (Append(g_reporter.logPath, text))
    {
        AddMinidump(g_reporter.logPath, g_reporter.dumpPath);
        return;
    }
    if (!Append(g_reporter.tempPath, text))
        return;
    AddMinidump(g_reporter.tempPath, g_reporter.tempDumpPath);
    // The report is on disk; telling the user may use the heap, as a last step.
    wchar_t message[kPathChars + 128];
    lstrcpyW(message, L"The program failed. The report could not be written beside the program and was "
                      L"written to:\n");
    lstrcatW(message, g_reporter.tempShown);
    MessageBoxW(nullptr, message, L"Pelion Info Find File", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

DWORD WINAPI ReporterThread(void*)
{
    for (;;)
    {
        WaitForSingleObject(g_reporter.request, INFINITE);
        WriteReport();
        SetEvent(g_reporter.done);
    }
}

LONG WINAPI Filter(EXCEPTION_POINTERS* pointers)
{
    const DWORD code = pointers->ExceptionRecord->ExceptionCode;
    if (InterlockedExchange(&g_reporter.busy, 1) == 0)
    {
        g_reporter.pointers = pointers;
        g_reporter.threadId = GetCurrentThreadId();
        g_reporter.stack = CurrentStackBounds();
        // The report is written on the reporter's own stack: this one may be exhausted.
        if (g_reporter.hasThread)
        {
            SetEvent(g_reporter.request);
            WaitForSingleObject(g_reporter.done, kReportTimeoutMs);
        }
        else
            WriteReport();
        TerminateProcess(GetCurrentProcess(), code);
    }
    // A second fault while the first is reported (or in the reporter): the first one ends the process.
    Sleep(kReportTimeoutMs);
    TerminateProcess(GetCurrentProcess(), code);
    return EXCEPTION_EXECUTE_HANDLER;
}

void OnTerminate()
{
    RaiseException(kTerminateCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    TerminateProcess(GetCurrentProcess(), kTerminateCode);
}

// Since Windows 7 SP1 a 32-bit process on 64-bit Windows loses faults inside window procedures
// (called back from the kernel) unless it asks to keep them.
void KeepWindowProcedureFaults()
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    using GetPolicy = BOOL(WINAPI*)(LPDWORD);
    using SetPolicy = BOOL(WINAPI*)(DWORD);
    auto get = reinterpret_cast<GetPolicy>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "GetProcessUserModeExceptionPolicy")));
    auto set = reinterpret_cast<SetPolicy>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetProcessUserModeExceptionPolicy")));
    constexpr DWORD kCallbackFilterEnabled = 0x1;
    DWORD policy = 0;
    if (get && set && get(&policy))
        set(policy & ~kCallbackFilterEnabled);
}

} // namespace

void InstallExceptionReport()
{
    if (g_reporter.request)
        return;
    g_reporter.ntCreateFile = reinterpret_cast<NtCreateFileFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtCreateFile")));
    GetModuleFileNameW(nullptr, g_reporter.exePath, kPathChars);
    wchar_t folder[kPathChars];
    lstrcpynW(folder, g_reporter.exePath, kPathChars);
    wchar_t* slash = nullptr;
    for (wchar_t* c = folder; *c; ++c)
        if (*c == L'\\')
            slash = c;
    if (slash)
        slash[1] = L'\0';
    wchar_t dosPath[kPathChars];
    lstrcpynW(dosPath, folder, kPathChars - 16);
    lstrcatW(dosPath, kLogName);
    ToNtPath(dosPath, g_reporter.logPath);
    lstrcpynW(g_reporter.dumpPath, folder, kPathChars - 16);
    lstrcatW(g_reporter.dumpPath, kDumpName);
    if (GetTempPathW(kPathChars - 16, g_reporter.tempShown))
    {
        lstrcpyW(g_reporter.tempDumpPath, g_reporter.tempShown);
        lstrcatW(g_reporter.tempDumpPath, kDumpName);
        lstrcatW(g_reporter.tempShown, kLogName);
        ToNtPath(g_reporter.tempShown, g_reporter.tempPath);
    }
    PrepareMinidump();
    g_reporter.request = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    g_reporter.done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    // The reporter thread lives as long as the process; it is never stopped.
    HANDLE thread = CreateThread(nullptr, kReporterStack, &ReporterThread, nullptr,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    g_reporter.hasThread = thread != nullptr;
    if (thread)
        CloseHandle(thread);
    ULONG guarantee = 32 * 1024;
    SetThreadStackGuarantee(&guarantee);
    SetUnhandledExceptionFilter(&Filter);
    std::set_terminate(&OnTerminate);
    KeepWindowProcedureFaults();
}

} // namespace crash
