#pragma once
// A minidump beside the exception report (dbghelp's MiniDumpWriteDump), so that a developer can
// open the fault in a debugger. dbghelp is loaded from the system folder only when a fault is
// reported, after the text report is on disk: if writing the dump hangs or faults, the report
// stays.
#include <windows.h>

namespace crash
{

// Notes where dbghelp lies; called when the reporter is installed (nothing allocates later).
void PrepareMinidump();

// Writes the dump of this process with the fault's pointers to path (replacing an older one).
// False with a system error code when dbghelp or the file cannot be had.
bool WriteMinidump(const wchar_t* path, EXCEPTION_POINTERS* pointers, DWORD faultingThread, DWORD& error);

} // namespace crash
