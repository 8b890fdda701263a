#include "about/AboutContent.h"

namespace about
{

const char kMakerWebAddress[] = "pelioninfo.example";
const char kMakerMailAddress[] = "support@pelioninfo.example";
const char kNotShownText[] = "Not show 'About' !";

AboutLanguage AboutLanguageFor(const std::string& runLang)
{
    std::string upper = runLang;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (upper == "CSY")
        return {"CSY", "O Aplikaci"};
    if (upper == "DE")
        return {"DE", "\xC3\x9C"
                      "ber Applikacion"};
    if (upper == "ES")
        return {"ES", "Sobre aplicati\xC3\xB3n"};
    if (upper == "FR" || upper == "IT" || upper == "RUS")
        return {upper, "About"};
    return {"EN", "About"};
}

bool NameNeedsSmallFont(const std::string& utf8Name)
{
    size_t characters = 0;
    for (unsigned char c : utf8Name)
        if ((c & 0xC0) != 0x80)
            ++characters;
    return characters > 15;
}

std::string WebTarget(const std::string& address)
{
    return "http://" + address;
}

std::string MailTarget(const std::string& address)
{
    return "mailto:" + address;
}

std::string OpenDialogErrorText(const std::string& message)
{
    return "Error open dialog !\\n\\n" + message;
}

std::string ShellExecuteErrorText(unsigned long code, const std::string& systemText)
{
    return "Error no." + std::to_string(code) + " of 'ShellExecute' design!\\n\\n" + systemText;
}

std::string SysErrorTextFrom(const std::string& systemMessage)
{
    std::string text = systemMessage;
    while (!text.empty())
    {
        const unsigned char last = static_cast<unsigned char>(text.back());
        if (last < 0x20 || last == 0x7F || last == ' ' || last == '.')
            text.pop_back();
        else
            break;
    }
    return "SysErr: " + text;
}

} // namespace about
