// The run flags: a change made on one thread is seen by a loop polling on another.
#include <gtest/gtest.h>
#include <chrono>
#include <future>
#include <thread>
#include "engine/state/run_state.h"

TEST(RunState, PollingLoopSeesTheFlagClearedWithinABoundedTime) {
    set_flag(g_busy, true);
    std::atomic<bool> polling{false};
    std::promise<void> stopped;
    std::future<void> stop = stopped.get_future();
    std::thread worker([&] {
        while (flag_on(g_busy)) polling.store(true, std::memory_order_relaxed);
        stopped.set_value();
    });
    while (!polling.load()) std::this_thread::yield();
    set_flag(g_busy, false);
    // A loop that never saw the store would spin on; the bound is generous for a loaded machine.
    EXPECT_EQ(std::future_status::ready, stop.wait_for(std::chrono::seconds(10)));
    set_flag(g_busy, false);
    worker.join();
}

TEST(RunState, ToggleFlipsOneFlagOnly) {
    set_flag(g_show_video, false);
    set_flag(g_play_sound, true);
    toggle_flag(g_show_video);
    EXPECT_TRUE(flag_on(g_show_video));
    toggle_flag(g_show_video);
    EXPECT_FALSE(flag_on(g_show_video));
    EXPECT_TRUE(flag_on(g_play_sound));
}
