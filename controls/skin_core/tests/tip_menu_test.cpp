// The balloon tip's shape, placement and state machine; the owner-drawn menu's template walk,
// accelerator alignment and search, version codes, measuring and shared image table.
#include "controls/skin_core/menu_rules.h"
#include "controls/skin_core/tip_logic.h"
#include <gtest/gtest.h>

namespace {

TEST(TipLogic, ShapeAndTailFromTextAndIcon) {
    skin::TipShape s = skin::tip_shape({100, 14}, {0, 0});
    EXPECT_EQ(124, s.width);   // 12 each side
    EXPECT_EQ(34, s.height);   // 10 each side
    EXPECT_EQ(124, s.window_width);
    EXPECT_EQ(54, s.window_height);
    EXPECT_EQ(112, s.tail[1].x);
    EXPECT_EQ(44, s.tail[1].y);
    EXPECT_EQ(87, s.tail[2].x);
    skin::TipShape icon = skin::tip_shape({100, 14}, {32, 32});
    EXPECT_EQ(161, icon.width);  // + 32 + 5
    EXPECT_EQ(34, icon.height);
    EXPECT_EQ(48, skin::tip_shape({100, 14}, {32, 48}).height);
}

TEST(TipLogic, TailPointSitsOnTheCursorInsideTheWorkArea) {
    skin::TipShape s = skin::tip_shape({100, 14}, {0, 0});
    const skin::Rect area{0, 0, 1024, 768};
    skin::Point o = skin::tip_window_origin({500, 400}, s, area);
    EXPECT_EQ(500, o.x + s.tail[1].x);
    EXPECT_EQ(400, o.y + s.tail[1].y);
    EXPECT_EQ(388, o.x);  // x - width + 12
    EXPECT_EQ(356, o.y);  // y - height + 10
    // Near the edges the window moves in and the tail leaves the cursor.
    skin::Point right = skin::tip_window_origin({1020, 400}, s, area);
    EXPECT_EQ(1024 - 124, right.x);
    skin::Point top = skin::tip_window_origin({500, 20}, s, area);
    EXPECT_EQ(0, top.y);
    skin::Point left = skin::tip_window_origin({30, 400}, s, {100, 0, 1024, 768});
    EXPECT_EQ(100, left.x);
}

TEST(TipLogic, RestShowsMovesWithinAToolRestartNothingAndLeavingHides) {
    int a = 1, b = 2;
    skin::TipRelay relay;
    skin::TipRelay::Actions act = relay.mouse_move({10, 10}, &a);
    EXPECT_EQ(&a, act.start_rest_for);
    EXPECT_FALSE(act.hide);
    act = relay.rest_elapsed({10, 10}, &a);
    EXPECT_TRUE(act.kill_rest);
    EXPECT_TRUE(act.show);
    EXPECT_TRUE(relay.showing());
    // Same point: nothing. Another point in a tool while showing: the position follows, no restart.
    act = relay.mouse_move({10, 10}, &a);
    EXPECT_FALSE(act.hide || act.start_rest_for || act.show);
    act = relay.mouse_move({14, 11}, &b);
    EXPECT_EQ(nullptr, act.start_rest_for);
    EXPECT_FALSE(act.hide);
    EXPECT_EQ(14, relay.position().x);
    EXPECT_FALSE(relay.watch_elapsed({14, 11}).hide);
    // Off every tool: hidden at once.
    act = relay.mouse_move({300, 300}, nullptr);
    EXPECT_TRUE(act.hide);
    EXPECT_FALSE(relay.showing());
    // The watch timer hides a tip the cursor left without a mouse message.
    relay.mouse_move({10, 10}, &a);
    relay.rest_elapsed({10, 10}, &a);
    act = relay.watch_elapsed({11, 10});
    EXPECT_TRUE(act.kill_watch);
    EXPECT_TRUE(act.hide);
}

TEST(TipLogic, AButtonPressHidesAndCancelsAPendingShow) {
    int a = 1;
    skin::TipRelay relay;
    relay.mouse_move({10, 10}, &a);
    skin::TipRelay::Actions act = relay.button_down();
    EXPECT_TRUE(act.hide);
    EXPECT_TRUE(relay.suppressed());
    act = relay.rest_elapsed({10, 10}, &a);
    EXPECT_FALSE(act.show);
    EXPECT_FALSE(relay.suppressed());
    // Before the rest ends, the next move arms the tip again.
    skin::TipRelay again;
    again.mouse_move({10, 10}, &a);
    again.button_down();
    act = again.mouse_move({12, 10}, &a);
    EXPECT_EQ(&a, act.start_rest_for);
    EXPECT_TRUE(again.rest_elapsed({12, 10}, &a).show);
}

// A standard menu template: version 0, header offset, then items; popups carry no id.
struct Template {
    std::vector<uint8_t> bytes{0, 0, 0, 0};
    void word(uint16_t w) { bytes.push_back(w & 0xFF); bytes.push_back(w >> 8); }
    void text(const char16_t* t) { for (; *t; ++t) word(*t); word(0); }
    void popup(uint16_t flags, const char16_t* t) { word(flags | skin::kMenuPopup); text(t); }
    void item(uint16_t flags, uint16_t id, const char16_t* t) { word(flags); word(id); text(t); }
};

TEST(MenuRules, TemplateWalkReturnsFromANestedEndToItsParent) {
    Template t;
    t.popup(0, u"&File");
    t.item(0, 100, u"&Open\tCtrl+O");
    t.popup(skin::kMenuEnd, u"Recent");   // the last item of File, itself a popup
    t.item(0, 101, u"One");
    t.item(skin::kMenuEnd, 102, u"Two");  // ends Recent and, with it, File
    t.popup(skin::kMenuEnd, u"&Edit");    // the last top-level item
    t.item(0, 0, u"");                   // a separator
    t.item(skin::kMenuEnd, 103, u"E&xit");
    std::vector<skin::MenuStep> steps;
    ASSERT_TRUE(skin::walk_menu_template(t.bytes.data(), t.bytes.size(), &steps));
    const char* want[] = {"+File", "+Open", "+Recent", "+One", "+Two", "-", "-", "+Edit", "+", "+Exit", "-", "-"};
    ASSERT_EQ(sizeof want / sizeof want[0], steps.size());
    for (size_t i = 0; i < steps.size(); ++i) {
        std::string got = steps[i].kind == skin::MenuStep::kClose ? "-" : "+";
        for (char16_t c : steps[i].text) {
            if (c == u'\t') break;
            if (c != u'&') got += (char)c;
        }
        EXPECT_EQ(want[i], got) << i;
    }
    EXPECT_EQ(skin::kMenuPopup, steps[2].flags);  // MF_END taken out
    EXPECT_EQ(102, steps[4].id);
    EXPECT_EQ(0, steps[4].flags);
    EXPECT_EQ(0, steps[8].id);
}

TEST(MenuRules, TemplateWalkStopsAtTheEndOfTheResource) {
    Template t;
    t.popup(0, u"File");
    t.item(0, 100, u"Open");  // no item ends the levels
    std::vector<skin::MenuStep> steps;
    EXPECT_FALSE(skin::walk_menu_template(t.bytes.data(), t.bytes.size(), &steps));
    for (size_t cut = 0; cut < t.bytes.size(); ++cut)
        EXPECT_FALSE(skin::walk_menu_template(t.bytes.data(), cut, &steps)) << cut;
    Template ex;
    ex.bytes[0] = 1;  // an extended template
    ex.item(skin::kMenuEnd, 1, u"A");
    EXPECT_FALSE(skin::walk_menu_template(ex.bytes.data(), ex.bytes.size(), &steps));
    // The header's offset skips its extra bytes.
    Template skip;
    skip.bytes = {0, 0, 2, 0, 0xEE, 0xEE};
    skip.item(skin::kMenuEnd, 7, u"A");
    ASSERT_TRUE(skin::walk_menu_template(skip.bytes.data(), skip.bytes.size(), &steps));
    EXPECT_EQ(7, steps[0].id);
}

// A measure with blanks 3 wide and every other character 7 wide.
int fake_width(const std::u16string& s) {
    int w = 0;
    for (char16_t c : s) w += c == u' ' ? 3 : 7;
    return w;
}

TEST(MenuRules, AcceleratorTextsAlignToTheWidestItem) {
    std::vector<std::u16string> texts = {u"Open\tCtrl+O", u"Exit"};
    skin::align_accelerators(&texts, fake_width);
    EXPECT_EQ(u"Open \tCtrl+O", texts[0]);  // "Open" 28 padded to "Exit " 31
    EXPECT_EQ(u"Exit", texts[1]);
    texts = {u"Open\tCtrl+O", u"Properties", u"Save\tCtrl+S\tx"};
    skin::align_accelerators(&texts, fake_width);
    EXPECT_EQ(u"Open" + std::u16string(15, u' ') + u"\tCtrl+O", texts[0]);  // 28 + 15 * 3 = 73
    EXPECT_EQ(u"Save" + std::u16string(15, u' ') + u"\tCtrl+S\tx", texts[2]);
    // Blanks that measure nothing end the padding instead of looping.
    texts = {u"A\tB", u"Longer"};
    skin::align_accelerators(&texts, [](const std::u16string& s) {
        int w = 0;
        for (char16_t c : s) w += c == u' ' ? 0 : 7;
        return w;
    });
    EXPECT_EQ(u"A \tB", texts[0]);
}

TEST(MenuRules, KeyboardSearchNeedsTheAmpersand) {
    std::vector<std::u16string> texts = {u"&Open", u"E&xit", u"&file", u"Format"};
    EXPECT_EQ(1, skin::find_accelerator(texts, u'x'));
    EXPECT_EQ(1, skin::find_accelerator(texts, u'X'));
    EXPECT_EQ(2, skin::find_accelerator(texts, u'F'));
    EXPECT_EQ(-1, skin::find_accelerator(texts, u'q'));
    EXPECT_EQ(-1, skin::find_accelerator({u"File"}, u'f'));
}

TEST(MenuRules, VersionCodes) {
    struct Case { uint32_t version; bool record; unsigned major, minor; int want; const char* what; };
    const Case cases[] = {
        {0x80000003, true, 3, 0, 0, "Win32s"},      {0xC0000004, true, 4, 0, 2, "Windows 95"},
        {0xC0000A04, true, 4, 10, 3, "Windows 98"}, {0xC0005A04, true, 4, 90, 4, "Windows Me"},
        {0x80000004, false, 0, 0, 2, "9x without a record"},
        {0x05650004, true, 4, 0, 5, "NT 4"},        {0x08930005, true, 5, 0, 6, "2000"},
        {0x0A280105, true, 5, 1, 7, "XP"},          {0x0ECE0205, true, 5, 2, 1, "Server 2003"},
        {0x1DB10106, true, 6, 1, 1, "Windows 7, as Wine reports"},
        {0x00000005, false, 0, 0, 1, "NT without a record"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::os_version_code(c.version, c.record, c.major, c.minor)) << c.what;
}

TEST(MenuRules, ClassicThemeName) {
    EXPECT_TRUE(skin::is_classic_theme_name("C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme"));
    EXPECT_TRUE(skin::is_classic_theme_name("windows classic.THEME"));
    EXPECT_FALSE(skin::is_classic_theme_name("Luna.theme"));
    EXPECT_FALSE(skin::is_classic_theme_name("Classic.theme"));
    EXPECT_FALSE(skin::is_classic_theme_name(""));
}

TEST(MenuRules, MeasureItemGapsAndSeparators) {
    // Classic look, gap 4: separator max(19 / 2, (15 + 4) / 2); item text + 2 * 16 + 1.
    skin::MenuItemSize sep = skin::measure_menu_item(true, false, 16, 15, 19, 0);
    EXPECT_EQ(0, sep.width);
    EXPECT_EQ(9, sep.height);
    skin::MenuItemSize item = skin::measure_menu_item(false, false, 16, 15, 19, 50);
    EXPECT_EQ(83, item.width);
    EXPECT_EQ(19, item.height);
    // Flat look, gap 7: separator (15 + 7) / 2 = 11; item text + 16 + 7 + 8, height 15 + 7.
    EXPECT_EQ(11, skin::measure_menu_item(true, true, 16, 15, 19, 0).height);
    skin::MenuItemSize flat = skin::measure_menu_item(false, true, 16, 15, 19, 50);
    EXPECT_EQ(81, flat.width);
    EXPECT_EQ(22, flat.height);
}

TEST(MenuRules, SharedImageTable) {
    std::vector<uint32_t> commands = {5, 5, 5, 7};
    EXPECT_EQ(0, skin::find_image(commands, 5));
    EXPECT_EQ(3, skin::find_image(commands, 7));
    EXPECT_EQ(-1, skin::find_image(commands, 9));
    EXPECT_TRUE(skin::has_image_triple(commands, 0));
    EXPECT_FALSE(skin::has_image_triple(commands, 1));
    EXPECT_FALSE(skin::has_image_triple(commands, 3));
    EXPECT_FALSE(skin::has_image_triple(commands, -1));
}

}  // namespace
