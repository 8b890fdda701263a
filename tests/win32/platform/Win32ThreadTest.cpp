// TThread on the Win32 synchronized call: the owner's own message loop delivers a free thread's
// calls and its end, and a free thread survives the end of its owner's synchronized call.
#include "platform/Win32SyncCall.h"
#include "tests/support/ScriptedThread.h"

#include <windows.h>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <vector>

namespace
{

using testing_support::ScriptedThread;

bool WaitUntil(const std::function<bool()>& ready)
{
    const DWORD start = GetTickCount();
    while (!ready())
    {
        if (GetTickCount() - start > 20000)
            return false;
        Sleep(1);
    }
    return true;
}

TEST(Win32Thread, APlainMessageLoopDeliversAFreeThreadsCallsAndItsEnd)
{
    platform::Win32SyncCall sync;
    const DWORD owner = GetCurrentThreadId();
    std::vector<DWORD> ranOn;
    auto thread = std::make_shared<ScriptedThread>(sync, true, [&ranOn](ScriptedThread& self) {
        for (int call = 0; call < 3; ++call)
            self.Synchronize([&ranOn] { ranOn.push_back(GetCurrentThreadId()); });
    });
    thread->OnTerminate = [&ranOn](platform::TThread&) {
        ranOn.push_back(GetCurrentThreadId());
        PostQuitMessage(0);
    };
    std::weak_ptr<ScriptedThread> watch = thread;
    thread->Start();
    thread.reset();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    EXPECT_EQ(ranOn, (std::vector<DWORD>{owner, owner, owner, owner}));
    EXPECT_TRUE(WaitUntil([&] { return watch.expired(); }));
}

TEST(Win32Thread, AFreeThreadBlockedWhileItsSyncCallEndsFailsSafelyWhenItWakes)
{
    auto sync = std::make_unique<platform::Win32SyncCall>();
    auto gate = std::make_shared<std::atomic<bool>>(false);
    auto callFailed = std::make_shared<std::atomic<bool>>(false);
    auto ran = std::make_shared<std::atomic<int>>(0);
    auto thread = std::make_shared<ScriptedThread>(*sync, true, [=](ScriptedThread& self) {
        while (!*gate) // a provider call that does not return for a long while
            Sleep(5);
        try
        {
            self.Synchronize([ran] { ++*ran; });
        }
        catch (const std::runtime_error&)
        {
            *callFailed = true;
        }
    });
    thread->OnTerminate = [ran](platform::TThread&) { ++*ran; };
    std::weak_ptr<ScriptedThread> watch = thread;
    thread->Start();
    thread.reset();
    sync.reset(); // the owner's window and its doorbell are gone
    *gate = true;
    EXPECT_TRUE(WaitUntil([&] { return watch.expired(); })) << "the thread hangs";
    EXPECT_TRUE(*callFailed);
    EXPECT_EQ(*ran, 0);
}

} // namespace
