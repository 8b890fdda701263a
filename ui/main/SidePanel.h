#pragma once
// A panel of the side bar and what the main window offers it. The window builds every panel before
// it is shown, hands each panel the commands of its controls and asks it to take the results list
// (its header was clicked) or to stop its work (another panel takes the list). The panel reaches
// upwards only through FrameHost, in the shape of 7-Zip's panel callback.
#include "engine/ContainerKinds.h"

#include <windows.h>
#include <commctrl.h>
#include <string>

namespace lang
{
class TextStore;
}

namespace platform
{
class SyncCall;
}

namespace ui
{

class ResultsList;
class ResultsMode;

class FrameHost
{
public:
    virtual ResultsList& Results() = 0;
    // The main window: it receives the panel's commands and owns the panel's boxes and dialogs.
    virtual HWND Owner() const = 0;
    // The small pictures of the window's buttons; kFindGlyph is the find button's.
    virtual HIMAGELIST ButtonGlyphs() const = 0;
    static constexpr int kFindGlyph = 6;
    virtual const lang::TextStore& Texts() const = 0;
    // The synchronized call of the window's thread, for the panels' worker threads.
    virtual platform::SyncCall& UiSyncCall() const = 0;
    // Adds note after the status line's text and makes details its tooltip (empty: none).
    virtual void ShowStatusNote(const std::string& note, const std::string& details) = 0;
    // A file search starts; with a containing text the window shows the focused file's lines
    // that hold it.
    virtual void SearchStarting(bool withContainingText, const engine::ContainerKinds& opened) = 0;

protected:
    ~FrameHost() = default;
};

class SidePanel
{
public:
    virtual ~SidePanel() = default;
    // Builds the panel's controls on its page of the side bar.
    virtual void Build(HWND page) = 0;
    // The panel's pictures and fonts at the window's DPI: after Build, once the window has given
    // every control its font, and again when the DPI changes (places follow by themselves).
    virtual void FollowDpi(unsigned dpi) = 0;
    // Every caption of the panel from its text ID (the language module is loaded by then).
    virtual void SetCaptions() = 0;
    // What the panel's rows are to the results list.
    virtual ResultsMode& Mode() = 0;
    // The panel's header, or its bare page, was clicked: the list shows this panel's rows, empty.
    virtual void Activate() = 0;
    // Another panel takes the list: this panel's work is told to stop.
    virtual void Stop() = 0;
    // A command of one of the panel's controls; false when it is not the panel's.
    virtual bool OnCommand(int id, int code, HWND control) = 0;
    // A private message the panel posted to the main window; false when it is not the panel's.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // The cursor over the window while the panel works (a system cursor ID); null: the usual ones.
    virtual const wchar_t* Cursor() const { return nullptr; }
    // Alt and a character: true when one of the panel's labels has that access key and acted.
    virtual bool PressAccessKey(wchar_t /*character*/) { return false; }
    // The window is going: the panel's work ends or is cut loose, and none of it reaches the
    // window again.
    virtual void Close() = 0;
};

} // namespace ui
