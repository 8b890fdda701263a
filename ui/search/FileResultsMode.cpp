// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include "ui/search/FileResultsMode.h"

#include "lang/TextIds.h"
#include "ui/results/ResultsList.h"
#include "ui/shell/ItemProp.h"

namespace ui
{

FileResultsMode::FileResultsMode(std::function<HWND()> owner, FileRowActions actions, FileMenuItem menuItem)
    : m_owner(std::move(owner)), m_actions(std::move(actions)), m_menuItem(std::move(menuItem))
{
}

std::vector<int> FileResultsMode::ColumnTexts() const
{
    using namespace lang::text;
    return {kColumnName, kColumnFolder, kColumnSize, kColumnModified, kColumnType};
}

HIMAGELIST FileResultsMode::SmallImages() const
{
    return SystemImageList(SHGFI_SMALLICON);
}

HIMAGELIST FileResultsMode::LargeImages() const
{
    return SystemImageList(SHGFI_LARGEICON);
}

void FileResultsMode::ShowRowMenu(const std::vector<std::string>& paths, POINT screen)
{
    if (m_actions.showShellMenu)
        m_actions.showShellMenu(paths, screen);
    else
        itemprop::ShowContextMenu("", paths, m_owner(), screen);
}

void FileResultsMode::OpenRows(const std::vector<std::string>& paths)
{
    if (m_actions.openDefault)
        m_actions.openDefault(paths);
    else
        itemprop::InvokeDefaultVerb("", paths, m_owner());
}

} // namespace ui
