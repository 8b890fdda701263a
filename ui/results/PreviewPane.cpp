#include "ui/results/PreviewPane.h"

#include "controls/Window.h"
#include "engine/HitLines.h"
#include "lang/TextIds.h"
#include "platform/Thread.h"
#include "platform/Utf8.h"
#include "ui/results/PreviewText.h"

#include <richedit.h>
#include <stdexcept>

namespace ui
{

namespace
{

// More lines than anyone reads in a pane; the rest is the editor's job.
constexpr size_t kMaxHitLines = 500;

// The rich edit control's module, loaded once for the program's life.
HMODULE RichEditModule()
{
    static const HMODULE module = LoadLibraryW(L"riched20.dll");
    return module;
}

std::string FileName(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given)
{
    auto& rest = *reinterpret_cast<std::string_view*>(cookie);
    const size_t count = std::min(rest.size(), static_cast<size_t>(wanted));
    std::copy_n(rest.data(), count, buffer);
    rest.remove_prefix(count);
    *given = static_cast<LONG>(count);
    return 0;
}

} // namespace

// Reads one file's hit lines; its end reaches the pane on the window's thread (OnTerminate),
// unless the pane has moved on and orphaned it.
class PreviewReader final : public platform::TThread
{
public:
    PreviewReader(platform::SyncCall& syncCall, unsigned id, const PreviewPaneServices& services,
                  PreviewFile file, std::string text, engine::ContainerKinds opened)
        : TThread(syncCall, true), m_id(id), m_fileSystem(services.fileSystem), m_codePage(services.codePage),
          m_file(std::move(file)), m_text(std::move(text)), m_opened(opened)
    {
    }
    unsigned Id() const { return m_id; }
    const PreviewFile& File() const { return m_file; }
    const engine::HitLinesResult& Result() const { return m_result; }
    // The file's size when it was read; none when it could not be opened for it.
    std::optional<uint64_t> SizeNow() const { return m_sizeNow; }

protected:
    void Execute() override
    {
        engine::HitLinesQuery query;
        query.text = m_text;
        query.maxHits = kMaxHitLines;
        query.codePage = &m_codePage;
        query.containers = m_opened;
        m_result = engine::FindHitLines(m_fileSystem, m_file.path, query, [this] { return Terminated(); });
        if (m_result.outcome != engine::HitLinesResult::Outcome::Read)
            return;
        if (auto reader = m_fileSystem.OpenFile(m_file.path, platform::FileShare::ReadWrite))
            m_sizeNow = reader->Size();
    }

private:
    const unsigned m_id;
    platform::FileSystem& m_fileSystem;
    const platform::CodePage& m_codePage;
    const PreviewFile m_file;
    const std::string m_text;
    const engine::ContainerKinds m_opened;
    engine::HitLinesResult m_result;
    std::optional<uint64_t> m_sizeNow;
};

PreviewPane::PreviewPane(HWND parent, int controlId, PreviewPaneServices services) : m_services(services)
{
    if (!RichEditModule())
        throw std::runtime_error("The rich edit control (riched20.dll) could not be loaded.");
    m_edit = controls::CreateChild(parent, controlId, RICHEDIT_CLASSW,
                                   WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                                       ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                                   0, 0, 10, 10, WS_EX_CLIENTEDGE);
    if (!m_edit)
        throw std::runtime_error("The preview pane could not be created.");
    // The whole pane is the program's: it keeps the edit's own keys but lets Tab and Enter go to
    // the window, so the keyboard leaves the pane as it came.
    m_keys.Install(m_edit, [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_TIMER && wParam == kPauseTimer)
        {
            PauseEnded();
            return LRESULT{0};
        }
        const LRESULT result = controls::Subclass::Default(hwnd, msg, wParam, lParam);
        if (msg == WM_GETDLGCODE)
            return result & ~static_cast<LRESULT>(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
        return result;
    });
    SendMessageW(m_edit, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_WINDOW)));
    SendMessageW(m_edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(4, 4));
    ShowNote(lang::text::kPreviewNoFile);
}

PreviewPane::~PreviewPane()
{
    if (m_reader)
        m_reader->Orphan();
}

std::string PreviewPane::T(int id) const
{
    return m_services.texts.Text(id);
}

void PreviewPane::Follow(const std::optional<PreviewFile>& file, const std::string& containing,
                         const engine::ContainerKinds& opened)
{
    m_opened = opened;
    if (m_reader)
    {
        m_reader->Orphan();
        m_reader.reset();
    }
    m_file = file;
    m_containing = containing;
    KillTimer(m_edit, kPauseTimer);
    if (!file)
        ShowNote(lang::text::kPreviewNoFile);
    else if (containing.empty())
        ShowNote(lang::text::kPreviewNoText);
    else
        SetTimer(m_edit, kPauseTimer, kPauseMs, nullptr);
}

void PreviewPane::PauseEnded()
{
    KillTimer(m_edit, kPauseTimer);
    if (m_file && !m_containing.empty())
        StartReading();
}

void PreviewPane::StartReading()
{
    auto reader = std::make_shared<PreviewReader>(m_services.syncCall, m_nextId++, m_services, *m_file,
                                                  m_containing, m_opened);
    reader->OnTerminate = [this](platform::TThread& sender) {
        const auto& finished = static_cast<const PreviewReader&>(sender);
        if (m_reader && finished.Id() == m_reader->Id())
            Finished(finished);
    };
    reader->Start();
    m_reader = std::move(reader);
}

void PreviewPane::Finished(const PreviewReader& reader)
{
    using Outcome = engine::HitLinesResult::Outcome;
    const engine::HitLinesResult& result = reader.Result();
    std::string heading = FileName(reader.File().path);
    if (!result.encoding.empty())
        heading += " (" + result.encoding + ")";
    std::vector<std::string> notes;
    size_t hitLines = 0;
    for (const engine::HitLine& line : result.lines)
        hitLines += line.context ? 0 : 1;
    switch (result.outcome)
    {
    case Outcome::Vanished:
        notes.push_back(T(lang::text::kPreviewVanished));
        break;
    case Outcome::Unreadable:
        notes.push_back(T(lang::text::kPreviewUnreadable));
        break;
    case Outcome::Stopped:
        return; // only a pane that has moved on stops its reader
    case Outcome::Read:
        if (!reader.SizeNow() || static_cast<int64_t>(*reader.SizeNow()) != reader.File().size)
            notes.push_back(T(lang::text::kPreviewChanged));
        if (hitLines == 0)
            notes.push_back(T(lang::text::kPreviewNoHit));
        break;
    }
    if (hitLines > 0)
        heading += " - " + T(lang::text::kPreviewLineCount) + std::to_string(hitLines);
    if (result.cutOff)
        notes.push_back(T(lang::text::kPreviewCutOff));
    m_reader.reset();
    ShowRtf(PreviewRtf(heading, notes, result.lines));
}

void PreviewPane::ShowNote(int textId)
{
    ShowRtf(PreviewRtf(T(textId), {}, {}));
}

void PreviewPane::ShowRtf(const std::string& rtf)
{
    std::string_view rest = rtf;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&rest);
    stream.pfnCallback = &ReadRtf;
    // One message for the whole text; no WM_SETREDRAW around it, which would show a hidden pane.
    SendMessageW(m_edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    SendMessageW(m_edit, EM_SETSEL, 0, 0);
}

std::string PreviewPane::Text() const
{
    return controls::WindowText(m_edit);
}

} // namespace ui
