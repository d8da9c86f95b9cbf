// The skinned slider's shades, thumb line lists at widths 5, 8 and 12 (upright and lying, with and
// without the grip) and its channel with the selection band.
#include "controls/skin_core/slider_rules.h"
#include <gtest/gtest.h>

namespace {

const skin::SliderSystem kSys{0x808080, 0x404040, 0xC0C0C0, 0xFFFFFF, 0x000000};

skin::Colour at(const skin::Strokes& s, int x, int y) {
    skin::Colour c = 0xDEADBEEF;
    return skin::stroke_colour_at(s, x, y, &c) ? c : 0xDEADBEEF;
}

TEST(SliderShades, OwnLighteningAndDarkening) {
    skin::SliderShades s = skin::slider_shades(0x00FFFF, 0xFFFFFF, 0xFF3737, kSys);
    EXPECT_EQ(0x33FFFFu, s.light1);  // red and green would pass 255: kept
    EXPECT_EQ(0x66FFFFu, s.light2);
    EXPECT_EQ(0x00CCCCu, s.dark1);   // blue 0 is under 51: kept
    EXPECT_EQ(0x009999u, s.dark2);
    EXPECT_EQ(0x606060u, s.channel_shadow);
    EXPECT_EQ(0xA0A0A0u, s.channel_edge);
    // The mean halves by a right shift: an odd negative difference rounds down.
    EXPECT_EQ(0x606060u, skin::slider_mean(0x808080, 0x414141));
    EXPECT_EQ(0x606060u, skin::slider_mean(0x414141, 0x808080));
}

TEST(SliderThumb, ShapesFromTheStyle) {
    EXPECT_EQ(skin::ThumbShape::Both, skin::thumb_shape(0x0008));
    EXPECT_EQ(skin::ThumbShape::Both, skin::thumb_shape(0x000C));
    EXPECT_EQ(skin::ThumbShape::PointUp, skin::thumb_shape(0x0004));
    EXPECT_EQ(skin::ThumbShape::PointDown, skin::thumb_shape(0x0000));
}

TEST(SliderThumb, FiveWideIsTheBareOutline) {
    skin::SliderShades s = skin::slider_shades(0x3070B0, 0xFFFFFF, 0xFF3737, kSys);
    skin::Strokes t = skin::slider_thumb({0, 0, 5, 10}, skin::ThumbShape::PointDown, s, kSys, true, false);
    ASSERT_EQ(2u, t.size());  // the outline and its fill: no bevel, no grip
    EXPECT_EQ(skin::StrokeKind::Polyline, t[0].kind);
    const std::vector<std::pair<int, int>> want = {{0, 1}, {0, 8}, {1, 9}, {3, 9}, {4, 8}, {4, 1}, {3, 0}, {0, 0}};
    ASSERT_EQ(want.size(), t[0].points.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(want[i].first, t[0].points[i].x) << i;
        EXPECT_EQ(want[i].second, t[0].points[i].y) << i;
    }
    EXPECT_EQ(skin::StrokeKind::FloodFill, t[1].kind);
    EXPECT_EQ(2, t[1].points[0].x);
    EXPECT_EQ(2, t[1].points[0].y);
}

TEST(SliderThumb, EightWidePointingUpWithItsGrip) {
    skin::SliderShades s = skin::slider_shades(0x3070B0, 0xFFFFFF, 0xFF3737, kSys);
    const skin::Rect r{0, 0, 8, 16};  // e = 4
    skin::Strokes t = skin::slider_thumb(r, skin::ThumbShape::PointUp, s, kSys, true, false);
    EXPECT_EQ(0x000000u, at(t, 0, 10));    // the outline's left side
    EXPECT_EQ(0x000000u, at(t, 4, 0));     // the tip
    EXPECT_EQ(s.light2, at(t, 2, 2));      // the lighter slope from (1, 3) to (4, 0)
    EXPECT_EQ(s.dark1, at(t, 6, 10));      // the dark right side at R - 2
    // The grip on the shrunk rectangle {1, 2, 7, 16}: light columns 2 and 4, darker 3 and 5, light-2 tips.
    EXPECT_EQ(s.light1, at(t, 2, 9));
    EXPECT_EQ(s.light1, at(t, 4, 10));
    EXPECT_EQ(s.dark2, at(t, 3, 11));
    EXPECT_EQ(s.dark2, at(t, 5, 7));
    EXPECT_EQ(s.light2, at(t, 2, 6));
    EXPECT_EQ(s.light2, at(t, 4, 6));
    // No seventh grip column below width 10.
    EXPECT_NE(s.dark2, at(t, 7, 9));
    // Disabled: no grip, so the light column 2 is only the bevel's at x = 1.
    skin::Strokes plain = skin::slider_thumb(r, skin::ThumbShape::PointUp, s, kSys, false, false);
    EXPECT_EQ(s.light1, at(plain, 1, 9));
    EXPECT_NE(s.light1, at(plain, 2, 9));
}

TEST(SliderThumb, TwelveWideBothWaysAndLying) {
    skin::SliderShades s = skin::slider_shades(0x3070B0, 0xFFFFFF, 0xFF3737, kSys);
    const skin::Rect r{0, 0, 12, 20};
    skin::Strokes t = skin::slider_thumb(r, skin::ThumbShape::Both, s, kSys, true, false);
    // The shrunk rectangle {1, 1, 11, 19}: its frame and corner pixels.
    EXPECT_EQ(s.light2, at(t, 1, 1));
    EXPECT_EQ(s.thumb, at(t, 10, 1));
    EXPECT_EQ(s.dark2, at(t, 10, 18));
    EXPECT_EQ(s.thumb, at(t, 1, 18));
    EXPECT_EQ(s.light1, at(t, 5, 1));      // top edge
    EXPECT_EQ(s.dark1, at(t, 10, 10));     // right edge
    // Wider than 9: four light grip columns and three darker ones.
    for (int x : {2, 4, 6, 8}) EXPECT_EQ(s.light1, at(t, x, 10)) << x;
    for (int x : {3, 5, 7}) EXPECT_EQ(s.dark2, at(t, x, 14)) << x;
    for (int x : {2, 4, 6, 8}) EXPECT_EQ(s.light2, at(t, x, 5)) << x;
    // Lying: the same thumb with x and y exchanged.
    skin::Strokes lying = skin::slider_thumb({0, 0, 20, 12}, skin::ThumbShape::Both, s, kSys, true, true);
    EXPECT_EQ(s.thumb, at(lying, 1, 10));
    EXPECT_EQ(s.light1, at(lying, 10, 4));
    EXPECT_EQ(s.dark2, at(lying, 14, 5));
    // Pointing down, 12 wide: the darker slope at the bottom right.
    skin::Strokes down = skin::slider_thumb(r, skin::ThumbShape::PointDown, s, kSys, true, false);
    EXPECT_EQ(s.dark2, at(down, 7, 17));   // (R - e, B - 2) = (6, 18) towards (11, 13)
    EXPECT_EQ(s.light2, at(down, 1, 1));
}

TEST(SliderChannel, SelectionRunsAlongTheChannel) {
    skin::ChannelInput h;
    h.item = {10, 8, 110, 16};
    h.vertical = false;
    h.range_set = true;
    h.min = 0, h.max = 100, h.sel_start = 25, h.sel_end = 75;
    skin::Rect band = skin::selection_band(h);
    EXPECT_EQ(10 + 25 + 2, band.left);
    EXPECT_EQ(10 + 75 - 2, band.right);
    EXPECT_EQ(10, band.top);
    EXPECT_EQ(15, band.bottom);
    skin::ChannelInput v = h;
    v.item = {8, 10, 16, 110};
    v.vertical = true;
    band = skin::selection_band(v);
    EXPECT_EQ(9, band.left);
    EXPECT_EQ(15, band.right);
    EXPECT_EQ(10 + 25 + 2, band.top);
    EXPECT_EQ(10 + 75 - 2, band.bottom);
    // No selection, or no range: no band.
    skin::ChannelInput none = h;
    none.sel_start = none.sel_end = 40;
    band = skin::selection_band(none);
    EXPECT_EQ(band.left, band.right);
    none = h;
    none.max = none.min = 0;
    band = skin::selection_band(none);
    EXPECT_EQ(band.left, band.right);
    // The drawn channel: the sunken frame's top in the channel colour, the band in the selection colour.
    skin::SliderShades s = skin::slider_shades(0x00FFFF, 0xFFFFFF, 0xFF3737, kSys);
    skin::Strokes c = skin::slider_channel(h, s, kSys);
    EXPECT_EQ(s.selection, at(c, 60, 12));
    EXPECT_EQ(s.channel_edge, at(c, 9, 12));  // the left edge line after the channel grew by one
}

}  // namespace
