#include "tests/win32/main/FrameFixture.h"

#include "lang/Language.h"
#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"
#include "settings/AppPaths.h"
#include "settings/SettingsFile.h"
#include "tests/win32/OwnProcess.h"

#include <shellapi.h>

namespace uitest
{

namespace
{

std::string BinFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\'));
    return platform::Narrow(folder);
}

} // namespace

std::string FrameTest::s_folder;
platform::Win32FileSystem* FrameTest::s_fileSystem = nullptr;
platform::Win32LocalTime* FrameTest::s_localTime = nullptr;
platform::Win32SyncCall* FrameTest::s_syncCall = nullptr;
platform::Win32ThreadControl* FrameTest::s_threads = nullptr;

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& pred, int ms)
{
    const DWORD start = GetTickCount();
    while (!pred())
    {
        if (static_cast<int>(GetTickCount() - start) > ms)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    return true;
}

TempFolder::TempFolder(const std::string& name)
{
    m_path = platform::Narrow(testing_win32::OwnTempFolder()) + name;
    testing_win32::RemoveTestTree(platform::Widen(m_path));
    CreateDirectoryW(platform::Widen(m_path).c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    testing_win32::RemoveTestTree(platform::Widen(m_path));
}

std::string TempFolder::Add(const std::string& relative, const std::string& content)
{
    std::string full = m_path + "\\" + relative;
    // Create the folders on the way.
    for (size_t pos = m_path.size() + 1; (pos = full.find('\\', pos)) != std::string::npos; ++pos)
        CreateDirectoryW(platform::Widen(full.substr(0, pos)).c_str(), nullptr);
    if (!relative.empty() && relative.back() == '\\')
        return full;
    platform::UniqueFile file(CreateFileW(platform::Widen(full).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    return full;
}

std::string ModuleText(const std::string& code, int id)
{
    const std::string path = BinFolder() + "\\FindFile" + code + ".dll";
    platform::UniqueModule module(LoadLibraryExW(platform::Widen(path).c_str(), nullptr,
                                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module)
        return "<module missing>";
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module.Get(), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? platform::Narrow(text, static_cast<size_t>(length)) : "<missing>";
}

void FrameTest::SetUpTestSuite()
{
    // A folder that looks like an installation: the program name and the modules beside it.
    s_folder = platform::Narrow(testing_win32::OwnTempFolder()) + "program";
    CreateDirectoryW(platform::Widen(s_folder).c_str(), nullptr);
    for (const char* code : {"EN", "CSY", "DE", "ES", "FR", "IT", "RUS"})
    {
        const std::string name = std::string("\\FindFile") + code + ".dll";
        CopyFileW(platform::Widen(BinFolder() + name).c_str(), platform::Widen(s_folder + name).c_str(),
                  FALSE);
    }
    settings::SetExeFileNameForTests(s_folder + "\\FindFile.exe");
    s_fileSystem = new platform::Win32FileSystem;
    s_localTime = new platform::Win32LocalTime;
    s_syncCall = new platform::Win32SyncCall;
    s_threads = new platform::Win32ThreadControl;
}

void FrameTest::TearDownTestSuite()
{
    delete s_threads;
    delete s_syncCall;
    delete s_localTime;
    delete s_fileSystem;
    // A loaded language module keeps its file: a "module" that is not a library loads as nothing.
    WritePrivateProfileStringW(L"Options", L"Language", L"Release",
                               platform::Widen(s_folder + "\\FindFile.ini").c_str());
    platform::UniqueFile(CreateFileW(platform::Widen(s_folder + "\\FindFileRelease.dll").c_str(),
                                     GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    lang::LoadLanguageModule();
    settings::SetExeFileNameForTests("");
    testing_win32::RemoveTestTree(platform::Widen(s_folder));
}

void FrameTest::TearDown()
{
    m_frame.reset();
    controls::SetErrorBoxHook({});
    Pump();
}

ui::TFindfileFrm& FrameTest::Open(const std::string& language, std::optional<std::string> firstArgument)
{
    settings::WriteIniString(settings::SettingsFilePath(), "Options", "Language", language);
    controls::SetErrorBoxHook([this](const std::string& caption, const std::string& text) {
        m_errorBoxes.emplace_back(caption, text);
    });
    ui::FrameOptions options;
    options.firstArgument = std::move(firstArgument);
    options.clock = &m_clock;
    options.quitOnDestroy = false;
    options.hooks = m_hooks;
    options.fileRowActions = m_fileRowActions;
    options.network = m_networkServices;
    options.application = m_application;
    options.keepPlace = m_keepPlace;
    const engine::FinderServices services{*s_fileSystem, *s_localTime, *s_syncCall, *s_threads};
    m_frame = std::make_unique<ui::TFindfileFrm>(services, std::move(options));
    EXPECT_NE(m_frame->Create(), nullptr);
    Pump();
    return *m_frame;
}

void FrameTest::Click(int id)
{
    SendMessageW(C(id), BM_CLICK, 0, 0);
}

void FrameTest::ClickSection(int section)
{
    SendMessageW(m_frame->SectionButton(section).Handle(), BM_CLICK, 0, 0);
}

int FrameTest::Top(HWND hwnd) const
{
    RECT rect;
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect.top;
}

int FrameTest::Top(int id) const
{
    return Top(C(id));
}

std::string FrameTest::Cell(int row, int column) const
{
    wchar_t text[1024] = {};
    ListView_GetItemText(C(ui::kIdLV1), row, column, text, 1024);
    return platform::Narrow(text);
}

std::string FrameTest::Lang(int id) const
{
    return lang::GetLangText(id);
}

void FrameTest::WaitForIdle()
{
    ASSERT_TRUE(PumpUntil([this] { return !m_frame->FindFile1().Busy(); }));
}

} // namespace uitest
