#pragma once
// Thread priorities on Win32, applied to the handle behind a std::thread.
#include "platform/ThreadControl.h"

namespace platform
{

class Win32ThreadControl final : public ThreadControl
{
public:
    void SetPriority(std::thread& thread, int platformPriority) override;
};

} // namespace platform
