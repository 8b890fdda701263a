// The version reader on real files: libraries whose blocks the resource compiler wrote, and the
// two programs. The portable lookup is checked against the system's own query.
#include "about/FileVersion.h"
#include "about/VersionInfoWin32.h"
#include "app/Version.h"
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "tests/win32/lang/ProgramFolder.h"

#include <windows.h>
#include <gtest/gtest.h>

using about::GetVersionString;
using testing_support::OutputFolder;

namespace
{

std::string Built(const std::string& name)
{
    return OutputFolder() + "\\" + name;
}

// The system's answer for a key under a translation, or nothing.
std::optional<std::string> SystemValue(const std::string& path, const std::string& translation,
                                       const std::string& key)
{
    const std::wstring wide = platform::Widen(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(wide.c_str(), &ignored);
    if (!size)
        return std::nullopt;
    std::vector<uint8_t> block(size);
    GetFileVersionInfoW(wide.c_str(), 0, size, block.data());
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring query = platform::Widen("\\StringFileInfo\\" + translation + "\\" + key);
    if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        return std::nullopt;
    return platform::Narrow(value, wcsnlen(value, length));
}

about::TFileVersion Reader(const std::string& path)
{
    about::TFileVersion reader(about::SystemVersionServices());
    reader.SetFilename(path);
    return reader;
}

} // namespace

TEST(VersionInfo, TwoTranslationsAnswerInTheFirstAndTheSelectedOne)
{
    const std::string path = Built("ff_ver_Two.dll");
    about::TFileVersion reader = Reader(path);
    EXPECT_EQ(reader.Translations(), (std::vector<std::string>{"040904b0", "040704e4"}));
    EXPECT_EQ(reader.PreDefValue(about::pdCompanyName), "Two Translations Ltd");
    reader.SetSelectedTranslation(1);
    EXPECT_EQ(reader.PreDefValue(about::pdCompanyName), "Zwei Sprachen GmbH");
    EXPECT_EQ(reader.PreDefValue(about::pdInternalName), "Deutsch");
    // The portable lookup agrees with the system's query, key by key.
    for (int ordinal = 0; ordinal <= about::pdBuildFlags; ++ordinal)
        for (const std::string& translation : reader.Translations())
        {
            about::TFileVersion other = Reader(path);
            other.SetSelectedTranslation(translation == "040904b0" ? 0 : 1);
            EXPECT_EQ(other.PreDefValue(ordinal),
                      SystemValue(path, translation, about::PreDefKey(ordinal)).value_or(""))
                << about::PreDefKey(ordinal) << " " << translation;
        }
    EXPECT_EQ(GetVersionString(path, 2), "SixteenCharsName");
    EXPECT_EQ(GetVersionString(path, 4), "2.3.4.5");
    EXPECT_EQ(GetVersionString(path, 7), "English comments");
}

TEST(VersionInfo, OneWordTranslationAndNoneFallBackToUsEnglish)
{
    about::TFileVersion shortValue = Reader(Built("ff_ver_Short.dll"));
    EXPECT_EQ(shortValue.Translations(), (std::vector<std::string>{"040904e4"}));
    EXPECT_EQ(shortValue.PreDefValue(about::pdCompanyName), "Short Value");

    about::TFileVersion none = Reader(Built("ff_ver_None.dll"));
    EXPECT_TRUE(none.Translations().empty());
    EXPECT_EQ(none.PreDefValue(about::pdCompanyName), "No Translation");
    EXPECT_EQ(GetVersionString(Built("ff_ver_None.dll"), 8), "Fallback Product");
}

TEST(VersionInfo, NoBlockOrNoFileGivesEmptyValues)
{
    for (const std::string& path : {Built("ff_ver_Bare.dll"), Built("no such file.dll")})
    {
        about::TFileVersion reader = Reader(path);
        EXPECT_TRUE(reader.Block().Empty()) << path;
        for (int selector = 0; selector < 10; ++selector)
            EXPECT_EQ(GetVersionString(path, selector), "") << path << " " << selector;
    }
    EXPECT_EQ(GetVersionString(Built("ff_ver_Two.dll"), 11), "");
}

TEST(VersionInfo, SelectorTenIsTheFilesDateInTheShortFormat)
{
    testing_support::TempFolder folder;
    folder.WriteFile("dated.txt", "x");
    const std::wstring path = platform::Widen(folder / "dated.txt");
    {
        platform::UniqueFile file(
            CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        SYSTEMTIME noon{2021, 7, 0, 23, 12, 0, 0, 0};
        FILETIME local, utc;
        SystemTimeToFileTime(&noon, &local);
        LocalFileTimeToFileTime(&local, &utc);
        ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &utc));
    }
    SYSTEMTIME date{2021, 7, 0, 23, 0, 0, 0, 0};
    wchar_t expected[64];
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, expected, 64);
    EXPECT_EQ(GetVersionString(folder / "dated.txt", 10), platform::Narrow(expected));
    EXPECT_EQ(GetVersionString(folder / "missing.txt", 10), "");
}

TEST(VersionInfo, BothProgramsCarryTheProductsBlock)
{
    for (const char* program : {"FindFile.exe", "FindFileCmd.exe"})
    {
        const std::string path = Built(program);
        EXPECT_EQ(GetVersionString(path, 0), "Pelion Info") << program;
        EXPECT_EQ(GetVersionString(path, 8), "Pelion Info Find File") << program;
        EXPECT_EQ(GetVersionString(path, 4), FF_VERSION_TEXT) << program;
        EXPECT_EQ(GetVersionString(path, 9), FF_VERSION_TEXT) << program;
        EXPECT_EQ(GetVersionString(path, 6), program);
        EXPECT_NE(GetVersionString(path, 5), "") << program;
        EXPECT_NE(GetVersionString(path, 7), "") << program;
        EXPECT_NE(GetVersionString(path, 3), "") << program;
        // The fixed part carries the same number.
        DWORD ignored = 0;
        const std::wstring wide = platform::Widen(path);
        std::vector<uint8_t> block(GetFileVersionInfoSizeW(wide.c_str(), &ignored));
        ASSERT_FALSE(block.empty());
        GetFileVersionInfoW(wide.c_str(), 0, static_cast<DWORD>(block.size()), block.data());
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(FF_VERSION_MINOR, FF_VERSION_MAJOR)));
        EXPECT_EQ(fixed->dwProductVersionLS,
                  static_cast<DWORD>(MAKELONG(FF_VERSION_BUILD, FF_VERSION_PATCH)));
    }
    EXPECT_EQ(GetVersionString(Built("FindFile.exe"), 2), "FindFile");
    EXPECT_EQ(GetVersionString(Built("FindFileCmd.exe"), 2), "FindFileCmd");
}

TEST(VersionInfo, SystemErrorTextHasThePrefixAndNoTrailingStop)
{
    const std::string text = about::SysErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_GT(text.size(), 8u);
    EXPECT_EQ(text.substr(0, 8), "SysErr: ");
    EXPECT_NE(text.back(), '.');
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text.back(), ' ');
}
