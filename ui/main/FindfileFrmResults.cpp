// The results list LV1 in the main window, its view menu and the side bar's header clicks.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "lang/TextIds.h"
#include "platform/Utf8.h"
#include "settings/SettingsFile.h"
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
    if (item == kIdPreviewMenu)
    {
        m_previewWanted = !m_previewWanted;
        settings::SetShowPreviewPane(m_previewWanted);
        CheckMenuItem(m_viewMenu.Get(), kIdPreviewMenu,
                      MF_BYCOMMAND | (m_previewWanted ? MF_CHECKED : MF_UNCHECKED));
        UpdatePreview();
        return;
    }
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
    UpdatePreview();
}

void TFindfileFrm::CreatePreview(HWND parent)
{
    m_previewWanted = settings::ShowPreviewPane();
    const platform::CodePage& codePage = m_finderServices.codePage
                                             ? *m_finderServices.codePage
                                             : static_cast<const platform::CodePage&>(m_systemCodePage);
    m_preview = std::make_unique<PreviewPane>(
        parent, kIdPreview, PreviewPaneServices{m_finderServices.fileSystem, m_syncCall, m_texts, codePage});
    ShowWindow(m_preview->Handle(), SW_HIDE);
    m_results->onFocusRow = [this](int row) { PreviewFocusedRow(row); };
    AppendMenuW(m_viewMenu.Get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m_viewMenu.Get(), MF_STRING | (m_previewWanted ? MF_CHECKED : MF_UNCHECKED), kIdPreviewMenu,
                L"");
}

bool TFindfileFrm::PreviewShown() const
{
    return m_previewShown;
}

void TFindfileFrm::SearchStarting(bool withContainingText, const engine::ContainerKinds& opened)
{
    m_previewForSearch = withContainingText;
    m_previewKinds = opened;
    UpdatePreview();
}

void TFindfileFrm::UpdatePreview()
{
    const bool shown = m_preview && m_previewWanted && m_previewForSearch && m_results->IsFileMode();
    if (shown != m_previewShown)
    {
        m_previewShown = shown;
        ShowWindow(m_preview->Handle(), shown ? SW_SHOWNA : SW_HIDE);
        Layout();
    }
    PreviewFocusedRow(shown ? ListView_GetNextItem(m_lv1, -1, LVNI_FOCUSED) : -1);
}

void TFindfileFrm::PreviewFocusedRow(int row)
{
    if (!m_preview)
        return;
    if (!m_previewShown)
    {
        m_preview->Follow(std::nullopt, {}, m_previewKinds);
        return;
    }
    std::optional<PreviewFile> file;
    if (row >= 0)
        if (auto found = m_results->FileAt(static_cast<size_t>(row)))
            file = PreviewFile{found->first, found->second};
    m_preview->Follow(file, controls::WindowText(Control(kIdLMDEdit2)), m_previewKinds);
}

} // namespace ui
