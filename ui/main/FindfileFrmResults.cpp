// The results list LV1 in the main window, its view menu and the side bar's header clicks.
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
    for (int index = 0; index < kPanelCount; ++index)
        services.modes.push_back(&Panels(index)->Mode());
    m_results = std::make_unique<ResultsList>(parent, kIdLV1, std::move(services));
    m_lv1 = m_results->Handle();
}

void TFindfileFrm::SetFileColumns()
{
    m_results->ShowMode(m_filePanel->Mode());
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

void TFindfileFrm::ActivatePanel(int index)
{
    if (!Panels(index))
        return;
    for (int other = 0; other < kPanelCount; ++other)
        if (other != index)
            Panels(other)->Stop();
    Panels(index)->Activate();
}

} // namespace ui
