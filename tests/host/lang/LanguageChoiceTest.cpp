#include "lang/LanguageChoice.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <vector>

namespace
{

constexpr char kExe[] = "C:\\Tools\\Finder.exe";

// A settings file in memory that records every write, with the rules of the real file: a missing
// key or the text "<Error>" reads as absent.
class FakeSettings : public settings::ProfileStore
{
public:
    bool ReadString(const std::string& section, const std::string& key, std::string& value) override
    {
        auto it = m_values.find(section + "/" + key);
        value = it == m_values.end() ? "<Error>" : it->second;
        return it != m_values.end() && it->second != "<Error>";
    }
    bool WriteString(const std::string& section, const std::string& key, const std::string& value) override
    {
        log.push_back("write " + section + "/" + key + "=" + value);
        if (readOnly)
            return false;
        m_values[section + "/" + key] = value;
        return true;
    }
    void Set(const std::string& key, const std::string& value) { m_values["Options/" + key] = value; }
    std::string Get(const std::string& key) const
    {
        auto it = m_values.find("Options/" + key);
        return it == m_values.end() ? "(absent)" : it->second;
    }

    std::vector<std::string> log; // writes and message boxes, in order
    bool readOnly = false;

private:
    std::map<std::string, std::string> m_values;
};

class LanguageChoiceTest : public ::testing::Test
{
protected:
    std::string Choose(unsigned systemLangId = 0x409)
    {
        lang::LanguageChoiceServices services;
        services.exeFileName = kExe;
        services.systemLangId = systemLangId;
        services.settingsFile = &store;
        services.fileExists = [this](const std::string& path) {
            probed.push_back(path);
            return files.count(path) != 0;
        };
        services.showError = [this](const std::string& message) { store.log.push_back("box " + message); };
        return lang::ChooseLanguageModule(services);
    }
    size_t Boxes() const
    {
        size_t count = 0;
        for (const std::string& entry : store.log)
            count += entry.rfind("box ", 0) == 0;
        return count;
    }

    FakeSettings store;
    std::set<std::string> files{"C:\\Tools\\FinderEN.dll", "C:\\Tools\\FinderCSY.dll",
                                "C:\\Tools\\FinderRUS.dll"};
    std::vector<std::string> probed;
};

TEST(LanguageCodes, PrimaryLanguageNumberPicksTheCode)
{
    struct Case
    {
        unsigned langId;
        const char* code;
    };
    const Case cases[] = {
        {0x405, "CSY"}, {5, "CSY"},     {0x407, "DE"}, {0x807, "DE"}, {0xC07, "DE"}, {0x409, "EN"},
        {0x809, "EN"},  {0x40A, "ES"},  {0xC0A, "ES"}, {0x40C, "FR"}, {0x80C, "FR"}, {0x410, "IT"},
        {0x810, "IT"},  {0x419, "RUS"}, {0x416, "EN"}, {0x816, "EN"}, {0x411, "EN"}, {0x41B, "EN"},
        {0, "EN"},      {0x7F, "EN"},   {0x3FF, "EN"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lang::LanguageCodeForLangId(c.langId), c.code) << std::hex << c.langId;
}

TEST(LanguageCodes, ModulePathAndMessage)
{
    EXPECT_EQ(lang::ModulePathFor(kExe, "DE"), "C:\\Tools\\FinderDE.dll");
    EXPECT_EQ(lang::ModulePathFor("C:\\My.Tools\\Finder", "CSY"), "C:\\My.Tools\\FinderCSY.dll");
    EXPECT_EQ(lang::ModulePathFor(kExe, ""), "C:\\Tools\\Finder.dll");
    EXPECT_EQ(lang::MissingModuleMessage("DE"), "Jazyková mutace DE modulu neexistuje!");
    EXPECT_EQ(lang::MissingModuleMessage(""), "Jazyková mutace  modulu neexistuje!");
    // A code is text, never a format.
    EXPECT_EQ(lang::MissingModuleMessage("%s%d"), "Jazyková mutace %s%d modulu neexistuje!");
}

TEST_F(LanguageChoiceTest, FirstStartTakesTheSystemLanguageAndRecordsIt)
{
    EXPECT_EQ(Choose(0x405), "C:\\Tools\\FinderCSY.dll");
    EXPECT_EQ(store.Get("Language"), "CSY");
    EXPECT_EQ(store.Get("RunLang"), "CSY");
    EXPECT_EQ(Boxes(), 0u);
}

TEST_F(LanguageChoiceTest, UnknownSystemLanguageGivesEnglish)
{
    EXPECT_EQ(Choose(0x416), "C:\\Tools\\FinderEN.dll");
    EXPECT_EQ(store.Get("Language"), "EN");
    EXPECT_EQ(store.Get("RunLang"), "EN");
    EXPECT_EQ(Boxes(), 0u);
}

TEST_F(LanguageChoiceTest, StoredCodeWinsOverTheSystemAndIsNotRewritten)
{
    store.Set("Language", "RUS");
    EXPECT_EQ(Choose(0x405), "C:\\Tools\\FinderRUS.dll");
    EXPECT_EQ(store.log, std::vector<std::string>{"write Options/RunLang=RUS"});
}

TEST_F(LanguageChoiceTest, StoredErrorTextCountsAsAbsent)
{
    store.Set("Language", "<Error>");
    EXPECT_EQ(Choose(0x405), "C:\\Tools\\FinderCSY.dll");
    EXPECT_EQ(store.Get("Language"), "CSY");
}

TEST_F(LanguageChoiceTest, StoredCodeIsUsedAsItStands)
{
    files.insert("C:\\Tools\\Finderrus.dll");
    store.Set("Language", "rus");
    EXPECT_EQ(Choose(), "C:\\Tools\\Finderrus.dll");
    EXPECT_EQ(store.Get("RunLang"), "rus");
    EXPECT_EQ(store.Get("Language"), "rus");
    EXPECT_EQ(Boxes(), 0u);
}

TEST_F(LanguageChoiceTest, MissingModuleShowsOneBoxThenFallsBackToEnglishForGood)
{
    store.Set("Language", "DE");
    EXPECT_EQ(Choose(0x405), "C:\\Tools\\FinderEN.dll");
    const std::vector<std::string> expected{"box Jazyková mutace DE modulu neexistuje!",
                                            "write Options/Language=EN", "write Options/RunLang=EN"};
    EXPECT_EQ(store.log, expected);

    store.log.clear();
    EXPECT_EQ(Choose(0x405), "C:\\Tools\\FinderEN.dll");
    EXPECT_EQ(Boxes(), 0u);
    EXPECT_EQ(store.Get("Language"), "EN");
}

TEST_F(LanguageChoiceTest, EmptyCodeLooksForTheBareNameThenFallsBack)
{
    store.Set("Language", "");
    EXPECT_EQ(Choose(), "C:\\Tools\\FinderEN.dll");
    EXPECT_EQ(probed.front(), "C:\\Tools\\Finder.dll");
    EXPECT_EQ(store.log.front(), "box Jazyková mutace  modulu neexistuje!");

    store.Set("Language", "");
    files.insert("C:\\Tools\\Finder.dll");
    store.log.clear();
    EXPECT_EQ(Choose(), "C:\\Tools\\Finder.dll");
    EXPECT_EQ(store.Get("RunLang"), "");
    EXPECT_EQ(Boxes(), 0u);
}

TEST_F(LanguageChoiceTest, EnglishIsNotCheckedAfterTheFallback)
{
    files.clear();
    store.Set("Language", "IT");
    EXPECT_EQ(Choose(), "C:\\Tools\\FinderEN.dll");
    EXPECT_EQ(probed, std::vector<std::string>{"C:\\Tools\\FinderIT.dll"});
    EXPECT_EQ(Boxes(), 1u);
}

TEST_F(LanguageChoiceTest, RunLangIsWrittenAtEveryStart)
{
    for (int run = 0; run < 3; ++run)
    {
        store.log.clear();
        Choose(0x419);
        EXPECT_EQ(store.log.back(), "write Options/RunLang=RUS") << "run " << run;
    }
}

TEST_F(LanguageChoiceTest, UnwritableSettingsRepeatTheSameDecisionsNextTime)
{
    store.readOnly = true;
    store.Set("Language", "FR"); // set before the file became read-only
    for (int run = 0; run < 2; ++run)
    {
        EXPECT_EQ(Choose(), "C:\\Tools\\FinderEN.dll");
        EXPECT_EQ(Boxes(), static_cast<size_t>(run + 1));
    }
    EXPECT_EQ(store.Get("Language"), "FR");
}

} // namespace
