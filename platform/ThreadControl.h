#pragma once
// Scheduling priority of a running std::thread.
#include <thread>

namespace platform
{

class ThreadControl
{
public:
    virtual ~ThreadControl() = default;
    // platformPriority is a Win32 thread priority (-15, -2, -1, 0, 1, 2, 15).
    virtual void SetPriority(std::thread& thread, int platformPriority) = 0;
};

} // namespace platform
