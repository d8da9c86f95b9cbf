#include <gtest/gtest.h>
#include <set>
#include <utility>
#include <vector>
#include "app/core/scope_raster.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

// The pixels one line sets in a width x height area, as (x, y) pairs.
Pixels line_pixels(int x0, int y0, int x1, int y1, int width, int height) {
    std::vector<uint32_t> area(size_t(width * height), 0);
    raster_line(x0, y0, x1, y1, 1, width, height, area.data());
    Pixels set;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (area[size_t(y * width + x)]) set.insert({x, y});
    return set;
}

}  // namespace

TEST(ScopeRaster, LinesSetTheDibEngineBresenhamPixelsWithoutTheEndPoint) {
    struct Case {
        const char* name;
        int x0, y0, x1, y1;
        Pixels want;
    };
    // Worked by hand from the walk: error 2*minor - major at the start, a minor step after a pixel
    // whose error (plus one in octants 3, 5, 6 and 8) is above 0, then + 2*minor - 2*major, else + 2*minor.
    const Case cases[] = {
        {"rightwards", 1, 2, 4, 2, {{1, 2}, {2, 2}, {3, 2}}},
        {"leftwards: the span from the smaller end", 4, 2, 1, 2, {{1, 2}, {2, 2}, {3, 2}}},
        {"downwards", 3, 1, 3, 5, {{3, 1}, {3, 2}, {3, 3}, {3, 4}}},
        {"upwards: the span from the smaller end", 3, 5, 3, 1, {{3, 1}, {3, 2}, {3, 3}, {3, 4}}},
        {"a point", 2, 2, 2, 2, {}},
        {"one column on, five down (errors -3, -1, 1 then -7, -5)", 0, 0, 1, 5, {{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}}},
        {"one column on, four up: the tie stays (octant 7)", 0, 4, 1, 0, {{0, 4}, {0, 3}, {0, 2}, {1, 1}}},
        {"one column back, four up: the tie moves (octant 6)", 1, 4, 0, 0, {{1, 4}, {1, 3}, {0, 2}, {0, 1}}},
        {"one column on, one down: the start only", 2, 2, 3, 3, {{2, 2}}},
        {"five on, two down (errors -1, 3, -3, 1, -5)", 0, 0, 5, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {"clipped above and below (errors -9 + 2k): as unclipped", 1, -3, 2, 8, {{1, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}, {2, 5}}},
        {"wholly outside", -3, -1, 9, -1, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(line_pixels(c.x0, c.y0, c.x1, c.y1, 6, 6), c.want) << c.name;
}

TEST(ScopeRaster, FillsThenLinesInOrderInDibByteOrder) {
    ScopePicture picture;
    picture.fills = {{0, 2, 0x0000FF}, {2, 9, 0x00FF00}};  // the second fill passes the bottom
    picture.lines = {{0, 1, 3, 1, 0xFF0000}, {1, 0, 1, 3, 0x123456}};
    std::vector<uint32_t> pixels(4 * 3, 0xDEADBEEF);
    raster_scope(picture, 4, 3, pixels.data());
    const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, later = 0x563412;
    const std::vector<uint32_t> want = {red,  later, red,  red,    // row 0: fill; the vertical line
                                        blue, later, blue, red,    // row 1: the horizontal line, crossed
                                        green, later, green, green};  // row 2: second fill, clipped at 3 rows
    EXPECT_EQ(pixels, want);
}

TEST(ScopeRaster, ASilentTwelveByEightScopeHasItsGridOutlinesAndBandsWhereWorkedOut) {
    // All levels 0 in a 12 x 8 area: c = 4, grid step 1, no columns (each runs from row 4 to row 4),
    // the white outline on row 3 and the black one on row 5 from x = 0 to 10.
    const std::vector<uint8_t> silent(8192, 0);
    const ScopeColours colours = {0xF0F0F0, 0x808080, 0x2040C0};
    ScopePicture picture;
    draw_scope(silent.data(), silent.data(), 24, 12, 8, colours, &picture);
    std::vector<uint32_t> pixels(12 * 8, 0);
    raster_scope(picture, 12, 8, pixels.data());
    auto at = [&](int x, int y) { return pixels[size_t(y * 12 + x)]; };
    const uint32_t upper_band = 0x464646;  // rows 0..3: 240 - 2/3 of (255 - 8 * |4 - 4|) = 240 - 170
    const uint32_t lower_band = 0x565656;  // rows 4..7: 240 - 2/3 of (255 - 8 * |7 - 4|) = 240 - 154
    const uint32_t grid = 0x323232;        // 128 - 27 - 51
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(at(x, 3), x <= 10 ? 0xFFFFFFu : upper_band) << "row 3, x " << x;
        EXPECT_EQ(at(x, 5), x <= 10 ? 0x000000u : lower_band) << "row 5, x " << x;
        EXPECT_EQ(at(x, 7), lower_band) << "row 7 (no grid line reaches it), x " << x;
        EXPECT_EQ(at(x, 0), x >= 1 && x <= 9 ? grid : upper_band) << "row 0, x " << x;
        // Row 4: the centre line from 1 to 9, the verticals at 0 and 10 (rows 1..6).
        EXPECT_EQ(at(x, 4), x <= 10 ? grid : lower_band) << "row 4, x " << x;
    }
}
