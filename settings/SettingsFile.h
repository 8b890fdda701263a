#pragma once
// The program's few accessors to its ini file. Every call reads or writes one key through the
// platform's profile functions; nothing is cached, so another instance's writes are seen at once.
#include "settings/WindowPlace.h"

#include <string>
#include <vector>

namespace settings
{

// The key's value as an integer: optional sign, then decimal digits, or hexadecimal after "0x",
// "0X" or "$". -1 when the key is absent or empty, is not a number, does not fit in 32 bits, or
// the file cannot be read.
int ReadIniInteger(const std::string& file, const std::string& section, const std::string& key);

// Writes value in decimal; false when the file cannot be written.
bool WriteIniInteger(const std::string& file, const std::string& section, const std::string& key, int value);

// Reads the key's text into value; true only when the key is present and its text is not
// "<Error>". Otherwise false, with value "<Error>" (or empty when the file could not be read).
bool ReadIniString(const std::string& file, const std::string& section, const std::string& key,
                   std::string& value);

// Writes value; false when the file cannot be written.
bool WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value);

// [Settings] InContextMenu of the settings file: the Explorer menu entry; -1 when unset (counts as on).
int incontext();

// [Settings] DefaultFind of the settings file: the shell's find handler; -1 when unset (counts as on).
int defaultfind();

// [Settings] SweepLocalNetwork: the network panel also asks every address of the local network.
// Off unless stored as 1 (asking a whole network unasked alarms its guards).
bool SweepLocalNetwork();
// False when the choice could not be stored.
bool SetSweepLocalNetwork(bool on);

// [Settings] SearchInDocuments: the content test reads the text inside Office and OpenDocument
// files; on unless stored as 0. [Settings] SearchInArchives: it reads the text files inside zip
// archives; off unless stored as 1 (an archive can take long to expand). The setters answer false
// when the choice could not be stored.
bool SearchInDocuments();
bool SetSearchInDocuments(bool on);
bool SearchInArchives();
bool SetSearchInArchives(bool on);

// [Options] Language: the language code chosen for the next start (see ReadIniString).
bool ReadStoredLanguage(std::string& code);
bool WriteStoredLanguage(const std::string& code);

// [Settings] KeepSearchHistory: the search fields remember what is typed; on unless stored as 0.
bool KeepSearchHistory();
// Off also empties the history. False when the choice could not be stored.
bool SetKeepSearchHistory(bool on);

// [History] FIELD1 to FIELDn: the stored values of one field's history, the newest first (field:
// "Name", "Text" or "Folder"). Reading stops at the first absent or empty key.
std::vector<std::string> ReadHistoryValues(const std::string& field, size_t length);
// Writes the first length values and empties the key after them; false when the file cannot be
// written.
bool WriteHistoryValues(const std::string& field, const std::vector<std::string>& values, size_t length);

// [Options] PreviewPane: the matching lines under the results list; on unless stored as 0.
bool ShowPreviewPane();
// False when the choice could not be stored.
bool SetShowPreviewPane(bool on);

// [Window] Place, Maximized, Dpi, Columns, View: the main window's place and its list's look at
// the last close. Damaged values read as unset.
WindowPlace ReadWindowPlace();
// False when the file cannot be written.
bool WriteWindowPlace(const WindowPlace& place);

// [Options] RunLang: the language code the running program loaded (see ReadIniString).
bool ReadRunLanguage(std::string& code);

} // namespace settings
