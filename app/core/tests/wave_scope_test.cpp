#include <gtest/gtest.h>
#include <vector>
#include "app/core/wave_scope.h"
#include "controls/skin_core/skin_colour.h"

namespace {

const ScopeColours kColours = {0x804020, 0x402010, 0x20C0F0};
const ScopeState kRunning = {true, true, false};

struct Buffers {
    std::vector<uint8_t> left = std::vector<uint8_t>(8192, 0), right = std::vector<uint8_t>(8192, 0);
};

}  // namespace

TEST(WaveScope, NothingHappensWithoutARunningFeedOrWithAHundredFramesOrFewer) {
    struct Case {
        const char* name;
        ScopeState state;
        int count;
    };
    const Case cases[] = {{"idle", {false, true, false}, 500},
                          {"no feed", {true, false, false}, 500},
                          {"paused", {true, true, true}, 500},
                          {"100 frames", kRunning, 100}};
    Buffers b;
    for (const Case& c : cases) {
        WaveScope scope;
        ScopePicture picture;
        for (int pass = 0; pass < 3; ++pass) {
            int count = c.count;
            EXPECT_EQ(scope.pass(c.state, b.left.data(), b.right.data(), &count, 100, 40, kColours, &picture),
                      WaveScope::Pass::Idle)
                << c.name;
            EXPECT_EQ(count, c.count) << c.name;  // kept for a later pass
            EXPECT_TRUE(picture.lines.empty()) << c.name;
        }
    }
}

TEST(WaveScope, EverySecondQualifyingPassDrawsAndEveryOneTakesTheFrames) {
    Buffers b;
    WaveScope scope;
    ScopePicture picture;
    const WaveScope::Pass expected[] = {WaveScope::Pass::Discard, WaveScope::Pass::Draw, WaveScope::Pass::Discard,
                                        WaveScope::Pass::Draw};
    for (WaveScope::Pass want : expected) {
        int count = 400;
        EXPECT_EQ(scope.pass(kRunning, b.left.data(), b.right.data(), &count, 100, 40, kColours, &picture), want);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(picture.lines.empty(), want != WaveScope::Pass::Draw);
    }
}

TEST(WaveScope, FewerFramesThanColumnsOrATinyAreaDrawNothingButTakeTheFrames) {
    struct Case {
        const char* name;
        int count, width, height;
    };
    const Case cases[] = {{"n = 0", 150, 200, 40}, {"width 0", 500, 0, 40}, {"height 7", 500, 100, 7}};
    Buffers b;
    for (const Case& c : cases) {
        WaveScope scope;
        ScopePicture picture;
        for (int pass = 0; pass < 2; ++pass) {
            int count = c.count;
            EXPECT_EQ(scope.pass(kRunning, b.left.data(), b.right.data(), &count, c.width, c.height, kColours, &picture),
                      WaveScope::Pass::Discard)
                << c.name;
            EXPECT_EQ(count, 0) << c.name;
            EXPECT_TRUE(picture.fills.empty() && picture.lines.empty()) << c.name;
        }
    }
}

TEST(WaveScope, BandsAreDarkestThroughTheCentreAndPlainFromThirtyTwoRowsAway) {
    EXPECT_EQ(scope_band_darkening(50, 50), 170);     // 2/3 of 255
    EXPECT_EQ(scope_band_darkening(54, 50), 148);     // 2/3 of 223
    EXPECT_EQ(scope_band_darkening(82, 50), 0);
    EXPECT_EQ(scope_band_darkening(10, 50), 0);
    Buffers b;
    ScopePicture picture;
    draw_scope(b.left.data(), b.right.data(), 200, 100, 40, kColours, &picture);
    // Bands end at rows 4, 8, ... 36 and at the last row, and cover the area without gaps.
    ASSERT_EQ(picture.fills.size(), 10u);
    EXPECT_EQ(picture.fills.front().top, 0);
    EXPECT_EQ(picture.fills.back().bottom, 40);
    for (size_t i = 1; i < picture.fills.size(); ++i) EXPECT_EQ(picture.fills[i].top, picture.fills[i - 1].bottom);
    // The band ending at row 20 (the centre) is the main colour darkened by 170.
    EXPECT_EQ(picture.fills[4].bottom, 20);
    EXPECT_EQ(picture.fills[4].colour, color_darken(kColours.main, 170));
}

TEST(WaveScope, ColumnsAreScaledAveragesUpForTheFirstChannelAndDownForTheSecond) {
    Buffers b;
    // Two frames a column in a 10 x 40 area: column 3 averages 100 and 101 (100) up, 51 and 52 down.
    b.left[6] = 100;
    b.left[7] = 101;
    b.right[6] = 51;
    b.right[7] = 52;
    ScopePicture picture;
    draw_scope(b.left.data(), b.right.data(), 20, 10, 40, kColours, &picture);
    const double s = 36 / 255.0;
    bool found = false;
    for (const ScopeLine& l : picture.lines)
        if (l.x0 == 3 && l.x1 == 3 && l.y0 == int(20 - s * 100) && l.y1 == int(20 + s * 51)) found = true;
    EXPECT_TRUE(found) << "column 3 from " << int(20 - s * 100) << " to " << int(20 + s * 51);
    EXPECT_EQ(int(20 - s * 100), 5);  // (H - 4) x v / 255 pixels from the centre
}
