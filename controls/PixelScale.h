#pragma once
// Enlarging small pictures for high DPI without jagged steps: each new pixel is the average of the
// source area it covers (a 2x enlargement repeats every pixel, 1.5x blends neighbours at the seams).
#include <cstdint>
#include <vector>

namespace controls
{

// A picture as 0xAARRGGBB values, row by row from the top.
struct Pixels
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
};

// A key no pixel has: every pixel counts.
constexpr uint32_t kNoColourKey = 0xFF000000u;

// The picture at width x height. Pixels of the colour key (0xRRGGBB, alpha ignored) are transparent:
// they lend no colour to their neighbours, and a new pixel mostly covering them becomes the key.
// Every other result pixel is opaque.
Pixels ScaleKeyed(const Pixels& source, int width, int height, uint32_t key);

} // namespace controls
