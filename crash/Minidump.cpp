#include "crash/Minidump.h"

#include "platform/UniqueHandle.h"

#include <dbghelp.h>

namespace crash
{
namespace
{

constexpr size_t kPathChars = 1024;
wchar_t g_dbghelp[kPathChars];

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                          PMINIDUMP_EXCEPTION_INFORMATION, PMINIDUMP_USER_STREAM_INFORMATION,
                                          PMINIDUMP_CALLBACK_INFORMATION);

} // namespace

void PrepareMinidump()
{
    // The system's copy only: a dbghelp.dll beside the program must not be loaded into a fault.
    const UINT length = GetSystemDirectoryW(g_dbghelp, kPathChars - 16);
    if (length == 0 || length >= kPathChars - 16)
    {
        g_dbghelp[0] = L'\0';
        return;
    }
    lstrcatW(g_dbghelp, L"\\dbghelp.dll");
}

bool WriteMinidump(const wchar_t* path, EXCEPTION_POINTERS* pointers, DWORD faultingThread, DWORD& error)
{
    error = ERROR_MOD_NOT_FOUND;
    if (!g_dbghelp[0])
        return false;
    // Loaded for the rest of the process's short life: it ends after the report.
    HMODULE dbghelp = LoadLibraryW(g_dbghelp);
    const auto write = dbghelp ? reinterpret_cast<MiniDumpWriteDumpFn>(
                                     reinterpret_cast<void*>(GetProcAddress(dbghelp, "MiniDumpWriteDump")))
                               : nullptr;
    if (!write)
    {
        error = GetLastError();
        return false;
    }
    platform::UniqueFile file(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
    {
        error = GetLastError();
        return false;
    }
    MINIDUMP_EXCEPTION_INFORMATION exception;
    exception.ThreadId = faultingThread;
    exception.ExceptionPointers = pointers;
    exception.ClientPointers = FALSE;
    const auto type = static_cast<MINIDUMP_TYPE>(MiniDumpNormal | MiniDumpWithIndirectlyReferencedMemory);
    const bool written = write(GetCurrentProcess(), GetCurrentProcessId(), file.Get(), type, &exception,
                               nullptr, nullptr) != FALSE;
    error = written ? ERROR_SUCCESS : GetLastError();
    file.Reset();
    if (!written)
        DeleteFileW(path);
    return written;
}

} // namespace crash
