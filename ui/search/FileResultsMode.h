#pragma once
// The file panel's rows in the results list: the file columns with the shell's pictures, the
// shell's context menu on the selected files and their default verb.
#include "ui/results/ResultsMode.h"

#include <functional>

namespace ui
{

// The shell's actions on found files; a null action is the shell's own (tests give their own).
struct FileRowActions
{
    std::function<void(const std::vector<std::string>& paths, POINT screen)> showShellMenu;
    std::function<void(const std::vector<std::string>& paths)> openDefault;
};

// The results menu's entry of the file panel: its text, and what it does.
struct FileMenuItem
{
    std::function<std::string()> text;
    std::function<void()> run;
};

class FileResultsMode : public ResultsMode
{
public:
    // owner: the window that owns the shell's menu and windows, asked when they open.
    FileResultsMode(std::function<HWND()> owner, FileRowActions actions, FileMenuItem menuItem = {});

    std::vector<int> ColumnTexts() const override;
    HIMAGELIST SmallImages() const override;
    HIMAGELIST LargeImages() const override;
    bool RowsAreFiles() const override { return true; }
    void ShowRowMenu(const std::vector<std::string>& paths, POINT screen) override;
    void OpenRows(const std::vector<std::string>& paths) override;
    std::string OwnMenuItem() const override { return m_menuItem.text ? m_menuItem.text() : std::string(); }
    void RunOwnMenuItem() override
    {
        if (m_menuItem.run)
            m_menuItem.run();
    }

private:
    std::function<HWND()> m_owner;
    FileRowActions m_actions;
    FileMenuItem m_menuItem;
};

} // namespace ui
