// Sorting a million rows by a column in well under two seconds: every row gets a number that
// orders as its cell does (the folder's and type's place among their texts, the size, the packed
// time, the first fifteen letters of the name with its length), so the sort compares numbers and
// makes no text; only long names that agree in their first fifteen letters are compared as text.
// The keys are made walking the rows as stored, and each carries the row's place in the list, which
// breaks ties: the order is stable although the sort is not.
#include "ui/results/ResultStore.h"

#include <algorithm>

namespace ui
{

namespace
{

constexpr uint32_t kRemoved = UINT32_MAX;

struct ValueKey
{
    uint64_t value;
    uint32_t place; // the row's index in the list before the sort
};

struct NameKey
{
    uint64_t high; // name bytes 0-7
    uint64_t low;  // name bytes 8-14, then min(length, 16)
    uint32_t place;
};

constexpr size_t kNameKeyBytes = 15;
constexpr uint64_t kLongName = kNameKeyBytes + 1;

unsigned char FoldedByte(std::string_view text, size_t at)
{
    if (at >= text.size())
        return 0;
    const auto c = static_cast<unsigned char>(text[at]);
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// The first fifteen bytes, ASCII letters folded, padded with zeros, then the length up to 16. Two
// names whose keys differ order as their keys do under CompareDisplayText (a shorter name that
// agrees with a longer one in the first bytes is its prefix: the longer one has zeros there); equal
// keys of names shorter than 16 bytes mean equal texts; names of 16 bytes or more need their text.
NameKey NameKeyOf(std::string_view name, uint32_t place)
{
    NameKey key{0, 0, place};
    for (size_t i = 0; i < 8; ++i)
        key.high = (key.high << 8) | FoldedByte(name, i);
    for (size_t i = 8; i < kNameKeyBytes; ++i)
        key.low = (key.low << 8) | FoldedByte(name, i);
    key.low = (key.low << 8) | std::min<uint64_t>(name.size(), kLongName);
    return key;
}

uint64_t OrderedSize(int64_t size)
{
    return static_cast<uint64_t>(size) ^ (uint64_t{1} << 63);
}

template <typename Key> std::vector<size_t> PlacesOf(const std::vector<Key>& keys)
{
    std::vector<size_t> order(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        order[i] = keys[i].place;
    return order;
}

} // namespace

std::vector<size_t> ResultStore::SortWholeRows(int column) const
{
    std::vector<ResultRow> rows;
    rows.reserve(Size());
    for (size_t i = 0; i < Size(); ++i)
        rows.push_back(Row(i));
    return ui::SortOrder(rows, column);
}

std::vector<size_t> ResultStore::SortOrder(int column) const
{
    // Rows kept whole are computer rows, a few hundred at most: they sort as whole rows always did.
    if (m_wholeCount > 0)
        return SortWholeRows(column);

    std::vector<uint32_t> places(m_rows.size(), kRemoved);
    for (size_t place = 0; place < m_order.size(); ++place)
        places[m_order[place]] = static_cast<uint32_t>(place);

    if (column == 0)
    {
        std::vector<NameKey> keys;
        keys.reserve(m_order.size());
        for (size_t stored = 0; stored < m_rows.size(); ++stored)
            if (places[stored] != kRemoved)
                keys.push_back(NameKeyOf(m_names.View(m_rows[stored].name), places[stored]));
        std::sort(keys.begin(), keys.end(), [this](const NameKey& a, const NameKey& b) {
            if (a.high != b.high || a.low != b.low)
                return a.high != b.high ? a.high < b.high : a.low < b.low;
            if ((a.low & 0xFF) == kLongName)
            {
                const int byText =
                    CompareDisplayText(m_names.View(At(a.place).name), m_names.View(At(b.place).name));
                if (byText != 0)
                    return byText < 0;
            }
            return a.place < b.place;
        });
        return PlacesOf(keys);
    }

    const std::vector<uint32_t> folderRanks =
        column == 1 ? m_folders.DisplayRanks() : std::vector<uint32_t>();
    const std::vector<uint32_t> typeRanks = column == 4 ? m_types.DisplayRanks() : std::vector<uint32_t>();
    std::vector<ValueKey> keys;
    keys.reserve(m_order.size());
    for (size_t stored = 0; stored < m_rows.size(); ++stored)
    {
        if (places[stored] == kRemoved)
            continue;
        const Stored& row = m_rows[stored];
        uint64_t value = 0; // columns past the type: every file row's cell is empty
        if (column == 1)
            value = folderRanks[row.folder];
        else if (column == kSizeColumn)
            value = OrderedSize(row.size);
        else if (column == kDateColumn)
            value = row.modified; // 0 without a date: first, as its empty cell
        else if (column == 4)
            value = row.type == kNoType ? 0 : typeRanks[row.type]; // no type cell reads as empty
        keys.push_back(ValueKey{value, places[stored]});
    }
    std::sort(keys.begin(), keys.end(), [](const ValueKey& a, const ValueKey& b) {
        return a.value != b.value ? a.value < b.value : a.place < b.place;
    });
    return PlacesOf(keys);
}

} // namespace ui
