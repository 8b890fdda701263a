#pragma once
// --search FILE: the criteria of a search file (.ffsearch, saved by the window) as the console's
// options. Portable.
#include "cmd/CmdOptions.h"
#include "ui/search/SavedSearch.h"

namespace cmd
{

// Writes the file's criteria over options: the name mask as the window makes it, the location
// (unless one was given on the command line), subfolders, the date and size choices (the presets
// counted from today, a day as days since 1899-12-30), the containing text and the kinds of file
// searched inside (unless --documents or --archives was given).
void ApplySavedSearch(const ui::SavedSearch& search, engine::TDateTime today, CmdOptions& options);

// The error text of a file that could not be used; empty when text holds a search. The search read
// goes into options.
std::string ApplySearchFileText(const std::string& text, engine::TDateTime today, CmdOptions& options);

} // namespace cmd
