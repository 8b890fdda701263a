#include "settings/WindowPlace.h"

#include "controls/Dpi.h"

#include <algorithm>
#include <cstdlib>

namespace settings
{

namespace
{

constexpr unsigned kMinDpi = 48;
constexpr unsigned kMaxDpi = 960;
constexpr int kMaxCoordinate = 32767;
constexpr int kMaxColumnWidth = 10000;

// A whole decimal number with an optional minus sign and nothing else around it.
std::optional<int> ParseWhole(const std::string& text)
{
    if (text.empty() || text.size() > 11)
        return std::nullopt;
    size_t start = text[0] == '-' ? 1 : 0;
    if (start == text.size())
        return std::nullopt;
    for (size_t i = start; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value < -kMaxCoordinate - 1 || value > kMaxCoordinate)
        return std::nullopt;
    return static_cast<int>(value);
}

// Exactly count whole numbers separated by commas.
std::optional<std::vector<int>> ParseList(const std::string& text, size_t count)
{
    std::vector<int> values;
    size_t start = 0;
    for (;;)
    {
        const size_t comma = text.find(',', start);
        const auto value = ParseWhole(text.substr(start, comma == std::string::npos ? comma : comma - start));
        if (!value)
            return std::nullopt;
        values.push_back(*value);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (values.size() != count)
        return std::nullopt;
    return values;
}

std::string JoinList(const std::vector<int>& values)
{
    std::string text;
    for (int value : values)
        text += (text.empty() ? "" : ",") + std::to_string(value);
    return text;
}

} // namespace

WindowPlace ParseWindowPlace(const WindowPlaceTexts& texts)
{
    WindowPlace place;
    const auto dpi = ParseWhole(texts.dpi);
    const bool dpiSound = dpi && *dpi >= static_cast<int>(kMinDpi) && *dpi <= static_cast<int>(kMaxDpi);
    if (dpiSound)
        place.dpi = static_cast<unsigned>(*dpi);
    if (const auto numbers = ParseList(texts.place, 4); numbers && dpiSound)
    {
        const std::vector<int>& n = *numbers;
        if (n[2] > 0 && n[3] > 0 && n[0] + n[2] <= kMaxCoordinate && n[1] + n[3] <= kMaxCoordinate)
            place.normal = PlaceRect{n[0], n[1], n[0] + n[2], n[1] + n[3]};
    }
    place.maximized = texts.maximized == "1";
    if (const auto widths = ParseList(texts.columns, kStoredColumns); widths && dpiSound)
    {
        const bool sound = std::all_of(widths->begin(), widths->end(),
                                       [](int width) { return width >= 0 && width <= kMaxColumnWidth; });
        if (sound)
            place.columns = *widths;
    }
    if (const auto view = ParseWhole(texts.view); view && *view >= 0 && *view < kViewCount)
        place.view = *view;
    return place;
}

WindowPlaceTexts FormatWindowPlace(const WindowPlace& place)
{
    WindowPlaceTexts texts;
    if (place.normal)
        texts.place =
            JoinList({place.normal->left, place.normal->top, place.normal->Width(), place.normal->Height()});
    texts.maximized = place.maximized ? "1" : "0";
    texts.dpi = std::to_string(place.dpi);
    texts.columns = JoinList(place.columns);
    if (place.view)
        texts.view = std::to_string(*place.view);
    return texts;
}

std::optional<PlaceRect> RestoredRect(const WindowPlace& place, unsigned dpi, int minWidth, int minHeight,
                                      const std::vector<PlaceRect>& monitors)
{
    if (!place.normal)
        return std::nullopt;
    const PlaceRect& stored = *place.normal;
    const int width = std::max(minWidth, controls::Rescale(stored.Width(), place.dpi, dpi));
    const int height = std::max(minHeight, controls::Rescale(stored.Height(), place.dpi, dpi));
    // The top strip stands in for the title bar: the window can be moved while its middle shows.
    const int grabX = stored.left + width / 2;
    const int grabY = stored.top;
    const bool shown = std::any_of(monitors.begin(), monitors.end(), [&](const PlaceRect& monitor) {
        return grabX >= monitor.left && grabX < monitor.right && grabY >= monitor.top &&
               grabY < monitor.bottom;
    });
    if (!shown)
        return std::nullopt;
    return PlaceRect{stored.left, stored.top, stored.left + width, stored.top + height};
}

std::vector<int> RestoredColumns(const WindowPlace& place, unsigned dpi)
{
    std::vector<int> widths;
    for (int width : place.columns)
        widths.push_back(controls::Rescale(width, place.dpi, dpi));
    return widths;
}

} // namespace settings
