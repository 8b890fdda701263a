// The network adapters against the real APIs. Traffic goes only to 127.0.0.0/8 and only names the
// machine answers itself are resolved: the NetBIOS node-status query is answered by a responder
// bound to 127.0.0.1:137 in this process.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
// clang-format on
#include "platform/Win32Network.h"

#include "network/NetLookup.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace
{

// Answers one node-status query with a name table of one name and the given adapter address.
class NodeStatusResponder
{
public:
    explicit NodeStatusResponder(const std::vector<unsigned char>& address) : m_address(address)
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(137);
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_bound = bind(m_socket, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
        if (m_bound)
            m_thread = std::thread([this] { AnswerOne(); });
    }
    ~NodeStatusResponder()
    {
        closesocket(m_socket);
        if (m_thread.joinable())
            m_thread.join();
        WSACleanup();
    }
    bool Bound() const { return m_bound; }
    // The question as it arrived: the query type and the name it asked for, decoded.
    unsigned questionType = 0;
    std::string questionName;

private:
    void AnswerOne()
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_socket, &readable);
        timeval wait{10, 0};
        if (select(0, &readable, nullptr, nullptr, &wait) != 1)
            return;
        unsigned char request[512];
        sockaddr_in from{};
        int fromSize = sizeof from;
        const int size = recvfrom(m_socket, reinterpret_cast<char*>(request), sizeof request, 0,
                                  reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 12 + 34 + 4 || request[12] != 32)
            return;
        for (int i = 0; i < 16; ++i)
            questionName +=
                static_cast<char>(((request[13 + 2 * i] - 'A') << 4) | (request[14 + 2 * i] - 'A'));
        questionType = (request[12 + 34] << 8) | request[12 + 35];

        std::vector<unsigned char> answer = {request[0], request[1], 0x84, 0x00, 0, 0, 0, 1, 0, 0, 0, 0};
        answer.insert(answer.end(), request + 12, request + 12 + 34);      // the name asked for
        answer.insert(answer.end(), {0x00, 0x21, 0x00, 0x01, 0, 0, 0, 0}); // NBSTAT, IN, TTL
        const unsigned short length = 1 + 18 + 6 + 40;
        answer.insert(answer.end(),
                      {static_cast<unsigned char>(length >> 8), static_cast<unsigned char>(length)});
        answer.push_back(1);
        const char name[] = "RESPONDER       ";
        answer.insert(answer.end(), name, name + 16);
        answer.insert(answer.end(), {0x04, 0x00});
        answer.insert(answer.end(), m_address.begin(), m_address.end());
        answer.insert(answer.end(), 40, 0);
        sendto(m_socket, reinterpret_cast<const char*>(answer.data()), static_cast<int>(answer.size()), 0,
               reinterpret_cast<sockaddr*>(&from), fromSize);
    }

    std::vector<unsigned char> m_address;
    SOCKET m_socket = INVALID_SOCKET;
    bool m_bound = false;
    std::thread m_thread;
};

TEST(Win32MacQuery, ReadsTheAdapterAddressFromTheNodeStatusAnswer)
{
    NodeStatusResponder responder({0, 12, 41, 26, 43, 60});
    ASSERT_TRUE(responder.Bound()) << "127.0.0.1:137 is taken or needs more rights";
    platform::Win32MacQuery query;
    const auto address = query.Query(0, network::MakeNetBiosName("127.0.0.1"));
    EXPECT_EQ(network::MacText(address), "00-0C-29-1A-2B-3C");
    EXPECT_EQ(responder.questionType, 0x21u);
    EXPECT_EQ(responder.questionName.substr(0, 15), "127.0.0.1      ");
}

TEST(Win32MacQuery, NobodyAnsweringGivesThePlaceholder)
{
    platform::Win32MacQuery query;
    EXPECT_EQ(network::MacText(query.Query(0, network::MakeNetBiosName("127.0.0.9"))), "?-?-?-?-?-?");
}

TEST(Win32NameResolver, GivesTheFirstIpv4AddressInDottedForm)
{
    platform::Win32NameResolver resolver;
    ASSERT_TRUE(resolver.Start());
    EXPECT_EQ(resolver.Resolve("localhost").value_or("none"), "127.0.0.1");
    EXPECT_EQ(resolver.Resolve("127.0.0.5").value_or("none"), "127.0.0.5");
}

TEST(SystemUpperCase, FoldsEveryScript)
{
    EXPECT_EQ(platform::SystemUpperCase("caf\xC3\xA9 \xCF\x89mega pc01"), "CAF\xC3\x89 \xCE\xA9MEGA PC01");
    EXPECT_EQ(platform::SystemUpperCase(""), "");
}

} // namespace
