#include "lang/LanguageChoice.h"

#include "settings/PathRules.h"

namespace lang
{

const char kMissingModuleMessage[] = "Jazyková mutace %s modulu neexistuje!";

namespace
{

constexpr char kSection[] = "Options";
constexpr char kEnglish[] = "EN";

} // namespace

std::string LanguageCodeForLangId(unsigned langId)
{
    switch (langId & 0x3FF)
    {
    case 5:
        return "CSY";
    case 7:
        return "DE";
    case 10:
        return "ES";
    case 12:
        return "FR";
    case 16:
        return "IT";
    case 25:
        return "RUS";
    default:
        return kEnglish;
    }
}

std::string ModulePathFor(const std::string& exeFileName, const std::string& code)
{
    return settings::ChangeFileExtension(exeFileName, "") + code + ".dll";
}

std::string MissingModuleMessage(const std::string& code)
{
    // Plain substitution: a code holding "%" must not be read as a format.
    std::string message = kMissingModuleMessage;
    size_t at = message.find("%s");
    return message.replace(at, 2, code);
}

std::string ChooseLanguageModule(const LanguageChoiceServices& services)
{
    settings::ProfileStore& store = *services.settingsFile;
    std::string code;
    if (!store.ReadString(kSection, "Language", code))
    {
        code = LanguageCodeForLangId(services.systemLangId);
        store.WriteString(kSection, "Language", code);
    }

    std::string path = ModulePathFor(services.exeFileName, code);
    if (!services.fileExists(path))
    {
        services.showError(MissingModuleMessage(code));
        code = kEnglish;
        path = ModulePathFor(services.exeFileName, code);
        store.WriteString(kSection, "Language", code);
    }

    store.WriteString(kSection, "RunLang", code);
    return path;
}

} // namespace lang
