// The controls' rules that need no window: button styles and colour setters, colours, tab geometry and
// text passes, label formats and flashing.
#include "controls/skin_core/button_rules.h"
#include "controls/skin_core/control_variants.h"
#include "controls/skin_core/label_rules.h"
#include "controls/skin_core/skin_colour.h"
#include "controls/skin_core/tab_rules.h"
#include <gtest/gtest.h>

namespace {

TEST(ButtonRules, SubclassedStyleGivesCheckModeAndDefaultButton) {
    struct Case { uint32_t style; uint32_t type; bool check, def; };
    const Case cases[] = {
        {0x50010000, 0, false, false},       // BS_PUSHBUTTON
        {0x50010001, 0, false, true},        // BS_DEFPUSHBUTTON: type 0
        {0x50010002, 2, true, false},        // BS_CHECKBOX
        {0x50010003, 3, true, false},        // BS_AUTOCHECKBOX, how latching buttons are authored
        {0x50010004, 4, false, false},       // BS_RADIOBUTTON: the literal type & 2 is clear
        {0x50010009, 9, false, false},       // BS_AUTORADIOBUTTON
        {0x50010006, 6, true, false},        // BS_AUTO3STATE
        {0x50010007, 7, true, false},        // BS_GROUPBOX: type & 2 again
    };
    for (const Case& c : cases) {
        skin::SubclassedStyle s = skin::subclassed_style(c.style);
        EXPECT_EQ(c.type, s.type) << std::hex << c.style;
        EXPECT_EQ(c.check, s.check_mode) << std::hex << c.style;
        EXPECT_EQ(c.def, s.default_button) << std::hex << c.style;
        EXPECT_EQ((c.style & ~0x1Fu) | 0x0Bu, s.new_style);
    }
}

TEST(ButtonRules, SetStyleClearsBits14AndDrawsByItsOwner) {
    struct Case { uint32_t style; bool current, want_default; uint32_t passed; };
    const Case cases[] = {
        {0x10000001, false, true, 0x1000000B},  // BS_DEFPUSHBUTTON sets the flag
        {0x10000000, true, false, 0x1000000B},  // BS_PUSHBUTTON clears it
        {0x00000002, true, true, 0x0000000B},   // other types leave it
        {0x00000017, false, false, 0x0000000B}, // (0x17 & ~0x14) | 0x0B
    };
    for (const Case& c : cases) {
        skin::SetStyle s = skin::set_style(c.style, c.current);
        EXPECT_EQ(c.want_default, s.default_button) << std::hex << c.style;
        EXPECT_EQ(c.passed, s.style) << std::hex << c.style;
    }
}

TEST(ButtonRules, OffsetColourKeepsTheHueAndReportsBadShades) {
    struct Case { skin::Colour in; int shade; int code; skin::Colour out; };
    const Case cases[] = {
        {0x10F0FF, 0x20, 0, 0x10F0FF},   // red is 255 already: no room
        {0x10F0FF, -0x20, 0, 0x00E0EF},  // blue has 0x10 of room
        {0x969600, 30, 0, 0xB4B41E},     // colour 2's default lightened by 30
        {0x00F0F0, 30, 0, 0x0FFFFF},     // a channel at 240 cuts the step to 15
        {0x123456, 0, 0, 0x123456},
        {0x123456, 300, 5, 0x123456},    // shade outside -255..255
        {0x123456, -256, 5, 0x123456},
        {0x123456, 255, 0, 0xBBDDFF},    // red 0x56 has 169 of room
    };
    for (const Case& c : cases) {
        skin::Colour colour = c.in;
        EXPECT_EQ(c.code, skin::offset_colour(&colour, c.shade)) << std::hex << c.in << " " << std::dec << c.shade;
        EXPECT_EQ(c.out, colour) << std::hex << c.in << " " << std::dec << c.shade;
    }
}

TEST(SkinColours, ContrastInvertGreyAndBlendWhite) {
    EXPECT_EQ(0x400F00u, skin::button_contrast(0x10F0FF));  // red FF -> 0, green F0 -> 0F, blue 10 -> 64
    EXPECT_EQ(0x404020u, skin::button_contrast(0x000000));
    EXPECT_EQ(0x202020u, skin::combo_contrast(0xF0F0F0));
    EXPECT_EQ(0xEFEFEFu, skin::combo_contrast(0x101010));
    EXPECT_EQ(0xEFDFCFu, skin::invert(0x102030));
    EXPECT_EQ(0x8C8C8Cu, skin::grey(skin::rgb(100, 150, 200)));  // trunc(29.9 + 88.05 + 22.8) = 140
    EXPECT_EQ(0x4C4C4Cu, skin::blend_white(0x000000, 0.3));      // 0.3 * 255 = 76.5
    EXPECT_EQ(0xFFFFFFu, skin::blend_white(0x808080, 1.0));
    EXPECT_EQ(0x808080u, skin::blend_white(0x808080, 0.0));      // outside (0, 1]: unchanged
    EXPECT_EQ(0x808080u, skin::blend_white(0x808080, 1.5));
    EXPECT_EQ(0xD9D9D9u, skin::blend_white(0xC0C0C0, 0.4));      // 192 + 0.4 * 63 = 217.2
    EXPECT_EQ(0x606060u, skin::midpoint(0x808080, 0x404040));
    EXPECT_EQ(0x121212u, skin::midpoint(0x131313, 0x101010));    // S + (K - S) / 2 truncates toward S
}

TEST(TabRules, PagePlacementBesideTheTabs) {
    skin::Rect client{0, 0, 400, 300};
    skin::Rect top = skin::page_placement(client, {2, 2, 80, 22}, false, false);
    EXPECT_EQ(2, top.left);
    EXPECT_EQ(23, top.top);
    EXPECT_EQ(396, top.right - top.left);
    EXPECT_EQ(275, top.bottom - top.top);
    skin::Rect bottom = skin::page_placement(client, {2, 278, 80, 298}, false, true);
    EXPECT_EQ(1, bottom.top);
    EXPECT_EQ(300 + 278 - 298 - 5, bottom.bottom - bottom.top);
    skin::Rect vertical = skin::page_placement(client, {2, 2, 80, 22}, true, false);
    EXPECT_EQ(0, vertical.right - vertical.left);
    EXPECT_EQ(0, vertical.bottom - vertical.top);
}

TEST(TabRules, TilesCoverTheClientWithOneMoreRowAndColumn) {
    std::vector<skin::Point> t = skin::tile_origins(300, 150, 150, 150);
    ASSERT_EQ(6u, t.size());  // columns 0..2, rows 0..1: an exact multiple still gets one more each
    EXPECT_EQ(300, t.back().x);
    EXPECT_EQ(150, t.back().y);
    EXPECT_EQ(4u, skin::tile_origins(100, 20, 60, 15).size());
    EXPECT_TRUE(skin::tile_origins(100, 20, 0, 15).empty());
}

TEST(TabRules, TabBitmapsAreCutOnlyWhenLargerBothWays) {
    skin::Rect tab{10, 0, 70, 20};
    EXPECT_FALSE(skin::tab_bitmap_blit(tab, 100, 30, false).stretch);
    EXPECT_TRUE(skin::tab_bitmap_blit(tab, 100, 10, false).stretch);
    EXPECT_TRUE(skin::tab_bitmap_blit(tab, 30, 10, false).stretch);
    skin::TabBitmapBlit sel = skin::tab_bitmap_blit(tab, 30, 10, true);
    EXPECT_EQ(2, sel.dest.top);
    EXPECT_EQ(18, sel.dest.bottom);
}

TEST(TabRules, TextPassesPerEffectAndVariant) {
    using P = std::vector<skin::TextPass>;
    auto same = [](const P& a, const P& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i].dx != b[i].dx || a[i].dy != b[i].dy || a[i].colour != b[i].colour) return false;
        return true;
    };
    EXPECT_TRUE(same({{0, 0, 0x123456}}, skin::tab_text_passes(0, 0x123456, true, false)));
    EXPECT_TRUE(same({{-1, -1, 0x123456}, {0, 0, 0xFFFFFF}}, skin::tab_text_passes(1, 0x123456, true, false)));
    EXPECT_TRUE(same({{-1, -1, 0x123456}, {0, 0, 0x00FFFF}}, skin::tab_text_passes(1, 0x123456, false, false)));
    EXPECT_TRUE(same({{-1, -1, 0x123456}, {0, 0, 0xFFFFFF}}, skin::tab_text_passes(1, 0x123456, false, true)));
    EXPECT_TRUE(same({{-1, -1, 0x000000}, {0, 0, 0x123456}}, skin::tab_text_passes(2, 0x123456, false, false)));
}

TEST(LabelRules, TextFormatFromTheStyle) {
    struct Case { uint32_t style; bool crlf, fixed; uint32_t fixed_format, want; };
    const Case cases[] = {
        {0x0, false, false, 0, 0x0},          // left
        {0x1, false, false, 0, 0x0},          // SS_CENTER alone stays left-aligned
        {0x2, false, false, 0, 0x2},          // SS_RIGHT
        {0x200, false, false, 0, 0x25},       // SS_CENTERIMAGE: single line, centred both ways
        {0x200, true, false, 0, 0x1},         // with "\r\n": DT_CENTER only
        {0x202, false, false, 0, 0x25},       // SS_CENTERIMAGE wins over SS_RIGHT
        {0x2, false, true, 0x824, 0x824},     // the owner's fixed format
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, skin::label_text_format(c.style, c.crlf, c.fixed, c.fixed_format)) << std::hex << c.style;
}

TEST(LabelRules, FlashStateMachine) {
    skin::LabelFlash f;
    auto t = f.flash_text(true, 750);
    EXPECT_FALSE(t.kill);
    EXPECT_TRUE(t.start);
    EXPECT_EQ(750u, t.period);
    EXPECT_EQ(skin::LabelFlash::kText, f.kind);
    EXPECT_TRUE(f.text_hidden());  // phase 0: the text takes the brush colour
    f.tick();
    EXPECT_FALSE(f.text_hidden());
    // Background flashing restarts the timer with phase 0 and its own period.
    t = f.flash_background(true, 500);
    EXPECT_TRUE(t.kill);
    EXPECT_TRUE(t.start);
    EXPECT_EQ(500u, t.period);
    EXPECT_FALSE(f.phase);
    EXPECT_EQ(skin::LabelFlash::kBackground, f.kind);
    f.tick();
    // Off: the background keeps its kind, the text flash ends; neither resets the phase.
    t = f.flash_background(false, 500);
    EXPECT_TRUE(t.kill);
    EXPECT_FALSE(t.start);
    EXPECT_EQ(skin::LabelFlash::kBackground, f.kind);
    EXPECT_TRUE(f.phase);
    t = f.flash_text(false, 750);
    EXPECT_TRUE(t.kill);  // the started flag stays set
    EXPECT_EQ(skin::LabelFlash::kNone, f.kind);
    EXPECT_TRUE(f.phase);
    EXPECT_TRUE(f.timer_on);
}

TEST(ControlVariants, ProgramRecords) {
    EXPECT_EQ(500u, skin::kTarmeloLabel.text_flash_ms);
    EXPECT_STREQ("http://www.delmora.example/index.asp?p_id=555&ver=300", skin::kTarmeloLabel.open_link);
    EXPECT_EQ(21, skin::kTarmeloCombo.face_style);
    EXPECT_EQ(0x4040FFu, skin::kTarmeloCombo.select_colour);
    EXPECT_EQ(0x010101u, skin::kTarmeloCombo.selected_text_colour);
    EXPECT_EQ(2, skin::kTarmeloTab.shadow_offset);
    EXPECT_EQ(10, skin::kTarmeloMenu.classic_style);
}

}  // namespace
