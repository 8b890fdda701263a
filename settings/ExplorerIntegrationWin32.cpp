#include "settings/ExplorerIntegrationWin32.h"

#include "lang/TextIds.h"
#include "lang/TextStore.h"
#include "platform/Win32Registry.h"
#include "settings/AppPaths.h"
#include "settings/ExplorerIntegration.h"

namespace settings
{

namespace
{

template <typename Operation> void WithProgramContext(Operation operation)
{
    // Explorer must see every entry, also when this 32-bit program runs on 64-bit Windows.
    platform::Win32Registry registry(platform::RegistryView::Explorer);
    IniFileStore settingsFile(SettingsFilePath());
    const lang::TextStore& texts = lang::ModuleTexts();
    const ExplorerIntegration context{registry, settingsFile, texts.Text(lang::text::kContextMenuCommand),
                                      ExeFileName(), texts.Text(lang::text::kSearchFileType)};
    operation(context);
}

} // namespace

void setincontext(bool install, bool store)
{
    WithProgramContext([&](const ExplorerIntegration& context) { setincontext(context, install, store); });
}

void setdefaoultfind(bool install, bool store)
{
    WithProgramContext([&](const ExplorerIntegration& context) { setdefaoultfind(context, install, store); });
}

} // namespace settings
