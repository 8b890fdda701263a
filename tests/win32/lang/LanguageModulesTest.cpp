#include "lang/Language.h"
#include "lang/TextIds.h"
#include "lang/TextStore.h"
#include "platform/UniqueHandle.h"
#include "settings/SettingsFile.h"
#include "tests/win32/lang/ProgramFolder.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <thread>

namespace
{

using testing_support::ProgramFolder;

const char* const kCodes[] = {"EN", "CSY", "DE", "ES", "FR", "IT", "RUS"};
constexpr char kNoText[] = "<No load message>";

// Taken during static initialisation, before any test could load a module.
const std::string g_textBeforeAnyLoad = lang::GetLangText(lang::text::kMainCaption);

std::map<int, std::string> LoadAll(const std::string& code)
{
    ProgramFolder program;
    EXPECT_TRUE(program.AddModule(code));
    settings::WriteIniString(program.Ini(), "Options", "Language", code);
    EXPECT_TRUE(lang::LoadLanguageModule()) << code;
    std::map<int, std::string> texts;
    for (int id : lang::text::kAll)
        texts[id] = lang::GetLangText(id);
    return texts;
}

TEST(LanguageModules, NothingBeforeTheFirstLoad)
{
    EXPECT_EQ(g_textBeforeAnyLoad, kNoText);
}

TEST(LanguageModules, EveryTextInEveryModule)
{
    for (const char* code : kCodes)
    {
        std::map<int, std::string> texts = LoadAll(code);
        for (const auto& [id, text] : texts)
        {
            EXPECT_FALSE(text.empty()) << code << " " << id;
            EXPECT_NE(text, kNoText) << code << " " << id;
        }
    }
}

TEST(LanguageModules, StateMarkersAreDistinct)
{
    using namespace lang::text;
    for (const char* code : kCodes)
    {
        std::map<int, std::string> t = LoadAll(code);
        EXPECT_NE(t[kFindStart], t[kFindStop]) << code;
        EXPECT_NE(t[kColumnName], t[kColumnComputer]) << code;
        EXPECT_EQ(
            (std::set<std::string>{t[kDateKindCreated], t[kDateKindModified], t[kDateKindAccessed]}).size(),
            3u)
            << code;
        EXPECT_NE(t[kSizeAtLeast], t[kSizeAtMost]) << code;
        // The browse entry must not look like a place of the look-in list.
        EXPECT_EQ(t[kBrowseEntry].find('\\'), std::string::npos) << code;
        EXPECT_EQ(t[kBrowseEntry].find(':'), std::string::npos) << code;
    }
}

TEST(LanguageModules, StatusTextsSurroundTheNumberAndTypePrefixEndsInASpace)
{
    using namespace lang::text;
    for (const char* code : kCodes)
    {
        std::map<int, std::string> t = LoadAll(code);
        EXPECT_EQ(t[kStatusCountBefore].back(), ' ') << code;
        EXPECT_EQ(t[kStatusCountAfter].front(), ' ') << code;
        EXPECT_EQ(t[kTypeFilePrefix].back(), ' ') << code;
    }
}

TEST(LanguageModules, ContextMenuCommandIsAUsableKeyName)
{
    const std::wstring base = L"Software\\FindFileLangTest";
    for (const char* code : kCodes)
    {
        std::string command = LoadAll(code)[lang::text::kContextMenuCommand];
        EXPECT_EQ(command.find('\\'), std::string::npos) << code;
        const std::wstring key = base + L"\\" + platform::Widen(command);

        platform::UniqueRegKey created;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  created.Put(), nullptr),
                  ERROR_SUCCESS)
            << code;
        created.Reset();

        // The key's name reads back unchanged, as Explorer will show it.
        platform::UniqueRegKey parent;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, base.c_str(), 0, KEY_READ, parent.Put()), ERROR_SUCCESS);
        wchar_t name[256];
        DWORD length = ARRAYSIZE(name);
        ASSERT_EQ(RegEnumKeyExW(parent.Get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(platform::Narrow(name, length), command) << code;
        parent.Reset();

        EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str()), ERROR_SUCCESS) << code;
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, base.c_str());
}

TEST(LanguageModules, CzechAndRussianArriveIntact)
{
    using namespace lang::text;
    // Both scripts in one process: no single-byte code page holds them both, so only a lookup in
    // wide text gives every one of these back.
    std::map<int, std::string> cs = LoadAll("CSY");
    EXPECT_EQ(cs[kCloseButton], "Zavřít");
    EXPECT_EQ(cs[kContextMenuCommand], "Hledat soubory zde...");
    EXPECT_EQ(cs[kSearchSubfolders], "Prohledávat podsložky");
    EXPECT_EQ(cs[kColumnComment], "Komentář");

    std::map<int, std::string> ru = LoadAll("RUS");
    EXPECT_EQ(ru[kFindStart], "Найти");
    EXPECT_EQ(ru[kFindStop], "Остановить");
    EXPECT_EQ(ru[kContextMenuCommand], "Найти файлы здесь...");
    EXPECT_EQ(ru[kOkButton], "ОК");

    EXPECT_EQ(LoadAll("DE")[kCloseButton], "Schließen");
    EXPECT_EQ(LoadAll("FR")[kAboutButton], "À propos");
}

class TestModule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.CopyAs("LangTestTexts.dll", "FinderEN.dll"));
        ASSERT_TRUE(lang::LoadLanguageModule());
    }
    ProgramFolder program;
};

TEST_F(TestModule, LongTextIsCutTo1023Characters)
{
    std::string text = lang::GetLangText(1);
    ASSERT_EQ(text.size(), 1023u);
    for (size_t i = 0; i < text.size(); ++i)
        ASSERT_EQ(text[i], static_cast<char>('0' + i % 10)) << "at " << i;

    // A pair split by the cut leaves no half character behind.
    EXPECT_EQ(lang::GetLangText(4), std::string(1022, 'a'));
}

TEST_F(TestModule, MissingOrEmptyTextsGiveTheDefault)
{
    EXPECT_EQ(lang::GetLangText(2), kNoText);
    EXPECT_EQ(lang::GetLangText(6), kNoText);
    EXPECT_EQ(lang::GetLangText(65535), kNoText);
    EXPECT_EQ(lang::GetLangText(-1), kNoText);
    EXPECT_EQ(lang::GetLangText(3), "before");
    EXPECT_EQ(lang::GetLangText(5), "Příliš žluťoučký kůň");
    EXPECT_EQ(lang::ModuleTexts().Text(5), "Příliš žluťoučký kůň");
    EXPECT_EQ(lang::ModuleTexts().Text(6), kNoText);
}

TEST_F(TestModule, LookupFromAnotherThread)
{
    std::string fromWorker;
    std::thread worker([&] { fromWorker = lang::GetLangText(5); });
    worker.join();
    EXPECT_EQ(fromWorker, "Příliš žluťoučký kůň");
}

} // namespace
