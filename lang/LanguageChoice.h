#pragma once
// Which language module a start uses: decided from the settings file, the system's language and
// the modules lying beside the executable. Portable; the Win32 side supplies the services.
#include "settings/ProfileStore.h"

#include <functional>
#include <string>

namespace lang
{

// The message shown when the chosen module is missing; %s stands for the language code.
extern const char kMissingModuleMessage[];

// The seven codes by the system language's primary number (langId AND 0x3FF); "EN" otherwise.
std::string LanguageCodeForLangId(unsigned langId);

// The module of code beside the executable: its path without extension, code, ".dll".
std::string ModulePathFor(const std::string& exeFileName, const std::string& code);

// kMissingModuleMessage with code in place of %s.
std::string MissingModuleMessage(const std::string& code);

struct LanguageChoiceServices
{
    std::string exeFileName;
    unsigned systemLangId = 0;
    settings::ProfileStore* settingsFile = nullptr; // the settings file
    std::function<bool(const std::string& path)> fileExists;
    std::function<void(const std::string& message)> showError; // modal; returns when dismissed
};

// Reads [Options] Language (writing the system default when absent), falls back to English with
// one error message when that module is missing (writing Language=EN), writes [Options] RunLang
// every time, and returns the module path to load.
std::string ChooseLanguageModule(const LanguageChoiceServices& services);

} // namespace lang
