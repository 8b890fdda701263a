#include "controls/WindowDpi.h"

#include "controls/Dpi.h"
#include "platform/UniqueHandle.h"

namespace controls
{

namespace
{

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using EnableNonClientDpiScalingFn = BOOL(WINAPI*)(HWND);

// user32's per-monitor functions, each null where the system lacks it.
struct DpiFunctions
{
    GetDpiForWindowFn getDpiForWindow = nullptr;
    GetDpiForSystemFn getDpiForSystem = nullptr;
    AdjustWindowRectExForDpiFn adjustWindowRectExForDpi = nullptr;
    GetSystemMetricsForDpiFn getSystemMetricsForDpi = nullptr;
    EnableNonClientDpiScalingFn enableNonClientDpiScaling = nullptr;

    DpiFunctions()
    {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (!user32)
            return;
        Load(user32, "GetDpiForWindow", getDpiForWindow);
        Load(user32, "GetDpiForSystem", getDpiForSystem);
        Load(user32, "AdjustWindowRectExForDpi", adjustWindowRectExForDpi);
        Load(user32, "GetSystemMetricsForDpi", getSystemMetricsForDpi);
        Load(user32, "EnableNonClientDpiScaling", enableNonClientDpiScaling);
    }

    template <typename Fn> static void Load(HMODULE module, const char* name, Fn& slot)
    {
        slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
};

const DpiFunctions& Functions()
{
    static const DpiFunctions functions;
    return functions;
}

// The kept 96-DPI rectangle of a child: its place and its size, each two 16-bit values shifted by
// 0x8000, so that no kept value reads as an absent property (0).
ATOM PlaceAtom()
{
    static const ATOM atom = GlobalAddAtomW(L"FindFile.Place96");
    return atom;
}

ATOM SizeAtom()
{
    static const ATOM atom = GlobalAddAtomW(L"FindFile.Size96");
    return atom;
}

ATOM DpiAtom()
{
    static const ATOM atom = GlobalAddAtomW(L"FindFile.Dpi");
    return atom;
}

HANDLE Pack(int a, int b)
{
    const DWORD low = static_cast<WORD>(a + 0x8000);
    const DWORD high = static_cast<WORD>(b + 0x8000);
    return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(low | (high << 16)));
}

bool Unpack(HANDLE packed, int& a, int& b)
{
    if (!packed)
        return false;
    const auto value = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(packed));
    a = static_cast<int>(value & 0xFFFF) - 0x8000;
    b = static_cast<int>(value >> 16) - 0x8000;
    return true;
}

BOOL CALLBACK PlaceAtDpi(HWND child, LPARAM)
{
    PlaceAgainAtDpi(child);
    return TRUE;
}

} // namespace

unsigned SystemDpi()
{
    if (Functions().getDpiForSystem)
        if (const UINT dpi = Functions().getDpiForSystem())
            return dpi;
    const platform::WindowDC screen(nullptr);
    const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<unsigned>(dpi) : kBaseDpi;
}

unsigned WindowDpi(HWND window)
{
    if (HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr)
        if (const auto kept = reinterpret_cast<ULONG_PTR>(GetPropW(root, MAKEINTATOM(DpiAtom()))))
            return static_cast<unsigned>(kept);
    if (window && Functions().getDpiForWindow)
        if (const UINT dpi = Functions().getDpiForWindow(window))
            return dpi;
    return SystemDpi();
}

int ScaleFor(HWND window, int px96)
{
    return Scale(px96, WindowDpi(window));
}

RECT OuterRectForDpi(const RECT& client, DWORD style, DWORD exStyle, unsigned dpi)
{
    RECT outer = client;
    if (!Functions().adjustWindowRectExForDpi ||
        !Functions().adjustWindowRectExForDpi(&outer, style, FALSE, exStyle, dpi))
    {
        outer = client;
        AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    }
    return outer;
}

int SystemMetricForDpi(int index, unsigned dpi)
{
    if (Functions().getSystemMetricsForDpi)
        return Functions().getSystemMetricsForDpi(index, dpi);
    return GetSystemMetrics(index);
}

void EnableNonClientScaling(HWND window)
{
    if (Functions().enableNonClientDpiScaling)
        Functions().enableNonClientDpiScaling(window);
}

void KeepWindowDpi(HWND topLevel, unsigned dpi)
{
    if (topLevel && dpi)
        SetPropW(topLevel, MAKEINTATOM(DpiAtom()), reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(dpi)));
}

void RememberPlace96(HWND child, int x96, int y96, int width96, int height96)
{
    if (!child)
        return;
    SetPropW(child, MAKEINTATOM(PlaceAtom()), Pack(x96, y96));
    SetPropW(child, MAKEINTATOM(SizeAtom()), Pack(width96, height96));
}

void PlaceChild(HWND child, int x96, int y96, int width96, int height96, UINT flags)
{
    if (!child)
        return;
    int keptWidth = width96, keptHeight = height96;
    if (flags & SWP_NOSIZE)
        Unpack(GetPropW(child, MAKEINTATOM(SizeAtom())), keptWidth, keptHeight);
    const unsigned dpi = WindowDpi(GetParent(child));
    SetWindowPos(child, nullptr, Scale(x96, dpi), Scale(y96, dpi), Scale(width96, dpi), Scale(height96, dpi),
                 flags);
    if (!(flags & SWP_NOSIZE) || GetPropW(child, MAKEINTATOM(SizeAtom())))
        RememberPlace96(child, x96, y96, keptWidth, keptHeight);
}

void PlaceAgainAtDpi(HWND child)
{
    int x = 0, y = 0, width = 0, height = 0;
    if (!Unpack(GetPropW(child, MAKEINTATOM(PlaceAtom())), x, y) ||
        !Unpack(GetPropW(child, MAKEINTATOM(SizeAtom())), width, height))
        return;
    const unsigned dpi = WindowDpi(GetParent(child));
    SetWindowPos(child, nullptr, Scale(x, dpi), Scale(y, dpi), Scale(width, dpi), Scale(height, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveToDpi(HWND topLevel, unsigned dpi)
{
    KeepWindowDpi(topLevel, dpi);
    EnumChildWindows(topLevel, &PlaceAtDpi, 0);
}

} // namespace controls
