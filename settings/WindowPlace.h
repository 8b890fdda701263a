#pragma once
// Where the main window was when it closed, and how its results list looked, as kept in the
// settings file between runs: read back with every value checked, so that a damaged file, a monitor
// that is gone or a change of DPI gives a sound window rather than a lost or tiny one.
#include <optional>
#include <string>
#include <vector>

namespace settings
{

struct PlaceRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PlaceRect& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// Pixel values are those of the DPI they were saved at.
struct WindowPlace
{
    std::optional<PlaceRect> normal; // the outer rectangle of the restored (not maximized) window
    bool maximized = false;
    unsigned dpi = 96;
    std::vector<int> columns; // the results list's first column widths; empty: the defaults
    std::optional<int> view;  // 0 small icons, 1 large icons, 2 list, 3 details
};

// The values as the settings file holds them, one text per key.
struct WindowPlaceTexts
{
    std::string place;     // "left,top,width,height"
    std::string maximized; // "1" or "0"
    std::string dpi;
    std::string columns; // "w1,w2,..."
    std::string view;
};

constexpr int kStoredColumns = 5;
constexpr int kViewCount = 4;

// Reads the texts; a value that is damaged or out of range is left unset (its default applies). A
// place without a sound DPI is unset too, since its pixels cannot be converted.
WindowPlace ParseWindowPlace(const WindowPlaceTexts& texts);
WindowPlaceTexts FormatWindowPlace(const WindowPlace& place);

// The rectangle to restore at dpi: the stored one with its size converted from the stored DPI and
// raised to the minimum (minWidth, minHeight at dpi). Nothing when the middle of its top edge lies
// on none of the monitors (the window is then centred as at a first start).
std::optional<PlaceRect> RestoredRect(const WindowPlace& place, unsigned dpi, int minWidth, int minHeight,
                                      const std::vector<PlaceRect>& monitors);

// The stored column widths converted to dpi (empty when none are stored).
std::vector<int> RestoredColumns(const WindowPlace& place, unsigned dpi);

} // namespace settings
