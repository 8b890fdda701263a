// The call queue behind the synchronized call: who runs what, in which order, who rings the owner
// and what a worker gets when the owner has ended.
#include "platform/CallQueue.h"

#include "tests/host/platform/WaitFor.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace
{

using platform_test::WaitFor;

struct CustomError
{
    int code;
};

// Counts the rings instead of waking anybody.
class CountingQueue final : public platform::CallQueue
{
public:
    explicit CountingQueue(unsigned ringAgainMs = 60000) : CallQueue(ringAgainMs) {}
    int Rings() const { return m_rings; }

private:
    void Ring() override { ++m_rings; }
    std::atomic<int> m_rings{0};
};

// Serves the queue on this (the owner) thread until done turns true.
template <typename Done> void Serve(platform::CallQueue& queue, Done done)
{
    while (!done())
    {
        queue.ServePending();
        queue.WaitForCall(5);
    }
}

TEST(CallQueue, ACallFromTheOwnerThreadRunsAtOnceWithoutRinging)
{
    CountingQueue queue;
    bool ran = false;
    queue.Call([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(queue.Queued());
    EXPECT_EQ(queue.Rings(), 0);
    EXPECT_EQ(queue.ServePending(), 0u);
    EXPECT_FALSE(queue.WaitForCall(1));
    // An exception is the caller's own there too.
    EXPECT_THROW(queue.Call([] { throw CustomError{1}; }), CustomError);
}

TEST(CallQueue, CallsRunOnTheOwnerInEachWorkersOrderWhileTheWorkerWaits)
{
    CountingQueue queue;
    const std::thread::id owner = std::this_thread::get_id();
    constexpr int kWorkers = 3;
    constexpr int kCalls = 200;
    std::vector<std::pair<int, int>> ran; // (worker, call), appended on the owner thread only
    bool allOnOwner = true;
    std::atomic<int> finished{0};
    std::atomic<int> notWaited{0};
    std::vector<std::thread> workers;
    for (int worker = 0; worker < kWorkers; ++worker)
        workers.emplace_back([&, worker] {
            for (int call = 0; call < kCalls; ++call)
            {
                queue.Call([&, worker, call] {
                    allOnOwner = allOnOwner && std::this_thread::get_id() == owner;
                    ran.emplace_back(worker, call);
                });
                int seen = 0; // the call must have run before Call returned
                queue.Call([&] {
                    for (const auto& entry : ran)
                        seen += entry.first == worker ? 1 : 0;
                });
                if (seen != call + 1)
                    ++notWaited;
            }
            ++finished;
        });
    Serve(queue, [&] { return finished == kWorkers; });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_TRUE(allOnOwner);
    EXPECT_EQ(notWaited, 0);
    ASSERT_EQ(ran.size(), static_cast<size_t>(kWorkers * kCalls));
    std::vector<int> next(kWorkers, 0);
    for (const auto& [worker, call] : ran)
        EXPECT_EQ(call, next[worker]++) << "worker " << worker;
}

TEST(CallQueue, AnExceptionTravelsBackToItsOwnWorkerAndTheQueueGoesOn)
{
    CountingQueue queue;
    int caught = 0;
    bool laterCallRan = false;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        try
        {
            queue.Call([] { throw CustomError{7}; });
        }
        catch (const CustomError& error)
        {
            caught = error.code;
        }
        queue.Call([&] { laterCallRan = true; });
        finished = true;
    });
    Serve(queue, [&] { return finished.load(); });
    worker.join();
    EXPECT_EQ(caught, 7);
    EXPECT_TRUE(laterCallRan);
}

TEST(CallQueue, OnlyTheFirstOfCallsWaitingTogetherRingsAndNoneWhileTheOwnerServesDirectly)
{
    CountingQueue queue;
    std::atomic<int> finished{0};
    std::vector<std::thread> workers;
    auto callFromWorker = [&] {
        workers.emplace_back([&] {
            queue.Call([] {});
            ++finished;
        });
    };
    callFromWorker();
    ASSERT_TRUE(WaitFor([&] { return queue.Rings() == 1; }));
    EXPECT_TRUE(queue.Queued());
    // The second call comes while the first one's ring is pending, or while the owner serves.
    callFromWorker();
    {
        const platform::CallQueue::DirectServing serving(queue);
        Serve(queue, [&] { return finished == 2; });
    }
    EXPECT_EQ(queue.Rings(), 1);

    {
        const platform::CallQueue::DirectServing serving(queue);
        callFromWorker();
        ASSERT_TRUE(WaitFor([&] { return queue.Queued(); }));
        EXPECT_EQ(queue.Rings(), 1);
        // The owner turns to other work: the call already queued must not wait unrung.
    }
    EXPECT_EQ(queue.Rings(), 2);
    Serve(queue, [&] { return finished == 3; });
    for (std::thread& worker : workers)
        worker.join();
}

TEST(CallQueue, AWorkerWhoseRingWentUnansweredRingsAgain)
{
    CountingQueue queue(5);
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        queue.Call([] {});
        finished = true;
    });
    EXPECT_TRUE(WaitFor([&] { return queue.Rings() >= 3; }));
    Serve(queue, [&] { return finished.load(); });
    worker.join();
}

TEST(CallQueue, EndingReleasesAWaitingWorkerWithAnErrorAndRefusesLaterCalls)
{
    auto queue = std::make_shared<CountingQueue>();
    bool ran = false;
    std::string error;
    std::thread worker([queue, &ran, &error] {
        try
        {
            queue->Call([&] { ran = true; });
        }
        catch (const std::runtime_error& e)
        {
            error = e.what();
        }
    });
    ASSERT_TRUE(WaitFor([&] { return queue->Queued(); }));
    queue->End();
    worker.join();
    EXPECT_FALSE(ran);
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(queue->Queued());

    const int ringsBefore = queue->Rings();
    bool lateRan = false;
    bool lateFailed = false;
    std::thread late([&] {
        try
        {
            queue->Call([&] { lateRan = true; });
        }
        catch (const std::runtime_error&)
        {
            lateFailed = true;
        }
    });
    late.join(); // returns without anybody serving
    EXPECT_TRUE(lateFailed);
    EXPECT_FALSE(lateRan);
    EXPECT_EQ(queue->Rings(), ringsBefore);
}

TEST(CallQueue, APendingCallLetsTheWorkerGoOnAndHandsBackItsOutcomeWhenFinished)
{
    CountingQueue queue;
    platform::CallQueue::PendingCall call;
    queue.Finish(call); // never started: nothing to wait for
    std::atomic<int> stepsWhilePending{0};
    std::atomic<bool> ran{false};
    std::atomic<bool> errorSeen{false};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        queue.Begin(call, [&] { ran = true; });
        ++stepsWhilePending; // nobody has served the call yet: Begin did not wait for it
        queue.Finish(call);
        queue.Begin(call, [] { throw CustomError{7}; });
        try
        {
            queue.Finish(call);
        }
        catch (const CustomError& e)
        {
            errorSeen = e.code == 7;
        }
        queue.Finish(call); // the outcome was handed over once
        done = true;
    });
    ASSERT_TRUE(WaitFor([&] { return stepsWhilePending == 1; }));
    EXPECT_FALSE(ran);
    Serve(queue, [&] { return done.load(); });
    worker.join();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(errorSeen);

    // On the owner thread the call runs at once; its exception waits for Finish.
    queue.Begin(call, [] { throw CustomError{8}; });
    EXPECT_THROW(queue.Finish(call), CustomError);

    // A call pending when the owner ends fails at Finish instead of hanging.
    auto ending = std::make_shared<CountingQueue>();
    bool failed = false;
    std::thread late([&] {
        ending->Begin(call, [] {});
        ASSERT_TRUE(WaitFor([&] { return !ending->Queued(); }));
        try
        {
            ending->Finish(call);
        }
        catch (const std::runtime_error&)
        {
            failed = true;
        }
    });
    ASSERT_TRUE(WaitFor([&] { return ending->Queued(); }));
    ending->End();
    late.join();
    EXPECT_TRUE(failed);
}

} // namespace
