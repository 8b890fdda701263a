// ff_press_find MASK [TEXT] | --focus-first | --section N | --open about|language|settings|history |
// --network [TEXT] | --close:
// drives a running FindFile.exe from outside, for screenshots. Types MASK into the name field (and
// TEXT into the containing-text field) and presses the find button, focuses the first result, opens option
// section N (0 date, 1 size, 2 more options), opens the About box, the language dialog, the settings dialog
// or the name field's history, opens the network panel (and with TEXT looks for computers), or closes the
// window (and its open dialog first).
#include "controls/Window.h"
#include "ui/main/FindfileFrm.h"
#include "ui/network/NetworkPanel.h"

#include <windows.h>
#include <string>

namespace
{

BOOL CALLBACK CloseOwnedWindow(HWND window, LPARAM owner)
{
    if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) && IsWindowVisible(window))
        PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    HWND frame = nullptr;
    for (int i = 0; i < 50 && !frame; ++i, Sleep(100))
        frame = FindWindowW(L"TFindfileFrm", nullptr);
    if (!frame)
        return 1;
    if (std::wstring(argv[1]) == L"--close")
    {
        // An open dialog first: it is owned by the window.
        EnumWindows(CloseOwnedWindow, reinterpret_cast<LPARAM>(frame));
        Sleep(300);
        PostMessageW(frame, WM_CLOSE, 0, 0);
        return 0;
    }
    if (std::wstring(argv[1]) == L"--open" && argc > 2)
    {
        const std::wstring which = argv[2];
        if (which == L"history")
        {
            // The name field's list of earlier entries, dropped as by its arrow.
            PostMessageW(controls::FindControl(frame, ui::kIdLMDEdit1), CB_SHOWDROPDOWN, TRUE, 0);
            return 0;
        }
        // Posted: the dialog is modal, and a sent click would wait until it closes.
        const int id = which == L"about"      ? ui::kIdAboutBtn
                       : which == L"language" ? ui::kIdLangBtn
                                              : ui::kIdSettingsBtn;
        PostMessageW(controls::FindControl(frame, id), BM_CLICK, 0, 0);
        return 0;
    }
    if (std::wstring(argv[1]) == L"--network")
    {
        SendMessageW(controls::FindControl(frame, ui::kIdHeader2), WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(5, 5));
        SendMessageW(controls::FindControl(frame, ui::kIdHeader2), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        if (argc > 2)
        {
            SendMessageW(controls::FindControl(frame, ui::kIdLMDEdit3), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(argv[2]));
            SendMessageW(controls::FindControl(frame, ui::kIdFincompsbtn), BM_CLICK, 0, 0);
        }
        return 0;
    }
    if (std::wstring(argv[1]) == L"--focus-first")
    {
        // Home, as typed in the list: the first row takes the focus and the selection.
        HWND list = controls::FindControl(frame, ui::kIdLV1);
        PostMessageW(list, WM_KEYDOWN, VK_HOME, 1);
        PostMessageW(list, WM_KEYUP, VK_HOME, 0xC0000001);
        return 0;
    }
    if (std::wstring(argv[1]) == L"--section" && argc > 2)
    {
        SendMessageW(controls::FindControl(frame, ui::kIdExplBtn1 + 2 * _wtoi(argv[2])), BM_CLICK, 0, 0);
        return 0;
    }
    SendMessageW(controls::FindControl(frame, ui::kIdLMDEdit1), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(argv[1]));
    SendMessageW(controls::FindControl(frame, ui::kIdLMDEdit2), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(argc > 2 ? argv[2] : L""));
    SendMessageW(controls::FindControl(frame, ui::kIdFindfilesbtn), BM_CLICK, 0, 0);
    return 0;
}
