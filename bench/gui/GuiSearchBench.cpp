// One search of the real main window, from the click on the find button to the completion status,
// with the process's peak memory: ff_gui_bench FOLDER [--view large|details] [--hold SECONDS] [--sort yes]
// Prints "seconds rows peak-working-set-KiB peak-private-KiB found-handler-s folder-handler-s stop-ms":
// the last is how long a second search, stopped by a click after a quarter of the first one's time,
// took from that click to the completion status. --hold keeps the window on screen afterwards (for
// a picture of it). --sort clicks each column's header after the first search, one after the other,
// and prints first "sort S0 S1 ...": the seconds from each click until the list has repainted (the
// peak memory then includes the sorts).
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
// clang-format on
#include "controls/Window.h"
#include "lang/Language.h"
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32LocalTime.h"
#include "platform/Win32SyncCall.h"
#include "platform/Win32ThreadControl.h"
#include "ui/main/FindfileFrm.h"
#include "ui/shell/ItemProp.h"
#include "ui/shell/OleSession.h"

#include <cstdio>
#include <string>

namespace
{

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

// Serves the window until the find button shows its caption again and the finder is idle.
void PumpUntilDone(ui::TFindfileFrm& frame, const std::wstring& done)
{
    HWND button = frame.Control(ui::kIdFindfilesbtn);
    for (;;)
    {
        Pump();
        wchar_t caption[256] = {};
        GetWindowTextW(button, caption, 256);
        if (!frame.FindFile1().Busy() && done == caption)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// Serves the window for ms, one message at a time: while a search runs its calls keep coming, and
// a loop that empties the queue first would return only at the search's end.
void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms)
    {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// The list's own column click (LVN_COLUMNCLICK to its parent, as the header sends it), then the
// repaint; the seconds of both.
double ClickColumn(HWND list, int column)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(GetParent(list), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    UpdateWindow(list);
    Pump();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

void PrintSortSeconds(HWND list, int columns)
{
    std::string line = "sort";
    for (int column = 0; column < columns; ++column)
    {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, " %.3f", ClickColumn(list, column));
        line += seconds;
    }
    std::printf("%s\n", line.c_str());
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr,
                     "usage: ff_gui_bench FOLDER [--view large|details] [--hold SECONDS] [--sort yes]\n");
        return 2;
    }
    const std::string folder = platform::Narrow(argv[1]);
    bool large = false;
    DWORD holdMs = 0;
    bool sort = false;
    for (int i = 2; i + 1 < argc; i += 2)
    {
        const std::wstring option = argv[i];
        if (option == L"--view")
            large = std::wstring(argv[i + 1]) == L"large";
        else if (option == L"--hold")
            holdMs = static_cast<DWORD>(_wtoi(argv[i + 1])) * 1000;
        else if (option == L"--sort")
            sort = std::wstring(argv[i + 1]) == L"yes";
    }

    itemprop::OleSession ole;
    platform::Win32FileSystem fileSystem;
    platform::Win32LocalTime localTime;
    platform::Win32SyncCall syncCall;
    platform::Win32ThreadControl threads;
    const engine::FinderServices services{fileSystem, localTime, syncCall, threads};
    ui::TFindfileFrm frame(services, ui::FrameOptions{});
    if (!frame.Create())
        return 1;
    PumpFor(500);
    frame.LookIn().SetText(folder);
    controls::SetWindowTextUtf8(frame.Control(ui::kIdLMDEdit1), "*.*");
    if (large)
        SendMessageW(frame.Handle(), WM_COMMAND, MAKEWPARAM(ui::kIdVelkeikony1, 0), 0);

    // Time spent inside the window's handlers, to tell it from the hand-over and the message loop.
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    LONGLONG inFound = 0, inFolder = 0;
    auto& finder = frame.FindFile1();
    auto found = finder.OnFound;
    finder.OnFound = [&, found](engine::TFindFile& sender, const std::string& folder,
                                const engine::TSearchRec& record) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        found(sender, folder, record);
        QueryPerformanceCounter(&b);
        inFound += b.QuadPart - a.QuadPart;
    };
    auto newFolder = finder.OnNewFolder;
    finder.OnNewFolder = [&, newFolder](engine::TFindFile& sender, const std::string& folder, bool& ignore) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        newFolder(sender, folder, ignore);
        QueryPerformanceCounter(&b);
        inFolder += b.QuadPart - a.QuadPart;
    };

    const std::wstring done = platform::Widen(lang::GetLangText(lang::text::kFindStart));
    HWND button = frame.Control(ui::kIdFindfilesbtn);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    SendMessageW(button, BM_CLICK, 0, 0);
    PumpUntilDone(frame, done);
    QueryPerformanceCounter(&end);
    if (sort)
        PrintSortSeconds(frame.Results().Handle(), frame.Results().ColumnCount());

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    const double seconds = Seconds(start, end);
    const int rows = frame.Results().VisibleCount();
    const double foundSeconds = static_cast<double>(inFound) / frequency.QuadPart;
    const double folderSeconds = static_cast<double>(inFolder) / frequency.QuadPart;

    // The same search again, stopped by the button after a quarter of the first one's time.
    SendMessageW(button, BM_CLICK, 0, 0);
    PumpFor(static_cast<DWORD>(seconds * 250));
    LARGE_INTEGER stopClick, stopped;
    QueryPerformanceCounter(&stopClick);
    SendMessageW(button, BM_CLICK, 0, 0);
    PumpUntilDone(frame, done);
    QueryPerformanceCounter(&stopped);

    std::printf("%.3f %d %lu %lu %.3f %.3f %.0f\n", seconds, rows,
                static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024),
                static_cast<unsigned long>(memory.PeakPagefileUsage / 1024), foundSeconds, folderSeconds,
                Seconds(stopClick, stopped) * 1000);
    std::fflush(stdout);
    if (holdMs)
        PumpFor(holdMs);
    return 0;
}
