#pragma once
// The network panel's rows in the results list: the computer columns with the panel's one
// picture, the panel's menu PopupMenu3 on the selected rows, and the shell's default verb on the
// paths the list forms from them.
#include "ui/results/ResultsMode.h"

#include <functional>

namespace ui
{

class ComputerResultsMode : public ResultsMode
{
public:
    // images: the panel's pictures (not owned); showMenu: PopupMenu3 at a screen point; owner:
    // the window that owns the shell's windows, asked when they open.
    ComputerResultsMode(HIMAGELIST images, std::function<void(POINT screen)> showMenu,
                        std::function<HWND()> owner);

    std::vector<int> ColumnTexts() const override;
    HIMAGELIST SmallImages() const override { return m_images; }
    HIMAGELIST LargeImages() const override { return m_images; }
    // The panel's pictures at a new DPI (the list takes them when the mode is shown).
    void SetImages(HIMAGELIST images) { m_images = images; }
    bool RowsAreFiles() const override { return false; }
    void ShowRowMenu(const std::vector<std::string>& paths, POINT screen) override;
    void OpenRows(const std::vector<std::string>& paths) override;

private:
    HIMAGELIST m_images;
    std::function<void(POINT)> m_showMenu;
    std::function<HWND()> m_owner;
};

} // namespace ui
