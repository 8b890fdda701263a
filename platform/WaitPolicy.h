#pragma once
// How the threads of a synchronized call wait for each other: watch for a while, then sleep.
// Before sleeping, a waiting thread watches for what it waits for, on a machine with a second core.
// Waking a sleeping thread costs some 15 us under Wine, twice per call, and a walk hands over a
// match every few microseconds while it reads a folder. The worker watches for its answer long
// enough for the owner to wake; the owner watches for the next call only briefly, since its
// watching takes a core from the worker and the Wine server while the worker lists a folder.
#include <chrono>

namespace platform
{

constexpr std::chrono::microseconds kWorkerSpin{60};
constexpr std::chrono::microseconds kOwnerSpin{10};

// Watching only pays when another core can bring what is watched for.
bool SeveralProcessors();

// A hint to the processor that this is a busy wait (the x86 pause).
inline void SpinPause()
{
#if defined(__i386__) || defined(__x86_64__)
    __builtin_ia32_pause();
#endif
}

// Watches `ready` for at most `limit`; true as soon as it holds. On one processor it looks once.
template <typename Ready> bool SpinUntil(Ready ready, std::chrono::microseconds limit)
{
    if (!SeveralProcessors())
        return ready();
    const auto start = std::chrono::steady_clock::now();
    for (unsigned round = 1;; ++round)
    {
        if (ready())
            return true;
        SpinPause();
        if (round % 64 == 0 && std::chrono::steady_clock::now() - start >= limit)
            return ready();
    }
}

} // namespace platform
