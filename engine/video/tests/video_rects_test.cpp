// Destination and source rectangles of the video window's picture, worked by hand.
#include <gtest/gtest.h>
#include "engine/video/video_rects.h"

namespace {

struct Case {
    const char* name;
    VideoRect client;
    VideoDisplayRules rules;
    VideoRect source, dest;  // expected; picture 320 x 240 on a 1024 x 768 screen
    bool shown;
};

VideoRect rect(int l, int t, int r, int b) {
    VideoRect v;
    v.left = l, v.top = t, v.right = r, v.bottom = b;
    return v;
}
VideoDisplayRules rules(int stretch, int align_dest, int align_src) {
    VideoDisplayRules r;
    r.min_stretch = stretch, r.align_dest = align_dest, r.align_src = align_src;
    return r;
}

}  // namespace

TEST(VideoRects, DestinationStretchAlignmentAndScreenCuts) {
    const Case kCases[] = {
        {"inside", rect(100, 50, 420, 290), rules(0, 0, 0), rect(0, 0, 320, 240), rect(100, 50, 420, 290), true},
        // 1.5 x: width 320 -> 480, height 240 -> 360.
        {"min stretch", rect(0, 0, 320, 240), rules(1500, 0, 0), rect(0, 0, 320, 240), rect(0, 0, 480, 360), true},
        // 1.001 x of 333: 333.333 rounded up -> 334; height 100.1 rounded down -> 100.
        {"stretch rounding", rect(0, 0, 333, 100), rules(1001, 0, 0), rect(0, 0, 320, 240), rect(0, 0, 334, 100),
         true},
        {"dest alignment", rect(0, 0, 321, 240), rules(1000, 8, 0), rect(0, 0, 320, 240), rect(0, 0, 328, 240), true},
        // Right half off the screen: client 904..1224 (320 wide), 200 off -> source keeps 120 of 320.
        {"right cut", rect(904, 0, 1224, 240), rules(1000, 0, 0), rect(0, 0, 120, 240), rect(904, 0, 1024, 240), true},
        // 48 rows below the screen of 240: source keeps 240 - 48 = 192.
        {"bottom cut", rect(0, 576, 320, 816), rules(1000, 0, 0), rect(0, 0, 320, 192), rect(0, 576, 320, 768), true},
        // 80 columns left of the screen, 40 rows above: the source starts 80 and 40 in.
        {"left and top cut", rect(-80, -40, 240, 200), rules(1000, 0, 0), rect(80, 40, 320, 240), rect(0, 0, 240, 200),
         true},
        // Twice the picture's size, 100 off on the left: the source starts 50 in.
        {"scaled left cut", rect(-100, 0, 540, 480), rules(1000, 0, 0), rect(50, 0, 320, 240), rect(0, 0, 540, 480),
         true},
        {"src alignment", rect(904, 0, 1224, 240), rules(1000, 0, 16), rect(0, 0, 112, 240), rect(904, 0, 1024, 240),
         true},
        {"off screen", rect(2000, 0, 2320, 240), rules(1000, 0, 0), VideoRect(), VideoRect(), false},
        {"empty client", rect(10, 10, 10, 10), rules(1000, 0, 0), VideoRect(), VideoRect(), false},
    };
    for (const Case& c : kCases) {
        VideoRect s, d;
        const bool shown = video_display_rects(c.client, 1024, 768, 320, 240, c.rules, &s, &d);
        EXPECT_EQ(c.shown, shown) << c.name;
        if (!shown || !c.shown) continue;
        EXPECT_EQ(c.source.left, s.left) << c.name;
        EXPECT_EQ(c.source.top, s.top) << c.name;
        EXPECT_EQ(c.source.right, s.right) << c.name;
        EXPECT_EQ(c.source.bottom, s.bottom) << c.name;
        EXPECT_EQ(c.dest.left, d.left) << c.name;
        EXPECT_EQ(c.dest.top, d.top) << c.name;
        EXPECT_EQ(c.dest.right, d.right) << c.name;
        EXPECT_EQ(c.dest.bottom, d.bottom) << c.name;
    }
}
