// The Explorer integration in the Wine prefix's real registry, driven through the main window and
// the settings dialog as a person would. Every key touched is saved first and put back after.
#include "lang/TextIds.h"
#include "lang/TextStore.h"
#include "settings/AppPaths.h"
#include "settings/ExplorerIntegration.h"
#include "settings/ExplorerIntegrationWin32.h"
#include "settings/FindFileSettingsFrm.h"
#include "settings/SettingsFile.h"
#include "tests/win32/main/FrameFixture.h"
#include "tests/win32/settings/RegistryTree.h"
#include "tests/win32/settings/ShellPlaces.h"

#include <fstream>
#include <sstream>

namespace
{

using settings::TFindFileSettingsFrm;
using testing_support::RegistryTree;
using Stage = std::function<void(TFindFileSettingsFrm&)>;

using testing_support::kFindVerbs;
using testing_support::kMenuPrefixes;
const bool kMenuTakesArgument[6] = {false, true, true, false, true, true};
const std::wstring kFolderFind = kFindVerbs[0];

// The string a value holds, "(absent)" or "(type N)".
std::string ValueText(const std::wstring& path, const wchar_t* name = L"")
{
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t), type = 0;
    const LONG status =
        RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, buffer, &size);
    if (status != ERROR_SUCCESS)
        return "(absent)";
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return "(type " + std::to_string(type) + ")";
    return platform::Narrow(buffer);
}

bool KeyExists(const std::wstring& path)
{
    return RegistryTree::Read(HKEY_CLASSES_ROOT, path).exists;
}

void SetValue(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    platform::UniqueRegKey key;
    RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(),
                    nullptr);
    RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

void SetString(const std::wstring& path, const wchar_t* name, const std::wstring& text)
{
    SetValue(path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The timer that plays the stages inside the dialog's own message loop.
struct Stages
{
    std::vector<Stage> stages;
    size_t next = 0;
    int idleTicks = 0;
};
Stages* g_stages = nullptr;

void CALLBACK PlayStage(HWND, UINT, UINT_PTR, DWORD)
{
    TFindFileSettingsFrm* dialog = TFindFileSettingsFrm::OpenDialog();
    if (!g_stages || !dialog)
        return;
    if (g_stages->next < g_stages->stages.size())
    {
        g_stages->stages[g_stages->next++](*dialog);
        return;
    }
    // Every stage has run and the dialog is still open: close it so that the test goes on.
    if (++g_stages->idleTicks > 10)
    {
        ADD_FAILURE() << "the dialog stayed open";
        SendMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
    }
}

class ShellIntegrationTest : public uitest::FrameTest
{
protected:
    void SetUp() override
    {
        for (const char* code : {"EN", "RUS"})
            for (const auto& prefix : kMenuPrefixes)
                m_keys.push_back(prefix +
                                 platform::Widen(uitest::ModuleText(code, lang::text::kContextMenuCommand)));
        for (const auto& verb : kFindVerbs)
            m_keys.push_back(verb);
        m_keys.push_back(platform::Widen(settings::kSearchFileExtension));
        m_keys.push_back(platform::Widen(settings::kSearchFileProgId));
        for (const auto& key : m_keys)
            m_saved.push_back(RegistryTree::Read(HKEY_CLASSES_ROOT, key));
        DeleteFileW(platform::Widen(settings::SettingsFilePath()).c_str());
        m_hooks.setincontext = [](bool install, bool store) { settings::setincontext(install, store); };
        m_hooks.settings = [](HWND owner) { settings::ShowFindFileSettings(owner, lang::ModuleTexts()); };
    }

    void TearDown() override
    {
        FrameTest::TearDown();
        for (size_t i = 0; i < m_keys.size(); ++i)
            m_saved[i].Restore(HKEY_CLASSES_ROOT, m_keys[i]);
        DeleteFileW(platform::Widen(settings::SettingsFilePath()).c_str());
    }

    std::wstring Entry(int place, const std::string& code = "EN") const
    {
        return kMenuPrefixes[place] +
               platform::Widen(uitest::ModuleText(code, lang::text::kContextMenuCommand));
    }

    std::string Command(bool argument) const
    {
        const std::string exe = settings::ExeFileName();
        return argument ? settings::ArgumentCommand(exe) : settings::PlainCommand(exe);
    }

    static void StoreSetting(const wchar_t* key, const wchar_t* value)
    {
        WritePrivateProfileStringW(L"Settings", key, value,
                                   platform::Widen(settings::SettingsFilePath()).c_str());
    }

    static std::string IniBytes()
    {
        std::ifstream in(platform::Widen(settings::SettingsFilePath()).c_str(), std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    std::string RegistryText() const
    {
        std::string text;
        for (const auto& key : m_keys)
            text += RegistryTree::Read(HKEY_CLASSES_ROOT, key).Text();
        return text;
    }

    // Presses SettingsBtn and plays the stages, one a timer tick, while the dialog is open.
    void WithDialog(std::vector<Stage> stages)
    {
        Stages play{std::move(stages)};
        g_stages = &play;
        const UINT_PTR timer = SetTimer(nullptr, 0, 40, &PlayStage);
        Click(ui::kIdSettingsBtn);
        KillTimer(nullptr, timer);
        g_stages = nullptr;
        EXPECT_EQ(play.next, play.stages.size()) << "the dialog closed before every stage had run";
        EXPECT_EQ(TFindFileSettingsFrm::OpenDialog(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(m_frame->Handle())) << "the main window is enabled again";
    }

    static bool Checked(TFindFileSettingsFrm& dialog, int id)
    {
        return SendMessageW(dialog.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    static void Press(TFindFileSettingsFrm& dialog, int id)
    {
        SendMessageW(dialog.Control(id), BM_CLICK, 0, 0);
    }
    // A key pressed and released on the focused control, through the dialog's message loop.
    static void Key(UINT key)
    {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    }
    // OK with the two boxes set as given.
    void PressOk(bool contextMenu, bool defaultFind)
    {
        WithDialog({[=](TFindFileSettingsFrm& dialog) {
            if (Checked(dialog, settings::kIdFlatCheckBox1) != contextMenu)
                Press(dialog, settings::kIdFlatCheckBox1);
            if (Checked(dialog, settings::kIdFlatCheckBox2) != defaultFind)
                Press(dialog, settings::kIdFlatCheckBox2);
            Press(dialog, settings::kIdSettingsOk);
        }});
    }

    std::vector<std::wstring> m_keys;
    std::vector<RegistryTree> m_saved;
};

TEST_F(ShellIntegrationTest, StartUpCreatesOrDeletesTheEntriesOfTheCurrentLanguage)
{
    const struct
    {
        const wchar_t* stored; // null: no setting
        const char* language;
        bool present;
    } starts[] = {{nullptr, "EN", true},
                  {L"1", "EN", true},
                  {L"0", "EN", false},
                  {L"256", "RUS", false},
                  {L"1", "RUS", true}};
    for (const auto& start : starts)
    {
        StoreSetting(L"InContextMenu", start.stored);
        Open(start.language);
        m_frame.reset();
        for (int place = 0; place < 6; ++place)
        {
            const std::wstring entry = Entry(place, start.language);
            SCOPED_TRACE(platform::Narrow(entry));
            if (!start.present)
            {
                EXPECT_FALSE(KeyExists(entry));
                continue;
            }
            EXPECT_EQ(ValueText(entry + L"\\command"), Command(kMenuTakesArgument[place]));
            EXPECT_EQ(ValueText(entry), "(absent)") << "the entry key has no value of its own";
        }
        // A double click on a search file opens it in the program while the entries are on.
        EXPECT_EQ(ValueText(L".ffsearch"), start.present ? "FindFile.Search" : "(absent)");
        EXPECT_EQ(ValueText(L"FindFile.Search"),
                  start.present ? uitest::ModuleText(start.language, lang::text::kSearchFileType)
                                : "(absent)");
        EXPECT_EQ(ValueText(L"FindFile.Search\\shell\\open\\command"),
                  start.present ? Command(true) : "(absent)");
    }
    EXPECT_FALSE(KeyExists(Entry(0, "EN"))) << "the English entries went with the setting 0";
    EXPECT_EQ(ValueText(Entry(0, "EN") + L"\\command"), "(absent)");
}

TEST_F(ShellIntegrationTest, SettingsButtonOpensTheDialogAndOnlyOkStores)
{
    StoreSetting(L"DefaultFind", L"0");
    Open("EN");
    const std::string ini = IniBytes();
    const std::string registry = RegistryText();

    WithDialog({[&](TFindFileSettingsFrm& dialog) {
        HWND hwnd = dialog.Handle();
        EXPECT_EQ(controls::WindowText(hwnd), Lang(lang::text::kSettingsCaption));
        EXPECT_EQ(controls::WindowText(dialog.Control(settings::kIdSettingsLabel1)),
                  Lang(lang::text::kSettingsButton));
        EXPECT_EQ(controls::WindowText(dialog.Control(settings::kIdFlatCheckBox1)),
                  Lang(lang::text::kSettingsContextMenu));
        EXPECT_EQ(controls::WindowText(dialog.Control(settings::kIdFlatCheckBox2)),
                  Lang(lang::text::kSettingsDefaultFind));
        EXPECT_EQ(controls::WindowText(dialog.Control(settings::kIdSettingsOk)), Lang(lang::text::kOkButton));
        EXPECT_EQ(controls::WindowText(dialog.Control(settings::kIdSettingsCancel)),
                  Lang(lang::text::kCancelButton));
        EXPECT_TRUE(Checked(dialog, settings::kIdFlatCheckBox1)) << "an absent setting shows checked";
        EXPECT_FALSE(Checked(dialog, settings::kIdFlatCheckBox2));
        EXPECT_TRUE(Checked(dialog, settings::kIdKeepHistoryBox)) << "the history is kept unless turned off";
        EXPECT_EQ(controls::WindowText(dialog.Control(settings::kIdKeepHistoryBox)),
                  Lang(lang::text::kSettingsKeepHistory));

        // Every language's wording fits its control in the dialog's fonts.
        const struct
        {
            int control, text, room;
        } fits[] = {{settings::kIdFlatCheckBox1, lang::text::kSettingsContextMenu, 257 - 18},
                    {settings::kIdFlatCheckBox2, lang::text::kSettingsDefaultFind, 257 - 18},
                    {settings::kIdKeepHistoryBox, lang::text::kSettingsKeepHistory, 257 - 18},
                    {settings::kIdSettingsLabel1, lang::text::kSettingsButton, 273 - 49},
                    {settings::kIdSettingsOk, lang::text::kOkButton, 73 - 23},
                    {settings::kIdSettingsCancel, lang::text::kCancelButton, 73 - 23}};
        HDC dc = GetDC(hwnd);
        for (const auto& fit : fits)
        {
            const auto font =
                reinterpret_cast<HFONT>(SendMessageW(dialog.Control(fit.control), WM_GETFONT, 0, 0));
            HGDIOBJ old = SelectObject(dc, font);
            for (const char* code : {"EN", "CSY", "DE", "ES", "FR", "IT", "RUS"})
            {
                const std::wstring text = platform::Widen(uitest::ModuleText(code, fit.text));
                SIZE size{};
                GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
                EXPECT_LE(size.cx, fit.room) << code << " " << fit.text;
            }
            SelectObject(dc, old);
        }
        ReleaseDC(hwnd, dc);

        // Modal over the main window and centred on it.
        EXPECT_EQ(GetWindow(hwnd, GW_OWNER), m_frame->Handle());
        EXPECT_FALSE(IsWindowEnabled(m_frame->Handle()));
        RECT client, outer, frame;
        GetClientRect(hwnd, &client);
        EXPECT_EQ(client.right, 288);
        EXPECT_EQ(client.bottom, 152);
        GetWindowRect(hwnd, &outer);
        GetWindowRect(m_frame->Handle(), &frame);
        EXPECT_NEAR((outer.left + outer.right) / 2, (frame.left + frame.right) / 2, 1);
        EXPECT_NEAR((outer.top + outer.bottom) / 2, (frame.top + frame.bottom) / 2, 1);
        EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
        EXPECT_EQ(Top(dialog.Control(settings::kIdFlatCheckBox2)), 56);
        EXPECT_EQ(Top(dialog.Control(settings::kIdKeepHistoryBox)), 72);
        EXPECT_EQ(Top(dialog.Control(settings::kIdSettingsOk)), 104);

        // Keyboard order, starting on the first box.
        HWND order[5] = {dialog.Control(settings::kIdFlatCheckBox1),
                         dialog.Control(settings::kIdFlatCheckBox2),
                         dialog.Control(settings::kIdKeepHistoryBox), dialog.Control(settings::kIdSettingsOk),
                         dialog.Control(settings::kIdSettingsCancel)};
        EXPECT_EQ(GetFocus(), order[0]);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(GetNextDlgTabItem(hwnd, order[i], FALSE), order[(i + 1) % 5]) << i;

        // A second click on the settings button opens nothing more.
        Click(ui::kIdSettingsBtn);
        EXPECT_EQ(FindWindowW(L"TFindFileSettingsFrm", nullptr), hwnd);
        EXPECT_EQ(TFindFileSettingsFrm::OpenDialog(), &dialog);

        Press(dialog, settings::kIdFlatCheckBox1);
        Press(dialog, settings::kIdFlatCheckBox2);
        Press(dialog, settings::kIdSettingsCancel);
    }});
    EXPECT_EQ(IniBytes(), ini) << "Cancel stores nothing";
    EXPECT_EQ(RegistryText(), registry);

    // The close box, then Escape: neither stores.
    WithDialog({[](TFindFileSettingsFrm& dialog) {
        Press(dialog, settings::kIdFlatCheckBox1);
        SendMessageW(dialog.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    }});
    WithDialog({[](TFindFileSettingsFrm& dialog) { Press(dialog, settings::kIdFlatCheckBox2); },
                [](TFindFileSettingsFrm&) { Key(VK_ESCAPE); }});
    EXPECT_EQ(IniBytes(), ini);
    EXPECT_EQ(RegistryText(), registry);

    // OK stores both boxes and applies them.
    PressOk(false, false);
    EXPECT_EQ(settings::incontext(), 0);
    EXPECT_EQ(settings::defaultfind(), 0);
    EXPECT_FALSE(KeyExists(Entry(0)));

    // The next opening shows the file; Space toggles the focused box and Enter is OK.
    WithDialog({[](TFindFileSettingsFrm& dialog) {
                    EXPECT_FALSE(Checked(dialog, settings::kIdFlatCheckBox1));
                    EXPECT_FALSE(Checked(dialog, settings::kIdFlatCheckBox2));
                    Key(VK_SPACE);
                },
                [](TFindFileSettingsFrm& dialog) {
                    EXPECT_TRUE(Checked(dialog, settings::kIdFlatCheckBox1));
                    Key(VK_RETURN);
                }});
    EXPECT_EQ(settings::incontext(), 1);
    EXPECT_EQ(settings::defaultfind(), 0);
    EXPECT_EQ(ValueText(Entry(5) + L"\\command"), Command(true));
}

TEST_F(ShellIntegrationTest, FindVerbRoundTripThroughTheDialog)
{
    // A shell find verb: a command, and a DDE conversation with values and a subkey of its own.
    SetString(kFolderFind + L"\\command", L"", L"C:\\Shell\\explorer.exe /find,\"%1\"");
    SetString(kFolderFind + L"\\ddeexec", L"", L"[FindFolder(\"%l\", %I)]");
    const DWORD flags = 0x12345678;
    SetValue(kFolderFind + L"\\ddeexec", L"Flags", REG_DWORD, &flags, sizeof(flags));
    SetValue(kFolderFind + L"\\ddeexec", L"Raw", REG_BINARY, "\x01\x00\xff", 3);
    SetString(kFolderFind + L"\\ddeexec\\application", L"", L"Folders");
    SetString(kFolderFind + L"\\ddeexec\\topic\\deeper", L"Note", L"kept");
    const RegistryTree shell = RegistryTree::Read(HKEY_CLASSES_ROOT, kFolderFind);
    const RegistryTree dde = RegistryTree::Read(HKEY_CLASSES_ROOT, kFolderFind + L"\\ddeexec");
    const std::string others = RegistryTree::Read(HKEY_CLASSES_ROOT, kFindVerbs[3]).Text();

    Open("EN");
    PressOk(true, true);
    EXPECT_EQ(settings::defaultfind(), 1);
    EXPECT_EQ(ValueText(kFolderFind + L"\\command"), Command(true));
    EXPECT_EQ(ValueText(kFolderFind + L"\\command", L"01"), "C:\\Shell\\explorer.exe /find,\"%1\"");
    EXPECT_FALSE(KeyExists(kFolderFind + L"\\ddeexec"));
    RegistryTree moved = RegistryTree::Read(HKEY_CLASSES_ROOT, kFolderFind + L"\\zaloha");
    moved.name = dde.name;
    EXPECT_EQ(moved.Text(), dde.Text()) << "zaloha holds the same values and subkeys";
    EXPECT_EQ(RegistryTree::Read(HKEY_CLASSES_ROOT, kFindVerbs[3]).Text(), others);

    const std::string installed = RegistryText();
    PressOk(true, true);
    EXPECT_EQ(RegistryText(), installed) << "a second install changes nothing more";

    PressOk(true, false);
    EXPECT_EQ(settings::defaultfind(), 0);
    RegistryTree restored = RegistryTree::Read(HKEY_CLASSES_ROOT, kFolderFind);
    EXPECT_EQ(ValueText(kFolderFind + L"\\command", L"01"), "C:\\Shell\\explorer.exe /find,\"%1\"")
        << "the backup stays behind";
    auto& values = restored.keys[0].values;
    values.erase(std::remove_if(values.begin(), values.end(), [](auto& v) { return v.name == L"01"; }),
                 values.end());
    EXPECT_EQ(restored.Text(), shell.Text()) << "default value and ddeexec byte for byte";

    const std::string removed = RegistryText();
    PressOk(true, false);
    EXPECT_EQ(RegistryText(), removed) << "a second removal changes nothing more";
}

TEST_F(ShellIntegrationTest, RegistryErrorReachesTheErrorBoxAndTheDialogStaysOpen)
{
    const DWORD notText = 5;
    SetValue(kFolderFind + L"\\command", L"", REG_DWORD, &notText, sizeof(notText));
    Open("EN");
    WithDialog({[](TFindFileSettingsFrm& dialog) {
                    EXPECT_TRUE(Checked(dialog, settings::kIdFlatCheckBox2));
                    Press(dialog, settings::kIdSettingsOk);
                },
                [this](TFindFileSettingsFrm& dialog) {
                    ASSERT_EQ(m_errorBoxes.size(), 1u);
                    EXPECT_EQ(m_errorBoxes[0].first, "Pelion Info Find File");
                    EXPECT_EQ(m_errorBoxes[0].second, "Invalid data type for ''");
                    EXPECT_TRUE(IsWindowVisible(dialog.Handle()));
                    Press(dialog, settings::kIdSettingsCancel);
                }});
    EXPECT_EQ(settings::defaultfind(), 1) << "the steps before the error stay done";
    EXPECT_EQ(ValueText(kFolderFind + L"\\command"), "(type 4)");
}

} // namespace
