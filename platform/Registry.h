#pragma once
// Portable view of the registry: keys by path under a root, typed string reads, raw values for
// copying, enumeration and deleting a whole tree. The Win32 adapter is platform/Win32Registry;
// tests use an in-memory fake.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform
{

enum class RegistryRoot
{
    ClassesRoot,
    CurrentUser,
};

enum class RegistryAccess
{
    Read,
    // Read, write, create subkeys and enumerate: a key the process may only read does not open.
    Full,
};

// Registry value types as the platform numbers them.
constexpr uint32_t kRegString = 1;       // REG_SZ
constexpr uint32_t kRegExpandString = 2; // REG_EXPAND_SZ
constexpr uint32_t kRegBinary = 3;       // REG_BINARY
constexpr uint32_t kRegDword = 4;        // REG_DWORD
constexpr uint32_t kRegMultiString = 7;  // REG_MULTI_SZ

// A value as stored: its name ("" for the key's default value), type and bytes.
struct RegistryValue
{
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;

    bool operator==(const RegistryValue& other) const
    {
        return name == other.name && type == other.type && data == other.data;
    }
};

struct StringRead
{
    enum Status
    {
        Ok,
        Missing,   // no such value (or it could not be read)
        WrongType, // present, but neither a string nor an expandable string
    };
    Status status = Missing;
    std::string text;        // UTF-8, up to the first terminator
    bool expandable = false; // stored as an expandable string
};

// An open key; it is closed when the object goes.
class RegistryKey
{
public:
    virtual ~RegistryKey() = default;
    virtual StringRead ReadString(const std::string& name) = 0;
    // False when the registry refuses the write.
    virtual bool WriteString(const std::string& name, const std::string& text, bool expandable = false) = 0;
    // Every value (the default value too, when it is set), in the registry's order.
    virtual std::vector<RegistryValue> Values() = 0;
    virtual bool WriteValue(const RegistryValue& value) = 0;
    // Names of the direct subkeys, in the registry's order.
    virtual std::vector<std::string> Subkeys() = 0;
};

class Registry
{
public:
    virtual ~Registry() = default;
    // Null when the key does not exist or cannot be opened with that access.
    virtual std::unique_ptr<RegistryKey> Open(RegistryRoot root, const std::string& path,
                                              RegistryAccess access = RegistryAccess::Full) = 0;
    // Opens the key with full access, creating it and every missing key on the way; null when refused.
    virtual std::unique_ptr<RegistryKey> Create(RegistryRoot root, const std::string& path) = 0;
    // Deletes the key with all its subkeys (deepest first, the last subkey first). False when the
    // key is missing or not everything could be deleted.
    virtual bool DeleteTree(RegistryRoot root, const std::string& path) = 0;
};

} // namespace platform
