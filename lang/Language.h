#pragma once
// The language module: one resource-only DLL chosen at start-up, feeding every text lookup.
#include <string>

namespace lang
{

// Code of the system's default language ("EN", "CSY", "DE", "ES", "FR", "IT", "RUS"); "EN" for
// any other language.
std::string DefaultLanguageCode();

// Decides which module to use from the settings file's [Options] Language and the system language,
// writes the decision back to [Options] RunLang, and returns the module's full path.
std::string LanguageModulePath();

// Frees a module loaded before, then loads the one LanguageModulePath names. False when it could
// not be loaded; the user is not told, every text then reads "<No load message>".
bool LoadLanguageModule();

// The text with this ID (lang/TextIds.h) from the loaded module, UTF-8, at most 1023 UTF-16
// characters; "<No load message>" when it is missing or empty or no module is loaded.
std::string GetLangText(int id);

} // namespace lang
