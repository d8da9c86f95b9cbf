// The search keeps the zero vector unless another one is better by more than 100.
#include <gtest/gtest.h>
#include <vector>
#include "media/h263/h263_motion.h"

TEST(H263Motion, ZeroVectorWinsTiesUpToItsBonus) {
    const int w = 48, h = 48;
    struct Case {
        int extra;  // SAD of the zero vector beyond the shifted one's 0
        int expected_x;
    } cases[] = {{100, 0}, {101, 2}, {60, 0}, {400, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extra);
        // Rows differ, so only horizontal shifts can match.
        std::vector<int32_t> source(w * h), reference(w * h);
        for (int i = 0; i < w * h; ++i) source[i] = reference[i] = 50 + 3 * (i / w);
        // Only column 16 of the reference differs, so the block one pixel to the right matches exactly.
        for (int y = 16, left = c.extra; left > 0; ++y) {
            const int d = left > 25 ? 25 : left;
            reference[y * w + 16] += d;
            left -= d;
        }
        h263::HalfPelGrid grid;
        grid.build(reference.data(), w, h);
        h263::MotionResult r = h263::search_macroblock(grid, source.data(), 1, 1, 3);
        EXPECT_EQ(r.vector.x, c.expected_x);
        EXPECT_EQ(r.vector.y, 0);
        EXPECT_EQ(r.cost, c.expected_x ? 0 : c.extra - 100);
    }
}

TEST(H263Motion, HalfPelGridAveragesWithRoundingAndRepeatsEdges) {
    const int32_t luma[4] = {10, 21, 30, 45};  // 2 x 2
    h263::HalfPelGrid g;
    g.build(luma, 2, 2);
    EXPECT_EQ(g.at(0, 0), 10);
    EXPECT_EQ(g.at(1, 0), 16);  // (10 + 21 + 1) / 2
    EXPECT_EQ(g.at(0, 1), 20);  // (10 + 30 + 1) / 2
    EXPECT_EQ(g.at(1, 1), 27);  // (10 + 21 + 30 + 45 + 2) / 4
    EXPECT_EQ(g.at(3, 0), 21);  // last column repeats
    EXPECT_EQ(g.at(0, 3), 30);  // last row repeats
}
