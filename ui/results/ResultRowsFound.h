#pragma once
// The row for one item the search engine found, and the containing-text filter deciding whether
// it is listed at all.
#include "engine/FindFileTypes.h"
#include "lang/TextStore.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "ui/results/FileRow.h"
#include "ui/results/LineFilter.h"
#include "ui/results/ResultRows.h"
#include "ui/results/ShellInfoCache.h"

#include <optional>
#include <string>
#include <vector>

namespace ui
{

struct FoundItemServices
{
    platform::FileSystem& fileSystem;
    const platform::LocalTimeConverter& localTime;
    ShellInfoCache& shell;
    const ByteUpperCase& upper;
    const lang::TextStore& texts;
    engine::ContainerKinds containerKinds; // the kinds of file whose inner text the filter reads
};

// The values of a found item's row, or nothing when a containing text is set (texts not empty: the
// text in each encoding a file may use) and the item is a folder or holds no line with it.
std::optional<FileRow> FoundFileRow(const FoundItemServices& services, const std::string& folder,
                                    const engine::TSearchRec& record,
                                    const std::vector<std::string>& containingTexts);

// The same as the row with all its texts.
std::optional<ResultRow> FoundItemRow(const FoundItemServices& services, const DisplayFormat& format,
                                      const std::string& folder, const engine::TSearchRec& record,
                                      const std::vector<std::string>& containingTexts);

// The local calendar time of a record's last write; empty when it cannot be converted.
std::optional<platform::CalendarTime> LastWriteLocal(const engine::TSearchRec& record,
                                                     const platform::LocalTimeConverter& localTime);

} // namespace ui
