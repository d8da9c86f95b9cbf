#include "controls/skin_core/tests/golden_bands.h"
#include "skinlib/gradients/skinlib_gradients.h"
#include <gtest/gtest.h>
#include <climits>

namespace {

using skin::Band;
using skin::FillPlan;

const skin::Colour kBase = 0xD0B090;

FillPlan plan(const skin::Profile& p, int style, int w, int h, skin::Colour colour = kBase) {
    return skin::plan_shaded_fill(p, colour, 0, 0, w, h, style);
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
        {&skinlib::kSliderOlumbra, 8, true}, {&skinlib::kBalloonTip, 12, false},
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
