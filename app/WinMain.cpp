// The program entry: the finder's platform services, the main window and the message loop.
// clang-format off
#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>
// clang-format on

#include "about/DlgAbout.h"
#include "controls/ApplicationWindow.h"
#include "controls/Window.h"
#include "crash/ExceptionReport.h"
#include "lang/Languagesettings.h"
#include "lang/TextStore.h"
#include "platform/AppTitle.h"
#include "platform/Utf8.h"
#include "platform/Win32CodePage.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32LocalTime.h"
#include "platform/Win32SyncCall.h"
#include "platform/Win32ThreadControl.h"
#include "settings/ExplorerIntegrationWin32.h"
#include "settings/FindFileSettingsFrm.h"
#include "ui/main/FindfileFrm.h"
#include "ui/shell/OleSession.h"

#include <exception>
#include <optional>
#include <string>

namespace
{

std::optional<std::string> FirstArgument()
{
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::optional<std::string> first;
    if (args && count > 1)
        first = platform::Narrow(args[1]);
    LocalFree(args);
    return first;
}

// Start-up and a change of language bring the context-menu entries in line; a registry error is
// shown and the program goes on.
void ApplyContextMenuSetting(bool install, bool store)
{
    try
    {
        settings::setincontext(install, store);
    }
    catch (const std::exception& e)
    {
        controls::ShowErrorBox(nullptr, e.what());
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    // Before anything else, so that no fault of the program vanishes without a report.
    crash::InstallExceptionReport();
    // The shell's menus and folder browser need OLE on this thread, for the program's whole life.
    const itemprop::OleSession ole;

    platform::Win32FileSystem fileSystem;
    platform::Win32LocalTime localTime;
    platform::Win32SyncCall syncCall;
    platform::Win32ThreadControl threads;
    platform::Win32CodePage codePage;
    const engine::FinderServices services{fileSystem, localTime, syncCall, threads, &codePage};

    int exitCode = 0;
    {
        // The taskbar shows the application title in every language; the window's caption is
        // the language module's.
        controls::ApplicationWindow application;
        ui::FrameOptions options;
        if (application.Create(platform::kAppTitle))
            options.application = &application;
        options.firstArgument = FirstArgument();
        options.keepPlace = true;
        options.hooks.about = [](HWND owner) { about::TCorvaneAbout(owner).ShowAbout(); };
        options.hooks.language = [](HWND owner) { return lang::ShowLanguageSettings(owner); };
        options.hooks.setincontext = &ApplyContextMenuSetting;
        options.hooks.settings = [](HWND owner) {
            settings::ShowFindFileSettings(owner, lang::ModuleTexts());
        };
        ui::TFindfileFrm frame(services, std::move(options));
        HWND window = frame.Create();
        if (!window)
            return 1;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        {
            if (frame.PreTranslateMessage(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        exitCode = static_cast<int>(msg.wParam);
    }
    // A new language was accepted: the window has closed and removed its Explorer entries, so the
    // new instance can write its own.
    if (lang::RestartRequested())
        lang::StartProgramAgain();
    return exitCode;
}
