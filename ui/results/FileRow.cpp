#include "ui/results/FileRow.h"

namespace ui
{

ResultRow MakeRow(const FileRow& file, const std::string& folder, const DisplayFormat& format)
{
    ResultRow row;
    row.caption = file.name;
    row.cells.reserve(4);
    row.cells.push_back(folder);
    row.cells.push_back(SizeText(file.size, format.thousandsSeparator));
    row.cells.push_back(file.modified ? DateText(*file.modified, format) : std::string());
    if (file.typeName)
        row.cells.push_back(*file.typeName);
    row.size = file.size;
    row.modified = file.modified;
    row.icon = file.icon;
    return row;
}

} // namespace ui
