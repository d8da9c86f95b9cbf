// Per-thread instances: each thread's open and close touch only its own instance; a thread without one
// borrows the home thread's instance only where the library allows it.
#include "codecs/libav/per_thread.h"
#include <gtest/gtest.h>
#include <atomic>
#include <thread>

namespace {

struct Counter {
    int value = 0;
};

TEST(PerThread, EachThreadOpensAndClosesOnlyItsOwnInstance) {
    libav::PerThread<Counter> counters;
    counters.open([](Counter& c) { return c.value = 7; });
    std::thread other([&] {
        EXPECT_EQ(-1, counters.with([](Counter& c) { return c.value; }, -1)) << "no instance of its own yet";
        counters.open([](Counter& c) { return c.value = 40; });
        EXPECT_EQ(41, counters.with([](Counter& c) { return ++c.value; }, -1));
        EXPECT_TRUE(counters.close());
        EXPECT_FALSE(counters.close());
    });
    other.join();
    EXPECT_EQ(7, counters.with([](Counter& c) { return c.value; }, -1)) << "the other thread's close left ours";
    EXPECT_TRUE(counters.close());
    EXPECT_EQ(-1, counters.with([](Counter& c) { return c.value; }, -1));
}

TEST(PerThread, ThreadsWithoutAnInstanceBorrowTheHomeThreadsOnlyWhenAsked) {
    libav::PerThread<Counter> counters;
    counters.make_calling_thread_home();
    counters.open([](Counter& c) { return c.value = 1; });
    std::thread borrower([&] {
        EXPECT_EQ(-1, counters.with([](Counter& c) { return c.value; }, -1));
        EXPECT_EQ(2, counters.with_own_or_home([](Counter& c) { return ++c.value; }, -1));
        EXPECT_FALSE(counters.has_own());
        // Opening its own leaves the home instance alone.
        counters.open([](Counter& c) { return c.value = 100; });
        EXPECT_EQ(100, counters.with_own_or_home([](Counter& c) { return c.value; }, -1));
        counters.close();
        EXPECT_EQ(2, counters.with_own_or_home([](Counter& c) { return c.value; }, -1)) << "back to the home one";
    });
    borrower.join();
    EXPECT_EQ(2, counters.with([](Counter& c) { return c.value; }, -1));
    counters.close();
    std::thread late([&] { EXPECT_EQ(-1, counters.with_own_or_home([](Counter& c) { return c.value; }, -1)); });
    late.join();
}

TEST(PerThread, ConcurrentCallsOnSeparateInstancesDoNotInterfere) {
    libav::PerThread<Counter> counters;
    std::atomic<int> wrong{0};
    auto work = [&](int start) {
        counters.open([&](Counter& c) { return c.value = start; });
        for (int i = 1; i <= 20000; ++i) {
            int v = counters.with([](Counter& c) { return ++c.value; }, -1);
            if (v != start + i) ++wrong;
        }
        counters.close();
    };
    std::thread a(work, 0), b(work, 1000000);
    a.join();
    b.join();
    EXPECT_EQ(0, wrong.load());
}

}  // namespace
