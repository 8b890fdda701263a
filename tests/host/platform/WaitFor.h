#pragma once
// Waits for something another thread brings about; false if it has not come after a long while.
#include <chrono>
#include <thread>

namespace platform_test
{

template <typename Ready> bool WaitFor(Ready ready)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!ready())
    {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace platform_test
