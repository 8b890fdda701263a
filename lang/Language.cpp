#include "lang/Language.h"

#include "lang/LanguageChoice.h"
#include "lang/TextStore.h"
#include "platform/AppTitle.h"
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
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
    MessageBoxW(nullptr, platform::Widen(message).c_str(), platform::Widen(platform::kAppTitle).c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
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
    std::string path = LanguageModulePath();
    // As data: the module's code never runs, and a file that is not a module simply fails.
    g_module.Reset(LoadLibraryExW(platform::Widen(path).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    return g_module.Valid();
}

std::string GetLangText(int id)
{
    if (!g_module || id < 0)
        return kNoText;
    wchar_t buffer[1024];
    int length = LoadStringW(g_module.Get(), static_cast<UINT>(id), buffer, ARRAYSIZE(buffer));
    if (length <= 0)
        return kNoText;
    // A text ends at its first NUL.
    std::wstring text(buffer, wcsnlen(buffer, static_cast<size_t>(length)));
    // A cut at the buffer's end may split a surrogate pair; drop the orphaned half.
    if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF)
        text.pop_back();
    if (text.empty())
        return kNoText;
    try
    {
        return platform::Narrow(text);
    }
    catch (...)
    {
        return kNoText;
    }
}

const TextStore& ModuleTexts()
{
    static const ModuleTextStore store;
    return store;
}

} // namespace lang
