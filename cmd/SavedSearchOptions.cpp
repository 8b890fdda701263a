#include "cmd/SavedSearchOptions.h"

#include "ui/search/SearchCriteria.h"

namespace cmd
{

namespace
{

using ui::SavedSearch;

// The kind words the window's mapping compares with: here the file's own, in no language.
const ui::PanelMarkers kFileWords{"atleast", "atmost", "created", "modified", "accessed"};

const char* DateKindWord(SavedSearch::DateKind kind)
{
    switch (kind)
    {
    case SavedSearch::DateKind::Created:
        return "created";
    case SavedSearch::DateKind::Accessed:
        return "accessed";
    case SavedSearch::DateKind::Modified:
        break;
    }
    return "modified";
}

ui::DateBounds DateBoundsOf(const SavedSearch& search, engine::TDateTime today)
{
    switch (search.date)
    {
    case SavedSearch::DateChoice::Last30Days:
        return ui::PresetDateBounds(ui::DatePreset::Last30Days, today);
    case SavedSearch::DateChoice::LastYear:
        return ui::PresetDateBounds(ui::DatePreset::LastYear, today);
    case SavedSearch::DateChoice::Range:
        return ui::CustomDateBounds(
            DateKindWord(search.dateKind),
            ui::DateToDays(search.dateFrom.year, search.dateFrom.month, search.dateFrom.day),
            ui::DateToDays(search.dateTo.year, search.dateTo.month, search.dateTo.day), kFileWords);
    case SavedSearch::DateChoice::Any:
        break;
    }
    return ui::PresetDateBounds(ui::DatePreset::Any, today);
}

ui::SizeBounds SizeBoundsOf(const SavedSearch& search)
{
    switch (search.size)
    {
    case SavedSearch::SizeChoice::UpTo1MB:
        return ui::PresetSizeBounds(ui::SizePreset::UpTo1MB);
    case SavedSearch::SizeChoice::From1To10MB:
        return ui::PresetSizeBounds(ui::SizePreset::From1To10MB);
    case SavedSearch::SizeChoice::From10MB:
        return ui::PresetSizeBounds(ui::SizePreset::From10MB);
    case SavedSearch::SizeChoice::Custom:
        return ui::CustomSizeBounds(search.sizeAtLeast ? "atleast" : "atmost", search.sizeKilobytes,
                                    kFileWords)
            .value_or(ui::SizeBounds{});
    case SavedSearch::SizeChoice::Any:
        break;
    }
    return ui::PresetSizeBounds(ui::SizePreset::Any);
}

} // namespace

void ApplySavedSearch(const SavedSearch& search, engine::TDateTime today, CmdOptions& options)
{
    engine::FindCriteria& criteria = options.criteria;
    criteria.filename = ui::NameFieldToMask(search.name);
    if (!options.locationGiven && !search.lookIn.empty())
        criteria.location = search.lookIn;
    criteria.subfolders = search.subfolders;
    if (!options.documentsGiven)
        criteria.containerKinds.documents = search.documents;
    if (!options.archivesGiven)
        criteria.containerKinds.archives = search.archives;
    ui::WriteDateBounds(DateBoundsOf(search, today), criteria);
    ui::WriteSizeBounds(SizeBoundsOf(search), criteria);
    criteria.containing = search.text;
}

std::string ApplySearchFileText(const std::string& text, engine::TDateTime today, CmdOptions& options)
{
    const ui::SavedSearchResult read = ui::ReadSavedSearch(text);
    if (!read.search)
        return "the search file holds a wrong value for the key " + read.badKey;
    ApplySavedSearch(*read.search, today, options);
    return {};
}

} // namespace cmd
