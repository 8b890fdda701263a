#include "ui/results/ResultStore.h"

#include "ui/results/PackedTime.h"

#include <stdexcept>

namespace ui
{

static_assert(sizeof(ResultStore::Stored) == 32, "a stored row is meant to stay 32 bytes");

void ResultStore::Append(const Stored& row)
{
    if (m_rows.size() >= kWholeRow)
        throw std::length_error("too many results");
    m_order.push_back(static_cast<uint32_t>(m_rows.size()));
    m_rows.push_back(row);
}

void ResultStore::AddFile(const std::string& folder, const FileRow& file)
{
    Stored row;
    if (file.modified)
    {
        const std::optional<uint64_t> packed = PackTime(*file.modified);
        if (!packed)
        {
            // No system clock gives such a time; the row keeps it whole rather than lose it.
            Add(MakeRow(file, folder, m_format));
            return;
        }
        row.modified = kHasTime | *packed;
    }
    row.size = file.size;
    row.name = m_names.Add(file.name);
    row.folder = m_folders.Intern(folder);
    if (file.typeName)
        row.type = m_types.Intern(*file.typeName);
    row.icon = file.icon;
    Append(row);
}

void ResultStore::Add(ResultRow row)
{
    Stored stored;
    stored.name = static_cast<uint32_t>(m_whole.size());
    stored.folder = kWholeRow;
    stored.icon = row.icon;
    m_whole.push_back(std::move(row));
    Append(stored);
    ++m_wholeCount;
}

bool ResultStore::AddCellToLast(std::string text)
{
    if (m_order.empty())
        return false;
    Stored& last = m_rows[m_order.back()];
    if (!IsWhole(last))
    {
        ResultRow whole = Row(m_order.size() - 1);
        last.name = static_cast<uint32_t>(m_whole.size());
        last.folder = kWholeRow;
        m_whole.push_back(std::move(whole));
        ++m_wholeCount;
    }
    m_whole[last.name].cells.push_back(std::move(text));
    return true;
}

void ResultStore::Clear()
{
    m_rows = {};
    m_order = {};
    m_names.Clear();
    m_folders.Clear();
    m_types.Clear();
    m_whole = {};
    m_wholeCount = 0;
}

FileRow ResultStore::FileOf(const Stored& row) const
{
    FileRow file;
    file.name = std::string(m_names.View(row.name));
    file.size = row.size;
    if (row.modified & kHasTime)
        file.modified = UnpackTime(row.modified & ~kHasTime);
    if (row.type != kNoType)
        file.typeName = m_types.Text(row.type);
    file.icon = row.icon;
    return file;
}

ResultRow ResultStore::Row(size_t index) const
{
    const Stored& row = At(index);
    if (IsWhole(row))
        return m_whole[row.name];
    return MakeRow(FileOf(row), m_folders.Text(row.folder), m_format);
}

std::string ResultStore::Text(size_t index, int column) const
{
    const Stored& row = At(index);
    if (IsWhole(row))
        return m_whole[row.name].Text(column);
    switch (column)
    {
    case 0:
        return std::string(m_names.View(row.name));
    case 1:
        return m_folders.Text(row.folder);
    case kSizeColumn:
        return SizeText(row.size, m_format.thousandsSeparator);
    case kDateColumn:
        return (row.modified & kHasTime) ? DateText(UnpackTime(row.modified & ~kHasTime), m_format)
                                         : std::string();
    case 4:
        return row.type != kNoType ? m_types.Text(row.type) : std::string();
    default:
        return {};
    }
}

std::string_view ResultStore::Caption(size_t index) const
{
    const Stored& row = At(index);
    return IsWhole(row) ? std::string_view(m_whole[row.name].caption) : m_names.View(row.name);
}

std::optional<FileRow> ResultStore::File(size_t index) const
{
    const Stored& row = At(index);
    if (IsWhole(row))
        return std::nullopt;
    return FileOf(row);
}

std::string ResultStore::Path(size_t index) const
{
    const Stored& row = At(index);
    const std::string& folder = IsWhole(row) ? m_whole[row.name].Text(1) : m_folders.Text(row.folder);
    return JoinPath(folder, std::string(Caption(index)));
}

int ResultStore::Icon(size_t index) const
{
    return At(index).icon;
}

void ResultStore::Reorder(const std::vector<size_t>& order)
{
    std::vector<uint32_t> sorted;
    sorted.reserve(m_order.size());
    for (size_t from : order)
        sorted.push_back(m_order[from]);
    m_order = std::move(sorted);
}

void ResultStore::Remove(const std::vector<char>& gone)
{
    // The removed rows stay in m_rows, unreachable, until the list is cleared.
    size_t kept = 0;
    for (size_t i = 0; i < m_order.size(); ++i)
    {
        if (i < gone.size() && gone[i])
        {
            if (IsWhole(At(i)))
                --m_wholeCount;
            continue;
        }
        m_order[kept++] = m_order[i];
    }
    m_order.resize(kept);
}

} // namespace ui
