#include "lang/Language.h"

#include "lang/LanguageChoice.h"
#include "lang/TextStore.h"
#include "platform/AppMessageBox.h"
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "platform/Win32StringTable.h"
#include "settings/AppPaths.h"
#include "settings/ProfileStore.h"

#include <windows.h>

namespace lang
{
namespace
{

constexpr char kNoText[] = "<No load message>";

// Set while the main window is created, before any other thread exists; only read afterwards.
platform::UniqueModule g_module;

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(platform::Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ShowError(const std::string& message)
{
    // The wide box shows the accented letters on any system code page.
    platform::AppMessageBox(nullptr, message, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

class ModuleTextStore : public TextStore
{
public:
    std::string Text(int id) const override { return GetLangText(id); }
};

} // namespace

std::string DefaultLanguageCode()
{
    return LanguageCodeForLangId(GetSystemDefaultLangID());
}

std::string LanguageModulePath()
{
    settings::IniFileStore settingsFile(settings::SettingsFilePath());
    LanguageChoiceServices services;
    services.exeFileName = settings::ExeFileName();
    services.systemLangId = GetSystemDefaultLangID();
    services.settingsFile = &settingsFile;
    services.fileExists = FileExists;
    services.showError = ShowError;
    return ChooseLanguageModule(services);
}

bool LoadLanguageModule()
{
    g_module.Reset();
    g_module = platform::LoadDataModule(LanguageModulePath());
    return g_module.Valid();
}

std::string GetLangText(int id)
{
    return platform::LoadModuleString(g_module.Get(), id).value_or(kNoText);
}

const TextStore& ModuleTexts()
{
    static const ModuleTextStore store;
    return store;
}

} // namespace lang
