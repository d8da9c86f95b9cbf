// The libraries' frame: metrics from the bitmaps and the strip copies for lengths shorter than, equal
// to and longer than the strip bitmap, worked out by hand.
#include "skinlib/frame/frame_plan.h"
#include <gtest/gtest.h>
#include <string>

namespace {

using skinlib::Strip;

// The program's frame sizes, which the libraries' bitmaps share.
const skinlib::FrameSizes kSizes = {{179, 66}, {20, 58}, {24, 56}, {57, 26}, {{63, 21}, {63, 21}}};

std::string describe(const std::vector<skinlib::StripCopy>& copies) {
    std::string s;
    for (const skinlib::StripCopy& c : copies)
        s += std::to_string(c.source.left) + "," + std::to_string(c.source.top) + "," + std::to_string(c.source.right) +
             "," + std::to_string(c.source.bottom) + "@" + std::to_string(c.x) + "," + std::to_string(c.y) + " ";
    return s;
}

TEST(FramePlan, MetricsFromTheBitmaps) {
    skinlib::FrameMetrics m = skinlib::frame_metrics(kSizes);
    EXPECT_EQ(33, m.caption_height);
    EXPECT_EQ(10, m.left_width);
    EXPECT_EQ(12, m.right_width);
    EXPECT_EQ(13, m.bottom_height);
    EXPECT_EQ(76, m.caption.start);
    EXPECT_EQ(95, m.caption.tile_end);  // 179 - 84
    EXPECT_EQ(33, m.left.start);
    EXPECT_EQ(45, m.left.tile_end);     // 58 - 13
    EXPECT_EQ(43, m.right.tile_end);
    EXPECT_EQ(0, m.bottom.start);
    EXPECT_EQ(57, m.bottom.tile_end);
    skinlib::FrameMetrics small = skinlib::frame_metrics({{100, 10}, {4, 20}, {4, 20}, {0, 4}, {}});
    EXPECT_EQ(77, small.caption.tile_end);
    EXPECT_EQ(34, small.left.tile_end);
    EXPECT_EQ(1, small.bottom.tile_end);
}

TEST(FramePlan, CaptionAsLongAsItsBitmap) {
    skinlib::FrameMetrics m = skinlib::frame_metrics(kSizes);
    // n = (179 - 179) / 19 + 1 = 1: two tiles; the end cap at 179 - 179 + 95 + 1.
    EXPECT_EQ("0,0,76,33@10,4 76,0,95,33@86,4 76,0,95,33@105,4 95,0,178,33@106,4 ",
              describe(skinlib::plan_strip(Strip::Caption, {179, 66}, m, 10, 4, 179, 0)));
}

TEST(FramePlan, CaptionLongerThanItsBitmap) {
    skinlib::FrameMetrics m = skinlib::frame_metrics(kSizes);
    // n = 121 / 19 + 1 = 7: tiles at 76 + 19k for k = 0..7; the end cap at 300 - 179 + 96 = 217; row 1.
    std::vector<skinlib::StripCopy> c = skinlib::plan_strip(Strip::Caption, {179, 66}, m, 0, 0, 300, 1);
    ASSERT_EQ(10u, c.size());
    EXPECT_EQ(33, c[0].source.top);
    EXPECT_EQ(66, c[0].source.bottom);
    EXPECT_EQ(76 + 7 * 19, c[8].x);
    EXPECT_EQ(19, c[8].source.right - c[8].source.left);
    EXPECT_EQ(217, c[9].x);
    EXPECT_EQ(95, c[9].source.left);
    EXPECT_EQ(178, c[9].source.right);  // the last column is never copied
}

TEST(FramePlan, CaptionShorterThanItsBitmap) {
    skinlib::FrameMetrics m = skinlib::frame_metrics(kSizes);
    // n = max(0, -29 / 19 + 1) = 0: one tile at 76 (room 74); the end cap at 150 - 179 + 96 = 67.
    EXPECT_EQ("0,0,76,33@0,0 76,0,95,33@76,0 95,0,178,33@67,0 ",
              describe(skinlib::plan_strip(Strip::Caption, {179, 66}, m, 0, 0, 150, 0)));
    // Shorter than the start cap: the tile has no room left and is left out.
    EXPECT_EQ("0,0,76,33@0,0 95,0,178,33@-23,0 ", describe(skinlib::plan_strip(Strip::Caption, {179, 66}, m, 0, 0, 60, 0)));
}

TEST(FramePlan, SideAndBottomStrips) {
    skinlib::FrameMetrics m = skinlib::frame_metrics(kSizes);
    // Left: a 33-row cap, tiles of 12 rows (n = 142 / 12 + 1 = 12, the last cut to 12 at 177), the end
    // cap of rows 45..56 at 200 - 58 + 45 = 187; row 1 is the right half of the bitmap.
    std::vector<skinlib::StripCopy> left = skinlib::plan_strip(Strip::Left, {20, 58}, m, 5, 0, 200, 1);
    ASSERT_EQ(15u, left.size());
    EXPECT_EQ(10, left[0].source.left);
    EXPECT_EQ(20, left[0].source.right);
    EXPECT_EQ(5, left[0].x);
    EXPECT_EQ(33 + 12 * 12, left[13].y);
    EXPECT_EQ(187, left[14].y);
    EXPECT_EQ(45, left[14].source.top);
    EXPECT_EQ(57, left[14].source.bottom);
    // Bottom: no start or end cap, the whole bitmap as the tile, the last copy cut at the length.
    EXPECT_EQ("0,0,57,13@10,90 0,0,57,13@67,90 0,0,36,13@124,90 ",
              describe(skinlib::plan_strip(Strip::Bottom, {57, 26}, m, 10, 90, 150, 0)));
    EXPECT_TRUE(skinlib::plan_strip(Strip::Right, {0, 0}, m, 0, 0, 100, 0).empty());
}

TEST(FramePlan, CaptionButtons) {
    skin::Rect close = skinlib::caption_button_rect(300, 0, {63, 21});
    EXPECT_EQ(277, close.left);
    EXPECT_EQ(298, close.right);
    EXPECT_EQ(4, close.top);
    EXPECT_EQ(25, close.bottom);
    EXPECT_EQ(255, skinlib::caption_button_rect(300, 1, {63, 21}).left);
    skin::Rect none = skinlib::caption_button_rect(300, 2, {63, 21});
    EXPECT_EQ(0, none.right - none.left);
    skin::Rect missing = skinlib::caption_button_rect(300, 0, {0, 0});
    EXPECT_EQ(0, missing.right - missing.left);
}

}  // namespace
