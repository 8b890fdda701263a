#include "platform/Win32SyncCall.h"

#include "platform/UniqueHandle.h"

#include <windows.h>
#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <vector>

namespace
{

struct CustomError
{
    int code;
};

void RunMessageLoop()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
    {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

TEST(Win32SyncCall, RunsTheRoutineOnTheOwnerThreadWhileTheWorkerWaits)
{
    platform::Win32SyncCall sync;
    const DWORD owner = GetCurrentThreadId();
    std::atomic<bool> finished{false};
    DWORD ranOn = 0;
    int value = 0;
    std::thread worker([&] {
        sync.Call([&] {
            Sleep(20); // the worker must still be waiting when this returns
            ranOn = GetCurrentThreadId();
            value = 42;
        });
        EXPECT_EQ(value, 42);
        finished = true;
    });
    sync.ServeUntil([&] { return finished.load(); });
    worker.join();
    EXPECT_EQ(ranOn, owner);

    // On the owner thread itself the routine simply runs.
    bool ran = false;
    sync.Call([&] { ran = GetCurrentThreadId() == owner; });
    EXPECT_TRUE(ran);
}

TEST(Win32SyncCall, ExceptionsTravelBackToTheWorker)
{
    platform::Win32SyncCall sync;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        try
        {
            sync.Call([] { throw std::runtime_error("handler failed"); });
            ADD_FAILURE() << "no exception came back";
        }
        catch (const std::runtime_error& e)
        {
            EXPECT_STREQ(e.what(), "handler failed");
        }
        try
        {
            sync.Call([] { throw CustomError{7}; });
            ADD_FAILURE() << "no exception came back";
        }
        catch (const CustomError& e)
        {
            EXPECT_EQ(e.code, 7);
        }
        int after = 0;
        sync.Call([&] { after = 1; }); // the hand-over still works after a failure
        EXPECT_EQ(after, 1);
        finished = true;
    });
    sync.ServeUntil([&] { return finished.load(); });
    worker.join();
}

TEST(Win32SyncCall, ServesManyCallsInOrder)
{
    platform::Win32SyncCall sync;
    std::atomic<bool> finished{false};
    std::vector<int> seen;
    std::thread worker([&] {
        for (int i = 0; i < 5000; ++i)
            sync.Call([&seen, i] { seen.push_back(i); });
        finished = true;
    });
    sync.ServeUntil([&] { return finished.load(); });
    worker.join();
    ASSERT_EQ(seen.size(), 5000u);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(seen[i], i);
}

TEST(Win32SyncCall, ServesSeveralWorkersAtOnce)
{
    platform::Win32SyncCall sync;
    const DWORD owner = GetCurrentThreadId();
    std::atomic<int> running{4};
    int total = 0; // touched only on the owner thread
    bool allOnOwner = true;
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w)
        workers.emplace_back([&] {
            for (int i = 0; i < 500; ++i)
                sync.Call([&] {
                    ++total;
                    allOnOwner = allOnOwner && GetCurrentThreadId() == owner;
                });
            --running;
        });
    sync.ServeUntil([&] { return running == 0; });
    for (auto& t : workers)
        t.join();
    EXPECT_EQ(total, 2000);
    EXPECT_TRUE(allOnOwner);
}

TEST(Win32SyncCall, PlainMessageLoopServesCalls)
{
    platform::Win32SyncCall sync;
    const DWORD owner = GetCurrentThreadId();
    int count = 0;
    std::thread worker([&] {
        for (int i = 0; i < 1000; ++i)
            sync.Call([&] { ++count; });
        PostThreadMessageW(owner, WM_QUIT, 0, 0);
    });
    RunMessageLoop();
    worker.join();
    EXPECT_EQ(count, 1000);
}

TEST(Win32SyncCall, ACallQueuedAsServeUntilEndsReachesTheMessageLoop)
{
    // While ServeUntil runs, workers queue without ringing; the call that comes just as it ends
    // must still be rung for, or the worker would hang until its rescue ring.
    platform::Win32SyncCall sync;
    const DWORD owner = GetCurrentThreadId();
    std::vector<int> served;
    for (int round = 0; round < 100; ++round)
    {
        std::atomic<bool> aboutToCall{false};
        std::thread worker([&] {
            aboutToCall = true;
            sync.Call([&served, round] { served.push_back(round); });
            PostThreadMessageW(owner, WM_QUIT, 0, 0);
        });
        sync.ServeUntil([&] { return aboutToCall.load(); });
        RunMessageLoop();
        worker.join();
    }
    ASSERT_EQ(served.size(), 100u);
    for (int round = 0; round < 100; ++round)
        ASSERT_EQ(served[round], round);
}

INT_PTR CALLBACK RememberDialog(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        *reinterpret_cast<std::atomic<HWND>*>(lParam) = hwnd;
    return message == WM_INITDIALOG;
}

TEST(Win32SyncCall, ModalDialogLoopServesCalls)
{
    // An empty dialog template in memory: the call arrives while its modal loop runs.
    alignas(4) WORD dialogTemplate[16] = {};
    auto* header = reinterpret_cast<DLGTEMPLATE*>(dialogTemplate);
    header->style = WS_POPUP | DS_MODALFRAME;
    header->cx = 50;
    header->cy = 20;

    platform::Win32SyncCall sync;
    std::atomic<HWND> dialog{nullptr};
    int count = 0;
    std::thread worker([&] {
        const DWORD start = GetTickCount();
        while (!dialog && GetTickCount() - start < 10000)
            Sleep(1);
        if (!dialog)
            return; // the dialog never came up; the count below tells
        for (int i = 0; i < 200; ++i)
            sync.Call([&] { ++count; });
        sync.Call([&] { EndDialog(dialog, 5); });
    });
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), header, nullptr, RememberDialog,
                                             reinterpret_cast<LPARAM>(&dialog));
    worker.join();
    EXPECT_EQ(result, 5);
    EXPECT_EQ(count, 200);
}

TEST(Win32SyncCall, ADiscardedNoticeDoesNotStrandTheWorker)
{
    platform::Win32SyncCall sync;
    const DWORD owner = GetCurrentThreadId();
    std::atomic<bool> called{false};
    std::thread worker([&] {
        sync.Call([&] { called = true; });
        PostThreadMessageW(owner, WM_QUIT, 0, 0);
    });
    // A loop that drops every message without dispatching it, as a careless filter would.
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < 300)
    {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
        }
        Sleep(5);
    }
    EXPECT_FALSE(called);
    RunMessageLoop();
    worker.join();
    EXPECT_TRUE(called);
}

LRESULT CALLBACK FlagWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP + 7)
    {
        *reinterpret_cast<bool*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)) = true;
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(Win32SyncCall, ServeUntilKeepsTheThreadsWindowsAliveAndKeepsQuit)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FlagWindow;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SyncCallTestFlag";
    RegisterClassExW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_TRUE(window);
    bool flagged = false;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&flagged));

    platform::Win32SyncCall sync;
    PostQuitMessage(3);
    // Nothing but an ordinary posted message ends this wait.
    std::thread poster([&] {
        Sleep(50);
        PostMessageW(window, WM_APP + 7, 0, 0);
    });
    sync.ServeUntil([&] { return flagged; });
    poster.join();
    EXPECT_TRUE(flagged);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    DestroyWindow(window);
}

TEST(Win32SyncCall, AWorkerOutlivingItsOwnerGetsAnError)
{
    auto sync = std::make_unique<platform::Win32SyncCall>();
    std::atomic<DWORD> workerId{0};
    bool failed = false;
    bool ran = false;
    std::thread worker([&] {
        workerId = GetCurrentThreadId();
        try
        {
            sync->Call([&] { ran = true; });
        }
        catch (const std::runtime_error&)
        {
            failed = true;
        }
    });
    // Wait for the worker's notice to reach this thread.
    MSG msg;
    const DWORD start = GetTickCount();
    while (!PeekMessageW(&msg, nullptr, WM_APP, 0xBFFF, PM_NOREMOVE) && GetTickCount() - start < 10000)
        Sleep(1);
    platform::UniqueKernelHandle thread(OpenThread(THREAD_SUSPEND_RESUME | SYNCHRONIZE, FALSE, workerId));
    ASSERT_TRUE(thread.Valid());
    // Hold the worker still while the owner ends and its memory is handed out again, filled with
    // ones (an SRW lock that reads as held); a worker that then touches what the owner freed hangs.
    // A helper lets it go, so the owner never waits on a worker that was stopped inside the lock.
    ASSERT_NE(SuspendThread(thread.Get()), static_cast<DWORD>(-1));
    std::thread releaser([&] {
        Sleep(300);
        ResumeThread(thread.Get());
    });
    sync.reset();
    std::vector<std::vector<unsigned char>> reused;
    for (size_t size = 8; size <= 512; size += 4)
        for (int copy = 0; copy < 4; ++copy)
            reused.emplace_back(size, 0xFF);
    releaser.join();
    const bool ended = WaitForSingleObject(thread.Get(), 10000) == WAIT_OBJECT_0;
    EXPECT_TRUE(ended) << "the worker touched the ended owner's state";
    if (!ended)
    {
        worker.detach(); // it cannot be joined; the process ends it
        return;
    }
    worker.join();
    EXPECT_TRUE(failed);
    EXPECT_FALSE(ran);
}

} // namespace
