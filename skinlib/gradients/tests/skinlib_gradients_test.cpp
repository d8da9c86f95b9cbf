#include "controls/skin_core/tests/golden_bands.h"
#include "controls/skin_core/tests/hand_rows.h"
#include "skinlib/gradients/skinlib_gradients.h"
#include "controls/skin_core/skin_class_profiles.h"
#include <gtest/gtest.h>
#include <climits>

namespace {

using skin::Band;
using skin::FillPlan;

const skin::Colour kBase = 0xD0B090;

FillPlan plan(const skin::Profile& p, int style, int w, int h, skin::Colour colour = kBase) {
    return skin::plan_shaded_fill(p, colour, 0, 0, w, h, style);
}

// Rows worked out by hand from the libraries' formulas (each expression truncated as a whole):
// s = 255 |i - half| / half, n = 255 (N - i) / N, k = cos(|i - half| / half * pi/2); on a 20-row box
// band 0 closes at i = 1 with s = 229, n = 242 and k H = 3.1287.
const skin::Op D = skin::Op::Darken, K = skin::Op::DarkenKeep;
const HandRow kRows[] = {
    {&skinlib::kButtonBrisvane, 7, {0, 0, 10, 20}, true, 0, {0, 0, 10, 1}, D, 26, "255 - s"},
    {&skinlib::kButtonBrisvane, 17, {0, 0, 40, 20}, false, 0, {8, 0, 32, 1}, D, 17,
     "d = trunc(10 - 3.13 * 0.5) = 8; (510 - 2 * 229) / 3"},
    {&skinlib::kButtonBrisvane, 37, {0, 0, 40, 30}, false, 0, {1, 0, 26, 1}, D, 5,
     "F = trunc(3.136 / 3) = 1: left + 1 .. right - 15 + 1; n = 246: (765 - 738) / 5"},
    {&skinlib::kMenuBrisvane, 20, {0, 0, 100, 10}, true, 0, {0, 0, 2, 10}, D, 249, "always filled; n(2) = 249"},
    {&skinlib::kComboBrisvane, 7, {0, 0, 10, 20}, true, 0, {0, 0, 10, 1}, D, 17, "scaled: (510 - 458) / 3"},
    {&skinlib::kComboBrisvane, 3, {0, 0, 99, 10}, true, 0, {0, 0, 1, 10}, D, 249,
     "band 99 / 50 = 1: s = 255 * 48 / 49"},
    {&skinlib::kTabBrisvane, 47, {0, 0, 40, 20}, false, 0, {9, 0, 30, 1}, D, 8,
     "capsule d = 8: left + d + 1 .. right - d - 2; n = 242"},
    {&skinlib::kTabBrisvane, 37, {0, 0, 40, 20}, false, 0, {0, 0, 31, 1}, D, 20,
     "t = trunc(1.56) = 1: trunc(0.8) .. right - 10 + 1; trunc(4 * 26 / 5)"},
    {&skinlib::kTabBrisvane, 9, {0, 0, 100, 10}, false, 0, {0, 0, 2, 10}, D, 7, "band W / 50: (510 - 2 * 244) / 3"},
    {&skinlib::kTabOlumbra, 47, {0, 0, 60, 20}, false, 0, {27, 0, 33, 1}, D, 229, "no 47: tapered, o = 27"},
    {&skinlib::kTabOlumbra, 47, {0, 0, 60, 20}, false, 2, {33, 0, 60, 1}, D, 240, "right wing: trunc(1.05 * 229)"},
    {&skinlib::kMenuOlumbra, 8, {0, 0, 10, 20}, true, 0, {0, 0, 10, 1}, D, 229, "s"},
    {&skinlib::kComboOlumbra, 3, {0, 0, 100, 10}, true, 0, {0, 0, 2, 10}, D, 244, "band 2: s = 255 * 48 / 50"},
    {&skinlib::kButtonOlumbra, 47, {0, 0, 40, 20}, false, 0, {4, 0, 36, 1}, D, 8,
     "r = 20 / 4 = 5: inset trunc(5 - 5 * 0.156) = 4; n = 242"},
    {&skinlib::kButtonOlumbra, 22, {0, 0, 10, 40}, true, 0, {0, 0, 10, 2}, D, 161, "below 40: filled; 242 * 2/3"},
    {&skinlib::kLabelOlumbra, 27, {0, 0, 40, 20}, false, 0, {1, 0, 39, 1}, D, 17, "pinch trunc(k * 21 * 0.5) = 1"},
    {&skinlib::kLabelOlumbra, 27, {0, 0, 40, 20}, false, 9, {10, 9, 30, 10}, D, 170, "middle: trunc(10.5) = 10"},
    {&skinlib::kLabelOlumbra, 17, {0, 0, 40, 20}, false, 0, {9, 0, 31, 1}, D, 17, "inset trunc(10 - 3.13 * 0.25) = 9"},
    {&skinlib::kSliderOlumbra, 18, {0, 0, 40, 20}, false, 0, {9, 0, 31, 1}, K, 152, "as the label, keeping small channels"},
    {&skinlib::kSliderOlumbra, 3, {0, 0, 100, 10}, true, 0, {0, 0, 2, 10}, D, 162, "last branch scaled: 244 * 2/3"},
};

TEST(SkinlibGradients, RowsWorkedOutByHand) {
    for (const HandRow& row : kRows) EXPECT_EQ("", check_hand_row(row));
}

TEST(SkinlibGradients, DefaultBandWidthIsClampedToOneToFour) {
    EXPECT_EQ(1, plan(skinlib::kButtonBrisvane, 3, 40, 10).bands[0].right);
    EXPECT_EQ(4, plan(skinlib::kButtonBrisvane, 3, 200, 10).bands[0].right);
    EXPECT_EQ(4, plan(skinlib::kButtonBrisvane, 3, 1000, 10).bands[0].right);
    // The combo's last branch uses W / 50.
    EXPECT_EQ(1, plan(skinlib::kComboBrisvane, 3, 99, 10).bands[0].right);
    EXPECT_EQ(2, plan(skinlib::kComboBrisvane, 3, 100, 10).bands[0].right);
}

TEST(SkinlibGradients, Style7And8AreMirrorImages) {
    FillPlan seven = plan(skinlib::kButtonBrisvane, 7, 30, 20);
    FillPlan eight = plan(skinlib::kButtonBrisvane, 8, 30, 20);
    ASSERT_EQ(19u, seven.bands.size());  // the last row is left to the plain fill
    EXPECT_TRUE(seven.plain_fill);
    EXPECT_EQ(color_darken(kBase, 255 - 229), seven.bands.front().colour);  // i = 1: s = 229
    EXPECT_EQ(color_darken(kBase, 255), seven.bands[9].colour);            // middle: fully darkened
    EXPECT_EQ(color_darken(kBase, 229), eight.bands.front().colour);
    EXPECT_EQ(kBase, eight.bands[9].colour);
}

TEST(SkinlibGradients, Style20RunsFromFullDarkeningToTheBaseColour) {
    FillPlan p = plan(skinlib::kButtonBrisvane, 20, 100, 10);
    ASSERT_EQ(50u, p.bands.size());
    int x = 0;
    for (const Band& b : p.bands) {
        EXPECT_EQ(x, b.left);
        x = b.right;
    }
    EXPECT_EQ(100, x);  // no column left out
    EXPECT_EQ(color_darken(kBase, 255 * 98 / 100), p.bands.front().colour);
    EXPECT_EQ(kBase, p.bands.back().colour);
}

TEST(SkinlibGradients, UnlistedCodeGoesToEachCopysLastBranch) {
    FillPlan button = plan(skinlib::kButtonBrisvane, 3, 60, 20);
    EXPECT_TRUE(button.plain_fill);
    EXPECT_EQ(0, button.bands[0].top);
    EXPECT_EQ(20, button.bands[0].bottom);  // vertical strips, full height
    FillPlan tab = plan(skinlib::kTabBrisvane, 3, 60, 20);
    EXPECT_FALSE(tab.plain_fill);
    // Tapered: per row band a middle piece and two wings with 1.05 times the shade.
    ASSERT_GE(tab.bands.size(), 3u);
    const Band& middle = tab.bands[0];
    const Band& wing = tab.bands[1];
    EXPECT_EQ(0, middle.top);
    EXPECT_EQ(1, middle.bottom);
    int s = 255 * 9 / 10;  // i = 1, half = 10
    int o = (int)(9 * (60.0 / 20));
    EXPECT_EQ(o, middle.left);
    EXPECT_EQ(60 - o, middle.right);
    EXPECT_EQ(color_darken(kBase, s), middle.colour);
    EXPECT_EQ(0, wing.left);
    EXPECT_EQ(o, wing.right);
    EXPECT_EQ(color_darken(kBase, std::min(255, (int)(1.05 * s))), wing.colour);
    // Code 11 paints 255 minus each shade.
    FillPlan eleven = plan(skinlib::kTabBrisvane, 11, 60, 20);
    EXPECT_EQ(color_darken(kBase, 255 - s), eleven.bands[0].colour);
    // Olumbra's tab has no 47: it tapers.
    EXPECT_EQ(describe_plan(plan(skinlib::kTabOlumbra, 3, 60, 20)), describe_plan(plan(skinlib::kTabOlumbra, 47, 60, 20)));
    EXPECT_NE(describe_plan(plan(skinlib::kTabBrisvane, 3, 60, 20)), describe_plan(plan(skinlib::kTabBrisvane, 47, 60, 20)));
}

TEST(SkinlibGradients, PlainFillThresholdPerClass) {
    struct Case { const skin::Profile* p; int style; bool plain; };
    const Case cases[] = {
        {&skinlib::kButtonBrisvane, 9, true}, {&skinlib::kButtonBrisvane, 10, false},
        {&skinlib::kMenuBrisvane, 38, true}, {&skinlib::kComboBrisvane, 22, true},
        {&skinlib::kTabBrisvane, 7, false}, {&skinlib::kTabOlumbra, 0, false},
        {&skinlib::kButtonOlumbra, 38, true}, {&skinlib::kButtonOlumbra, 47, false},
        {&skinlib::kLabelOlumbra, 9, true}, {&skinlib::kLabelOlumbra, 17, false},
        {&skinlib::kSliderOlumbra, 8, true}, {&skin::kBalloonTip, 12, false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.plain, plan(*c.p, c.style, 50, 20).plain_fill) << c.p->name << " " << c.style;
}

TEST(SkinlibGradients, SliderDarkeningKeepsSmallChannels) {
    const skin::Colour base = 0x10FFFF;  // blue 0x10
    FillPlan slider = plan(skinlib::kSliderOlumbra, 18, 50, 20, base);
    FillPlan label = plan(skinlib::kLabelOlumbra, 18, 50, 20, base);
    ASSERT_FALSE(slider.bands.empty());
    EXPECT_EQ(0x10, skin::blue_of(slider.bands.front().colour));
    EXPECT_EQ(0x00, skin::blue_of(label.bands.front().colour));
    // Outside 17..38 the slider darkens like everybody else.
    EXPECT_EQ(0x00, skin::blue_of(plan(skinlib::kSliderOlumbra, 8, 50, 20, base).bands.front().colour));
}

TEST(SkinlibGradients, OnePixelAndEmptyRectanglesNeverDivideByZero) {
    for (size_t i = 0; i < skinlib::kProfileCount; ++i)
        for (int style : golden_styles(*skinlib::kAllProfiles[i])) {
            const skin::Profile& p = *skinlib::kAllProfiles[i];
            EXPECT_TRUE(plan(p, style, 1, 1).bands.empty());
            EXPECT_TRUE(plan(p, style, 0, 20).bands.empty());
            EXPECT_FALSE(plan(p, style, 0, 20).plain_fill);
            FillPlan thin = skin::find_style(p, style).axis == skin::Axis::Rows ? plan(p, style, 30, 1) : plan(p, style, 1, 30);
            EXPECT_TRUE(thin.bands.empty()) << p.name << " " << style;
            EXPECT_TRUE(thin.plain_fill) << p.name << " " << style;
        }
}

TEST(SkinlibGradients, EveryProfileMatchesItsGoldenBandTable) {
    for (size_t i = 0; i < skinlib::kProfileCount; ++i) {
        const skin::Profile& p = *skinlib::kAllProfiles[i];
        std::string file;
        for (const char* c = p.name; *c; ++c)
            if (isalnum((unsigned char)*c)) file += (char)tolower((unsigned char)*c);
        std::string text = golden_table(p, golden_styles(p));
        EXPECT_EQ("", check_golden(TEST_SOURCE_DIR "/skinlib/gradients/tests/golden/" + file + ".txt", text));
    }
}

}  // namespace
