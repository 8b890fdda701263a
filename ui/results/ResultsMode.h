#pragma once
// What one side-bar panel's rows are to the results list: their column captions and pictures, and
// what the user's actions on selected rows do. Each panel hands the list its own mode; the list
// tells the modes apart by the caption its first column shows, as the window always has.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <string>
#include <vector>

namespace ui
{

class ResultsMode
{
public:
    virtual ~ResultsMode() = default;
    // The text IDs of the column captions (five or more); the first one names the mode.
    virtual std::vector<int> ColumnTexts() const = 0;
    // The pictures of the small-icon and large-icon views (shared: the list never frees them).
    virtual HIMAGELIST SmallImages() const = 0;
    virtual HIMAGELIST LargeImages() const = 0;
    // Rows that stand for files: the list offers dragging, copying, deleting and the results menu.
    virtual bool RowsAreFiles() const = 0;
    // The menu of the selected rows (right button, context-menu key) at a screen point.
    virtual void ShowRowMenu(const std::vector<std::string>& paths, POINT screen) = 0;
    // The default action on the selected rows (double click, Enter).
    virtual void OpenRows(const std::vector<std::string>& paths) = 0;
    // An entry of the mode's own at the end of the results menu (empty: none), and its action.
    virtual std::string OwnMenuItem() const { return {}; }
    virtual void RunOwnMenuItem() {}
};

} // namespace ui
