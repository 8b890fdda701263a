// The registry adapter against the real registry, in a key of this test process's own.
#include "platform/Win32Registry.h"

#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace
{

using platform::RegistryAccess;
using platform::RegistryRoot;
using platform::RegistryValue;
using platform::StringRead;

// The platform lists values in the order it keeps them; the tests compare them by name.
std::vector<RegistryValue> Sorted(std::vector<RegistryValue> values)
{
    std::sort(values.begin(), values.end(),
              [](const RegistryValue& a, const RegistryValue& b) { return a.name < b.name; });
    return values;
}

class Win32RegistryTest : public ::testing::Test
{
protected:
    void SetUp() override { m_registry.DeleteTree(RegistryRoot::CurrentUser, m_base); }
    void TearDown() override { m_registry.DeleteTree(RegistryRoot::CurrentUser, m_base); }

    // Writes raw bytes the way another program might, terminator or not.
    void SetRaw(const std::string& path, const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        platform::UniqueRegKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, platform::Widen(m_base + "\\" + path).c_str(), 0,
                                  nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    std::unique_ptr<platform::RegistryKey> Open(const std::string& path,
                                                RegistryAccess access = RegistryAccess::Full)
    {
        return m_registry.Open(RegistryRoot::CurrentUser, m_base + "\\" + path, access);
    }

    platform::Win32Registry m_registry;
    const std::string m_base = "Software\\FindFileTests\\registry" + std::to_string(GetCurrentProcessId());
};

TEST_F(Win32RegistryTest, KeysAreCreatedOnTheWayEnumeratedAndDeletedAsATree)
{
    EXPECT_FALSE(Open("a"));
    auto deep = m_registry.Create(RegistryRoot::CurrentUser, m_base + "\\a\\b\\c");
    ASSERT_TRUE(deep);
    ASSERT_TRUE(deep->WriteString("", "deep"));
    deep.reset();
    ASSERT_TRUE(m_registry.Create(RegistryRoot::CurrentUser, m_base + "\\a\\Zeta"));
    ASSERT_TRUE(m_registry.Create(RegistryRoot::CurrentUser, m_base + "\\a\\alpha"));

    auto a = Open("a", RegistryAccess::Read);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->Subkeys(), (std::vector<std::string>{"alpha", "b", "Zeta"}));
    EXPECT_TRUE(a->Values().empty());
    a.reset();

    EXPECT_TRUE(m_registry.DeleteTree(RegistryRoot::CurrentUser, m_base + "\\a"));
    EXPECT_FALSE(Open("a"));
    EXPECT_FALSE(m_registry.DeleteTree(RegistryRoot::CurrentUser, m_base + "\\a"))
        << "nothing left to delete";
    EXPECT_TRUE(m_registry.Open(RegistryRoot::ClassesRoot, "", RegistryAccess::Read))
        << "the classes root opens";
}

TEST_F(Win32RegistryTest, StringsAreReadTypedWhateverWroteThem)
{
    auto key = m_registry.Create(RegistryRoot::CurrentUser, m_base + "\\values");
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->WriteString("", "Найти файлы здесь..."));
    ASSERT_TRUE(key->WriteString("expand", "%SystemRoot%\\x.exe", true));
    const DWORD number = 7;
    SetRaw("values", L"number", REG_DWORD, &number, sizeof(number));
    SetRaw("values", L"unterminated", REG_SZ, L"abc", 6);
    SetRaw("values", L"odd", REG_SZ, L"abcd", 7);
    SetRaw("values", L"embedded", REG_SZ, L"ab\0cd", 12);
    const std::wstring longText(5000, L'x');
    SetRaw("values", L"long", REG_EXPAND_SZ, longText.c_str(), static_cast<DWORD>(longText.size() * 2));
    SetRaw("values", L"empty", REG_SZ, nullptr, 0);

    StringRead read = key->ReadString("");
    EXPECT_EQ(read.status, StringRead::Ok);
    EXPECT_EQ(read.text, "Найти файлы здесь...");
    EXPECT_FALSE(read.expandable);
    read = key->ReadString("expand");
    EXPECT_EQ(read.text, "%SystemRoot%\\x.exe") << "not expanded";
    EXPECT_TRUE(read.expandable);
    EXPECT_EQ(key->ReadString("number").status, StringRead::WrongType);
    EXPECT_EQ(key->ReadString("missing").status, StringRead::Missing);
    EXPECT_EQ(key->ReadString("unterminated").text, "abc");
    EXPECT_EQ(key->ReadString("odd").text, "abc");
    EXPECT_EQ(key->ReadString("embedded").text, "ab");
    EXPECT_EQ(key->ReadString("long").text, std::string(5000, 'x'));
    read = key->ReadString("empty");
    EXPECT_EQ(read.status, StringRead::Ok);
    EXPECT_EQ(read.text, "");
}

TEST_F(Win32RegistryTest, RawValuesCopyByteForByte)
{
    auto key = m_registry.Create(RegistryRoot::CurrentUser, m_base + "\\raw");
    ASSERT_TRUE(key);
    const std::vector<RegistryValue> values = {
        RegistryValue{"", REG_SZ, {'d', 0, 0, 0}},
        RegistryValue{"bin", REG_BINARY, {0, 1, 2, 255, 7}},
        RegistryValue{"empty", REG_BINARY, {}},
        RegistryValue{"multi", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
        RegistryValue{"unterminated", REG_SZ, {'x', 0}},
    };
    for (const auto& value : values)
        ASSERT_TRUE(key->WriteValue(value)) << value.name;
    EXPECT_EQ(Sorted(key->Values()), values);

    auto reading = Open("raw", RegistryAccess::Read);
    ASSERT_TRUE(reading);
    EXPECT_EQ(Sorted(reading->Values()), values);
}

} // namespace
