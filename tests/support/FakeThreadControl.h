#pragma once
// FakeThreadControl: records every priority set on a thread instead of changing it.
#include "platform/ThreadControl.h"

#include <mutex>
#include <vector>

namespace testing_support
{

class FakeThreadControl : public platform::ThreadControl
{
public:
    void SetPriority(std::thread&, int platformPriority) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_priorities.push_back(platformPriority);
    }
    std::vector<int> Priorities() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_priorities;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<int> m_priorities;
};

} // namespace testing_support
