#include "controls/skin_core/skin_scheme.h"
#include <gtest/gtest.h>

namespace {

TEST(SkinScheme, FiveSchemes) {
    struct Case { int n; skin::Colour main, dark, accent; };
    const Case cases[] = {
        {1, 0xC66020, 0x602410, 0x20E1E1}, {2, 0x108020, 0x005C08, 0x00C0C0},
        {3, 0xA89410, 0x746008, 0x20C0FF}, {4, 0xC928B1, 0x981B5F, 0x10DA80},
        {0, 0x606060, 0x404040, 0xFFFFFF}, {5, 0x606060, 0x404040, 0xFFFFFF}, {-3, 0x606060, 0x404040, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        skin::Scheme s = skin::scheme(c.n);
        EXPECT_EQ(c.main, s.main) << c.n;
        EXPECT_EQ(c.dark, s.dark) << c.n;
        EXPECT_EQ(c.accent, s.accent) << c.n;
    }
}

TEST(SkinScheme, SavedUiColourSurvivesTheSchemeAtStartUp) {
    skin::UiColours saved = skin::startup_colours(1, true, 0x70300C);
    EXPECT_EQ(0x70300Cu, saved.ui);
    EXPECT_EQ(0xC66020u, saved.main);
    EXPECT_EQ(0x602410u, saved.dark);
    skin::UiColours fresh = skin::startup_colours(2, false, 0x70300C);
    EXPECT_EQ(0x005C08u, fresh.ui);  // nothing saved: the scheme's dark colour
}

TEST(SkinScheme, FrameMetricsFromTheSkinBitmaps) {
    skin::FrameMetrics m = skin::frame_metrics({{179, 66}, {20, 58}, {24, 56}, {57, 26}});
    EXPECT_EQ(33, m.caption_height);
    EXPECT_EQ(10, m.side_width);
    EXPECT_EQ(12, m.right_half_width);
    EXPECT_EQ(13, m.bottom_half_height);
    EXPECT_EQ(70, m.caption_text_x);
    EXPECT_EQ(0, m.caption_text_y);
    EXPECT_EQ(95, m.caption_piece_width);
    EXPECT_EQ(45, m.left_piece_height);
    EXPECT_EQ(43, m.right_piece_height);
    EXPECT_EQ(57, m.bottom_piece_width);
    skin::FrameMetrics small = skin::frame_metrics({{10, 2}, {2, 3}, {2, 4}, {0, 1}});
    EXPECT_EQ(77, small.caption_piece_width);
    EXPECT_EQ(34, small.left_piece_height);
    EXPECT_EQ(34, small.right_piece_height);
    EXPECT_EQ(1, small.bottom_piece_width);
}

TEST(SkinScheme, CaptionButtonRectangles) {
    const skin::Size strip{63, 21};
    struct Case { int which; int left, top, right, bottom; };
    const Case cases[] = {
        {0, 400 - 27, 5, 400 - 27 + 21, 26}, {1, 400 - 49, 5, 400 - 49 + 21, 26},
        {4, 400 - 116, 6, 400 - 116 + 21, 27}, {3, 0, 0, 0, 0}, {2, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        skin::Rect r = skin::caption_button_rect(400, c.which, strip);
        EXPECT_EQ(c.left, r.left) << c.which;
        EXPECT_EQ(c.top, r.top) << c.which;
        EXPECT_EQ(c.right, r.right) << c.which;
        EXPECT_EQ(c.bottom, r.bottom) << c.which;
        EXPECT_EQ(c.which == 0 || c.which == 1 || c.which == 4, skin::is_caption_button(c.which));
    }
}

}  // namespace
