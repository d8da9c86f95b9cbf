// The run flags: a change made on one thread is seen by a loop polling on another.
#include <gtest/gtest.h>
#include <thread>
#include "run_state.h"

TEST(RunState, PollingLoopSeesTheFlagCleared) {
    set_flag(g_busy, true);
    long polls = 0;
    std::thread worker([&] {
        while (flag_on(g_busy)) ++polls;
    });
    set_flag(g_busy, false);
    worker.join();
    EXPECT_FALSE(flag_on(g_busy));
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
