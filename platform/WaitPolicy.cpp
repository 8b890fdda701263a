#include "platform/WaitPolicy.h"

#include <thread>

namespace platform
{

bool SeveralProcessors()
{
    // The processors this process may run on (on Windows those of its affinity mask).
    static const bool several = std::thread::hardware_concurrency() > 1;
    return several;
}

} // namespace platform
