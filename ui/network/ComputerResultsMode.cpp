#include "ui/network/ComputerResultsMode.h"

#include "lang/TextIds.h"
#include "ui/shell/ItemProp.h"

namespace ui
{

ComputerResultsMode::ComputerResultsMode(HIMAGELIST images, std::function<void(POINT screen)> showMenu,
                                         std::function<HWND()> owner)
    : m_images(images), m_showMenu(std::move(showMenu)), m_owner(std::move(owner))
{
}

std::vector<int> ComputerResultsMode::ColumnTexts() const
{
    using namespace lang::text;
    return {kColumnComputer, kColumnAddress, kColumnWorkgroup, kColumnComment,
            kColumnMac,      kColumnVendor,  kColumnNameSource};
}

// PopupMenu3 acts on the first selected row, which it reads itself.
void ComputerResultsMode::ShowRowMenu(const std::vector<std::string>&, POINT screen)
{
    m_showMenu(screen);
}

void ComputerResultsMode::OpenRows(const std::vector<std::string>& paths)
{
    itemprop::InvokeDefaultVerb("", paths, m_owner());
}

} // namespace ui
