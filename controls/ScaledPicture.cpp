// The executable's pictures at a window's DPI: enlarged once per DPI from the 96-DPI resources.
#include "controls/Dpi.h"
#include "controls/PixelScale.h"
#include "controls/Theme.h"
#include "platform/UniqueHandle.h"

#include <map>
#include <string>
#include <utility>

namespace controls
{

namespace
{

constexpr uint32_t kMagenta = 0xFF00FF;

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The bitmap's pixels as 0x00RRGGBB (empty when it cannot be read).
Pixels ReadPixels(HBITMAP bitmap)
{
    Pixels pixels;
    BITMAP header{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(header), &header) || header.bmWidth <= 0 ||
        header.bmHeight <= 0)
        return pixels;
    BITMAPINFO info = TopDown32(header.bmWidth, header.bmHeight);
    std::vector<uint32_t> argb(static_cast<size_t>(header.bmWidth) * static_cast<size_t>(header.bmHeight));
    const platform::WindowDC screen(nullptr);
    if (GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(header.bmHeight), argb.data(), &info,
                  DIB_RGB_COLORS) != header.bmHeight)
        return pixels;
    for (uint32_t& pixel : argb)
        pixel &= 0xFFFFFF;
    pixels.width = header.bmWidth;
    pixels.height = header.bmHeight;
    pixels.argb = std::move(argb);
    return pixels;
}

platform::UniqueBitmap MakeBitmap(const Pixels& pixels)
{
    if (pixels.argb.empty())
        return {};
    BITMAPINFO info = TopDown32(pixels.width, pixels.height);
    void* bits = nullptr;
    platform::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits)
    {
        auto* out = static_cast<uint32_t*>(bits);
        for (size_t i = 0; i < pixels.argb.size(); ++i)
            out[i] = pixels.argb[i] & 0xFFFFFF;
        GdiFlush();
    }
    return bitmap;
}

platform::UniqueBitmap Enlarged(HBITMAP bitmap, unsigned dpi, uint32_t key)
{
    const Pixels source = ReadPixels(bitmap);
    return MakeBitmap(ScaleKeyed(source, Scale(source.width, dpi), Scale(source.height, dpi), key));
}

} // namespace

HBITMAP Picture(const wchar_t* name, unsigned dpi)
{
    HBITMAP original = Picture(name);
    if (dpi <= kBaseDpi || !original)
        return original;
    static std::map<std::pair<std::wstring, unsigned>, platform::UniqueBitmap> cache;
    platform::UniqueBitmap& scaled = cache[{name, dpi}];
    if (!scaled)
        scaled = Enlarged(original, dpi, kNoColourKey);
    return scaled ? scaled.Get() : original;
}

HIMAGELIST LoadImageStrip(const wchar_t* name, int size96, unsigned dpi)
{
    if (dpi <= kBaseDpi)
        return ImageList_LoadImageW(GetModuleHandleW(nullptr), name, size96, 0, RGB(255, 0, 255),
                                    IMAGE_BITMAP, LR_CREATEDIBSECTION);
    const platform::UniqueBitmap strip(Enlarged(Picture(name), dpi, kMagenta));
    const int size = Scale(size96, dpi);
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 0, 4);
    if (images && strip)
        ImageList_AddMasked(images, strip.Get(), RGB(255, 0, 255));
    return images;
}

} // namespace controls
