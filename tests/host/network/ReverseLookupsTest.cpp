#include "network/ReverseLookups.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace
{

// Names a few addresses; an address of blockOn waits until Release.
class GatedResolver : public platform::ReverseResolver
{
public:
    std::optional<std::string> NameOf(uint32_t address) override
    {
        std::unique_lock<std::mutex> hold(m_lock);
        ++m_calls;
        m_changed.notify_all();
        m_changed.wait(hold, [&] { return address != blockOn || m_released; });
        if (address == 0x7F000001u)
            return "localhost";
        if (address == 0x7F000002u)
            throw std::runtime_error("a resolver that fails");
        return std::nullopt;
    }
    void Release()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_released = true;
        m_changed.notify_all();
    }
    bool WaitForCalls(int calls)
    {
        std::unique_lock<std::mutex> hold(m_lock);
        return m_changed.wait_for(hold, std::chrono::seconds(10), [&] { return m_calls >= calls; });
    }
    uint32_t blockOn = 0;

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_calls = 0;
    bool m_released = false;
};

std::vector<network::ReverseAnswer> TakeUntil(network::ReverseLookups& lookups, size_t count)
{
    std::vector<network::ReverseAnswer> answers;
    for (int i = 0; i < 1000 && answers.size() < count; ++i)
    {
        lookups.Take(answers);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return answers;
}

TEST(ThreadedReverseLookups, EveryAddressAskedIsAnsweredOnceWithItsNameOrNone)
{
    auto resolver = std::make_shared<GatedResolver>();
    network::ThreadedReverseLookups lookups(resolver, 3);
    for (uint32_t address = 0x7F000001u; address <= 0x7F000008u; ++address)
        lookups.Ask(address);
    auto answers = TakeUntil(lookups, 8);
    ASSERT_EQ(answers.size(), 8u);
    std::sort(answers.begin(), answers.end(),
              [](const auto& a, const auto& b) { return a.address < b.address; });
    EXPECT_EQ(answers[0].name, "localhost");
    for (size_t i = 1; i < answers.size(); ++i)
    {
        EXPECT_EQ(answers[i].address, 0x7F000001u + i);
        EXPECT_EQ(answers[i].name, ""); // none, or a resolver that threw
    }
    std::vector<network::ReverseAnswer> more;
    lookups.Take(more);
    EXPECT_TRUE(more.empty());
}

TEST(ThreadedReverseLookups, DestroyingThemDoesNotWaitForALookupUnderWay)
{
    auto resolver = std::make_shared<GatedResolver>();
    resolver->blockOn = 0x7F000009u;
    {
        network::ThreadedReverseLookups lookups(resolver, 1);
        lookups.Ask(0x7F000009u);
        lookups.Ask(0x7F000001u); // queued behind it, dropped with the lookups
        ASSERT_TRUE(resolver->WaitForCalls(1));
    }
    // The thread is still inside the resolver; it ends once the call returns, touching nothing freed.
    resolver->Release();
    std::weak_ptr<GatedResolver> watch = resolver;
    resolver.reset();
    for (int i = 0; i < 1000 && !watch.expired(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(watch.expired()) << "the thread let go of the resolver";
}

} // namespace
