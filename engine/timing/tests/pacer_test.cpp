#include <gtest/gtest.h>
#include <vector>
#include "engine/timing/pacer.h"

namespace {

// A clock that moves only when slept on, or when a test moves it.
uint32_t g_now = 0;
std::vector<int> g_sleeps;
uint32_t fake_now() { return g_now; }
void fake_sleep(int ms) {
    g_sleeps.push_back(ms);
    g_now += uint32_t(ms);
}
Clock fake_clock(uint32_t start) {
    g_now = start;
    g_sleeps.clear();
    Clock c;
    c.now_ms = fake_now;
    c.sleep_ms = fake_sleep;
    return c;
}

TEST(Pacer, PicturesKeepTheExactRateOverALongJob) {
    struct Case {
        double fps;
        int pictures;
        uint32_t ms;  // round(pictures · 1000 / rate)
    } cases[] = {{29.97, 100, 3337}, {29.97, 3000, 100100}, {25.0, 250, 10000}, {15.0, 7, 467}, {23.976, 1000, 41708}};
    for (const Case& c : cases) {
        Pacer pacer;
        pacer.begin_job(fake_clock(1000), exact_frame_rate(c.fps), dialog_frame_rate(c.fps));
        for (int i = 0; i < c.pictures; ++i) pacer.after_picture();
        EXPECT_EQ(1000 + c.ms, g_now) << c.fps;
    }
}

TEST(Pacer, ScheduleCarriesOverTheClockWrap) {
    Pacer pacer;
    pacer.begin_job(fake_clock(0xFFFFFF00u), exact_frame_rate(25.0), 25);
    for (int i = 0; i < 50; ++i) pacer.after_picture();
    EXPECT_EQ(uint32_t(0xFFFFFF00u + 2000), g_now);
}

TEST(Pacer, SlowDecodingIsNotSleptOnAndAStallIsNotFollowedByABurst) {
    Pacer pacer;
    pacer.begin_job(fake_clock(0), exact_frame_rate(25.0), 25);
    for (int i = 0; i < 10; ++i) pacer.after_picture();
    EXPECT_EQ(400u, g_now);
    g_now += 1000;  // decoding stalls for a second
    g_sleeps.clear();
    pacer.after_picture();
    EXPECT_TRUE(g_sleeps.empty()) << "a late picture does not wait";
    // Within a mark the schedule restarts from the stall: the next pictures come 40 ms apart again.
    for (int i = 0; i < 10; ++i) pacer.after_picture();
    ASSERT_FALSE(g_sleeps.empty());
    EXPECT_EQ(40, g_sleeps.back());
    const uint32_t before = g_now;
    for (int i = 0; i < 25; ++i) pacer.after_picture();
    EXPECT_EQ(before + 1000, g_now);
}

TEST(Pacer, ZeroRateTakesTheDefault) {
    Pacer pacer;
    pacer.begin_job(fake_clock(0), exact_frame_rate(0.0), dialog_frame_rate(0.0));
    for (int i = 0; i < 15; ++i) pacer.after_picture();
    EXPECT_EQ(1000u, g_now);
}

}  // namespace
