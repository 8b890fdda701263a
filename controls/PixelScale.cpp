#include "controls/PixelScale.h"

#include <algorithm>
#include <cmath>

namespace controls
{

namespace
{

struct Tap
{
    int index;
    double weight;
};

// For each new pixel along one axis: the source pixels it covers and how much of it each covers.
std::vector<std::vector<Tap>> AxisTaps(int from, int to)
{
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(to));
    const double step = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i)
    {
        const double start = i * step;
        const double end = (i + 1) * step;
        const int last = std::min(from - 1, static_cast<int>(std::ceil(end)) - 1);
        for (int s = static_cast<int>(std::floor(start)); s <= last; ++s)
        {
            const double overlap = std::min(end, s + 1.0) - std::max(start, static_cast<double>(s));
            if (overlap > 1e-9)
                taps[static_cast<size_t>(i)].push_back({s, overlap / step});
        }
    }
    return taps;
}

uint32_t Channel(uint32_t colour, int shift)
{
    return (colour >> shift) & 0xFF;
}

} // namespace

Pixels ScaleKeyed(const Pixels& source, int width, int height, uint32_t key)
{
    Pixels result;
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0 ||
        source.argb.size() < static_cast<size_t>(source.width) * static_cast<size_t>(source.height))
        return result;
    result.width = width;
    result.height = height;
    result.argb.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    const auto columns = AxisTaps(source.width, width);
    const auto rows = AxisTaps(source.height, height);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            double red = 0, green = 0, blue = 0, cover = 0;
            for (const Tap& row : rows[static_cast<size_t>(y)])
            {
                for (const Tap& column : columns[static_cast<size_t>(x)])
                {
                    const uint32_t pixel =
                        source.argb[static_cast<size_t>(row.index) * source.width + column.index];
                    if ((pixel & 0xFFFFFF) == key)
                        continue;
                    const double weight = row.weight * column.weight;
                    red += weight * Channel(pixel, 16);
                    green += weight * Channel(pixel, 8);
                    blue += weight * Channel(pixel, 0);
                    cover += weight;
                }
            }
            uint32_t& out = result.argb[static_cast<size_t>(y) * width + x];
            if (cover < 0.5)
            {
                out = key;
                continue;
            }
            auto level = [cover](double sum) {
                return static_cast<uint32_t>(std::lround(sum / cover)) & 0xFF;
            };
            out = 0xFF000000u | (level(red) << 16) | (level(green) << 8) | level(blue);
        }
    }
    return result;
}

} // namespace controls
