#include <gtest/gtest.h>
#include "engine/timing/frame_timing.h"

namespace {

TEST(FrameTiming, RatesBecomeExactFractions) {
    struct Case {
        double fps;
        int64_t num, den;
    } cases[] = {
        {29.97, 30000, 1001}, {29.970029970029970, 30000, 1001}, {23.976, 24000, 1001}, {23.98, 24000, 1001},
        {59.94, 60000, 1001}, {25.0, 25, 1}, {30.0, 30, 1}, {15.0, 15, 1}, {12.5, 25, 2}, {24.0, 24, 1},
        {0.0, 15, 1}, {-3.0, 15, 1},
    };
    for (const Case& c : cases) {
        const FrameRate r = exact_frame_rate(c.fps);
        EXPECT_EQ(c.num, r.num) << c.fps;
        EXPECT_EQ(c.den, r.den) << c.fps;
    }
    EXPECT_EQ((FrameRate{25, 1}), exact_frame_rate(0.0, kDefaultAviFrameRate)) << "a rate of 0 takes the default";
}

TEST(FrameTiming, DialogRateIsTheRatePlusAThirdTruncatedWithADefault) {
    EXPECT_EQ(30, dialog_frame_rate(29.97));
    EXPECT_EQ(23, dialog_frame_rate(23.5));
    EXPECT_EQ(24, dialog_frame_rate(23.976));
    EXPECT_EQ(25, dialog_frame_rate(25.0));
    EXPECT_EQ(15, dialog_frame_rate(0.0));
    EXPECT_EQ(25, dialog_frame_rate(-1.0, 25));
}

// Picture i lasts round((i+1)s/r) - round(i s/r): over any number of pictures the durations add up to
// round(n s/r), the running time the exact rate gives, worked here by hand.
TEST(FrameTiming, DurationsOverLongJobsAddUpToTheExactTime) {
    struct Case {
        double fps;
        int64_t timescale;
        int64_t expected;  // round(100000 · timescale / rate)
    } cases[] = {
        {29.97, 1000, 3336667},       // 100000 · 1001 / 30 = 3336666.67
        {29.97, 90000, 300300000},    // 100000 · 90000 · 1001 / 30000
        {23.976, 1000, 4170833},      // 100000 · 1001 / 24 = 4170833.33
        {23.976, 90000, 375375000},
        {25.0, 1000, 4000000},
        {25.0, 90000, 360000000},
        {15.0, 1000, 6666667},        // 100000 · 1000 / 15 = 6666666.67
        {15.0, 90000, 600000000},
    };
    for (const Case& c : cases) {
        const FrameRate r = exact_frame_rate(c.fps);
        int64_t sum = 0;
        int shortest = 1 << 30, longest = 0;
        for (int64_t i = 0; i < 100000; ++i) {
            const int d = picture_duration(r, i, c.timescale);
            sum += d;
            shortest = std::min(shortest, d);
            longest = std::max(longest, d);
        }
        EXPECT_EQ(c.expected, sum) << c.fps << " at " << c.timescale;
        EXPECT_LE(longest - shortest, 1) << "durations differ by at most one unit";
    }
    // 29.97 in milliseconds: 33, 34, 33, 33, 34, 33 ... (1001/30 = 33.3667)
    const FrameRate ntsc = exact_frame_rate(29.97);
    EXPECT_EQ(33, picture_duration(ntsc, 0, 1000));
    EXPECT_EQ(34, picture_duration(ntsc, 1, 1000));
    EXPECT_EQ(33, picture_duration(ntsc, 2, 1000));
    EXPECT_EQ(3003, picture_duration(ntsc, 7, 90000));
}

}  // namespace
