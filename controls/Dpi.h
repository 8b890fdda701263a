#pragma once
// Every size in the code is a 96-DPI pixel count; these turn it into the pixels of a window shown
// at another DPI, rounding as MulDiv does (halves away from zero), so that the same number always
// lands on the same pixel.
namespace controls
{

constexpr unsigned kBaseDpi = 96;

// px pixels at DPI "from" as pixels at DPI "to". A DPI of 0 (unknown) leaves px as it is.
constexpr int Rescale(int px, unsigned from, unsigned to)
{
    if (from == 0 || to == 0 || from == to)
        return px;
    const long long product = static_cast<long long>(px) * to;
    const long long half = from / 2;
    return static_cast<int>(product >= 0 ? (product + half) / from : (product - half) / from);
}

// The pixel count at dpi of px96 pixels at 96 DPI.
constexpr int Scale(int px96, unsigned dpi)
{
    return Rescale(px96, kBaseDpi, dpi);
}

// The inverse: what px pixels at dpi are at 96 DPI.
constexpr int Unscale(int px, unsigned dpi)
{
    return Rescale(px, dpi, kBaseDpi);
}

} // namespace controls
