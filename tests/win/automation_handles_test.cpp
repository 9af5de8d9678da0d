// The move-only owners of handles: each value is closed exactly once.
#include "platform/handles_win.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

std::vector<int> closed;

struct CountingCloser {
    static int empty() noexcept { return 0; }
    static bool held(int value) noexcept { return value != 0; }
    static void close(int value) noexcept { closed.push_back(value); }
};
using Owned = UniqueAny<int, CountingCloser>;

TEST(UniqueAnyTest, ClosesEachValueOnceWhateverItsOwnershipPath) {
    closed.clear();
    {
        Owned a(1);
        Owned b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.get(), 1);
        Owned c(2);
        c = std::move(b); // closes 2, takes 1
        EXPECT_EQ(closed, std::vector<int>{2});
        c = std::move(c);
        EXPECT_EQ(c.get(), 1) << "moving onto itself keeps the value";
        c.reset(3); // closes 1
        Owned d(4);
        EXPECT_EQ(d.release(), 4);
        *d.put() = 5;
    } // closes 5 and 3
    EXPECT_EQ(closed, (std::vector<int>{2, 1, 5, 3}));
}

TEST(UniqueAnyTest, KernelHandleIsClosedWithItsOwner) {
    HANDLE raw = nullptr;
    {
        UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event);
        raw = event.get();
        DWORD flags = 0;
        EXPECT_TRUE(GetHandleInformation(raw, &flags));
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags));
    EXPECT_FALSE(UniqueHandle(INVALID_HANDLE_VALUE)) << "a failed CreateFileW holds nothing";
}

TEST(UniqueAnyTest, ComScopeBalancesOnlyASuccessfulInitialisation) {
    // On a thread of its own, away from the tests' apartment.
    std::thread([] {
        {
            const ComInitScope scope = initializeCom(COINIT_MULTITHREADED);
            ASSERT_TRUE(scope);
            const ComInitScope refused = initializeCom(COINIT_APARTMENTTHREADED);
            EXPECT_EQ(refused.get(), RPC_E_CHANGED_MODE);
            EXPECT_FALSE(refused);
        }
        // Fully uninitialised again: a new initialisation is the first.
        const ComInitScope again = initializeCom(COINIT_APARTMENTTHREADED);
        EXPECT_EQ(again.get(), S_OK);
    }).join();
}

} // namespace
