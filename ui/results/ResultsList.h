#pragma once
// LV1: the results list of the main window. A virtual list (LVS_OWNERDATA) over the window's own
// rows, so tens of thousands of results stream in without the control being the bottleneck. It
// serves file results and computer results alike: each side-bar panel hands it a ResultsMode, and
// the mode shown is the one whose caption the first column shows.
#include "controls/Subclass.h"
#include "engine/FindFileTypes.h"
#include "lang/TextStore.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/UniqueHandle.h"
#include "ui/results/LineFilter.h"
#include "ui/results/ResultRows.h"
#include "ui/results/ResultStore.h"
#include "ui/results/ResultsMode.h"
#include "ui/results/ShellInfoCache.h"

#include <windows.h>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ui
{

enum class ViewStyle
{
    SmallIcons, // Maleikony1
    LargeIcons, // Velkeikony1
    List,       // Seznam1
    Details,    // Podrobnosti1
};

struct ResultsListServices
{
    const lang::TextStore* texts = nullptr; // the captions, menus and status texts
    // The modes of the panels (not owned); the list starts in the first.
    std::vector<ResultsMode*> modes;
    std::function<void(const std::string&)> setStatus; // the status line Panel2
    // Null: the list uses the system's own.
    platform::FileSystem* fileSystem = nullptr;
    const platform::LocalTimeConverter* localTime = nullptr;
};

class ResultsList
{
public:
    // Creates LV1 as a child of parent, in the details view in the first mode.
    ResultsList(HWND parent, int controlId, ResultsListServices services);
    ~ResultsList();
    ResultsList(const ResultsList&) = delete;
    ResultsList& operator=(const ResultsList&) = delete;

    HWND Handle() const { return m_list; }

    // The mode's column captions and pictures; the list is then in that mode.
    void ShowMode(const ResultsMode& mode);
    // The mode whose first caption the first column shows; null when none does.
    ResultsMode* CurrentMode() const;
    std::string ColumnCaption(int index) const;
    int ColumnCount() const;
    // File mode: the first column's caption is text 5520.
    bool IsFileMode() const;
    void Clear();

    // The finder's events. containing: the containing-text field as it reads now (empty: no filter);
    // kinds: the kinds of file whose inner text the filter reads.
    void FindFile1Found(const std::string& folder, const engine::TSearchRec& record,
                        const std::string& containing,
                        const engine::ContainerKinds& kinds = engine::ContainerKinds{false, false});
    void FindFile1NewFolder(const std::string& folder);
    void FindFile1Complete();
    // A row built elsewhere (computer results).
    void AddRow(ResultRow row);
    // One more cell for the last row (a computer's MAC address, found after its row was shown).
    void AddCellToLastRow(std::string text);
    // Status line: text 220, the number of rows, text 221.
    void ShowRowCount();

    size_t RowCount() const { return m_rows.Size(); }
    // The row with all its cell texts.
    ResultRow Row(size_t index) const { return m_rows.Row(index); }
    // A file row's full path and size as the search found them; none for other rows.
    std::optional<std::pair<std::string, int64_t>> FileAt(size_t index) const;
    // The focused row changed (-1: none, also when the list is emptied).
    std::function<void(int row)> onFocusRow;
    // Rows the control shows; raised to RowCount() at each new folder, on a short timer and at the end.
    int VisibleCount() const;
    bool PendingRowsOnPage();
    void ShowPendingRows();

    int SortColumn() const { return m_sortColumn; }
    void LV1ColumnClick(int column);

    ViewStyle View() const { return m_view; }
    void SetView(ViewStyle view);
    void Maleikony1Click() { SetView(ViewStyle::SmallIcons); }
    void Velkeikony1Click() { SetView(ViewStyle::LargeIcons); }
    void Seznam1Click() { SetView(ViewStyle::List); }
    void Podrobnosti1Click() { SetView(ViewStyle::Details); }

    // Full paths of the selected rows in list order.
    std::vector<std::string> SelectedPaths() const;
    void LV1DblClick();
    void LV1MouseDown(UINT button, POINT screen);

    // Keyboard, deleting and the clipboard on the rows (ResultsListKeyboard.cpp,
    // ResultsListDelete.cpp, ResultsListClipboard.cpp).
    void SelectAll();
    // The shell's context menu for the selected rows at the focused row (context-menu key).
    void ShowMenuAtFocus();
    // Sends the selected files to the recycle bin through the shell (its confirmation unless
    // confirmDelete is off, undo kept) and removes the rows of the files that are gone.
    void DeleteSelected();
    bool confirmDelete = true;
    // Removes the rows among rows (indices) whose files no longer exist; returns how many.
    size_t RemoveVanishedRows(const std::vector<size_t>& rows);
    // The selected files as Explorer copies them (the shell's data object); false when none resolves.
    bool CopySelected();
    // Full paths as text, one per line; false when the clipboard refused.
    bool CopyPaths(const std::vector<std::string>& paths);
    // Drags the selected files out of the list (begun by the list's drag notification).
    void DragSelected();
    // Rows whose name starts with prefix (case ignored), searched from start; -1 when none.
    int FindRowByName(const std::wstring& prefix, int start, bool wrap) const;

    // The results menu of the list's empty area (ResultsListMenu.cpp): "Save results...", "Copy all
    // paths", "Select all", with a row selected "Open containing folder", and the mode's own entry.
    enum ResultsMenuCommand : UINT
    {
        kMenuSaveResults = 1,
        kMenuCopyAllPaths,
        kMenuSelectAll,
        kMenuOpenFolder,
        kMenuModeItem, // the current mode's own entry
    };
    void ShowResultsMenu(POINT screen);
    void RunResultsMenuCommand(UINT command);
    // Writes every row to path: CSV, or the list of full paths. Throws with text 7006 on failure.
    void SaveResults(const std::string& path, bool csv) const;
    // Takes the place of the menu tracking (tests): the filled menu in, the chosen command out.
    std::function<UINT(HMENU menu)> chooseResultsMenuItem;
    // The save dialog: the chosen path and whether its file type is CSV; empty when cancelled.
    std::function<std::optional<std::pair<std::string, bool>>()> askSavePath;
    // Opens a file's folder with the file selected; by default the shell's.
    std::function<void(const std::string& path)> openContainingFolder;

private:
    LRESULT ListMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ParentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool OnNotify(const NMHDR& header, LRESULT& result);
    bool OnKey(UINT message, WPARAM key);
    std::vector<size_t> SelectedRows() const;
    // The rows shown are files (the current mode says so).
    bool FileRowsShown() const;
    // A row was added: the control learns of it soon.
    void RowAdded();

    ResultsListServices m_services;
    std::unique_ptr<platform::FileSystem> m_ownFileSystem;
    std::unique_ptr<platform::LocalTimeConverter> m_ownLocalTime;
    HWND m_parent;
    HWND m_list = nullptr;
    ShellInfoCache m_shell;
    ByteUpperCase m_upper;
    DisplayFormat m_format;
    ResultStore m_rows;
    int m_sortColumn = 0;
    ViewStyle m_view = ViewStyle::Details;
    bool m_timerRunning = false;
    DWORD m_lastShown = 0;
    size_t m_shownRows = 0; // the count the control was last given
    int m_pageEnd = 0;      // first row below the shown page, as last asked
    DWORD m_pageEndCheckedAt = 0;
    std::wstring m_cellBuffer;
    // Last, so that they are removed before anything their handlers use is gone.
    controls::Subclass m_listSubclass;
    controls::Subclass m_parentSubclass;
};

// The user's number and date conventions from the locale.
DisplayFormat UserDisplayFormat();

// The shell's type name and small-icon index for a path; empty when the shell does not know it.
std::optional<ShellInfo> AskShell(const std::string& path);

// The shell's system image list of small (SHGFI_SMALLICON) or large icons: shared, never freed.
HIMAGELIST SystemImageList(UINT sizeFlag);

} // namespace ui
