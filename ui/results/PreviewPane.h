#pragma once
// The pane under the results list that shows why the focused file matched: its lines that hold the
// containing text, each hit marked, with two lines around them. The file is read on a thread of
// its own, never on the window's, and a read still running is dropped when the focus moves on. A
// read-only rich edit control shows it, so the keyboard and screen readers reach the text as in
// any other text field.
#include "controls/Subclass.h"
#include "engine/ContainerKinds.h"
#include "lang/TextStore.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/SyncCall.h"
#include "platform/UniqueHandle.h"

#include <windows.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace ui
{

class PreviewReader;

// A file of the results as the search saw it.
struct PreviewFile
{
    std::string path;
    int64_t size = 0;
};

struct PreviewPaneServices
{
    platform::FileSystem& fileSystem;
    platform::SyncCall& syncCall; // of the window's thread
    const lang::TextStore& texts;
    const platform::CodePage& codePage;
};

class PreviewPane
{
public:
    PreviewPane(HWND parent, int controlId, PreviewPaneServices services);
    ~PreviewPane();
    PreviewPane(const PreviewPane&) = delete;
    PreviewPane& operator=(const PreviewPane&) = delete;

    HWND Handle() const { return m_edit; }
    // Shows file's lines that hold containing (letter case ignored), after a pause short enough
    // not to be seen and long enough that running down the list does not read every file on the
    // way. No file, or no text, empties the pane with a word on why.
    // Documents and archives of a kind in opened show the lines of the text inside them.
    void Follow(const std::optional<PreviewFile>& file, const std::string& containing,
                const engine::ContainerKinds& opened);
    // The pane's text as the user reads it (tests, screen readers' view).
    std::string Text() const;
    // True while a file is being read.
    bool Reading() const { return m_reader != nullptr; }
    static constexpr UINT kPauseMs = 120;

private:
    static constexpr UINT_PTR kPauseTimer = 0x5052; // "PR": the control's own timers have others
    void PauseEnded();
    void StartReading();
    void ShowRtf(const std::string& rtf);
    void ShowNote(int textId);
    void Finished(const PreviewReader& reader);
    std::string T(int id) const;

    PreviewPaneServices m_services;
    HWND m_edit = nullptr;
    controls::Subclass m_keys;
    std::optional<PreviewFile> m_file;
    std::string m_containing;
    engine::ContainerKinds m_opened{false, false};
    std::shared_ptr<PreviewReader> m_reader;
    unsigned m_nextId = 1;
};

} // namespace ui
