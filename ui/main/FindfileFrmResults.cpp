// The results list LV1 and the finder's events. Plain rows (name and folder) for now: the full
// results list with icons, sizes, dates, types, sorting and the content filter replaces this.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include "lang/Language.h"
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "ui/main/FindfileFrm.h"

namespace ui
{

void TFindfileFrm::CreateLV1(HWND parent)
{
    m_lv1 =
        Add(parent, kIdLV1, WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP,
            0, 0, 10, 10, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(m_lv1, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    const int widths[5] = {100, 200, 100, 80, 80};
    for (int i = 0; i < 5; ++i)
    {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.cx = widths[i];
        column.pszText = const_cast<wchar_t*>(L"");
        column.iSubItem = i;
        ListView_InsertColumn(m_lv1, i, &column);
    }
    AttachResultImages();
}

void TFindfileFrm::SetFileColumns()
{
    using namespace lang::text;
    const int ids[5] = {kColumnName, kColumnFolder, kColumnSize, kColumnModified, kColumnType};
    for (int i = 0; i < 5; ++i)
    {
        std::wstring text = platform::Widen(lang::GetLangText(ids[i]));
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = text.data();
        ListView_SetColumn(m_lv1, i, &column);
    }
}

void TFindfileFrm::AttachResultImages()
{
    // VelkeImg and MaleImg: the shell's system image lists, shared and never freed here.
    SHFILEINFOW info{};
    auto large = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_LARGEICON));
    auto small = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ListView_SetImageList(m_lv1, large, LVSIL_NORMAL);
    ListView_SetImageList(m_lv1, small, LVSIL_SMALL);
}

void TFindfileFrm::ClearResults()
{
    SendMessageW(m_lv1, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(m_lv1);
    SendMessageW(m_lv1, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_lv1, nullptr, TRUE);
}

void TFindfileFrm::Header1Click()
{
    // A running network lookup is told to stop by the network panel once it exists.
    ClearResults();
    SetFileColumns();
    ListView_SetColumnWidth(m_lv1, 1, 200);
    AttachResultImages();
}

void TFindfileFrm::FindFile1Found(const std::string& folder, const engine::TSearchRec& record)
{
    if (!Handle())
        return;
    std::wstring name = platform::Widen(record.Name);
    std::wstring place = platform::Widen(folder);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(m_lv1);
    item.pszText = name.data();
    const int row = ListView_InsertItem(m_lv1, &item);
    if (row >= 0)
        ListView_SetItemText(m_lv1, row, 1, place.data());
}

void TFindfileFrm::FindFile1NewFolder(const std::string& folder)
{
    if (m_panel2)
        controls::SetWindowTextUtf8(m_panel2, folder);
}

void TFindfileFrm::FindFile1Complete()
{
    using namespace lang::text;
    if (!Handle())
        return;
    controls::SetWindowTextUtf8(Control(kIdFindfilesbtn), lang::GetLangText(kFindStart));
    controls::SetWindowTextUtf8(m_panel2, lang::GetLangText(kStatusCountBefore) +
                                              std::to_string(ListView_GetItemCount(m_lv1)) +
                                              lang::GetLangText(kStatusCountAfter));
}

} // namespace ui
