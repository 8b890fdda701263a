#include "controls/Theme.h"

#include "controls/Dpi.h"
#include "controls/WindowDpi.h"
#include "platform/UniqueHandle.h"

#include <algorithm>
#include <map>
#include <string>

namespace controls
{

namespace
{

platform::UniqueFont MakeFont(int weight, unsigned dpi)
{
    // Tahoma carries Latin Extended (Czech) and Cyrillic; "MS Shell Dlg 2" maps to it.
    LOGFONTW lf{};
    lf.lfHeight = -Scale(11, dpi);
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    wcscpy(lf.lfFaceName, L"Tahoma");
    return platform::UniqueFont(CreateFontIndirectW(&lf));
}

HFONT FontAt(int weight, unsigned dpi)
{
    static std::map<std::pair<int, unsigned>, platform::UniqueFont> cache;
    platform::UniqueFont& font = cache[{weight, dpi}];
    if (!font)
        font = MakeFont(weight, dpi);
    return font.Get();
}

} // namespace

HFONT UiFont(unsigned dpi)
{
    return FontAt(FW_NORMAL, dpi);
}

HFONT UiBoldFont(unsigned dpi)
{
    return FontAt(FW_BOLD, dpi);
}

HBRUSH BarBrush()
{
    static platform::UniqueBrush brush(CreateSolidBrush(kBarColour));
    return brush.Get();
}

HBRUSH PanelBrush()
{
    static platform::UniqueBrush brush(CreateSolidBrush(kPanelColour));
    return brush.Get();
}

HBRUSH FieldBrush()
{
    static platform::UniqueBrush brush(CreateSolidBrush(kFieldColour));
    return brush.Get();
}

HBITMAP Picture(const wchar_t* name)
{
    static std::map<std::wstring, platform::UniqueBitmap> cache;
    auto it = cache.find(name);
    if (it == cache.end())
    {
        HANDLE image = LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        it = cache.emplace(name, platform::UniqueBitmap(static_cast<HBITMAP>(image))).first;
    }
    return it->second.Get();
}

void PaintTiled(HDC dc, const RECT& rect, HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
    {
        FillRect(dc, &rect, BarBrush());
        return;
    }
    const platform::UniqueMemoryDC source(CreateCompatibleDC(dc));
    const platform::SelectedObject bitmapIn(source.Get(), bitmap);
    for (int y = rect.top; y < rect.bottom; y += info.bmHeight)
    {
        for (int x = rect.left; x < rect.right; x += info.bmWidth)
        {
            const int w = std::min<int>(info.bmWidth, rect.right - x);
            const int h = std::min<int>(info.bmHeight, rect.bottom - y);
            BitBlt(dc, x, y, w, h, source.Get(), 0, 0, SRCCOPY);
        }
    }
}

void PaintStretched(HDC dc, const RECT& rect, HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
    {
        FillRect(dc, &rect, BarBrush());
        return;
    }
    const platform::UniqueMemoryDC source(CreateCompatibleDC(dc));
    const platform::SelectedObject bitmapIn(source.Get(), bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source.Get(), 0, 0,
               info.bmWidth, info.bmHeight, SRCCOPY);
}

namespace
{

BOOL CALLBACK SetFontOf(HWND child, LPARAM font)
{
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

} // namespace

void ApplyFont(HWND window)
{
    HFONT font = UiFont(WindowDpi(window));
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EnumChildWindows(window, &SetFontOf, reinterpret_cast<LPARAM>(font));
}

} // namespace controls
