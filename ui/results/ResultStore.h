#pragma once
// The rows of the results list, kept compact enough for a million files in a 32-bit process. A
// file row holds its name in a shared arena, numbers for its folder and type (each text kept once)
// and the values behind its size and date; the cell texts are made when asked for, by the same
// functions that made them when rows held them. Rows built elsewhere (computer rows, with their
// own columns) are kept whole.
#include "ui/results/FileRow.h"
#include "ui/results/ResultRows.h"
#include "ui/results/SharedTexts.h"
#include "ui/results/TextArena.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ui
{

class ResultStore
{
public:
    explicit ResultStore(DisplayFormat format) : m_format(std::move(format)) {}

    void AddFile(const std::string& folder, const FileRow& file);
    void Add(ResultRow row);
    // One more cell for the last row; false when there is none.
    bool AddCellToLast(std::string text);
    void Clear();

    size_t Size() const { return m_order.size(); }
    bool Empty() const { return m_order.empty(); }
    // The row with all its texts, as a list of whole rows would hold it.
    ResultRow Row(size_t index) const;
    // Column 0 the name, column n the detail cell n - 1; an absent cell reads as empty.
    std::string Text(size_t index, int column) const;
    std::string_view Caption(size_t index) const;
    // Folder and name joined.
    std::string Path(size_t index) const;
    // A file row's values; none for a whole row (a computer).
    std::optional<FileRow> File(size_t index) const;
    int Icon(size_t index) const;

    // The row indices in sorted order by a column (stable, ascending), as SortOrder orders whole rows.
    std::vector<size_t> SortOrder(int column) const;
    // The rows in the given order (a permutation of the indices, as SortOrder gives).
    void Reorder(const std::vector<size_t>& order);
    // Removes the rows whose flag is set (one flag per row).
    void Remove(const std::vector<char>& gone);

    // The distinct folder and type texts held.
    size_t FolderCount() const { return m_folders.Count(); }
    size_t TypeCount() const { return m_types.Count(); }

    // One row as stored: 32 bytes in the 32-bit build as in the 64-bit one.
    struct Stored
    {
        int64_t size = 0;
        uint64_t modified = 0;   // kHasTime | PackTime(), or 0 without a date
        uint32_t name = 0;       // the name in the arena; for a whole row its index in m_whole
        uint32_t folder = 0;     // kWholeRow for a row kept whole
        uint32_t type = kNoType; // the type text's number
        int32_t icon = -1;
    };
    static constexpr uint64_t kHasTime = uint64_t{1} << 63;
    static constexpr uint32_t kNoType = UINT32_MAX;
    static constexpr uint32_t kWholeRow = UINT32_MAX;

private:
    bool IsWhole(const Stored& row) const { return row.folder == kWholeRow; }
    void Append(const Stored& row);
    const Stored& At(size_t index) const { return m_rows[m_order[index]]; }
    FileRow FileOf(const Stored& row) const;
    std::vector<size_t> SortWholeRows(int column) const;

    DisplayFormat m_format;
    // The rows in the order they came, and the list's order as indices into them: sorting moves
    // 4 bytes a row instead of the row.
    std::vector<Stored> m_rows;
    std::vector<uint32_t> m_order;
    TextArena m_names;
    SharedTexts m_folders;
    SharedTexts m_types;
    std::vector<ResultRow> m_whole;
    size_t m_wholeCount = 0; // rows in m_rows kept whole (m_whole may hold removed ones too)
};

} // namespace ui
