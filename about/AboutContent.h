#pragma once
// What the About box shows, decided without windows: the flag and caption of the running language,
// the name's font rule, the maker's links and the fixed message texts.
#include <string>

namespace about
{

// The maker's web address (a host name, without scheme) and support e-mail address: the
// project's own. The reserved example domain stands until the project has one, so that no
// stranger's site is ever opened.
extern const char kMakerWebAddress[];
extern const char kMakerMailAddress[];

struct AboutLanguage
{
    std::string flag;    // the flag picture's language: "CSY", "DE", "EN", "ES", "FR", "IT", "RUS"
    std::string caption; // the dialog's caption
};

// By [Options] RunLang, compared after upper-casing its ASCII letters; English for any other value.
AboutLanguage AboutLanguageFor(const std::string& runLang);

// A name longer than 15 characters is drawn smaller (12 point) and lower.
bool NameNeedsSmallFont(const std::string& utf8Name);

// "http://" + address and "mailto:" + address.
std::string WebTarget(const std::string& address);
std::string MailTarget(const std::string& address);

// The message boxes' texts. "\n" in them stands for the two characters backslash and n: the boxes
// show them as such, on one line.
std::string OpenDialogErrorText(const std::string& message);
extern const char kNotShownText[];
std::string ShellExecuteErrorText(unsigned long code, const std::string& systemText);

// "SysErr: " + the system's message with trailing control characters, spaces and full stops dropped.
std::string SysErrorTextFrom(const std::string& systemMessage);

} // namespace about
