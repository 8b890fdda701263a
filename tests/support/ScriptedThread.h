#pragma once
// ScriptedThread: a TThread whose body a test gives, with Synchronize open to that body.
#include "platform/Thread.h"

#include <functional>
#include <utility>

namespace testing_support
{

class ScriptedThread final : public platform::TThread
{
public:
    using Body = std::function<void(ScriptedThread&)>;
    ScriptedThread(platform::SyncCall& owner, bool freeOnTerminate, Body body)
        : TThread(owner, freeOnTerminate), m_body(std::move(body))
    {
    }
    ~ScriptedThread() override { Join(); }
    using TThread::Synchronize;

private:
    void Execute() override { m_body(*this); }
    Body m_body;
};

} // namespace testing_support
