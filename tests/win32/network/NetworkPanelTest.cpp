// The network panel driven as a person would: header clicks, Enter and the button, the list in
// network mode, PopupMenu3, and lookups stopped, restarted and cut off by closing the window.
#include "ui/network/NetworkPanel.h"

#include "lang/TextIds.h"
#include "platform/NetworkProvider.h"
#include "platform/Utf8.h"
#include "settings/SettingsFile.h"
#include "tests/support/FakeNetwork.h"
#include "tests/win32/main/FrameFixture.h"
#include "tests/win32/support/NodeStatusResponder.h"

#include <atomic>

namespace
{

using namespace ui;
using fake::Entry;
namespace t = lang::text;

// A MAC query that holds the lookup until the test lets it go.
class GatedMacQuery : public platform::MacQuery
{
public:
    explicit GatedMacQuery(std::shared_ptr<std::atomic<bool>> open) : m_open(std::move(open)) {}
    std::optional<platform::AdapterAddress> Query(uint8_t, const platform::NetBiosName&) override
    {
        while (!*m_open)
            Sleep(5);
        return platform::AdapterAddress{0, 12, 41, 26, 43, 60};
    }

private:
    std::shared_ptr<std::atomic<bool>> m_open;
};

std::string Upper(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return out;
}

// A provider whose domain level answers only once the test lets it: a WNet call that hangs. It
// tells when it is asked, whether its lookup went on to the computers, and when it is gone with the
// lookup that owned it.
struct SlowNetwork
{
    std::atomic<bool> open{false}, asked{false}, wentOn{false}, gone{false};
};

class SlowProvider : public fake::FakeNetProvider
{
public:
    explicit SlowProvider(std::shared_ptr<SlowNetwork> network) : m_network(std::move(network)) {}
    ~SlowProvider() override { m_network->gone = true; }
    std::unique_ptr<network::NetEnumeration> OpenDomains() override
    {
        m_network->asked = true;
        while (!m_network->open)
            Sleep(5);
        return FakeNetProvider::OpenDomains();
    }
    std::unique_ptr<network::NetEnumeration> OpenChildren(const network::NetEntry& container) override
    {
        m_network->wentOn = true;
        return FakeNetProvider::OpenChildren(container);
    }

private:
    std::shared_ptr<SlowNetwork> m_network;
};

// A reverse resolver that knows no names and counts the questions.
class SilentResolver : public platform::ReverseResolver
{
public:
    explicit SilentResolver(std::shared_ptr<std::atomic<int>> asked) : m_asked(std::move(asked)) {}
    std::optional<std::string> NameOf(uint32_t) override
    {
        ++*m_asked;
        return std::nullopt;
    }

private:
    std::shared_ptr<std::atomic<int>> m_asked;
};

// A network of two domains; gate null: MAC queries answer at once.
LookupPlatform FakePlatform(std::shared_ptr<std::atomic<bool>> gate = nullptr,
                            std::unique_ptr<fake::FakeNetProvider> provider = nullptr)
{
    if (!provider)
        provider = std::make_unique<fake::FakeNetProvider>();
    provider->domains = {{Entry("WORK"), Entry("HOME")}};
    provider->children["WORK"] = {{Entry("\\\\PC01", "desk"), Entry("\\\\SERVER")}};
    provider->children["HOME"] = {{Entry("\\\\LAPC")}};
    auto resolver = std::make_unique<fake::FakeResolver>();
    resolver->addresses = {{"PC01", "10.0.0.1"}, {"SERVER", "10.0.0.7"}};
    LookupPlatform services;
    services.provider = std::move(provider);
    services.resolver = std::move(resolver);
    if (gate)
        services.mac = std::make_unique<GatedMacQuery>(gate);
    else
        services.mac = std::make_unique<fake::FakeMacQuery>();
    services.upper = Upper;
    return services;
}

class NetworkPanelTest : public uitest::FrameTest
{
protected:
    void OpenPanel(const std::string& language = "EN")
    {
        m_networkServices = m_services;
        Open(language);
        m_panel = &m_frame->Network();
    }
    void Header(int id) { SendMessageW(C(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }
    void Enter() { SendMessageW(C(kIdLMDEdit3), WM_KEYDOWN, VK_RETURN, 0); }
    std::string ColumnCaption(int column) const { return m_frame->Results().ColumnCaption(column); }
    bool WaitForLookup()
    {
        return uitest::PumpUntil([this] { return !m_panel->Running(); });
    }
    std::string Status() const { return controls::WindowText(C(kIdPanel2)); }
    std::vector<std::string> RowTexts(int row)
    {
        std::vector<std::string> cells;
        for (int column = 0; column < 5; ++column)
            cells.push_back(Cell(row, column));
        return cells;
    }

    // The memo's lines all fit its box, so no language loses the end of the description.
    bool MemoShowsWholeText()
    {
        HWND memo = C(kIdMemo2);
        RECT format{};
        SendMessageW(memo, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        HDC dc = GetDC(memo);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(memo, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(memo, dc);
        const LRESULT lines = SendMessageW(memo, EM_GETLINECOUNT, 0, 0);
        return lines * metrics.tmHeight <= format.bottom - format.top;
    }
    bool AppStartingCursorOverWindow()
    {
        SendMessageW(m_frame->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(m_frame->Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor() == LoadCursorW(nullptr, IDC_APPSTARTING);
    }

    NetworkPanelServices m_services;
    NetworkPanel* m_panel = nullptr; // the window's
};

TEST_F(NetworkPanelTest, Header2SwitchesTheListToNetworkModeAndHeader1Back)
{
    OpenPanel();
    SetWindowTextW(C(kIdPanel2), L"status before");
    Header(kIdHeader2);
    EXPECT_TRUE(Visible(kIdHeader2Page));
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(ColumnCaption(column), Lang(t::kColumnComputer + column));
    EXPECT_EQ(ListView_GetColumnWidth(C(kIdLV1), 1), 100);
    HIMAGELIST small = ListView_GetImageList(C(kIdLV1), LVSIL_SMALL);
    EXPECT_EQ(small, ListView_GetImageList(C(kIdLV1), LVSIL_NORMAL));
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(small, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(ImageList_GetImageCount(small), 1);
    EXPECT_EQ(Status(), "status before");
    EXPECT_EQ(Text(kIdFincompsbtn), Lang(t::kFindStart));
    EXPECT_EQ(Text(kIdFlatCheckBox1), Lang(t::kListWorkgroups));
    EXPECT_EQ(Text(kIdLabel8), Lang(t::kComputerNameLabel));

    Header(kIdHeader1);
    EXPECT_EQ(ColumnCaption(0), Lang(t::kColumnName));
    EXPECT_EQ(m_frame->Results().ColumnCount(), 5);
    EXPECT_NE(ListView_GetImageList(C(kIdLV1), LVSIL_SMALL), small);
}

TEST_F(NetworkPanelTest, WithoutALanManagerProviderTheLookupEndsWithNoRows)
{
    if (!platform::LanManagerProviderName().empty())
        GTEST_SKIP() << "this system has a LAN Manager provider";
    OpenPanel();
    Header(kIdHeader2);
    Enter();
    ASSERT_TRUE(WaitForLookup());
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Status(), Lang(t::kStatusCountBefore) + "0" + Lang(t::kStatusCountAfter));
    EXPECT_EQ(Text(kIdFincompsbtn), Lang(t::kFindStart));
}

TEST_F(NetworkPanelTest, RowsArriveInOrderAndWholeWithDomainRowsWhenChecked)
{
    m_services.lookupPlatform = [] { return FakePlatform(); };
    OpenPanel();
    Header(kIdHeader2);
    Click(kIdFlatCheckBox1);
    Click(kIdFincompsbtn);
    EXPECT_EQ(Text(kIdFincompsbtn), Lang(t::kFindStop));
    ASSERT_TRUE(WaitForLookup());
    EXPECT_EQ(Text(kIdFincompsbtn), Lang(t::kFindStart));
    ASSERT_EQ(Rows(), 5);
    EXPECT_EQ(RowTexts(0), (std::vector<std::string>{"", "", "WORK", "", ""}));
    EXPECT_EQ(RowTexts(1), (std::vector<std::string>{"PC01", "10.0.0.1", "WORK", "desk", "?-?-?-?-?-?"}));
    EXPECT_EQ(RowTexts(2), (std::vector<std::string>{"SERVER", "10.0.0.7", "WORK", "", "?-?-?-?-?-?"}));
    EXPECT_EQ(RowTexts(3), (std::vector<std::string>{"", "", "HOME", "", ""}));
    EXPECT_EQ(RowTexts(4), (std::vector<std::string>{"LAPC", "?.?.?.?", "HOME", "", "?-?-?-?-?-?"}));
    EXPECT_EQ(Status(), Lang(t::kStatusCountBefore) + "5" + Lang(t::kStatusCountAfter));
    // The maker's and the name's way columns follow the five; a domain row has neither.
    ASSERT_EQ(m_frame->Results().ColumnCount(), 7);
    EXPECT_EQ(ColumnCaption(5), Lang(t::kColumnVendor));
    EXPECT_EQ(ColumnCaption(6), Lang(t::kColumnNameSource));
    EXPECT_EQ(Cell(1, 6), Lang(t::kNameFromBrowseList));
    EXPECT_EQ(Cell(0, 6), "");

    // Sorting by the comment puts the domain rows (no comment) with the empty comments first.
    ListView_SetItemState(C(kIdLV1), -1, 0, LVIS_SELECTED);
    m_frame->Results().LV1ColumnClick(3);
    EXPECT_EQ(Cell(4, 0), "PC01");
    m_frame->Results().LV1ColumnClick(0);
    EXPECT_EQ(Cell(4, 0), "SERVER");
    EXPECT_EQ(Cell(0, 0), "");
}

TEST_F(NetworkPanelTest, ARowShowsFourColumnsWhileItsMacIsAskedAndAStoppedLookupNeverReachesTheNextOne)
{
    auto gateA = std::make_shared<std::atomic<bool>>(false);
    auto gateB = std::make_shared<std::atomic<bool>>(false);
    int made = 0;
    m_services.lookupPlatform = [&] { return FakePlatform(++made == 1 ? gateA : gateB); };
    OpenPanel();
    Header(kIdHeader2);
    SetWindowTextW(C(kIdLMDEdit3), L"pc01");
    Enter();
    ASSERT_TRUE(uitest::PumpUntil([this] { return m_frame->Results().RowCount() == 1; }));
    EXPECT_EQ(m_frame->Results().Row(0).cells.size(), 3u);
    EXPECT_EQ(Cell(0, 4), "");
    EXPECT_TRUE(AppStartingCursorOverWindow());
    Enter(); // stop: the caption comes back at once, the lookup is still in its MAC query
    EXPECT_EQ(Text(kIdFincompsbtn), Lang(t::kFindStart));
    EXPECT_TRUE(m_panel->Running());

    SetWindowTextW(C(kIdLMDEdit3), L"server");
    SetWindowTextW(C(kIdPanel2), L"untouched");
    Enter(); // a new lookup at once
    ASSERT_TRUE(uitest::PumpUntil([this] {
        return m_frame->Results().RowCount() == 1 && m_frame->Results().Row(0).caption == "SERVER";
    }));
    // The old lookup ends now: its MAC cell and its end are dropped.
    *gateA = true;
    Sleep(300);
    uitest::Pump();
    EXPECT_EQ(m_frame->Results().Row(0).cells.size(), 3u);
    EXPECT_EQ(Text(kIdFincompsbtn), Lang(t::kFindStop));
    EXPECT_EQ(Status(), "untouched");
    EXPECT_TRUE(m_panel->Running());

    *gateB = true;
    ASSERT_TRUE(WaitForLookup());
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(RowTexts(0), (std::vector<std::string>{"SERVER", "10.0.0.7", "WORK", "", "00-0C-29-1A-2B-3C"}));
    EXPECT_EQ(Status(), Lang(t::kStatusCountBefore) + "1" + Lang(t::kStatusCountAfter));
    EXPECT_EQ(Text(kIdFincompsbtn), Lang(t::kFindStart));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_FALSE(AppStartingCursorOverWindow());
}

// The sweep asks only the ranges the test gives (loopback), only when its box is ticked; the box
// starts unticked and keeps what the user chose.
TEST_F(NetworkPanelTest, TheSweepBoxAddsTheComputersThatAnswerAndIsRemembered)
{
    testing_support::LoopbackNodes nodes(
        {"127.0.1.5=answer=ALPHA<00>,LAB<00>g=00-0c-29-1a-2b-3c", "127.0.1.6=mdns=alpha-mini.local=-"});
    ASSERT_TRUE(nodes.Ready()) << nodes.Status();
    // The maker of the one card whose prefix the test's table knows.
    m_services.lookupPlatform = [] {
        LookupPlatform platform = FakePlatform();
        platform.vendorOf = [](const platform::AdapterAddress& address) {
            return address[0] == 0x00 && address[1] == 0x0C && address[2] == 0x29 ? "VMware" : "";
        };
        return platform;
    };
    int rangesAsked = 0;
    auto resolverAsked = std::make_shared<std::atomic<int>>(0);
    m_services.reverseResolver = [resolverAsked] { return std::make_shared<SilentResolver>(resolverAsked); };
    m_services.sweepRanges = [&rangesAsked] {
        ++rangesAsked;
        return std::vector<network::AddressRange>{*network::ParseRange("127.0.1.1-127.0.1.20")};
    };
    auto sweepSetting = [] {
        return settings::ReadIniInteger(s_folder + "\\FindFile.ini", "Settings", "SweepLocalNetwork");
    };
    auto ticked = [this] { return SendMessageW(C(kIdSweepBox), BM_GETCHECK, 0, 0) == BST_CHECKED; };
    WritePrivateProfileStringW(L"Settings", L"SweepLocalNetwork", nullptr,
                               platform::Widen(s_folder + "\\FindFile.ini").c_str());
    OpenPanel();
    Header(kIdHeader2);
    EXPECT_FALSE(ticked());
    EXPECT_EQ(Text(kIdSweepBox), Lang(t::kSweepLocalNetwork));
    SetWindowTextW(C(kIdLMDEdit3), L"alpha");
    Click(kIdFincompsbtn);
    ASSERT_TRUE(WaitForLookup());
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(rangesAsked, 0);

    Click(kIdSweepBox);
    EXPECT_TRUE(ticked());
    EXPECT_EQ(sweepSetting(), 1);
    Click(kIdFincompsbtn);
    ASSERT_TRUE(WaitForLookup());
    EXPECT_EQ(rangesAsked, 1);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(RowTexts(0), (std::vector<std::string>{"ALPHA", "127.0.1.5", "LAB", "", "00-0C-29-1A-2B-3C"}));
    // The name that only multicast DNS gives, and which way each name came; the test's resolver
    // answers no reverse question.
    EXPECT_EQ(Cell(0, 5), "VMware");
    EXPECT_EQ(Cell(0, 6), "NetBIOS");
    EXPECT_EQ(Cell(1, 5), "");
    EXPECT_EQ(Cell(1, 0), "alpha-mini.local");
    EXPECT_EQ(Cell(1, 1), "127.0.1.6");
    EXPECT_EQ(Cell(1, 6), "mDNS");
    EXPECT_GT(resolverAsked->load(), 0) << "the system's resolver was asked";

    m_frame.reset();
    OpenPanel();
    EXPECT_TRUE(ticked());
    Click(kIdSweepBox);
    EXPECT_FALSE(ticked());
    EXPECT_EQ(sweepSetting(), 0);
}

TEST_F(NetworkPanelTest, ClosingTheWindowDuringALookupStopsItAndTheLookupNeverTouchesTheWindow)
{
    auto gate = std::make_shared<std::atomic<bool>>(false);
    m_services.lookupPlatform = [&] { return FakePlatform(gate); };
    OpenPanel();
    Header(kIdHeader2);
    Enter();
    ASSERT_TRUE(uitest::PumpUntil([this] { return m_frame->Results().RowCount() == 1; }));
    HWND window = m_frame->Handle();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(m_panel->Running());
    *gate = true;
    Sleep(200);
    uitest::Pump();
    EXPECT_EQ(m_frame->Results().RowCount(), 1u);
}

// The panels are peers: taking the list for the file panel tells the running lookup to stop.
TEST_F(NetworkPanelTest, TheFileHeaderStopsARunningLookupAndItsRowsStayOut)
{
    auto slow = std::make_shared<SlowNetwork>();
    m_services.lookupPlatform = [slow] {
        return FakePlatform(nullptr, std::make_unique<SlowProvider>(slow));
    };
    OpenPanel();
    Header(kIdHeader2);
    Click(kIdFlatCheckBox1);
    Enter();
    ASSERT_TRUE(uitest::PumpUntil([&] { return slow->asked.load(); }));
    Header(kIdHeader1);
    EXPECT_EQ(ColumnCaption(0), Lang(t::kColumnName));
    slow->open = true;
    ASSERT_TRUE(WaitForLookup());
    EXPECT_FALSE(slow->wentOn) << "the lookup was not told to stop";
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Text(kIdFincompsbtn), Lang(t::kFindStart));
}

TEST_F(NetworkPanelTest, ALookupHangingInTheProviderWhenTheWindowClosesNeverReachesTheNextWindow)
{
    auto slow = std::make_shared<SlowNetwork>();
    auto macGate = std::make_shared<std::atomic<bool>>(false);
    int made = 0;
    m_services.lookupPlatform = [&] {
        return ++made == 1 ? FakePlatform(nullptr, std::make_unique<SlowProvider>(slow))
                           : FakePlatform(macGate);
    };
    OpenPanel();
    Header(kIdHeader2);
    Click(kIdFlatCheckBox1); // the domain row comes before the lookup's first stop check
    Enter();
    ASSERT_TRUE(uitest::PumpUntil([&] { return slow->asked.load(); }));
    SendMessageW(m_frame->Handle(), WM_CLOSE, 0, 0);
    m_frame.reset(); // the panel goes with its window

    // A new window of the same thread, whose own lookup (with the same number) waits for a MAC
    // address while the old lookup's provider answers: its rows would be the whole network.
    OpenPanel();
    Header(kIdHeader2);
    SetWindowTextW(C(kIdLMDEdit3), L"lapc");
    SetWindowTextW(C(kIdPanel2), L"untouched");
    Enter();
    ASSERT_TRUE(uitest::PumpUntil([this] { return m_frame->Results().RowCount() == 1; }));
    slow->open = true;
    ASSERT_TRUE(uitest::PumpUntil([&] { return slow->gone.load(); })) << "the old lookup never ended";
    uitest::Pump();
    EXPECT_FALSE(slow->wentOn) << "the old lookup was not stopped";
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Status(), "untouched");
    EXPECT_TRUE(m_panel->Running());

    *macGate = true;
    ASSERT_TRUE(WaitForLookup());
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(RowTexts(0), (std::vector<std::string>{"LAPC", "?.?.?.?", "HOME", "", "00-0C-29-1A-2B-3C"}));
    EXPECT_EQ(Status(), Lang(t::kStatusCountBefore) + "1" + Lang(t::kStatusCountAfter));
}

TEST_F(NetworkPanelTest, PopupMenu3ActsOnTheFirstSelectedRowAndTheDescriptionFitsInEveryLanguage)
{
    for (const char* language : {"EN", "CSY", "DE", "ES", "FR", "IT", "RUS"})
    {
        std::vector<std::string> captions;
        std::vector<std::string> explored;
        std::vector<std::string> shown;
        int choice = kIdProzkoumat1;
        m_services = {};
        m_services.lookupPlatform = [] { return FakePlatform(); };
        m_services.trackMenu = [&](HMENU menu, POINT) {
            captions.clear();
            for (int i = 0; i < GetMenuItemCount(menu); ++i)
            {
                wchar_t text[64] = {};
                GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
                captions.push_back(platform::Narrow(text));
            }
            return choice;
        };
        m_services.explore = [&](const std::string& path) { explored.push_back(path); };
        m_services.properties = [&](HWND owner, const std::string& path) {
            EXPECT_EQ(owner, m_frame->Handle());
            shown.push_back(path);
            return true;
        };
        m_frame.reset();
        OpenPanel(language);
        Header(kIdHeader2);
        EXPECT_TRUE(MemoShowsWholeText()) << language << ": " << Text(kIdMemo2);
        Click(kIdFlatCheckBox1);
        Click(kIdFincompsbtn);
        ASSERT_TRUE(WaitForLookup());
        ASSERT_EQ(Rows(), 5);
        auto rightClickWith = [&](std::initializer_list<int> rows, int item) {
            ListView_SetItemState(C(kIdLV1), -1, 0, LVIS_SELECTED);
            for (int row : rows)
                ListView_SetItemState(C(kIdLV1), row, LVIS_SELECTED, LVIS_SELECTED);
            choice = item;
            m_frame->Results().LV1MouseDown(VK_RBUTTON, POINT{10, 10});
        };
        rightClickWith({2, 4}, kIdProzkoumat1);
        rightClickWith({4, 1}, kIdVlastnosti1);
        rightClickWith({0}, kIdProzkoumat1);
        rightClickWith({3}, kIdVlastnosti1);
        captions.push_back("-");
        rightClickWith({}, kIdVlastnosti1); // nothing selected: no menu
        EXPECT_EQ(captions, (std::vector<std::string>{"Prozkoumat", "Vlastnosti", "-"})) << language;
        EXPECT_EQ(explored, (std::vector<std::string>{"\\\\SERVER", "\\\\"})) << language;
        EXPECT_EQ(shown, (std::vector<std::string>{"\\\\PC01"})) << language;
        m_frame.reset();
        uitest::Pump();
    }
}

} // namespace
