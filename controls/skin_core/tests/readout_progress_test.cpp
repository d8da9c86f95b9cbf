// The digital read-out's segment layout and the progress bar's rectangle, shades and drawing.
#include "controls/skin_core/progress_rules.h"
#include "controls/skin_core/readout_rules.h"
#include <gtest/gtest.h>

namespace {

TEST(ReadOut, SegmentSizeFromTheHeight) {
    struct Case { int height, thickness, length; };
    const Case cases[] = {{30, 1, 10}, {100, 6, 35}, {5, 1, 1}, {0, 1, 1}, {17, 1, 5}};
    for (const Case& c : cases) {
        skin::SegmentMetrics m = skin::segment_metrics(c.height);
        EXPECT_EQ(c.thickness, m.thickness) << c.height;
        EXPECT_EQ(c.length, m.length) << c.height;
    }
}

TEST(ReadOut, PatternsOfTheDigitsAndTheMinus) {
    const unsigned want[] = {0xFC, 0x60, 0xDA, 0xF2, 0x66, 0xB6, 0xBE, 0xE0, 0xFE, 0xF6};
    for (int d = 0; d < 10; ++d) EXPECT_EQ(want[d], skin::segment_pattern((char)('0' + d))) << d;
    EXPECT_EQ(0x02u, skin::segment_pattern('-'));
    EXPECT_EQ(0u, skin::segment_pattern('A'));
    EXPECT_EQ(0u, skin::segment_pattern(':'));
}

TEST(ReadOut, ClockTextPlacesTheColonAndItsNeighbours) {
    const skin::SegmentMetrics m{1, 10};
    skin::SegmentLayout l = skin::segment_layout("12:05", m, false);
    // "2" at 0 + L + 4t, ":" t + L further, "0" L + 1 right of the colon, "5" L + 4t on.
    EXPECT_EQ((std::vector<int>{0, 14, 25, 36, 50}), l.char_x);
    // "1" (2 lines), "2" (5), ":" (2), "0" (6), "5" (5).
    ASSERT_EQ(20u, l.lines.size());
    const skin::SegmentLine& dash = l.lines[7];  // the colon's upper dash
    EXPECT_EQ(25 + 4, dash.x1);
    EXPECT_EQ(10, dash.y1);
    EXPECT_EQ(25 + 5 + 2, dash.x2);
    const skin::SegmentLine& lower = l.lines[8];
    EXPECT_EQ(21, lower.y1);  // 2L + t
    // "1": upper right then lower right, at x + t + L.
    EXPECT_EQ(11, l.lines[0].x1);
    EXPECT_EQ(2, l.lines[0].y1);
    EXPECT_EQ(12, l.lines[0].y2);
    EXPECT_EQ(14, l.lines[1].y1);
    EXPECT_EQ(23, l.lines[1].y2);
}

// "00:00:00" at t = 1: the last "0" starts at 86 with L = 10 (0, 14, 25, 36, 50, 61, 72, 86) and its
// upper right segment ends at 86 + t + L = 97, so the text takes 98 pixels with the pen; with L = 9 the
// last "0" starts at 79 and the text takes 79 + 1 + 9 + 1 = 90.
TEST(ReadOut, AClockWiderThanItsControlIsDrawnShorterNotCut) {
    EXPECT_EQ(98, skin::segment_text_width("00:00:00", {1, 10}));
    EXPECT_EQ(90, skin::segment_text_width("00:00:00", {1, 9}));
    struct Case { int width, length; };
    const Case cases[] = {{120, 10}, {98, 10}, {97, 9}, {93, 9}, {90, 9}, {89, 8}, {3, 1}};
    for (const Case& c : cases) {
        const skin::SegmentMetrics m = skin::fit_segment_width({1, 10}, "00:00:00", c.width);
        EXPECT_EQ(c.length, m.length) << c.width;
        EXPECT_EQ(1, m.thickness) << c.width;
    }
    EXPECT_EQ(10, skin::fit_segment_width({1, 10}, "0", 20).length);
}

TEST(ReadOut, UnlitSegmentsAndLetters) {
    const skin::SegmentMetrics m{2, 12};
    skin::SegmentLayout l = skin::segment_layout("8A.", m, true);
    // "8": 7 unlit + 7 lit; "A": 7 unlit, nothing lit (a digit's gap); ".": 7 unlit + its dash.
    ASSERT_EQ(29u, l.lines.size());
    int lit = 0;
    for (const skin::SegmentLine& s : l.lines) lit += s.lit;
    EXPECT_EQ(8, lit);
    EXPECT_EQ((std::vector<int>{0, 20, 40}), l.char_x);  // L + 4t each
    const skin::SegmentLine& top = l.lines[7];            // the 8's lit top
    EXPECT_TRUE(top.lit);
    EXPECT_EQ(4, top.x1);
    EXPECT_EQ(2, top.y1);
    EXPECT_EQ(12, top.x2);
    const skin::SegmentLine& point = l.lines.back();
    EXPECT_EQ(40 + 4, point.x1);
    EXPECT_EQ(2 * 12 + 8, point.y1);
    EXPECT_EQ(40 + 6, point.x2);
}

TEST(ProgressBar, ShadesKeepChannelsThatWouldOverflow) {
    skin::ProgressShades s = skin::progress_shades(0xE03010, {0x404040, 0x808080});
    EXPECT_EQ(0xE06343u, s.up51);   // blue 0xE0 + 51 would overflow: kept
    EXPECT_EQ(0xE09676u, s.up102);
    EXPECT_EQ(0xE0C9A9u, s.up153);
    EXPECT_EQ(0xAD3010u, s.down51); // green 0x30 and red 0x10 are under 51: kept
    EXPECT_EQ(0x7A3010u, s.down102);
    EXPECT_EQ(0x606060u, s.middle);
}

TEST(ProgressBar, BarRectangle) {
    const skin::Rect h{0, 0, 200, 20}, v{0, 0, 20, 100};
    struct Case { skin::Rect client; int low, high, pos; bool vertical, animated; skin::Rect want; };
    const Case cases[] = {
        {h, 0, 100, 50, false, false, {0, 0, 100, 20}},
        {h, 0, 100, 0, false, false, {0, 0, 0, 20}},     // at the low end: empty
        {h, 0, 100, 100, false, false, {0, 0, 200, 20}},
        {h, 10, 10, 10, false, false, {0, 0, 0, 20}},    // high equal to low: empty, no division
        {h, 0, 3, 1, false, false, {0, 0, 66, 20}},      // 66.67 truncated
        {v, 0, 100, 25, true, false, {0, 75, 20, 100}},  // grows from the bottom
        {v, 5, 5, 5, true, false, {0, 100, 20, 100}},
        {h, 0, 100, 10, false, true, {0, 0, 200, 20}},   // animated: the whole control
    };
    for (const Case& c : cases) {
        skin::Rect r = skin::progress_bar_rect(c.client, c.low, c.high, c.pos, c.vertical, c.animated);
        EXPECT_EQ(c.want.left, r.left) << c.pos;
        EXPECT_EQ(c.want.top, r.top) << c.pos;
        EXPECT_EQ(c.want.right, r.right) << c.pos;
        EXPECT_EQ(c.want.bottom, r.bottom) << c.pos;
    }
}

TEST(ProgressBar, DrawingStillAndAnimated) {
    const skin::SystemShades sys{0x404040, 0x808080};
    const skin::ProgressShades s = skin::progress_shades(0x804020, sys);
    const skin::Rect client{0, 0, 200, 20};
    const skin::Colour face = 0xC0C0C0;
    skin::Colour c;
    // An empty bar: the face alone, no bevel.
    skin::Strokes empty = skin::progress_strokes(client, {0, 0, 0, 20}, s, face, sys, false, false, 0);
    EXPECT_EQ(2u, empty.size());
    ASSERT_TRUE(skin::stroke_colour_at(empty, 5, 5, &c));
    EXPECT_EQ(face, c);
    // Half full: the bevelled strip (its outer left column in the base colour), the face beyond it.
    skin::Strokes half = skin::progress_strokes(client, {0, 0, 100, 20}, s, face, sys, false, false, 0);
    ASSERT_TRUE(skin::stroke_colour_at(half, 0, 10, &c));
    EXPECT_EQ(s.base, c);
    ASSERT_TRUE(skin::stroke_colour_at(half, 50, 10, &c));
    EXPECT_EQ(s.up153, c);  // the middle shows the fill
    ASSERT_TRUE(skin::stroke_colour_at(half, 150, 10, &c));
    EXPECT_EQ(face, c);
    // Animated at phase 0: stripes from x = 1 every 20 pixels; the second's first line runs from
    // (1, 0) to (21, 20), its sixth line is left out.
    skin::Strokes anim = skin::progress_strokes(client, client, s, face, sys, false, true, 0);
    ASSERT_TRUE(skin::stroke_colour_at(anim, 11, 10, &c));
    EXPECT_EQ(s.down102, c);
    ASSERT_TRUE(skin::stroke_colour_at(anim, 15, 10, &c));
    EXPECT_EQ(s.up102, c);
    ASSERT_TRUE(skin::stroke_colour_at(anim, 16, 10, &c));
    EXPECT_EQ(s.up153, c);
    // The next phase moves every stripe one pixel right; the phase wraps after 19.
    skin::Strokes next = skin::progress_strokes(client, client, s, face, sys, false, true, 1);
    ASSERT_TRUE(skin::stroke_colour_at(next, 12, 10, &c));
    EXPECT_EQ(s.down102, c);
    EXPECT_EQ(0, skin::progress_next_phase(19));
    // Vertical, animated: the first stripe's lines start at the bottom - phase + 1 + k.
    const skin::Rect vclient{0, 0, 20, 100};
    skin::Strokes vanim = skin::progress_strokes(vclient, vclient, s, face, sys, true, true, 0);
    ASSERT_TRUE(skin::stroke_colour_at(vanim, 0, 100, &c));  // k = -1 at y = 100
    ASSERT_TRUE(skin::stroke_colour_at(vanim, 0, 80, &c));   // the next stripe, 20 higher
    EXPECT_EQ(s.down102, c);
    // Vertical, still, under 4 pixels: one rectangle in the base colour with the darker pen.
    skin::Strokes low = skin::progress_strokes(vclient, {0, 97, 20, 100}, s, face, sys, true, false, 0);
    ASSERT_TRUE(skin::stroke_colour_at(low, 0, 98, &c));
    EXPECT_EQ(s.down51, c);
    ASSERT_TRUE(skin::stroke_colour_at(low, 5, 98, &c));
    EXPECT_EQ(s.base, c);
}

}  // namespace
