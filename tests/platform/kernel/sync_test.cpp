#include "platform/kernel/sync.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(CriticalSection, HolderMayEnterAgainAndOthersWait) {
    kernel::CRITICAL_SECTION section;
    kernel::InitializeCriticalSection(&section);
    kernel::EnterCriticalSection(&section);
    kernel::EnterCriticalSection(&section);  // must not deadlock

    bool otherGotIn = false;
    std::thread other([&] {
        kernel::EnterCriticalSection(&section);
        otherGotIn = true;
        kernel::LeaveCriticalSection(&section);
    });
    kernel::LeaveCriticalSection(&section);
    EXPECT_FALSE(otherGotIn);  // still held once
    kernel::LeaveCriticalSection(&section);
    other.join();
    EXPECT_TRUE(otherGotIn);
    kernel::DeleteCriticalSection(&section);
}

TEST(InterlockedExchange, ReturnsThePreviousPointer) {
    int a = 0, b = 0;
    std::atomic<int*> slot{nullptr};
    EXPECT_EQ(kernel::InterlockedExchange(&slot, &a), nullptr);
    EXPECT_EQ(kernel::InterlockedExchange(&slot, &b), &a);
    EXPECT_EQ(kernel::InterlockedExchange<int>(&slot, nullptr), &b);
    EXPECT_EQ(slot.load(), nullptr);
}

}  // namespace
