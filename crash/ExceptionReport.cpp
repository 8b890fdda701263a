#include "crash/ExceptionReport.h"

#include "app/Version.h"
#include "crash/ReportText.h"

#include <exception>
#include <windows.h>
#include <winternl.h>

namespace crash
{
namespace
{

// Everything the report needs is set up at install time, so that writing allocates nothing: the
// fault may have left the heap broken or its lock held.
constexpr wchar_t kLogName[] = L"ExcMagic.Log";
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
    HANDLE request = nullptr;
    HANDLE done = nullptr;
    EXCEPTION_POINTERS* pointers = nullptr;
    DWORD threadId = 0;
    LONG busy = 0;
    bool hasThread = false;
    char text[64 * 1024] = {};
    char scratch[kPathChars * 3] = {};
    wchar_t module[kPathChars] = {};
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

// Copies size bytes at address, or fails without faulting.
bool SafeRead(const void* address, void* out, size_t size)
{
    SIZE_T read = 0;
    return ReadProcessMemory(GetCurrentProcess(), address, out, size, &read) && read == size;
}

const char* Narrow(const wchar_t* text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, g_reporter.scratch,
                                           static_cast<int>(sizeof(g_reporter.scratch)), nullptr, nullptr);
    if (length <= 0)
        g_reporter.scratch[0] = '\0';
    return g_reporter.scratch;
}

// The nearest exported name at or below address in module, with its offset.
bool ExportName(HMODULE module, uintptr_t address, const char** name, uintptr_t* offset)
{
    const auto base = reinterpret_cast<uintptr_t>(module);
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS nt;
    if (!SafeRead(module, &dos, sizeof(dos)) ||
        !SafeRead(reinterpret_cast<void*>(base + dos.e_lfanew), &nt, sizeof(nt)))
        return false;
    const IMAGE_DATA_DIRECTORY& directory = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    IMAGE_EXPORT_DIRECTORY exports;
    if (!directory.VirtualAddress ||
        !SafeRead(reinterpret_cast<void*>(base + directory.VirtualAddress), &exports, sizeof(exports)))
        return false;
    const auto* names = reinterpret_cast<const DWORD*>(base + exports.AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exports.AddressOfNameOrdinals);
    const auto* functions = reinterpret_cast<const DWORD*>(base + exports.AddressOfFunctions);
    uintptr_t best = 0;
    for (DWORD i = 0; i < exports.NumberOfNames; ++i)
    {
        DWORD nameRva = 0, functionRva = 0;
        WORD ordinal = 0;
        if (!SafeRead(names + i, &nameRva, sizeof(nameRva)) ||
            !SafeRead(ordinals + i, &ordinal, sizeof(ordinal)) ||
            !SafeRead(functions + ordinal, &functionRva, sizeof(functionRva)))
            return false;
        const uintptr_t start = base + functionRva;
        if (start <= address && start > best)
        {
            best = start;
            *name = reinterpret_cast<const char*>(base + nameRva);
        }
    }
    if (!best)
        return false;
    *offset = address - best;
    return true;
}

// "module+offset (name+offset)" of a code address.
void Where(ReportText& text, uintptr_t address)
{
    text.Hex(address, 8);
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(address), &module) ||
        !GetModuleFileNameW(module, g_reporter.module, kPathChars))
    {
        text.Text(" (no module)");
        return;
    }
    const wchar_t* file = g_reporter.module;
    for (const wchar_t* c = g_reporter.module; *c; ++c)
        if (*c == L'\\' || *c == L'/')
            file = c + 1;
    text.Text(" ").Text(Narrow(file)).Text("+").Hex(address - reinterpret_cast<uintptr_t>(module), 8);
    const char* name = nullptr;
    uintptr_t offset = 0;
    if (ExportName(module, address, &name, &offset))
    {
        char symbol[128] = {};
        if (SafeRead(name, symbol, sizeof(symbol) - 1) || symbol[0])
        {
            symbol[sizeof(symbol) - 1] = '\0';
            text.Text(" (").Text(symbol).Text("+").Hex(offset, 1).Text(")");
        }
    }
}

bool IsCode(uintptr_t address)
{
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof(info)) || info.State != MEM_COMMIT)
        return false;
    return (info.Protect &
            (PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0 &&
           info.Type == MEM_IMAGE;
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
    text.Text("Program: ").Text(Narrow(g_reporter.exePath)).Text(" version ").Text(FF_VERSION_TEXT).Line();
    text.Text("Process: ").Dec(GetCurrentProcessId()).Text(" thread: ").Dec(g_reporter.threadId).Line();
    text.Text("Exception: ").Hex(record.ExceptionCode, 8).Text(" ").Text(ExceptionName(record.ExceptionCode));
    if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2)
    {
        const ULONG_PTR kind = record.ExceptionInformation[0];
        text.Text(kind == 0 ? ", reading " : kind == 1 ? ", writing " : ", executing ");
        text.Hex(record.ExceptionInformation[1], 8);
    }
    text.Line();
    text.Text("Address: ");
    Where(text, reinterpret_cast<uintptr_t>(record.ExceptionAddress));
    text.Line();
}

void Registers(ReportText& text, const CONTEXT& c)
{
#if defined(__i386__) || defined(_M_IX86)
    text.Text("Registers:").Line();
    text.Text("  EAX=")
        .Hex(c.Eax, 8)
        .Text(" EBX=")
        .Hex(c.Ebx, 8)
        .Text(" ECX=")
        .Hex(c.Ecx, 8)
        .Text(" EDX=")
        .Hex(c.Edx, 8);
    text.Line();
    text.Text("  ESI=")
        .Hex(c.Esi, 8)
        .Text(" EDI=")
        .Hex(c.Edi, 8)
        .Text(" EBP=")
        .Hex(c.Ebp, 8)
        .Text(" ESP=")
        .Hex(c.Esp, 8);
    text.Line();
    text.Text("  EIP=").Hex(c.Eip, 8).Text(" EFLAGS=").Hex(c.EFlags, 8).Text(" CS=").Hex(c.SegCs, 4);
    text.Text(" DS=").Hex(c.SegDs, 4).Text(" SS=").Hex(c.SegSs, 4).Text(" ES=").Hex(c.SegEs, 4);
    text.Text(" FS=").Hex(c.SegFs, 4).Text(" GS=").Hex(c.SegGs, 4).Line();
#else
    (void)c;
    text.Text("Registers: not recorded on this processor").Line();
#endif
}

#if defined(__i386__) || defined(_M_IX86)
void Memory(ReportText& text, const CONTEXT& c)
{
    text.Text("Code bytes at ").Hex(c.Eip, 8).Text(":");
    unsigned char code[16];
    if (SafeRead(reinterpret_cast<void*>(static_cast<uintptr_t>(c.Eip)), code, sizeof(code)))
        for (unsigned char b : code)
            text.Text(" ").Hex(b, 2);
    else
        text.Text(" (not readable)");
    text.Line();

    text.Text("Stack at ").Hex(c.Esp, 8).Text(":").Line();
    for (int row = 0; row < 8; ++row)
    {
        const uintptr_t at = c.Esp + static_cast<uintptr_t>(row) * 32;
        text.Text("  ").Hex(at, 8).Text(":");
        for (int i = 0; i < 8; ++i)
        {
            DWORD word = 0;
            if (SafeRead(reinterpret_cast<void*>(at + 4 * i), &word, sizeof(word)))
                text.Text(" ").Hex(word, 8);
            else
                text.Text(" ????????");
        }
        text.Line();
    }
}

void CallStack(ReportText& text, const CONTEXT& c)
{
    text.Text("Call stack (frame chain):").Line();
    text.Text("  ");
    Where(text, c.Eip);
    text.Line();
    uintptr_t frame = c.Ebp;
    for (int depth = 0; depth < 64 && frame; ++depth)
    {
        uintptr_t link[2] = {};
        if (!SafeRead(reinterpret_cast<void*>(frame), link, sizeof(link)) || !IsCode(link[1]))
            break;
        text.Text("  ");
        Where(text, link[1]);
        text.Line();
        if (link[0] <= frame)
            break;
        frame = link[0];
    }
    // Code built without frame pointers breaks the chain: the stack's words that point into code
    // are the likely return addresses.
    text.Text("Code addresses on the stack:").Line();
    int listed = 0;
    for (int i = 0; i < 4096 && listed < 64; ++i)
    {
        DWORD word = 0;
        if (!SafeRead(reinterpret_cast<void*>(static_cast<uintptr_t>(c.Esp) + 4 * i), &word, sizeof(word)))
            break;
        if (!IsCode(word))
            continue;
        text.Text("  [ESP+").Hex(4 * i, 4).Text("] ");
        Where(text, word);
        text.Line();
        ++listed;
    }
}
#endif

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

void WriteReport()
{
    const EXCEPTION_POINTERS& pointers = *g_reporter.pointers;
    ReportText text(g_reporter.text, sizeof(g_reporter.text));
    Header(text, *pointers.ExceptionRecord);
    Registers(text, *pointers.ContextRecord);
#if defined(__i386__) || defined(_M_IX86)
    Memory(text, *pointers.ContextRecord);
    CallStack(text, *pointers.ContextRecord);
#endif
    text.Line();
    if (Append(g_reporter.logPath, text))
        return;
    if (!Append(g_reporter.tempPath, text))
        return;
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
    if (GetTempPathW(kPathChars - 16, g_reporter.tempShown))
    {
        lstrcatW(g_reporter.tempShown, kLogName);
        ToNtPath(g_reporter.tempShown, g_reporter.tempPath);
    }
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
