#include "ui/results/ResultRowsFound.h"

#include "lang/TextIds.h"

namespace ui
{

namespace
{

constexpr uint32_t kDirectoryAttribute = 0x10;

bool IsFolder(const engine::TSearchRec& record)
{
    return ((static_cast<uint32_t>(record.Attr) | record.FindData.attributes) & kDirectoryAttribute) != 0;
}

// The packed DOS form: date in the high word, time in the low word.
std::optional<platform::CalendarTime> FromDosTime(int32_t packed)
{
    if (packed == 0)
        return std::nullopt;
    const uint32_t value = static_cast<uint32_t>(packed);
    platform::CalendarTime time;
    time.year = 1980 + static_cast<int>((value >> 25) & 0x7F);
    time.month = static_cast<int>((value >> 21) & 0x0F);
    time.day = static_cast<int>((value >> 16) & 0x1F);
    time.hour = static_cast<int>((value >> 11) & 0x1F);
    time.minute = static_cast<int>((value >> 5) & 0x3F);
    time.second = static_cast<int>(value & 0x1F) * 2;
    return time;
}

} // namespace

std::optional<platform::CalendarTime> LastWriteLocal(const engine::TSearchRec& record,
                                                     const platform::LocalTimeConverter& localTime)
{
    if (record.FindData.lastWriteTime != 0)
        return localTime.ToLocal(record.FindData.lastWriteTime);
    return FromDosTime(record.Time);
}

std::optional<FileRow> FoundFileRow(const FoundItemServices& services, const std::string& folder,
                                    const engine::TSearchRec& record,
                                    const std::vector<std::string>& containingTexts)
{
    const bool isFolder = IsFolder(record);
    const std::string path = JoinPath(folder, record.Name);
    if (!containingTexts.empty())
    {
        // Any date counts: a file dated outside 1980-2107 is still a file.
        if (isFolder || CountMatchingLines(services.fileSystem, path, containingTexts, services.upper,
                                           services.containerKinds) <= 0)
            return std::nullopt;
    }

    FileRow file;
    file.name = record.Name;
    file.size = record.Size;
    if (!isFolder)
        file.modified = LastWriteLocal(record, services.localTime);
    if (std::optional<ShellInfo> shell = services.shell.Lookup(path, record.Name, isFolder))
    {
        file.typeName = shell->typeName.empty()
                            ? TypeText({}, record.Name, services.texts.Text(lang::text::kTypeFilePrefix))
                            : std::move(shell->typeName);
        file.icon = shell->icon;
    }
    return file;
}

std::optional<ResultRow> FoundItemRow(const FoundItemServices& services, const DisplayFormat& format,
                                      const std::string& folder, const engine::TSearchRec& record,
                                      const std::vector<std::string>& containingTexts)
{
    std::optional<FileRow> file = FoundFileRow(services, folder, record, containingTexts);
    if (!file)
        return std::nullopt;
    return MakeRow(*file, folder, format);
}

} // namespace ui
