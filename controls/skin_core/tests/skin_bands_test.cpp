#include "golden_bands.h"
#include "controls/skin_core/skin_fill_profile.h"
#include <gtest/gtest.h>

namespace {

using skin::Band;
using skin::FillPlan;
using skin::kSkinFillProfile;

const skin::Colour kBase = 0x806040;

FillPlan plan(int style, int l, int t, int r, int b, skin::Colour colour = kBase) {
    return skin::plan_shaded_fill(kSkinFillProfile, colour, l, t, r, b, style);
}

TEST(SkinFill, Style8DarkensByTheTwoWayRampRowByRow) {
    FillPlan p = plan(8, 0, 0, 10, 20);
    EXPECT_TRUE(p.plain_fill);
    ASSERT_EQ(19u, p.bands.size());  // rows 0..18: the last row keeps the plain fill
    for (int i = 1; i <= 19; ++i) {
        const Band& b = p.bands[i - 1];
        EXPECT_EQ(0, b.left);
        EXPECT_EQ(10, b.right);
        EXPECT_EQ(i - 1, b.top);
        EXPECT_EQ(i, b.bottom);
        EXPECT_EQ(color_darken(kBase, 255 * std::abs(i - 10) / 10), b.colour) << "row " << i;
    }
}

TEST(SkinFill, Style7UsesTwoThirdsOfTheInverseRamp) {
    FillPlan p = plan(7, 0, 0, 10, 20);
    ASSERT_EQ(19u, p.bands.size());
    EXPECT_EQ(color_darken(kBase, (2 * (255 - 229)) / 3), p.bands[0].colour);  // i = 1: V = 229
    EXPECT_EQ(color_darken(kBase, 170), p.bands[9].colour);                    // middle row: V = 0
}

TEST(SkinFill, Style20CoversEveryColumnAndEndsAtTheBaseColour) {
    FillPlan p = plan(20, 0, 0, 100, 10);
    EXPECT_FALSE(p.plain_fill);
    ASSERT_EQ(50u, p.bands.size());  // band size 100 / 50 = 2
    int x = 0;
    for (const Band& b : p.bands) {
        EXPECT_EQ(x, b.left);
        EXPECT_EQ(0, b.top);
        EXPECT_EQ(10, b.bottom);
        x = b.right;
    }
    EXPECT_EQ(100, x);
    EXPECT_EQ(color_darken(kBase, 255 * 98 / 100), p.bands.front().colour);
    EXPECT_EQ(kBase, p.bands.back().colour);
}

TEST(SkinFill, BandSizesFollowTheirClamps) {
    struct Case { int style, w, h; int want_rows_per_band; };
    const Case cases[] = {
        {8, 10, 100, 3}, {8, 10, 40, 2}, {8, 10, 19, 1},     // H / 20 in 1..3
        {22, 10, 100, 8}, {22, 10, 30, 3},                   // H / 10 in 1..8
        {321, 200, 100, 5}, {321, 200, 33, 2},               // H / 16 in 1..5
        {20, 400, 10, 4}, {20, 49, 10, 1},                   // W / 50 in 1..4
    };
    for (const Case& c : cases) {
        FillPlan p = plan(c.style, 0, 0, c.w, c.h);
        ASSERT_FALSE(p.bands.empty()) << c.style;
        const Band& first = p.bands.front();
        int extent = c.style == 20 ? first.right - first.left : first.bottom - first.top;
        EXPECT_EQ(c.want_rows_per_band, extent) << "style " << c.style << " " << c.w << "x" << c.h;
    }
}

TEST(SkinFill, UnknownAndLowStylesUseTheLastBranch) {
    FillPlan zero = plan(0, 0, 0, 100, 10);
    EXPECT_TRUE(zero.plain_fill);  // below 10: plain fill first, then the column bands
    FillPlan fallback = plan(12345, 0, 0, 100, 10);
    EXPECT_FALSE(fallback.plain_fill);
    EXPECT_EQ(describe_plan(plan(10, 0, 0, 100, 10)), describe_plan(fallback));
    EXPECT_EQ(describe_plan(plan(10, 0, 0, 100, 10)), describe_plan(plan(319, 0, 0, 100, 10)));
    ASSERT_EQ(zero.bands.size(), fallback.bands.size());
    for (size_t i = 0; i < zero.bands.size(); ++i) EXPECT_EQ(zero.bands[i].colour, fallback.bands[i].colour);
    // Style 9 inverts the ramp of the last branch.
    EXPECT_EQ(color_darken(kBase, 255 - 255 * std::abs(2 - 50) / 50), plan(9, 0, 0, 100, 10).bands[0].colour);
}

TEST(SkinFill, Style321PaintsThreePiecesPerBand) {
    FillPlan p = plan(321, 0, 0, 300, 32);
    ASSERT_EQ(3u * 16u, p.bands.size());  // band size 2, rows to H inclusive
    EXPECT_EQ(0, p.bands[0].left);
    EXPECT_EQ(32, p.bands[0].right);
    EXPECT_EQ(32, p.bands[1].left);
    EXPECT_EQ(p.bands[1].right, p.bands[2].left);
    EXPECT_EQ(300, p.bands[2].right);
}

TEST(SkinFill, DegenerateRectanglesDrawThePlainFillOrNothing) {
    struct Case { int style; int l, t, r, b; bool plain; };
    const Case cases[] = {
        {8, 0, 0, 10, 0, false},    // empty: nothing
        {8, 0, 5, 10, 2, false},    // inverted: nothing
        {20, 5, 0, 5, 10, false},   // no columns
        {8, 0, 0, 10, 1, true},     // one row: no gradient, no division by zero
        {17, 0, 0, 10, 1, true},
        {22, 0, 0, 10, 1, true},
        {321, 0, 0, 100, 1, true},
        {20, 0, 0, 1, 10, true},    // one column
        {201, 0, 0, 1, 10, true},
        {0, 0, 0, 1, 10, true},
        {8, 0, 0, 1, 1, true},
    };
    for (const Case& c : cases) {
        FillPlan p = plan(c.style, c.l, c.t, c.r, c.b);
        EXPECT_EQ(c.plain, p.plain_fill) << "style " << c.style;
        EXPECT_TRUE(p.bands.empty()) << "style " << c.style;
    }
}

TEST(SkinFill, EveryStyleStaysInsideItsRectangle) {
    for (int style : golden_styles(kSkinFillProfile))
        for (int w = 1; w <= 70; w += 3)
            for (int h = 1; h <= 70; h += 4)
                for (const Band& b : plan(style, 7, 9, 7 + w, 9 + h).bands) {
                    ASSERT_LE(7, b.left) << style;
                    ASSERT_LE(9, b.top) << style;
                    ASSERT_GE(7 + w, b.right) << style;
                    ASSERT_GE(9 + h, b.bottom) << style;
                    ASSERT_LT(b.left, b.right) << style;
                    ASSERT_LT(b.top, b.bottom) << style;
                }
}

TEST(SkinFill, MatchesTheGoldenBandTable) {
    std::string text = golden_table(kSkinFillProfile, golden_styles(kSkinFillProfile));
    EXPECT_EQ("", check_golden(TEST_SOURCE_DIR "/controls/skin_core/tests/golden/skin_fill_shaded.txt", text));
}

}  // namespace
