#pragma once
// What the user typed into a field of the search panel before: the last distinct entries, most
// recent first, kept in the settings file one key per entry. Portable.
#include <optional>
#include <string>
#include <vector>

namespace ui
{

inline constexpr size_t kSearchHistoryLength = 20;

class SearchHistory
{
public:
    SearchHistory() = default;
    // Entries as stored, most recent first; blanks and repeats go, the rest is cut at the length.
    explicit SearchHistory(const std::vector<std::string>& entries);

    // Puts text first. An entry that differs from it only in the case of ASCII letters goes
    // (names and folders are the same to the system); blank text is not kept.
    void Add(const std::string& text);
    void Clear() { m_entries.clear(); }
    const std::vector<std::string>& Entries() const { return m_entries; }

private:
    std::vector<std::string> m_entries;
};

// One entry as a settings value: printable ASCII only, so that neither the file's code page nor
// the profile functions' trimming of blanks and quotes can change it.
std::string EncodeHistoryEntry(const std::string& text);
// The entry back; empty when value is no encoded entry (a damaged or hand-edited file).
std::optional<std::string> DecodeHistoryEntry(const std::string& value);

} // namespace ui
