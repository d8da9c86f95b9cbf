// The preview view's geometry: which handle a point grabs, where a release leaves the rectangle
// (kept inside the picture) and the size and position items of its menu on a 352 x 288 picture.
#include <gtest/gtest.h>
#include "videofx/rules/preview_rules.h"

using namespace videofx::preview;

namespace {

TEST(PreviewHitTest, CornersBeforeEdgesWithinTwoPixels) {
    const Rect r{100, 100, 50, 40};  // edges left 100, top 100, right 150, bottom 140
    struct Case {
        int x, y, hit;
    } cases[] = {
        {101, 98, kTopLeft},   {98, 102, kTopLeft},    {100, 120, kLeft},   {125, 100, kTop},
        {150, 120, kRight},    {125, 140, kBottom},    {100, 140, kBottomLeft}, {150, 100, kTopRight},
        {152, 142, kBottomRight}, {125, 120, kInside}, {103, 120, kInside}, {97, 120, kNone},
        {125, 97, kNone},      {10, 10, kNone},        {153, 120, kNone},
    };
    for (const Case& c : cases) EXPECT_EQ(c.hit, hit_test(r, c.x, c.y)) << c.x << "," << c.y;
}

TEST(PreviewRelease, EveryHandleKeptInsideThePicture) {
    const Rect r{100, 100, 50, 40};
    const int W = 352, H = 288;
    struct Case {
        int hit, x, y;
        Rect expected;
    } cases[] = {
        {kInside, 400, 120, {302, 110, 50, 40}},     // move past the right edge: touches it, size kept
        {kInside, -50, -50, {0, 0, 50, 40}},          // past the top-left corner
        {kInside, 130, 400, {120, 248, 50, 40}},      // past the bottom
        {kLeft, 200, 120, {150, 100, 50, 40}},        // left edge dragged past the right: swapped
        {kLeft, -30, 120, {0, 100, 150, 40}},
        {kTop, 120, -5, {100, 0, 50, 140}},
        {kTopLeft, -10, -10, {0, 0, 150, 140}},
        {kRight, 500, 120, {100, 100, 252, 40}},
        {kBottom, 120, 400, {100, 100, 50, 188}},
        {kBottomRight, 400, 400, {100, 100, 252, 188}},
        {kBottomLeft, -1, 300, {0, 100, 150, 188}},
        {kTopRight, 999, -9, {100, 0, 252, 140}},
        {kTop, 120, 200, {100, 140, 50, 60}},         // top past the bottom: swapped
        {kNone, 10, 10, {100, 100, 50, 40}},
    };
    for (const Case& c : cases) {
        const Rect got = release(r, c.hit, c.x, c.y, 10, 10, W, H);
        EXPECT_EQ(c.expected, got) << "hit " << c.hit << " at " << c.x << "," << c.y << ": " << got.x << ","
                                   << got.y << " " << got.width << "x" << got.height;
    }
}

TEST(PreviewMenu, SizeAndPositionItemsOn352x288) {
    const int W = 352, H = 288;
    struct Case {
        int id;
        Rect start, expected;
    } cases[] = {
        {kMenuQuarterQuarter, {300, 10, 40, 40}, {263, 10, 88, 72}},    // 300 + 88 >= 352: x = 352 - 88 - 1
        {kMenuQuarterQuarter, {20, 250, 40, 40}, {20, 215, 88, 72}},
        {kMenuQuarterHalf, {0, 0, 10, 10}, {0, 0, 88, 144}},
        {kMenuQuarterFull, {270, 50, 10, 10}, {263, 0, 88, 287}},
        {kMenuHalfQuarter, {200, 0, 10, 10}, {175, 0, 176, 72}},
        {kMenuHalfHalf, {0, 200, 10, 10}, {0, 143, 176, 144}},
        {kMenuHalfFull, {200, 50, 10, 10}, {175, 0, 176, 287}},       // half the width, as labelled
        {kMenuFullQuarter, {40, 250, 10, 10}, {0, 215, 351, 72}},
        {kMenuFullHalf, {40, 20, 10, 10}, {0, 20, 351, 144}},
        {kMenuFullFull, {40, 20, 10, 10}, {0, 0, 351, 287}},
        {kMenuTopLeft, {40, 20, 88, 72}, {1, 1, 88, 72}},
        {kMenuBottomLeft, {40, 20, 88, 72}, {1, 215, 88, 72}},
        {kMenuTopRight, {40, 20, 88, 72}, {263, 1, 88, 72}},
        {kMenuBottomRight, {40, 20, 88, 72}, {263, 215, 88, 72}},
        {kMenuCentreHorizontal, {0, 5, 350, 10}, {1, 5, 350, 10}},     // (352 - 350) / 2 < 2: x = 1
        {kMenuCentreHorizontal, {0, 5, 88, 10}, {131, 5, 88, 10}},
        {kMenuCentreVertical, {5, 0, 10, 72}, {5, 107, 10, 72}},
        {kMenuCentreVertical, {5, 9, 10, 286}, {5, 1, 10, 286}},
    };
    for (const Case& c : cases) {
        Rect r = c.start;
        EXPECT_TRUE(apply_menu_item(c.id, r, W, H)) << c.id;
        EXPECT_EQ(c.expected, r) << c.id << ": " << r.x << "," << r.y << " " << r.width << "x" << r.height;
    }
    Rect r{1, 2, 3, 4};
    EXPECT_FALSE(apply_menu_item(kMenuNothing, r, W, H));
    EXPECT_EQ((Rect{1, 2, 3, 4}), r);
}

TEST(PreviewDrag, ReportedPointFollowsTheHandle) {
    const Rect r{100, 100, 50, 40};
    struct Case {
        int hit, x, y, ex, ey;
    } cases[] = {
        {kLeft, 90, 120, 90, 100},   {kTop, 120, 90, 100, 90},     {kRight, 160, 120, 160, 140},
        {kBottom, 120, 150, 150, 150}, {kBottomLeft, 90, 150, 90, 150}, {kInside, 130, 130, 120, 120},
    };
    for (const Case& c : cases) {
        int x = 0, y = 0;
        drag_point(r, c.hit, c.x, c.y, 10, 10, &x, &y);
        EXPECT_EQ(c.ex, x) << c.hit;
        EXPECT_EQ(c.ey, y) << c.hit;
    }
}

}  // namespace
