#include <gtest/gtest.h>
#include <thread>
#include "engine/audio/scope_bell.h"

using namespace std::chrono_literals;

namespace {

// Starts a waiter on `count` (seen 0) and returns once it waits.
std::thread start_waiter(const std::atomic<int>& count, bool* woken) {
    std::thread waiter([&count, woken] { *woken = scope_bell_wait(count, 0, 20s); });
    while (scope_bell_waiters() == 0) std::this_thread::yield();
    return waiter;
}

}  // namespace

TEST(ScopeBell, AWaitEndsAtOnceWhenTheCountHasAlreadyChanged) {
    const std::atomic<int> count{1024};
    EXPECT_TRUE(scope_bell_wait(count, 0, 0ms));
}

TEST(ScopeBell, ARingWithNobodyWaitingIsNotKeptForALaterWait) {
    const std::atomic<int> count{0};
    scope_bell_ring();
    EXPECT_FALSE(scope_bell_wait(count, 0, 1ms));
}

TEST(ScopeBell, ARingWakesAWaiterWhoseCountStaysTheSame) {
    const std::atomic<int> count{0};
    bool woken = false;
    std::thread waiter = start_waiter(count, &woken);
    scope_bell_ring();  // as Exit does after clearing the running flag
    waiter.join();
    EXPECT_TRUE(woken);
}
