#include "controls/skin_core/caption_bar.h"
#include <gtest/gtest.h>
#include <ostream>

namespace skin {

// Found by argument-dependent lookup from inside gtest.
bool operator==(const CaptionPiece& a, const CaptionPiece& b) {
    return a.source_left == b.source_left && a.source_right == b.source_right && a.x == b.x;
}

std::ostream& operator<<(std::ostream& out, const CaptionPiece& p) {
    return out << "{" << p.source_left << "," << p.source_right << " at " << p.x << "}";
}

}  // namespace skin

namespace {

using Pieces = std::vector<skin::CaptionPiece>;

// The 179-column bar with the metric 179 - 84 = 95: left piece 0..75, middle 76..94 (19 columns),
// right piece 95..178 (84 columns).
TEST(CaptionBar, PiecesForWindowsWiderAndNarrowerThanTheBar) {
    struct Case {
        const char* name;
        int window_width, bitmap_width, piece_width;
        Pieces expected;
    };
    Pieces wide = {{0, 76, 0}};
    for (int i = 0; i < 12; ++i) wide.push_back({76, 95, 76 + 19 * i});
    wide.push_back({76, 88, 304});  // 316 - 304 = 12 columns left for the last middle copy
    wide.push_back({95, 179, 316});  // 400 - 84
    const Case cases[] = {
        {"400 wide", 400, 179, 95, wide},
        {"as wide as the bar: the bar itself", 179, 179, 95, {{0, 76, 0}, {76, 95, 76}, {95, 179, 95}}},
        {"one column more", 180, 179, 95, {{0, 76, 0}, {76, 95, 76}, {76, 77, 95}, {95, 179, 96}}},
        {"narrower than both corners: no middle, right piece over the left", 150, 179, 95, {{0, 76, 0}, {95, 179, 66}}},
        {"narrower than the right piece", 50, 179, 95, {{0, 76, 0}, {95, 179, -34}}},
        {"no window", 0, 179, 95, {}},
        {"no bitmap", 400, 0, 95, {}},
        {"bar without a middle repeats itself", 130, 60, 77, {{0, 60, 0}, {0, 60, 60}, {0, 10, 120}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, skin::caption_pieces(c.window_width, c.bitmap_width, c.piece_width)) << c.name;
}

TEST(CaptionBar, EveryWindowColumnIsCoveredAndNothingLiesOutsideTheBar) {
    for (int width : {1, 75, 76, 77, 159, 160, 161, 178, 179, 180, 333, 1024}) {
        std::vector<int> cover(width, 0);
        for (const skin::CaptionPiece& p : skin::caption_pieces(width, 179, 95)) {
            EXPECT_LE(0, p.source_left) << width;
            EXPECT_LT(p.source_left, p.source_right) << width;
            EXPECT_LE(p.source_right, 179) << width;
            for (int x = p.x; x < p.x + p.source_right - p.source_left; ++x)
                if (x >= 0 && x < width) ++cover[x];
        }
        for (int x = 0; x < width; ++x) EXPECT_LE(1, cover[x]) << "width " << width << " column " << x;
    }
}

}  // namespace
