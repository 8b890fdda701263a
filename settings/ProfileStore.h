#pragma once
// One settings file seen as keys in sections, so that decisions built on it can be tested with a
// map in memory.
#include <string>

namespace settings
{

class ProfileStore
{
public:
    virtual ~ProfileStore() = default;
    // True when the key is present and its text is not "<Error>"; value then holds the text.
    virtual bool ReadString(const std::string& section, const std::string& key, std::string& value) = 0;
    // False when the value could not be stored.
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

// The settings file at path, read and written one key at a time (ReadIniString, WriteIniString).
class IniFileStore : public ProfileStore
{
public:
    explicit IniFileStore(std::string path) : m_path(std::move(path)) {}
    bool ReadString(const std::string& section, const std::string& key, std::string& value) override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value) override;

private:
    std::string m_path;
};

} // namespace settings
