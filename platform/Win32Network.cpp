// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <nb30.h>
#include <winnetwk.h>
// clang-format on
#include "platform/Win32Network.h"

#include "platform/UniqueHandle.h"
#include "platform/Utf8.h"

#include <cstring>
#include <vector>

namespace platform
{

void NetEnumHandleTraits::Close(HANDLE h)
{
    ::WNetCloseEnum(h);
}

namespace
{

constexpr DWORD kBatchBytes = 16384;
constexpr WORD kNetBiosAnswerBytes = 4650;

std::string NarrowOrEmpty(const wchar_t* text)
{
    return text ? Narrow(text) : std::string();
}

// A NETRESOURCEW over strings that live as long as this object.
class NativeEntry
{
public:
    explicit NativeEntry(const NetEntry& entry)
        : m_remote(Widen(entry.remoteName)), m_comment(Widen(entry.comment)),
          m_provider(Widen(entry.provider)), m_local(Widen(entry.localName))
    {
        m_resource.dwScope = entry.scope;
        m_resource.dwType = entry.type;
        m_resource.dwDisplayType = entry.displayType;
        m_resource.dwUsage = entry.usage;
        m_resource.lpRemoteName = entry.remoteName.empty() ? nullptr : m_remote.data();
        m_resource.lpComment = entry.comment.empty() ? nullptr : m_comment.data();
        m_resource.lpProvider = entry.provider.empty() ? nullptr : m_provider.data();
        m_resource.lpLocalName = entry.localName.empty() ? nullptr : m_local.data();
    }
    NETRESOURCEW* Get() { return &m_resource; }

private:
    std::wstring m_remote, m_comment, m_provider, m_local;
    NETRESOURCEW m_resource{};
};

NetEntry FromNative(const NETRESOURCEW& resource)
{
    NetEntry entry;
    entry.remoteName = NarrowOrEmpty(resource.lpRemoteName);
    entry.comment = NarrowOrEmpty(resource.lpComment);
    entry.provider = NarrowOrEmpty(resource.lpProvider);
    entry.localName = NarrowOrEmpty(resource.lpLocalName);
    entry.scope = resource.dwScope;
    entry.type = resource.dwType;
    entry.displayType = resource.dwDisplayType;
    entry.usage = resource.dwUsage;
    return entry;
}

class Win32Enumeration : public NetEnumeration
{
public:
    explicit Win32Enumeration(UniqueNetEnum handle) : m_handle(std::move(handle)), m_buffer(kBatchBytes) {}

    ReadResult ReadBatch(std::vector<NetEntry>& out) override
    {
        for (;;)
        {
            DWORD count = 0xFFFFFFFF;
            DWORD size = static_cast<DWORD>(m_buffer.size());
            std::fill(m_buffer.begin(), m_buffer.end(), 0);
            const DWORD result = ::WNetEnumResourceW(m_handle.Get(), &count, m_buffer.data(), &size);
            if (result == ERROR_MORE_DATA && size > m_buffer.size())
            {
                // One entry does not fit: the provider said how much it needs.
                m_buffer.resize(size);
                continue;
            }
            if (result == ERROR_NO_MORE_ITEMS)
                return ReadResult::NoMore;
            if (result != NO_ERROR)
                return ReadResult::Failed;
            const auto* resources = reinterpret_cast<const NETRESOURCEW*>(m_buffer.data());
            for (DWORD i = 0; i < count; ++i)
                out.push_back(FromNative(resources[i]));
            return ReadResult::Entries;
        }
    }

private:
    UniqueNetEnum m_handle;
    std::vector<unsigned char> m_buffer;
};

std::unique_ptr<NetEnumeration> Open(NETRESOURCEW* start)
{
    UniqueNetEnum handle;
    if (::WNetOpenEnumW(RESOURCE_GLOBALNET, RESOURCETYPE_DISK, RESOURCEUSAGE_CONTAINER, start,
                        handle.Put()) != NO_ERROR)
        return nullptr;
    return std::make_unique<Win32Enumeration>(std::move(handle));
}

} // namespace

std::unique_ptr<NetEnumeration> Win32NetProvider::OpenDomains()
{
    NetEntry start;
    start.provider = m_providerName;
    NativeEntry native(start);
    return Open(native.Get());
}

std::unique_ptr<NetEnumeration> Win32NetProvider::OpenChildren(const NetEntry& container)
{
    NativeEntry native(container);
    return Open(native.Get());
}

Win32NameResolver::~Win32NameResolver()
{
    if (m_started)
        ::WSACleanup();
}

bool Win32NameResolver::Start()
{
    if (m_started)
        return true;
    WSADATA data{};
    m_started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    return m_started;
}

std::optional<std::string> Win32NameResolver::Resolve(const std::string& name)
{
    ADDRINFOW hints{};
    hints.ai_family = AF_INET;
    ADDRINFOW* found = nullptr;
    if (::GetAddrInfoW(Widen(name).c_str(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    std::optional<std::string> text;
    for (const ADDRINFOW* info = found; info && !text; info = info->ai_next)
    {
        if (info->ai_family != AF_INET || !info->ai_addr)
            continue;
        const auto* bytes = reinterpret_cast<const unsigned char*>(
            &reinterpret_cast<const sockaddr_in*>(info->ai_addr)->sin_addr);
        text = std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2]) +
               "." + std::to_string(bytes[3]);
    }
    ::FreeAddrInfoW(found);
    return text;
}

std::optional<AdapterAddress> Win32MacQuery::Query(uint8_t adapter, const NetBiosName& name)
{
    NCB ncb;
    std::memset(&ncb, 0, sizeof ncb);
    std::vector<unsigned char> answer(kNetBiosAnswerBytes); // freed on every path
    ncb.ncb_command = NCBASTAT;
    ncb.ncb_lana_num = adapter;
    ncb.ncb_buffer = answer.data();
    ncb.ncb_length = kNetBiosAnswerBytes;
    for (size_t i = 0; i < name.size() && name[i] != 0; ++i)
        ncb.ncb_callname[i] = name[i];
    if (::Netbios(&ncb) != NRC_GOODRET || ncb.ncb_retcode != NRC_GOODRET)
        return std::nullopt;
    // A node that answers lists at least the name it was asked by; an empty table is no answer
    // (Wine reports success when its queries simply time out).
    const auto* status = reinterpret_cast<const ADAPTER_STATUS*>(answer.data());
    if (status->name_count == 0)
        return std::nullopt;
    AdapterAddress address;
    std::memcpy(address.data(), answer.data(), address.size());
    return address;
}

std::string SystemUpperCase(const std::string& text)
{
    std::wstring wide = Widen(text);
    if (wide.empty())
        return text;
    ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return Narrow(wide);
}

std::string ToOemCodePage(const std::string& text)
{
    const std::wstring wide = Widen(text);
    if (wide.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_OEMCP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                           0, nullptr, nullptr);
    std::string oem(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_OEMCP, 0, wide.data(), static_cast<int>(wide.size()), oem.data(), size,
                              nullptr, nullptr);
    return oem;
}

std::string FromOemCodePage(const std::string& text)
{
    if (text.empty())
        return {};
    const int size =
        ::MultiByteToWideChar(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return Narrow(wide);
}

} // namespace platform
