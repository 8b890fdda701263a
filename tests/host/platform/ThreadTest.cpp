// TThread on the portable synchronized call: the body's hand-overs, its end handler, the stop
// request, and a thread that frees itself after its owner, or the owner's synchronized call, has gone.
#include "platform/Thread.h"

#include "tests/host/platform/WaitFor.h"
#include "tests/support/QueueSyncCall.h"
#include "tests/support/ScriptedThread.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

using platform_test::WaitFor;
using testing_support::QueueSyncCall;
using testing_support::ScriptedThread;

struct CustomError
{
    int code;
};

class ThreadTest : public testing::Test
{
protected:
    // Serves the owner's calls until OnTerminate has run.
    void ServeToEnd()
    {
        m_sync.ServeUntil([this] { return m_ended; });
    }
    void EndOnTerminate(platform::TThread& thread)
    {
        thread.OnTerminate = [this](platform::TThread& sender) {
            m_log.push_back(std::string("end") + (OnOwner() ? " on owner" : " elsewhere"));
            m_sender = &sender;
            m_ended = true;
        };
    }
    bool OnOwner() const { return std::this_thread::get_id() == m_owner; }

    const std::thread::id m_owner = std::this_thread::get_id();
    QueueSyncCall m_sync;
    std::vector<std::string> m_log; // owner thread only
    platform::TThread* m_sender = nullptr;
    bool m_ended = false;
};

TEST_F(ThreadTest, SynchronizeRunsOnTheOwnerWhileTheBodyWaitsAndOnTerminateComesLast)
{
    std::vector<std::string> seenByBody;
    ScriptedThread thread(m_sync, false, [&](ScriptedThread& self) {
        for (int call = 0; call < 3; ++call)
        {
            self.Synchronize([&, call] {
                m_log.push_back("call " + std::to_string(call) + (OnOwner() ? " on owner" : " elsewhere"));
            });
            seenByBody.push_back(std::to_string(m_log.size()));
        }
    });
    EndOnTerminate(thread);
    thread.Start();
    ServeToEnd();
    thread.Join();
    EXPECT_EQ(m_log, (std::vector<std::string>{"call 0 on owner", "call 1 on owner", "call 2 on owner",
                                               "end on owner"}));
    EXPECT_EQ(seenByBody, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(m_sender, &thread);
}

TEST_F(ThreadTest, TheRoutinesExceptionIsRaisedInTheBody)
{
    int caught = 0;
    ScriptedThread thread(m_sync, false, [&](ScriptedThread& self) {
        try
        {
            self.Synchronize([] { throw CustomError{42}; });
        }
        catch (const CustomError& error)
        {
            caught = error.code;
        }
    });
    EndOnTerminate(thread);
    thread.Start();
    ServeToEnd();
    thread.Join();
    EXPECT_EQ(caught, 42);
}

TEST_F(ThreadTest, OnTerminateRunsAfterAFailingBodyAndNoFailureLeavesTheThread)
{
    ScriptedThread failing(m_sync, false, [](ScriptedThread&) { throw std::runtime_error("body failed"); });
    EndOnTerminate(failing);
    failing.Start();
    ServeToEnd();
    failing.Join();
    EXPECT_EQ(m_log, (std::vector<std::string>{"end on owner"}));

    // An end handler that throws: the thread still ends normally (an escape would end the process).
    bool handlerRan = false;
    ScriptedThread thread(m_sync, false, [](ScriptedThread&) {});
    thread.OnTerminate = [&](platform::TThread&) {
        handlerRan = true;
        throw std::runtime_error("end handler failed");
    };
    thread.Start();
    m_sync.ServeUntil([&] { return handlerRan; });
    thread.Join();
}

TEST_F(ThreadTest, TheBodyStopsOnceTerminateIsRequested)
{
    int calls = 0;
    ScriptedThread thread(m_sync, false, [&](ScriptedThread& self) {
        while (!self.Terminated())
            self.Synchronize([&] { ++calls; });
    });
    EndOnTerminate(thread);
    thread.Start();
    m_sync.ServeUntil([&] { return calls >= 3; });
    EXPECT_FALSE(thread.Terminated());
    thread.Terminate();
    EXPECT_TRUE(thread.Terminated());
    ServeToEnd();
    thread.Join();
    EXPECT_LE(calls, 4); // at most the call already under way when the request came
}

// A free thread that waits at a gate before it hands anything over.
struct Gated
{
    std::atomic<bool> open{false};
    std::atomic<bool> callFailed{false};
    std::atomic<bool> terminatedSeen{false};
    std::atomic<bool> bodyDone{false};
    bool routineRan = false;
};

std::shared_ptr<ScriptedThread> StartGated(platform::SyncCall& sync, const std::shared_ptr<Gated>& gated)
{
    auto thread = std::make_shared<ScriptedThread>(sync, true, [gated](ScriptedThread& self) {
        while (!gated->open)
            std::this_thread::yield();
        gated->terminatedSeen = self.Terminated();
        try
        {
            self.Synchronize([gated] { gated->routineRan = true; });
        }
        catch (const std::runtime_error&)
        {
            gated->callFailed = true;
        }
        gated->bodyDone = true;
    });
    thread->Start();
    return thread;
}

TEST_F(ThreadTest, AFreeThreadKeepsItselfUntilItHasEnded)
{
    auto gated = std::make_shared<Gated>();
    std::shared_ptr<ScriptedThread> thread = StartGated(m_sync, gated);
    EndOnTerminate(*thread);
    std::weak_ptr<ScriptedThread> watch = thread;
    thread.reset();
    EXPECT_FALSE(watch.expired());
    gated->open = true;
    ServeToEnd();
    EXPECT_TRUE(gated->routineRan);
    EXPECT_FALSE(gated->callFailed);
    EXPECT_TRUE(WaitFor([&] { return watch.expired(); }));
}

TEST_F(ThreadTest, AnOrphanedThreadIsStoppedAndNeverRunsARoutineOrItsEndHandler)
{
    auto gated = std::make_shared<Gated>();
    std::shared_ptr<ScriptedThread> thread = StartGated(m_sync, gated);
    EndOnTerminate(*thread);
    std::weak_ptr<ScriptedThread> watch = thread;
    thread->Orphan();
    thread.reset();
    gated->open = true;
    // The owner keeps serving (as a window's message loop does): the orphan's calls fail there.
    m_sync.ServeUntil([&] { return watch.expired(); });
    EXPECT_TRUE(gated->terminatedSeen);
    EXPECT_TRUE(gated->callFailed);
    EXPECT_FALSE(gated->routineRan);
    EXPECT_TRUE(m_log.empty());
}

TEST_F(ThreadTest, AFreeThreadOutlivingItsSyncCallFailsItsCallsAndEnds)
{
    // Ended while the thread waits at its gate: its call and its end fail without anybody serving.
    auto sync = std::make_unique<QueueSyncCall>();
    auto gated = std::make_shared<Gated>();
    std::weak_ptr<ScriptedThread> watch = StartGated(*sync, gated);
    bool endRan = false;
    watch.lock()->OnTerminate = [&endRan](platform::TThread&) { endRan = true; };
    sync.reset();
    gated->open = true;
    EXPECT_TRUE(WaitFor([&] { return watch.expired(); }));
    EXPECT_TRUE(gated->callFailed);
    EXPECT_FALSE(gated->routineRan);
    EXPECT_FALSE(endRan);

    // Ended while the thread waits inside its call.
    sync = std::make_unique<QueueSyncCall>();
    gated = std::make_shared<Gated>();
    gated->open = true;
    std::shared_ptr<platform::CallQueue> queue = sync->Queue();
    watch = StartGated(*sync, gated);
    ASSERT_TRUE(WaitFor([&] { return queue->Queued(); }));
    sync.reset();
    EXPECT_TRUE(WaitFor([&] { return watch.expired(); }));
    EXPECT_TRUE(gated->callFailed);
    EXPECT_FALSE(gated->routineRan);
}

} // namespace
