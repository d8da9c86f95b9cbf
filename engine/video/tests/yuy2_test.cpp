// B,G,R to YUY2 against BT.601 studio-range values worked by hand: Y = 16 + 219 x (0.299 R + 0.587 G +
// 0.114 B) / 255, U = 128 + 224 x (B - Y') / (1.772 x 255), V = 128 + 224 x (R - Y') / (1.402 x 255).
#include <gtest/gtest.h>
#include <cstdlib>
#include <vector>
#include "engine/video/yuy2.h"

namespace {

struct Colour {
    const char* name;
    uint8_t r, g, b;
    int y, u, v;  // worked by hand
};

// Full-range primaries and the 75 % colour bars (191 = 0.75 x 255).
const Colour kColours[] = {
    {"black", 0, 0, 0, 16, 128, 128},         {"white", 255, 255, 255, 235, 128, 128},
    {"red", 255, 0, 0, 81, 90, 240},          {"green", 0, 255, 0, 145, 54, 34},
    {"blue", 0, 0, 255, 41, 240, 110},        {"bar white", 191, 191, 191, 180, 128, 128},
    {"bar yellow", 191, 191, 0, 162, 44, 142}, {"bar cyan", 0, 191, 191, 131, 156, 44},
    {"bar green", 0, 191, 0, 112, 72, 58},    {"bar magenta", 191, 0, 191, 84, 184, 198},
    {"bar red", 191, 0, 0, 65, 100, 212},     {"bar blue", 0, 0, 191, 35, 212, 114},
};

int stride_of(int width) { return (3 * width + 3) & ~3; }

// A picture of the image layout with each pixel from `pixel(x, y)`, rows top-down.
template <class F>
std::vector<uint8_t> picture(int width, int height, F pixel) {
    std::vector<uint8_t> bytes(size_t(stride_of(width)) * height, 0xEE);  // padding marked
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Colour& c = pixel(x, y);
            uint8_t* p = &bytes[size_t(stride_of(width)) * y + 3 * x];
            p[0] = c.b, p[1] = c.g, p[2] = c.r;
        }
    return bytes;
}

// The picture turned upside down (bottom-up rows, the layout flag 0 reads).
std::vector<uint8_t> upside_down(const std::vector<uint8_t>& top_down, int width, int height) {
    std::vector<uint8_t> out(top_down.size());
    const size_t s = size_t(stride_of(width));
    for (int y = 0; y < height; ++y) std::copy_n(&top_down[s * y], s, &out[s * (height - 1 - y)]);
    return out;
}

void expect_near(int expected, int got, const char* what, const char* name) {
    EXPECT_LE(std::abs(expected - got), 1) << name << " " << what << ": expected " << expected << " got " << got;
}

}  // namespace

TEST(Yuy2, FlatColoursGiveTheirBt601Values) {
    for (const Colour& c : kColours) {
        const std::vector<uint8_t> in = picture(4, 2, [&](int, int) -> const Colour& { return c; });
        std::vector<uint8_t> out(yuy2_picture_bytes(4, 2));
        ASSERT_EQ(0, rgb24_to_yuy2(4, 2, in.data(), out.data(), 1));
        for (size_t i = 0; i < out.size(); i += 4) {
            expect_near(c.y, out[i], "Y0", c.name);
            expect_near(c.u, out[i + 1], "U", c.name);
            expect_near(c.y, out[i + 2], "Y1", c.name);
            expect_near(c.v, out[i + 3], "V", c.name);
        }
    }
}

// Colour bars 350 and 351 pixels wide (rows padded to 4 bytes; the odd column left out) and heights
// 7 and 8, each orientation: every pixel's Y is its bar's, every block's U and V its bar's, and flag 0
// of the upside-down picture gives the same bytes as flag 1 of the upright one.
TEST(Yuy2, ColourBarsAtWidthsAndHeightsInBothOrientations) {
    const int kBarWidth = 50;  // seven bars of 50 pixels; bar index changes on an even column
    for (int width : {350, 351}) {
        for (int height : {7, 8}) {
            SCOPED_TRACE(testing::Message() << width << "x" << height);
            auto bar = [&](int x, int y) -> const Colour& {
                // The bottom row of an odd-height picture and the last column of an odd width are
                // white, to show that they are left out.
                if (x >= (width & ~1) || y >= (height & ~1)) return kColours[1];
                return kColours[5 + std::min(6, x / kBarWidth)];
            };
            const std::vector<uint8_t> upright = picture(width, height, bar);
            const int w = width & ~1, h = height & ~1;
            std::vector<uint8_t> out(yuy2_picture_bytes(width, height) + 16, 0x55);
            ASSERT_EQ(0, rgb24_to_yuy2(width, height, upright.data(), out.data(), 1));
            EXPECT_EQ(0x55, out[yuy2_picture_bytes(width, height)]) << "wrote past the picture";
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; x += 2) {
                    const Colour& c = bar(x, y);
                    const uint8_t* p = &out[size_t(2 * w) * y + 2 * x];
                    expect_near(c.y, p[0], "Y0", c.name);
                    expect_near(c.u, p[1], "U", c.name);
                    expect_near(c.y, p[2], "Y1", c.name);
                    expect_near(c.v, p[3], "V", c.name);
                }
            const std::vector<uint8_t> flipped = upside_down(upright, width, height);
            std::vector<uint8_t> out_flipped(out.size(), 0x55);
            ASSERT_EQ(0, rgb24_to_yuy2(width, height, flipped.data(), out_flipped.data(), 0));
            EXPECT_EQ(out, out_flipped);
        }
    }
}

// A vertical gradient: flag 0 turns the bottom-up rows upright (the first output row is the last row in
// memory), and each 2 x 2 block's chroma is the mean of its two rows.
TEST(Yuy2, Flag0TurnsABottomUpSourceUpright) {
    const int width = 2, height = 4;
    const int stride = stride_of(width);
    std::vector<uint8_t> in(size_t(stride) * height, 0);
    // Memory rows 0..3 hold grey 200, 150, 100, 50: upright the picture runs 50, 100, 150, 200.
    const int grey[4] = {200, 150, 100, 50};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 3 * width; ++x) in[size_t(stride) * y + x] = uint8_t(grey[y]);
    std::vector<uint8_t> out(yuy2_picture_bytes(width, height));
    ASSERT_EQ(0, rgb24_to_yuy2(width, height, in.data(), out.data(), 0));
    for (int y = 0; y < height; ++y) {
        const int expected = int(16 + 219.0 * grey[height - 1 - y] / 255.0 + 0.5);
        expect_near(expected, out[4 * y], "Y", "grey row");
        expect_near(128, out[4 * y + 1], "U", "grey row");
    }
}

TEST(Yuy2, RefusesEmptyPicturesAndNullPointers) {
    uint8_t pixels[64] = {}, out[64] = {};
    EXPECT_EQ(-1, rgb24_to_yuy2(1, 2, pixels, out, 1));
    EXPECT_EQ(-1, rgb24_to_yuy2(2, 1, pixels, out, 1));
    EXPECT_EQ(-1, rgb24_to_yuy2(0, 0, pixels, out, 1));
    EXPECT_EQ(-1, rgb24_to_yuy2(2, 2, nullptr, out, 1));
    EXPECT_EQ(-1, rgb24_to_yuy2(2, 2, pixels, nullptr, 1));
    EXPECT_EQ(-1, rgb24_to_yuy2(4, 2, pixels, 11, out, 1)) << "stride shorter than a row";
    EXPECT_EQ(0u, yuy2_picture_bytes(1, 8));
}

// Back to B,G,R: every colour comes back within 2 of what went in (the chroma of a flat block is exact).
TEST(Yuy2, BackToBgrxRestoresTheColours) {
    for (const Colour& c : kColours) {
        const std::vector<uint8_t> in = picture(2, 2, [&](int, int) -> const Colour& { return c; });
        std::vector<uint8_t> yuy2(yuy2_picture_bytes(2, 2));
        ASSERT_EQ(0, rgb24_to_yuy2(2, 2, in.data(), yuy2.data(), 1));
        std::vector<uint8_t> bgrx(2 * 2 * 4, 0xAA);
        yuy2_to_bgrx(yuy2.data(), 2, 2, 4, bgrx.data(), 8);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(c.b, bgrx[4 * i], 2) << c.name;
            EXPECT_NEAR(c.g, bgrx[4 * i + 1], 2) << c.name;
            EXPECT_NEAR(c.r, bgrx[4 * i + 2], 2) << c.name;
            EXPECT_EQ(0, bgrx[4 * i + 3]);
        }
    }
}
