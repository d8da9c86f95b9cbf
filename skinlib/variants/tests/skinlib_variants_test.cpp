// The libraries' records say what their Parts list for each build.
#include "skinlib/variants/skinlib_variants.h"
#include "controls/skin_core/skin_class_profiles.h"
#include "controls/skin_core/skin_colour.h"
#include "skinlib/gradients/skinlib_gradients.h"
#include <gtest/gtest.h>

namespace {

TEST(SkinlibVariants, ComboDefaultsAndRules) {
    const skin::ComboVariant& b = skinlib::kBrisvaneCombo;
    EXPECT_EQ(0, b.text_style);
    EXPECT_EQ(0, b.face_style);
    EXPECT_EQ(8, b.select_style);
    EXPECT_EQ(0xC0C0C0u, b.select_colour);
    EXPECT_EQ(0x000000u, b.text_colour);
    EXPECT_EQ(0xFFFFFFu, b.back_colour);
    EXPECT_EQ(skin::ComboVariant::SelectedText::Contrast, b.selected_text);
    EXPECT_TRUE(b.icons);
    const skin::ComboVariant& o = skinlib::kOlumbraCombo;
    EXPECT_EQ(skin::ComboVariant::Selection::InvertedBevel, o.selection);
    EXPECT_EQ(skin::ComboVariant::SelectedText::Inverse, o.selected_text);
    EXPECT_TRUE(o.copy_under_text);
    EXPECT_FALSE(o.icons);
    EXPECT_EQ(&skinlib::kComboOlumbra, o.gradient);
}

TEST(SkinlibVariants, LabelTabAndMenuDepartures) {
    EXPECT_EQ(750u, skinlib::kBrisvaneLabel.text_flash_ms);
    EXPECT_EQ(500u, skinlib::kBrisvaneLabel.back_flash_ms);
    EXPECT_EQ(500u, skinlib::kOlumbraLabel.text_flash_ms);
    EXPECT_EQ(nullptr, skinlib::kBrisvaneLabel.open_link);  // the label's own text
    EXPECT_EQ(&skin::kBalloonTip, skinlib::kBrisvaneLabel.gradient);
    EXPECT_TRUE(skinlib::kBrisvaneLabel.indicator);
    EXPECT_FALSE(skinlib::kOlumbraLabel.indicator);
    EXPECT_TRUE(skinlib::kBrisvaneTab.shadow_darker_face);
    EXPECT_TRUE(skinlib::kBrisvaneTab.shadow_next_style);
    EXPECT_EQ(1, skinlib::kOlumbraTab.shadow_offset);
    EXPECT_TRUE(skinlib::kOlumbraTab.lift_selected);
    EXPECT_TRUE(skinlib::kOlumbraTab.raised_always_white);
    EXPECT_FALSE(skinlib::kOlumbraTab.shorten_bottom);
    EXPECT_EQ(color_darken(0x80FF40, 32), skinlib::kBrisvaneMenu.flat_item_colour);
    EXPECT_EQ(22, skinlib::kBrisvaneMenu.flat_selected_style);
    EXPECT_EQ(20, skinlib::kBrisvaneMenu.classic_style);
    EXPECT_EQ(8, skinlib::kOlumbraMenu.flat_selected_style);
    EXPECT_EQ(0x80FF40u, skinlib::kOlumbraMenu.flat_item_colour);
}

TEST(SkinlibVariants, ListDepartures) {
    // olumbra colours its cells by plain custom draw, without the striped background.
    EXPECT_TRUE(skinlib::kBrisvane.list->paints_bands);
    EXPECT_FALSE(skinlib::kOlumbra.list->paints_bands);
    EXPECT_STREQ("olumbra", skinlib::kOlumbra.list->name);
}

TEST(SkinlibVariants, FrameBitmapsOfEachLibrary) {
    const skinlib::FrameIds& b = skinlib::kBrisvane.frame;
    EXPECT_EQ(11023u, b.background);
    EXPECT_EQ(11046u, b.caption);
    EXPECT_EQ(11025u, b.left);
    EXPECT_EQ(11047u, b.buttons[0]);
    EXPECT_EQ(11048u, b.buttons[1]);
    const skinlib::FrameIds& o = skinlib::kOlumbra.frame;
    EXPECT_EQ(3005u, o.background);
    EXPECT_EQ(3009u, o.bottom);
    EXPECT_EQ(3055u, o.buttons[0]);
    EXPECT_EQ(0u, o.buttons[1]);
}

}  // namespace
