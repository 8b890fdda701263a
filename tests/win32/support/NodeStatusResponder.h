#pragma once
// A NetBIOS node answering node-status questions on port 137 of one loopback address (any of
// 127.0.0.0/8), in a thread of the test process, until it is destroyed.
#include "network/NetBios.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace testing_support
{

class NodeStatusResponder
{
public:
    enum class Reply
    {
        Answer,    // the name table and unit ID
        Garbage,   // bytes that are no answer
        Truncated, // an answer cut off inside its name table
    };

    NodeStatusResponder(const std::string& address, std::vector<network::NameEntry> names,
                        platform::AdapterAddress unitId, Reply reply = Reply::Answer);
    ~NodeStatusResponder();
    NodeStatusResponder(const NodeStatusResponder&) = delete;
    NodeStatusResponder& operator=(const NodeStatusResponder&) = delete;

    bool Bound() const { return m_bound; }
    int Questions() const { return m_questions; }
    // The last question: its type and the name it asked for, decoded.
    unsigned questionType = 0;
    std::string questionName;

private:
    void Serve();
    network::Packet ReplyTo(const unsigned char* question, int size);

    std::vector<network::NameEntry> m_names;
    platform::AdapterAddress m_unitId;
    Reply m_reply;
    uintptr_t m_socket;
    bool m_bound = false;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_questions{0};
    std::thread m_thread;
};

// Several nodes at once, each on its own loopback address: a Unix process (node_responders.py)
// started through Wine, since Wine binds every loopback UDP socket to 0.0.0.0. Each node line is
// ADDRESS=KIND=NAMES=MAC as that script reads it.
class LoopbackNodes
{
public:
    explicit LoopbackNodes(const std::vector<std::string>& nodeLines);
    ~LoopbackNodes();
    LoopbackNodes(const LoopbackNodes&) = delete;
    LoopbackNodes& operator=(const LoopbackNodes&) = delete;

    // Every address bound; otherwise the script's complaint.
    bool Ready() const { return m_ready; }
    const std::string& Status() const { return m_status; }
    // Ends the nodes and waits for the script to end.
    void Stop();

private:
    // The script's control files, by their Unix and their Windows path.
    std::string m_base;
    std::wstring m_windowsBase;
    uintptr_t m_process = 0;
    bool m_started = false;
    bool m_ready = false;
    bool m_stopped = false;
    std::string m_status;
};

} // namespace testing_support
