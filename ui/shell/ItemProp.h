#pragma once
// The shell's own actions on found items: their context menu, with owner-drawn and late-filled
// entries of shell extensions working, and their default command.
#include "platform/UniqueHandle.h"

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace itemprop
{

struct ContextMenuResult
{
    bool succeeded = false;
    bool renameRequested = false;
};

// Takes the place of the menu tracking: receives the filled menu, the helper window that owns it and
// the screen point, and returns the chosen command identifier (0: dismissed). Tests use it.
using MenuChooser = std::function<UINT(HMENU menu, HWND helper, POINT at)>;

// The command identifier of the shell's rename entry; choosing it only reports the request.
constexpr UINT kRenameCommand = 19;

// Shows the shell context menu for names (relative to parentFolder; an empty parentFolder is the
// desktop, so names are full paths) at a screen point and carries out the chosen command. Names
// that do not resolve are skipped; with none left nothing is shown.
ContextMenuResult ShowContextMenu(const std::string& parentFolder, const std::vector<std::string>& names,
                                  HWND owner, POINT at, const MenuChooser& choose = {});

// Carries out the command the shell marks as the default one for names (normally opening them).
bool InvokeDefaultVerb(const std::string& parentFolder, const std::vector<std::string>& names, HWND owner);

// The shell's data object for files given by full path (the clipboard and drag-and-drop form
// Explorer reads: file drop list and item-ID list); empty when none resolves.
platform::ComPtr<IDataObject> DataObjectOf(const std::vector<std::string>& paths, HWND owner);

// The class and window names of the invisible window that owns the menu while it is shown.
constexpr const wchar_t* kHelperClassName = L"ItemPropMenuCallbackHelper";
constexpr const wchar_t* kHelperWindowName = L"ItemPropCallbackProcessor";

} // namespace itemprop
