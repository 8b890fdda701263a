// ff_crash_fault KIND: links the exception report and raises one fault, for the report's tests.
// KIND: av-ui, av-wndproc, av-thread, divzero, stackoverflow, terminate; "lines" prints the source
// lines of the divide-by-zero's frames. The faulting functions are also exported, so that the
// tests can check the program's symbol table against the export table.
#include "crash/ExceptionReport.h"

#include <windows.h>
#include <cstdio>
#include <string>
#include <thread>

extern "C"
{
    __declspec(dllexport) __attribute__((noipa)) int FaultAccessViolation(volatile int* where);
    __declspec(dllexport) __attribute__((noipa)) int FaultDivide(volatile int divisor);
    __declspec(dllexport) __attribute__((noipa)) int FaultRecurse(int depth);
    __declspec(dllexport) __attribute__((noipa)) void FaultTerminate() noexcept;
    __declspec(dllexport) __attribute__((noipa)) int RunFault(const wchar_t* kind);
}

int FaultAccessViolation(volatile int* where)
{
    return *where + 1;
}

constexpr int kDivisionLine = __LINE__ + 4;
int FaultDivide(volatile int divisor)
{
    volatile int dividend = 7;
    return dividend / divisor;
}

int FaultRecurse(int depth)
{
    // 16 KiB a level: a 1 MiB stack overflows after some sixty calls.
    volatile char block[16 * 1024];
    block[0] = static_cast<char>(depth);
    return FaultRecurse(depth + 1) + block[0];
}

void FaultTerminate() noexcept
{
    // A C++ exception that leaves a noexcept function reaches std::terminate.
    throw std::string("unhandled");
}

namespace
{

LRESULT CALLBACK FaultingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP)
        return FaultAccessViolation(nullptr);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int InWindowProcedure()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = FaultingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FFFaultingWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    return static_cast<int>(SendMessageW(window, WM_APP, 0, 0));
}

} // namespace

int RunFault(const wchar_t* kind)
{
    const std::wstring k = kind;
    if (k == L"av-ui")
        return FaultAccessViolation(nullptr);
    if (k == L"av-wndproc")
        return InWindowProcedure();
    if (k == L"av-thread")
    {
        std::thread worker([] { FaultAccessViolation(nullptr); });
        worker.join();
        return 0;
    }
    constexpr int kDivideCallLine = __LINE__ + 2;
    if (k == L"divzero")
        return FaultDivide(0);
    if (k == L"lines")
        std::printf("FaultDivide %d\nRunFault %d\n", kDivisionLine, kDivideCallLine);
    if (k == L"stackoverflow")
        return FaultRecurse(0);
    if (k == L"terminate")
        FaultTerminate();
    return 2;
}

int wmain(int argc, wchar_t** argv)
{
    crash::InstallExceptionReport();
    if (argc < 2)
        return 2;
    if (std::wstring(argv[1]) == L"lines")
    {
        RunFault(L"lines");
        std::printf("wmain %d\n", __LINE__ + 3);
        return 0;
    }
    return RunFault(argv[1]) + 3;
}
