// The text page's arithmetic worked by hand: bitmap width from the tokens, the length limit, the
// transparency patterns, background and text style row colours, and the record's colour order.
#include <gtest/gtest.h>
#include <string>
#include "videofx/rules/text_rules.h"

using namespace videofx::text;

namespace {

TEST(TextWidth, TokensAtCell24) {
    struct Case {
        std::string text;
        int width;
    } cases[] = {
        {"AB\xC4\xE3", 4 + 13 + 13 + 25},  // 55
        {"\xC4\xE3\xBA\xC3", 4 + 25 + 25},
        {"A\xC4", 4 + 13 + 13},            // a lone lead byte at the end is a single-byte cell
        {"\xC4" "A", 4 + 13 + 13},         // and before an ASCII byte
        {"\r\nA", 4 + 13},                 // CR and LF take no room
        {"\x01", 4 + 13},                  // a control byte leaves a blank cell
        {"", 4},
    };
    for (const Case& c : cases) EXPECT_EQ(c.width, bitmap_width(c.text, 24)) << c.text;
    EXPECT_EQ(25, bitmap_height(24));

    const auto tokens = tokenize("A\xC4\xE3\xC4", 24);
    ASSERT_EQ(3u, tokens.size());
    EXPECT_EQ(12, tokens[0].cell_width);
    EXPECT_TRUE(tokens[0].drawn);
    EXPECT_EQ(2, tokens[1].length);
    EXPECT_EQ(24, tokens[1].cell_width);
    EXPECT_EQ(1, tokens[2].length);
    EXPECT_FALSE(tokens[2].drawn);
}

TEST(TextLimit, EmptyAnd511And512Bytes) {
    EXPECT_EQ(TextCheck::kEmpty, check_text(""));
    EXPECT_EQ(TextCheck::kOk, check_text(std::string(511, 'x')));
    EXPECT_EQ(TextCheck::kTooLong, check_text(std::string(512, 'x')));
}

TEST(TextBackground, TransparencyPatternsOn4x4) {
    const char* patterns[5] = {
        "1111" "1111" "1111" "1111",  // opaque
        "0101" "1111" "0101" "1111",  // 25%: all but even row and even column
        "0101" "1010" "0101" "1010",  // half: checkerboard
        "0101" "0000" "0101" "0000",  // 75%: even row and odd column only
        "0000" "0000" "0000" "0000",  // fully transparent
    };
    for (int t = 0; t < 5; ++t) {
        std::string got;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) got += background_pixel(t, i, j) ? '1' : '0';
        EXPECT_EQ(patterns[t], got) << "transparency " << t;
    }
}

TEST(TextBackground, RowColoursOfEveryStyle) {
    const Colour grey = 0x808080;
    // Relief at height 25: H / 6 = 4, 5H / 6 = 20; rows 0..3 darkened by 48, 36, 24, 12, rows 4..20
    // unchanged, rows 21..24 darkened by 12 (r + 4 - 25): 0, 12, 24, 36.
    const int relief[25] = {48, 36, 24, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 24, 36};
    for (int r = 0; r < 25; ++r) {
        const int v = 128 - relief[r];
        EXPECT_EQ(Colour(v | v << 8 | v << 16), background_row_colour(5, grey, r, 25)) << "row " << r;
    }
    EXPECT_EQ(0x808080u, background_row_colour(0, grey, 7, 25));
    EXPECT_EQ(0x949494u, background_row_colour(1, grey, 5, 25));        // + 20
    EXPECT_EQ(0x989898u, background_row_colour(1, grey, 70, 100));      // 280 mod 256 = 24
    EXPECT_EQ(0x6C6C6Cu, background_row_colour(2, grey, 5, 25));        // - 20
    EXPECT_EQ(0xA4A4A4u, background_row_colour(3, grey, 6, 25));        // + 36
    EXPECT_EQ(0xCECECEu, background_row_colour(3, grey, 12, 25));       // r >= 12: 6 x 13 = 78
    EXPECT_EQ(0x5C5C5Cu, background_row_colour(4, grey, 6, 25));
    EXPECT_EQ(0xFFFFFFu, background_row_colour(1, 0xF0F0F0, 10, 25));   // lighten stops at 255
}

TEST(TextStyle, RowColoursOfTheText) {
    const Colour c = 0x101010;
    EXPECT_EQ(c, text_row_colour(0, c, 9, 24));
    EXPECT_EQ(0x282828u, text_row_colour(1, c, 3, 24));   // + 24
    EXPECT_EQ(0x000000u, text_row_colour(2, c, 3, 24));   // 16 - 24 stops at 0
    EXPECT_EQ(0x383838u, text_row_colour(3, c, 19, 24));  // 8 x (24 - 19) = 40
    EXPECT_EQ(0x505050u, text_row_colour(3, c, 8, 24));   // 8 x 8 = 64
    EXPECT_EQ(c, text_row_colour(1, c, 32, 40));          // 256 mod 256 = 0
    EXPECT_EQ(0x000000u, text_row_colour(4, c, 8, 24));
}

TEST(TextColours, RecordOrderIsRedGreenBlue) {
    EXPECT_EQ(0x0000009Bu, to_record(0x9B0000));       // COLORREF blue 0x9B
    EXPECT_EQ(0x00FF0000u, from_record(255));          // record blue 255 is COLORREF 0xFF0000
    EXPECT_EQ(0x00FFFF37u, to_record(0x37FFFF));
    EXPECT_EQ(0x37FFFFu, from_record(to_record(0x37FFFF)));
    EXPECT_EQ(0x00FF00u, kTransparent);
}

}  // namespace
