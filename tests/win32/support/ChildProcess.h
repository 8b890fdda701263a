#pragma once
// Starting a child program in a test. Under load Wine now and then loses a child while it starts
// (CreateProcessW fails with ERROR_INTERNAL_ERROR: the child ended before it reported its start);
// that says nothing about the program, so such a start is tried again, twice at most.
#include <windows.h>
#include <string>

namespace testing_support
{

// CreateProcessW with the handles inherited, no application name and the given flags, environment
// and folder (both may be null); false with GetLastError set when it cannot start.
inline bool StartChild(std::wstring& commandLine, DWORD flags, void* environment, const wchar_t* folder,
                       STARTUPINFOW& startup, PROCESS_INFORMATION& process)
{
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags, environment, folder,
                           &startup, &process))
            return true;
        if (GetLastError() != ERROR_INTERNAL_ERROR)
            return false;
    }
    return false;
}

} // namespace testing_support
