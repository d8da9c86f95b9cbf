// The hyperlink's browser command, error texts and window fitting, and the round slider's angles, keys
// and ring.
#include "controls/skin_core/link_rules.h"
#include "controls/skin_core/round_slider_rules.h"
#include <gtest/gtest.h>
#include <cmath>

namespace {

TEST(LinkCommand, CutAtTheTargetsPlaceholder) {
    struct Case { const char* command; const char* want; };
    const Case cases[] = {
        {"\"C:\\b.exe\" -url \"%1\"", "\"C:\\b.exe\" -url  http://x/"},  // quoted: cut before the quote
        {"b.exe %1 -new", "b.exe  http://x/"},                          // bare
        {"b.exe", "b.exe http://x/"},                                   // none: the whole command
        {"b %1 \"%1\"", "b %1  http://x/"},                             // the quoted one wins
        {"", " http://x/"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, skin::browser_command(c.command, "http://x/")) << c.command;
    // A command longer than any fixed buffer keeps every byte.
    std::string long_command(600, 'a');
    EXPECT_EQ(long_command + " t", skin::browser_command(long_command, "t"));
}

TEST(LinkErrors, EveryResultHasItsText) {
    struct Case { int result; const char* message; };
    const Case cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {1, "Unknown Error (1) occurred."},
        {-7, "Unknown Error (-7) occurred."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.message, skin::link_error_message(c.result)) << c.result;
        EXPECT_EQ(std::string("Unable to open hyperlink:\n\n") + c.message, skin::link_error_text(c.result));
    }
}

TEST(LinkFit, KeepsTheEdgeItsAlignmentNames) {
    const skin::Rect w{10, 20, 110, 40};
    const skin::Size size{50, 10};
    struct Case { uint32_t style; skin::Rect want; };
    const Case cases[] = {
        {0x000, {10, 20, 60, 30}},   // left, top
        {0x001, {35, 20, 85, 30}},   // SS_CENTER keeps the horizontal centre
        {0x002, {60, 20, 110, 30}},  // SS_RIGHT keeps the right edge
        {0x200, {10, 25, 60, 35}},   // SS_CENTERIMAGE keeps the vertical centre
        {0x301, {35, 25, 85, 35}},   // both, with SS_NOTIFY
    };
    for (const Case& c : cases) {
        skin::Rect r = skin::fit_link_window(w, size, c.style);
        EXPECT_EQ(c.want.left, r.left) << std::hex << c.style;
        EXPECT_EQ(c.want.top, r.top) << std::hex << c.style;
        EXPECT_EQ(c.want.right, r.right) << std::hex << c.style;
        EXPECT_EQ(c.want.bottom, r.bottom) << std::hex << c.style;
    }
}

TEST(RoundSlider, AnglesAndPositionsRoundTheCircle) {
    skin::RoundRange r{0, 99, 0, false};
    struct Case { int pos, zero; bool inverted; double angle; };
    const Case cases[] = {
        {0, 0, false, 0}, {25, 0, false, 90}, {50, 0, false, 180}, {75, 0, false, 270},
        {0, 90, false, 90}, {75, 90, false, 0}, {25, 0, true, 270}, {25, -30, false, 60},
    };
    for (const Case& c : cases) {
        skin::RoundRange rr{0, 99, c.zero, c.inverted};
        EXPECT_NEAR(c.angle, skin::round_angle(c.pos, rr), 1e-9) << c.pos << " zero " << c.zero;
    }
    // Points: right of the centre is a quarter turn, below it half a turn.
    EXPECT_EQ(0, skin::round_position_at(0, -10, r));
    EXPECT_EQ(25, skin::round_position_at(10, 0, r));
    EXPECT_EQ(50, skin::round_position_at(0, 10, r));
    EXPECT_EQ(75, skin::round_position_at(-10, 0, r));
    EXPECT_EQ(0, skin::round_position_at(10, 0, {0, 99, 90, false}));
    EXPECT_EQ(75, skin::round_position_at(10, 0, {0, 99, 0, true}));
    EXPECT_EQ(15, skin::round_position_at(10, 0, {10, 29, 0, false}));  // a quarter of 20 from 10
    skin::Point dot = skin::round_point({50, 50}, 20, 90);
    EXPECT_EQ(70, dot.x);
    EXPECT_EQ(50, dot.y);
    dot = skin::round_point({50, 50}, 20, 0);
    EXPECT_EQ(50, dot.x);
    EXPECT_EQ(30, dot.y);
}

TEST(RoundSlider, KeysAndTheirNotifications) {
    using skin::RoundStep;
    struct Case { unsigned vk; RoundStep step; int code; };
    const Case cases[] = {
        {0x21, RoundStep::MinusPage, 2}, {0x22, RoundStep::PlusPage, 3}, {0x23, RoundStep::ToMax, 7},
        {0x24, RoundStep::ToMin, 6},     {0x25, RoundStep::MinusLine, 0}, {0x26, RoundStep::MinusLine, 0},
        {0x27, RoundStep::PlusLine, 1},  {0x28, RoundStep::PlusLine, 1},  {0x41, RoundStep::None, -1},
    };
    for (const Case& c : cases) {
        skin::RoundKey k = skin::round_key(c.vk);
        EXPECT_EQ(c.step, k.step) << c.vk;
        EXPECT_EQ(c.code, k.code) << c.vk;
    }
    const skin::RoundRange r{0, 100, 0, false};
    EXPECT_EQ(30, skin::round_step(50, RoundStep::MinusPage, 20, 1, r));
    EXPECT_EQ(100, skin::round_step(95, RoundStep::PlusPage, 20, 1, r));  // kept in the range
    EXPECT_EQ(0, skin::round_step(0, RoundStep::MinusLine, 20, 1, r));
    EXPECT_EQ(100, skin::round_step(3, RoundStep::ToMax, 20, 1, r));
}

TEST(RoundSlider, RingLitFromTheUpperLeft) {
    const skin::Colour light = 0xFFFFFF, dark = 0x000000;
    EXPECT_EQ(0xFFFFFFu, skin::ring_colour(-2.356, light, dark));          // upper left: all light
    EXPECT_EQ(0x000000u, skin::ring_colour(0.785, light, dark) & 0xF0F0F0); // lower right: dark
    skin::Colour side = skin::ring_colour(0.0, light, dark);                // right: a mix
    EXPECT_GT(skin::red_of(side), 0x20);
    EXPECT_LT(skin::red_of(side), 0xE0);
    std::vector<skin::Point> c = skin::midpoint_circle({40, 40}, 10);
    ASSERT_FALSE(c.empty());
    for (const skin::Point& p : c) {
        double d = std::hypot(p.x - 40, p.y - 40);
        EXPECT_LT(std::fabs(d - 10), 1.0) << p.x << "," << p.y;
    }
    EXPECT_EQ(8u, skin::midpoint_circle({0, 0}, 0).size());
}

}  // namespace
