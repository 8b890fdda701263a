#include "platform/UniqueHandle.h"

#include <gtest/gtest.h>

namespace
{

bool HandleIsOpen(HANDLE h)
{
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != 0;
}

TEST(UniqueHandle, ClosesOnDestructionAndReset)
{
    HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        platform::UniqueKernelHandle event(raw);
        ASSERT_TRUE(HandleIsOpen(raw));
    }
    EXPECT_FALSE(HandleIsOpen(raw));

    platform::UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE second = event.Get();
    event.Reset();
    EXPECT_FALSE(event.Valid());
    EXPECT_FALSE(HandleIsOpen(second));
}

TEST(UniqueHandle, MoveTransfersOwnershipOnce)
{
    platform::UniqueKernelHandle a(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE raw = a.Get();
    platform::UniqueKernelHandle b(std::move(a));
    EXPECT_FALSE(a.Valid());
    EXPECT_EQ(b.Get(), raw);
    platform::UniqueKernelHandle c;
    c = std::move(b);
    EXPECT_TRUE(HandleIsOpen(raw));
    EXPECT_EQ(c.Release(), raw);
    EXPECT_TRUE(HandleIsOpen(raw));
    CloseHandle(raw);
}

TEST(UniqueHandle, FileHandleTreatsInvalidValueAsEmpty)
{
    platform::UniqueFile missing(
        CreateFileW(L"Z:\\no\\such\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing.Valid());
}

} // namespace
