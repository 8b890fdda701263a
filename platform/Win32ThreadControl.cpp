#include "platform/Win32ThreadControl.h"

#include <windows.h>
#include <pthread.h>

namespace platform
{

void Win32ThreadControl::SetPriority(std::thread& thread, int platformPriority)
{
    if (!thread.joinable())
        return;
    // The posix-thread runtime keeps the Win32 handle of each thread; it stays owned by the runtime.
    HANDLE handle = static_cast<HANDLE>(pthread_gethandle(thread.native_handle()));
    if (handle)
        SetThreadPriority(handle, platformPriority);
}

} // namespace platform
