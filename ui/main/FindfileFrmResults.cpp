// The results list LV1 in the main window, and the finder's events that fill it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "ui/main/FindfileFrm.h"

namespace ui
{

namespace
{

ViewStyle ViewOfItem(int id)
{
    switch (id)
    {
    case kIdMaleikony1:
        return ViewStyle::SmallIcons;
    case kIdVelkeikony1:
        return ViewStyle::LargeIcons;
    case kIdSeznam1:
        return ViewStyle::List;
    default:
        return ViewStyle::Details;
    }
}

} // namespace

void TFindfileFrm::CreateLV1(HWND parent)
{
    ResultsListServices services;
    services.texts = &m_texts;
    services.setStatus = [this](const std::string& text) { m_panel2Text.SetText(text); };
    // The field is looked up once: finding a control by its ID walks the whole window tree, which
    // at every found item cost more than the rest of the row.
    services.containingText = [this, edit = HWND{}]() mutable {
        if (!edit)
            edit = Control(kIdLMDEdit2);
        return controls::WindowText(edit);
    };
    m_results = std::make_unique<ResultsList>(parent, kIdLV1, std::move(services));
    m_lv1 = m_results->Handle();
}

void TFindfileFrm::SetFileColumns()
{
    m_results->SetFileColumns();
}

void TFindfileFrm::ClearResults()
{
    m_results->Clear();
}

// PopupMenu2 (dropped from Icostylebtn): one radio group, the chosen view checked.
void TFindfileFrm::ViewMenuClick(int item)
{
    if (item < kIdMaleikony1 || item > kIdPodrobnosti1)
        return;
    m_results->SetView(ViewOfItem(item));
    CheckMenuRadioItem(m_viewMenu.Get(), kIdMaleikony1, kIdPodrobnosti1, static_cast<UINT>(item),
                       MF_BYCOMMAND);
}

void TFindfileFrm::Header1Click()
{
    if (m_options.hooks.stopNetworkLookup)
        m_options.hooks.stopNetworkLookup();
    ClearResults();
    SetFileColumns();
    ListView_SetColumnWidth(m_lv1, 1, 200);
}

void TFindfileFrm::FindFile1Found(const std::string& folder, const engine::TSearchRec& record)
{
    if (!Handle())
        return;
    // The containing text is read at every item: editing it during a search filters from then on.
    m_results->FindFile1Found(folder, record);
}

void TFindfileFrm::FindFile1NewFolder(const std::string& folder)
{
    if (Handle())
        m_results->FindFile1NewFolder(folder);
}

void TFindfileFrm::FindFile1Complete()
{
    if (!Handle())
        return;
    controls::SetWindowTextUtf8(Control(kIdFindfilesbtn), T(lang::text::kFindStart));
    m_results->FindFile1Complete();
}

} // namespace ui
