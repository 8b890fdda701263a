// Cost of one blocking hand-over from a worker thread to the owner thread, per mechanism:
//   send       cross-thread SendMessageW, the owner in a GetMessage loop
//   post+event PostMessageW and an event the owner sets, the owner in a GetMessage loop
//   sync/loop  platform::Win32SyncCall, the owner in a GetMessage loop
//   sync/serve platform::Win32SyncCall, the owner in ServeUntil
// Usage: ff_handover_bench [calls] [repetitions]; prints the median microseconds per call.
#include "platform/UniqueHandle.h"
#include "platform/Win32SyncCall.h"

#include <windows.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace
{

constexpr UINT kSendMessage = WM_APP + 1;
constexpr UINT kPostMessage = WM_APP + 2;
constexpr UINT kDoneMessage = WM_APP + 3;

HANDLE g_event;
volatile long g_counter;

LRESULT CALLBACK BenchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case kSendMessage:
        ++g_counter;
        return 0;
    case kPostMessage:
        ++g_counter;
        SetEvent(g_event);
        return 0;
    case kDoneMessage:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateBenchWindow()
{
    static bool registered = false;
    if (!registered)
    {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = BenchProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HandOverBench";
        RegisterClassExW(&wc);
        registered = true;
    }
    return CreateWindowExW(0, L"HandOverBench", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

void RunMessageLoop()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
    {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each measure runs `calls` hand-overs and answers microseconds per call.
double MeasureSend(int calls)
{
    platform::UniqueWindow window(CreateBenchWindow());
    HWND hwnd = window.Get();
    double seconds = 0;
    std::thread worker([&] {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < calls; ++i)
            SendMessageW(hwnd, kSendMessage, 0, 0);
        seconds = Seconds(start);
        PostMessageW(hwnd, kDoneMessage, 0, 0);
    });
    RunMessageLoop();
    worker.join();
    return seconds * 1e6 / calls;
}

double MeasurePostAndEvent(int calls)
{
    platform::UniqueWindow window(CreateBenchWindow());
    platform::UniqueKernelHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    g_event = event.Get();
    HWND hwnd = window.Get();
    double seconds = 0;
    std::thread worker([&] {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < calls; ++i)
        {
            PostMessageW(hwnd, kPostMessage, 0, 0);
            WaitForSingleObject(g_event, INFINITE);
        }
        seconds = Seconds(start);
        PostMessageW(hwnd, kDoneMessage, 0, 0);
    });
    RunMessageLoop();
    worker.join();
    return seconds * 1e6 / calls;
}

double MeasureSyncCall(int calls, bool serveUntil)
{
    platform::Win32SyncCall sync;
    std::atomic<bool> finished{false};
    DWORD owner = GetCurrentThreadId();
    double seconds = 0;
    std::thread worker([&] {
        std::function<void()> routine = [] { ++g_counter; };
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < calls; ++i)
            sync.Call(routine);
        seconds = Seconds(start);
        finished = true;
        PostThreadMessageW(owner, WM_QUIT, 0, 0);
    });
    if (serveUntil)
        sync.ServeUntil([&] { return finished.load(); });
    else
        RunMessageLoop();
    worker.join();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
    }
    return seconds * 1e6 / calls;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int calls = argc > 1 ? std::atoi(argv[1]) : 5000;
    int repetitions = argc > 2 ? std::atoi(argv[2]) : 5;
    struct Mechanism
    {
        const char* name;
        std::function<double()> measure;
    };
    const Mechanism mechanisms[] = {
        {"send", [&] { return MeasureSend(calls); }},
        {"post+event", [&] { return MeasurePostAndEvent(calls); }},
        {"sync/loop", [&] { return MeasureSyncCall(calls, false); }},
        {"sync/serve", [&] { return MeasureSyncCall(calls, true); }},
    };
    for (const Mechanism& mechanism : mechanisms)
    {
        std::vector<double> results;
        for (int i = 0; i < repetitions; ++i)
            results.push_back(mechanism.measure());
        std::printf("%s\t%.1f\n", mechanism.name, Median(results));
    }
    return 0;
}
