#pragma once
// What a found file's row stands for, before any of it is made into text: its size and date cells
// are a format of these values, made when they are shown.
#include "platform/LocalTime.h"
#include "ui/results/ResultRows.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ui
{

struct FileRow
{
    std::string name;
    int64_t size = 0;
    std::optional<platform::CalendarTime> modified; // none for a folder or an unconvertible time
    std::optional<std::string> typeName;            // the type cell; none when the shell did not know it
    int icon = -1;
};

// The row as the list shows it: name, then folder, size text, date text and, when known, the type.
ResultRow MakeRow(const FileRow& file, const std::string& folder, const DisplayFormat& format);

} // namespace ui
