#include "ui/results/ResultsList.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

#include "controls/WindowDpi.h"
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32LocalTime.h"
#include "ui/results/LineFilterWin32.h"
#include "ui/results/ResultRowsFound.h"

#include <stdexcept>

namespace ui
{

namespace
{

constexpr UINT_PTR kShowRowsTimer = 1;
// Rows that land on the shown page appear within kShowPageRowsDelayMs; rows below it only move the
// scroll bar, and raising the count costs the control milliseconds, so they wait longer.
constexpr UINT kShowPageRowsDelayMs = 150;
constexpr UINT kShowRowsDelayMs = 500;
constexpr int kColumnWidths[5] = {100, 200, 100, 80, 80};
constexpr int kExtraColumnWidth = 90;

} // namespace

ResultsList::ResultsList(HWND parent, int controlId, ResultsListServices services)
    : m_services(std::move(services)), m_parent(parent), m_shell(AskShell), m_upper(SystemByteUpperCase()),
      m_format(UserDisplayFormat()), m_rows(m_format)
{
    if (!m_services.texts)
        throw std::invalid_argument("the results list has no texts");
    if (m_services.modes.empty() || !m_services.modes.front())
        throw std::invalid_argument("the results list has no mode");
    if (!m_services.fileSystem)
    {
        m_ownFileSystem = std::make_unique<platform::Win32FileSystem>();
        m_services.fileSystem = m_ownFileSystem.get();
    }
    if (!m_services.localTime)
    {
        m_ownLocalTime = std::make_unique<platform::Win32LocalTime>();
        m_services.localTime = m_ownLocalTime.get();
    }
    m_list =
        ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                              LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                          0, 0, 100, 100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                          ::GetModuleHandleW(nullptr), nullptr);
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (int i = 0; i < 5; ++i)
    {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.cx = controls::ScaleFor(m_list, kColumnWidths[i]);
        column.pszText = const_cast<wchar_t*>(L"");
        column.iSubItem = i;
        ListView_InsertColumn(m_list, i, &column);
    }
    // Image lists are shared (LVS_SHAREIMAGELISTS): the shell's, or network mode's, never freed here.
    m_listSubclass.Install(m_list, [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return ListMessage(window, message, wParam, lParam);
    });
    m_parentSubclass.Install(m_parent, [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return ParentMessage(window, message, wParam, lParam);
    });
    ShowMode(*m_services.modes.front());
}

ResultsList::~ResultsList()
{
    m_parentSubclass.Remove();
    if (::IsWindow(m_list))
    {
        ::KillTimer(m_list, kShowRowsTimer);
        m_listSubclass.Remove();
        ::DestroyWindow(m_list);
    }
}

void ResultsList::ShowMode(const ResultsMode& mode)
{
    const std::vector<int> ids = mode.ColumnTexts();
    const int count = static_cast<int>(ids.size());
    // Columns beyond the first five belong to one mode: they come and go with it.
    while (ColumnCount() > count)
        ListView_DeleteColumn(m_list, ColumnCount() - 1);
    while (ColumnCount() < count)
    {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.cx = controls::ScaleFor(m_list, kExtraColumnWidth);
        column.pszText = const_cast<wchar_t*>(L"");
        column.iSubItem = ColumnCount();
        ListView_InsertColumn(m_list, ColumnCount(), &column);
    }
    for (int i = 0; i < count; ++i)
    {
        std::wstring text = platform::Widen(m_services.texts->Text(ids[static_cast<size_t>(i)]));
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = text.data();
        ListView_SetColumn(m_list, i, &column);
    }
    ListView_SetImageList(m_list, mode.SmallImages(), LVSIL_SMALL);
    ListView_SetImageList(m_list, mode.LargeImages(), LVSIL_NORMAL);
}

int ResultsList::ColumnCount() const
{
    return Header_GetItemCount(ListView_GetHeader(m_list));
}

std::string ResultsList::ColumnCaption(int index) const
{
    wchar_t caption[1024] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = caption;
    column.cchTextMax = 1024;
    if (!ListView_GetColumn(m_list, index, &column))
        return {};
    return platform::Narrow(caption);
}

ResultsMode* ResultsList::CurrentMode() const
{
    const std::string caption = ColumnCaption(0);
    for (ResultsMode* mode : m_services.modes)
        if (mode && caption == m_services.texts->Text(mode->ColumnTexts()[0]))
            return mode;
    return nullptr;
}

bool ResultsList::IsFileMode() const
{
    return ColumnCaption(0) == m_services.texts->Text(lang::text::kColumnName);
}

bool ResultsList::FileRowsShown() const
{
    const ResultsMode* mode = CurrentMode();
    return mode && mode->RowsAreFiles();
}

std::optional<std::pair<std::string, int64_t>> ResultsList::FileAt(size_t index) const
{
    if (index >= m_rows.Size() || !FileRowsShown())
        return std::nullopt;
    const std::optional<FileRow> file = m_rows.File(index);
    if (!file)
        return std::nullopt;
    return std::make_pair(m_rows.Path(index), file->size);
}

void ResultsList::Clear()
{
    m_rows.Clear();
    if (onFocusRow)
        onFocusRow(-1);
    ::KillTimer(m_list, kShowRowsTimer);
    m_timerRunning = false;
    ListView_SetItemCountEx(m_list, 0, 0);
    m_shownRows = 0;
    m_pageEndCheckedAt = ::GetTickCount() - kShowPageRowsDelayMs; // the list is back at its top
    ::InvalidateRect(m_list, nullptr, TRUE);
}

void ResultsList::RowAdded()
{
    if (!m_timerRunning)
        m_timerRunning =
            ::SetTimer(m_list, kShowRowsTimer, PendingRowsOnPage() ? kShowPageRowsDelayMs : kShowRowsDelayMs,
                       nullptr) != 0;
}

void ResultsList::FindFile1Found(const std::string& folder, const engine::TSearchRec& record,
                                 const std::string& containing, const engine::ContainerKinds& kinds)
{
    FoundItemServices services{
        *m_services.fileSystem, *m_services.localTime, m_shell, m_upper, *m_services.texts, kinds};
    std::vector<std::string> texts;
    if (!containing.empty())
        texts = ContainingTextEncodings(containing);
    if (std::optional<FileRow> file = FoundFileRow(services, folder, record, texts))
    {
        m_rows.AddFile(folder, *file);
        RowAdded();
    }
}

void ResultsList::AddRow(ResultRow row)
{
    m_rows.Add(std::move(row));
    RowAdded();
}

void ResultsList::AddCellToLastRow(std::string text)
{
    if (!m_rows.AddCellToLast(std::move(text)))
        return;
    const int last = static_cast<int>(m_rows.Size()) - 1;
    if (static_cast<size_t>(last) < m_shownRows)
        ListView_RedrawItems(m_list, last, last);
}

void ResultsList::FindFile1NewFolder(const std::string& folder)
{
    // Raising the count costs the control milliseconds (Wine: about 14 ms) however few rows are
    // new, and a walk enters thousands of folders a second: rows that land on the shown page of
    // the details or list view are shown at once, others at most a timer period later.
    if (PendingRowsOnPage() || ::GetTickCount() - m_lastShown >= kShowRowsDelayMs)
        ShowPendingRows();
    if (m_services.setStatus)
        m_services.setStatus(folder);
}

void ResultsList::FindFile1Complete()
{
    ShowPendingRows();
    ShowRowCount();
}

void ResultsList::ShowRowCount()
{
    if (m_services.setStatus)
        m_services.setStatus(m_services.texts->Text(lang::text::kStatusCountBefore) +
                             std::to_string(m_rows.Size()) +
                             m_services.texts->Text(lang::text::kStatusCountAfter));
}

bool ResultsList::PendingRowsOnPage()
{
    // The icon views arrange the rows over the whole page, in no run that the control reports:
    // any new row may land on it.
    if (m_view != ViewStyle::Details && m_view != ViewStyle::List)
        return m_shownRows < m_rows.Size();
    // Asking the control for its page costs more than the rest of a folder's work under Wine; the
    // page moves only when the user scrolls or resizes, so a recent answer serves.
    const DWORD now = ::GetTickCount();
    if (now - m_pageEndCheckedAt >= kShowPageRowsDelayMs)
    {
        m_pageEnd = ListView_GetTopIndex(m_list) + ListView_GetCountPerPage(m_list) + 1;
        m_pageEndCheckedAt = now;
    }
    return m_shownRows < static_cast<size_t>(m_pageEnd);
}

int ResultsList::VisibleCount() const
{
    return ListView_GetItemCount(m_list);
}

void ResultsList::ShowPendingRows()
{
    if (m_timerRunning)
    {
        ::KillTimer(m_list, kShowRowsTimer);
        m_timerRunning = false;
    }
    m_lastShown = ::GetTickCount();
    if (static_cast<size_t>(VisibleCount()) != m_rows.Size())
        ListView_SetItemCountEx(m_list, static_cast<int>(m_rows.Size()),
                                LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    m_shownRows = m_rows.Size();
}

std::vector<std::string> ResultsList::SelectedPaths() const
{
    std::vector<std::string> paths;
    for (int i = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(m_list, i, LVNI_SELECTED))
    {
        if (static_cast<size_t>(i) < m_rows.Size())
            paths.push_back(m_rows.Path(static_cast<size_t>(i)));
    }
    return paths;
}

void ResultsList::LV1DblClick()
{
    std::vector<std::string> paths = SelectedPaths();
    ResultsMode* mode = CurrentMode();
    if (!paths.empty() && mode)
        mode->OpenRows(paths);
}

void ResultsList::LV1MouseDown(UINT button, POINT screen)
{
    if (button != VK_RBUTTON)
        return;
    std::vector<std::string> paths = SelectedPaths();
    ResultsMode* mode = CurrentMode();
    if (!paths.empty() && mode)
        mode->ShowRowMenu(paths, screen);
}

bool ResultsList::OnNotify(const NMHDR& header, LRESULT& result)
{
    switch (header.code)
    {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item;
        if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_rows.Size())
            return true;
        const auto row = static_cast<size_t>(item.iItem);
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        {
            // Size and date texts are made here, from the row's values, for the rows on screen only.
            m_cellBuffer = platform::Widen(m_rows.Text(row, item.iSubItem));
            lstrcpynW(item.pszText, m_cellBuffer.c_str(), item.cchTextMax);
        }
        if (item.mask & LVIF_IMAGE)
            item.iImage = m_rows.Icon(row) >= 0 ? m_rows.Icon(row) : I_IMAGENONE;
        result = 0;
        return true;
    }
    case LVN_ODFINDITEMW: {
        const auto& find = reinterpret_cast<const NMLVFINDITEMW&>(header);
        result = -1;
        if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && find.lvfi.psz)
            result = FindRowByName(find.lvfi.psz, find.iStart, (find.lvfi.flags & LVFI_WRAP) != 0);
        return true;
    }
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        const bool focusChanged =
            (change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_FOCUSED);
        if (focusChanged && (change.uNewState & LVIS_FOCUSED) && onFocusRow)
            onFocusRow(change.iItem);
        result = 0;
        return true;
    }
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
        DragSelected();
        result = 0;
        return true;
    case LVN_COLUMNCLICK:
        LV1ColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        result = 0;
        return true;
    case NM_DBLCLK:
        LV1DblClick();
        result = 0;
        return true;
    case NM_RCLICK: {
        LVHITTESTINFO hit{};
        hit.pt = reinterpret_cast<const NMITEMACTIVATE&>(header).ptAction;
        POINT at = hit.pt;
        ::ClientToScreen(m_list, &at);
        if (ListView_HitTest(m_list, &hit) < 0 && FileRowsShown())
            ShowResultsMenu(at);
        else
            LV1MouseDown(VK_RBUTTON, at);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

LRESULT ResultsList::ListMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kShowRowsTimer)
    {
        ShowPendingRows();
        return 0;
    }
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && OnKey(message, wParam))
        return 0;
    // The keys above come back as characters; the list would take them for the start of a name.
    if (message == WM_CHAR && (wParam == 1 || wParam == 3 || wParam == L'\r'))
        return 0;
    // The context-menu key and Shift+F10 are served at the key itself; the system's own menu
    // request after them would show a second menu.
    if (message == WM_CONTEXTMENU && lParam == -1)
        return 0;
    return controls::Subclass::Default(window, message, wParam, lParam);
}

LRESULT ResultsList::ParentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY)
    {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        LRESULT result = 0;
        if (header && header->hwndFrom == m_list && OnNotify(*header, result))
            return result;
    }
    return controls::Subclass::Default(window, message, wParam, lParam);
}

} // namespace ui
