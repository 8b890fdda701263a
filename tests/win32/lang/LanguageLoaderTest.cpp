#include "lang/Language.h"
#include "settings/SettingsFile.h"
#include "tests/win32/OwnProcess.h"
#include "tests/win32/lang/ProgramFolder.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace
{

using testing_support::ProgramFolder;

constexpr char kNoText[] = "<No load message>";

std::string Option(const ProgramFolder& program, const char* key)
{
    std::string value;
    settings::ReadIniString(program.Ini(), "Options", key, value);
    return value;
}

// Answers the message box the loader shows, recording its caption and text.
class MessageBoxAnswerer
{
public:
    MessageBoxAnswerer()
        : m_thread([this] {
              for (int tries = 0; tries < 1000 && !m_stop; ++tries)
              {
                  if (HWND box = testing_win32::FindOwnWindow(L"#32770"))
                  {
                      Record(box);
                      PostMessageW(box, WM_COMMAND, IDOK, 0);
                      return;
                  }
                  Sleep(10);
              }
          })
    {
    }
    ~MessageBoxAnswerer()
    {
        m_stop = true;
        m_thread.join();
    }

    std::vector<std::string> texts; // the box's caption, then its static texts
    std::atomic<int> boxes{0};

private:
    void Record(HWND box)
    {
        wchar_t caption[256];
        int length = GetWindowTextW(box, caption, ARRAYSIZE(caption));
        texts.push_back(platform::Narrow(caption, static_cast<size_t>(length)));
        EnumChildWindows(box, RecordChild, reinterpret_cast<LPARAM>(this));
        ++boxes;
    }

    static BOOL CALLBACK RecordChild(HWND child, LPARAM self)
    {
        wchar_t text[512];
        int length = GetWindowTextW(child, text, ARRAYSIZE(text));
        if (length > 0)
            reinterpret_cast<MessageBoxAnswerer*>(self)->texts.push_back(
                platform::Narrow(text, static_cast<size_t>(length)));
        return TRUE;
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// CTest runs this case again under other system languages and names the code it expects.
std::string ExpectedSystemCode()
{
    const char* code = std::getenv("FF_EXPECTED_SYSTEM_LANGUAGE");
    return code ? code : "EN";
}

TEST(LanguageLoader, SystemLanguageDecidesTheFirstStart)
{
    const std::string code = ExpectedSystemCode();
    EXPECT_EQ(lang::DefaultLanguageCode(), code);

    ProgramFolder program;
    ASSERT_TRUE(program.AddModule("EN"));
    ASSERT_TRUE(program.AddModule(code));
    EXPECT_TRUE(lang::LoadLanguageModule());
    EXPECT_EQ(Option(program, "Language"), code);
    EXPECT_EQ(Option(program, "RunLang"), code);
    EXPECT_EQ(lang::LanguageModulePath(), program.folder / ("Finder" + code + ".dll"));
}

TEST(LanguageLoader, StoredChoiceIsLoaded)
{
    ProgramFolder program;
    ASSERT_TRUE(program.AddModule("EN"));
    ASSERT_TRUE(program.AddModule("RUS"));
    settings::WriteIniString(program.Ini(), "Options", "Language", "RUS");
    EXPECT_TRUE(lang::LoadLanguageModule());
    EXPECT_EQ(Option(program, "RunLang"), "RUS");
    EXPECT_EQ(Option(program, "Language"), "RUS");
    EXPECT_EQ(lang::GetLangText(5510), "Найти");

    // Reloading frees the first module and takes the new choice.
    settings::WriteIniString(program.Ini(), "Options", "Language", "EN");
    EXPECT_TRUE(lang::LoadLanguageModule());
    EXPECT_EQ(lang::GetLangText(5510), "Find");
    EXPECT_EQ(Option(program, "RunLang"), "EN");
}

TEST(LanguageLoader, MissingModuleShowsTheCzechMessageAndFallsBackToEnglish)
{
    ProgramFolder program;
    ASSERT_TRUE(program.AddModule("EN"));
    settings::WriteIniString(program.Ini(), "Options", "Language", "DE");
    {
        MessageBoxAnswerer answerer;
        EXPECT_TRUE(lang::LoadLanguageModule());
        ASSERT_EQ(answerer.boxes, 1);
        ASSERT_GE(answerer.texts.size(), 2u);
        EXPECT_EQ(answerer.texts[0], "Pelion Info Find File");
        bool found = false;
        for (const std::string& text : answerer.texts)
            found = found || text == "Jazyková mutace DE modulu neexistuje!";
        EXPECT_TRUE(found) << "box texts: " << ::testing::PrintToString(answerer.texts);
    }
    EXPECT_EQ(Option(program, "Language"), "EN");
    EXPECT_EQ(Option(program, "RunLang"), "EN");
    EXPECT_EQ(lang::GetLangText(5511), "Stop");

    // The next start finds English stored and shows nothing.
    MessageBoxAnswerer second;
    EXPECT_EQ(lang::LanguageModulePath(), program.folder / "FinderEN.dll");
    EXPECT_EQ(second.boxes, 0);
}

TEST(LanguageLoader, ModuleThatCannotBeLoadedGivesTheDefaultEverywhere)
{
    ProgramFolder program;
    // Not a module at all.
    program.folder.WriteFile("FinderEN.dll", "This is text, not a library.");
    settings::WriteIniString(program.Ini(), "Options", "Language", "EN");
    EXPECT_FALSE(lang::LoadLanguageModule());
    EXPECT_EQ(lang::GetLangText(1), kNoText);
    EXPECT_EQ(Option(program, "RunLang"), "EN");

    // The chosen module and English both missing: one message, then nothing to load.
    DeleteFileW(platform::Widen(program.folder / "FinderEN.dll").c_str());
    settings::WriteIniString(program.Ini(), "Options", "Language", "IT");
    MessageBoxAnswerer answerer;
    EXPECT_FALSE(lang::LoadLanguageModule());
    EXPECT_EQ(answerer.boxes, 1);
    EXPECT_EQ(lang::GetLangText(1), kNoText);
    EXPECT_EQ(Option(program, "RunLang"), "EN");
}

} // namespace
