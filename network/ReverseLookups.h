#pragma once
// The sweep's reverse DNS lookups. The system's lookup blocks, for seconds when a DNS server is
// slow, so the sweep hands addresses over and collects names as they come; host tests answer on a
// clock of their own.
#include "platform/NetworkProvider.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace network
{

struct ReverseAnswer
{
    uint32_t address = 0;
    std::string name; // empty: the address has no name
};

class ReverseLookups
{
public:
    virtual ~ReverseLookups() = default;
    // Starts the lookup of address (host byte order) without waiting for it.
    virtual void Ask(uint32_t address) = 0;
    // Appends the lookups finished since the last call.
    virtual void Take(std::vector<ReverseAnswer>& out) = 0;
};

// At most this many lookups are under way at once: a sweep does not flood the DNS server.
inline constexpr unsigned kReverseLookupThreads = 8;

// The lookups on a few threads of their own, each calling the resolver for one address at a time.
// Destroying it drops what is still queued and returns at once: a thread inside the resolver
// finishes that call on its own and then ends, keeping alive what it uses (its state and the
// resolver are shared), so a stop never waits for a slow DNS server.
class ThreadedReverseLookups : public ReverseLookups
{
public:
    ThreadedReverseLookups(std::shared_ptr<platform::ReverseResolver> resolver,
                           unsigned threads = kReverseLookupThreads);
    ~ThreadedReverseLookups() override;
    ThreadedReverseLookups(const ThreadedReverseLookups&) = delete;
    ThreadedReverseLookups& operator=(const ThreadedReverseLookups&) = delete;

    void Ask(uint32_t address) override;
    void Take(std::vector<ReverseAnswer>& out) override;

private:
    struct Shared;
    static void Serve(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> m_shared;
    unsigned m_maxThreads;
    unsigned m_started = 0;
};

} // namespace network
