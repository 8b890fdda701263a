#pragma once
// Move-only owners for Win32 handles: one template with a close policy and an "empty" value.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <utility>

namespace platform
{

template <typename T, typename Traits> class UniqueHandle
{
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(T value) noexcept : m_value(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_value(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    T Get() const noexcept { return m_value; }
    bool Valid() const noexcept { return m_value != Traits::Empty(); }
    explicit operator bool() const noexcept { return Valid(); }

    T Release() noexcept { return std::exchange(m_value, Traits::Empty()); }
    void Reset(T value = Traits::Empty()) noexcept
    {
        T old = std::exchange(m_value, value);
        if (old != Traits::Empty())
            Traits::Close(old);
    }
    // For APIs that return the handle through an out parameter.
    T* Put() noexcept
    {
        Reset();
        return &m_value;
    }

private:
    T m_value = Traits::Empty();
};

struct FileHandleTraits
{
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct KernelHandleTraits
{
    static HANDLE Empty() { return nullptr; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FindHandleTraits
{
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
struct NetEnumHandleTraits
{
    static HANDLE Empty() { return nullptr; }
    static void Close(HANDLE h); // WNetCloseEnum, defined where mpr is linked
};
struct RegKeyTraits
{
    static HKEY Empty() { return nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
struct ModuleTraits
{
    static HMODULE Empty() { return nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct MenuTraits
{
    static HMENU Empty() { return nullptr; }
    static void Close(HMENU h) { ::DestroyMenu(h); }
};
struct AcceleratorTraits
{
    static HACCEL Empty() { return nullptr; }
    static void Close(HACCEL h) { ::DestroyAcceleratorTable(h); }
};
struct IconTraits
{
    static HICON Empty() { return nullptr; }
    static void Close(HICON h) { ::DestroyIcon(h); }
};
struct WindowTraits
{
    static HWND Empty() { return nullptr; }
    static void Close(HWND h) { ::DestroyWindow(h); }
};
struct ImageListTraits
{
    static HIMAGELIST Empty() { return nullptr; }
    static void Close(HIMAGELIST h) { ::ImageList_Destroy(h); }
};
template <typename T> struct GdiObjectTraits
{
    static T Empty() { return nullptr; }
    static void Close(T h) { ::DeleteObject(h); }
};
struct MemoryDcTraits
{
    static HDC Empty() { return nullptr; }
    static void Close(HDC h) { ::DeleteDC(h); }
};
struct GlobalMemoryTraits
{
    static HGLOBAL Empty() { return nullptr; }
    static void Close(HGLOBAL h) { ::GlobalFree(h); }
};
struct PidlTraits
{
    static LPITEMIDLIST Empty() { return nullptr; }
    static void Close(LPITEMIDLIST p) { ::CoTaskMemFree(p); }
};

using UniqueFile = UniqueHandle<HANDLE, FileHandleTraits>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueFind = UniqueHandle<HANDLE, FindHandleTraits>;
using UniqueNetEnum = UniqueHandle<HANDLE, NetEnumHandleTraits>;
using UniqueRegKey = UniqueHandle<HKEY, RegKeyTraits>;
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueAccelerators = UniqueHandle<HACCEL, AcceleratorTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueWindow = UniqueHandle<HWND, WindowTraits>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListTraits>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectTraits<HFONT>>;
using UniquePen = UniqueHandle<HPEN, GdiObjectTraits<HPEN>>;
using UniqueRegion = UniqueHandle<HRGN, GdiObjectTraits<HRGN>>;
using UniquePidl = UniqueHandle<LPITEMIDLIST, PidlTraits>;
using UniqueGlobal = UniqueHandle<HGLOBAL, GlobalMemoryTraits>; // until the clipboard takes it over
using UniqueMemoryDC = UniqueHandle<HDC, MemoryDcTraits>;       // from CreateCompatibleDC

// An object selected into a device context for the guard's life; the previous one comes back at
// the end. Declare it after the owner of the object, so the object is deselected before it is freed.
class SelectedObject
{
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~SelectedObject()
    {
        if (m_previous && m_previous != HGDI_ERROR)
            ::SelectObject(m_dc, m_previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// The device context of a WM_PAINT: BeginPaint here, EndPaint at the end. Guards declared after it
// (selections, memory DCs) are released before EndPaint.
class PaintDC
{
public:
    explicit PaintDC(HWND hwnd) noexcept : m_hwnd(hwnd), m_dc(::BeginPaint(hwnd, &m_paint)) {}
    ~PaintDC() { ::EndPaint(m_hwnd, &m_paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC Get() const noexcept { return m_dc; }
    const RECT& Area() const noexcept { return m_paint.rcPaint; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// A window's (or, for a null window, the screen's) device context from GetDC, released at the end.
class WindowDC
{
public:
    explicit WindowDC(HWND hwnd) noexcept : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    ~WindowDC()
    {
        if (m_dc)
            ::ReleaseDC(m_hwnd, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC Get() const noexcept { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// A COM interface pointer that releases what it holds.
template <typename T> class ComPtr
{
public:
    ComPtr() noexcept = default;
    explicit ComPtr(T* p) noexcept : m_p(p) {} // takes over one reference
    ComPtr(const ComPtr& other) noexcept : m_p(other.m_p)
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }
    void Reset() noexcept
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }
    T** Put() noexcept
    {
        Reset();
        return &m_p;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    // QueryInterface into another smart pointer; empty when the object does not support it.
    template <typename U> ComPtr<U> As(REFIID iid) const
    {
        ComPtr<U> result;
        if (m_p)
            m_p->QueryInterface(iid, result.PutVoid());
        return result;
    }

private:
    T* m_p = nullptr;
};

} // namespace platform
