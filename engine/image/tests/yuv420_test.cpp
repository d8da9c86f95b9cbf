// B,G,R to YUV 4:2:0: colour bars against BT.601, plane order, odd sizes, and row strides that are
// not three times the width.
#include <gtest/gtest.h>
#include <cmath>
#include <vector>
#include "engine/image/rgb_image.h"
#include "engine/image/yuv420.h"

namespace {

struct Rgb {
    int r, g, b;
};

// 100% colour bars: white, yellow, cyan, green, magenta, red, blue, black.
const Rgb kBars[] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                     {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};

int bt601_y(Rgb c) { return int(std::lround(16 + (65.481 * c.r + 128.553 * c.g + 24.966 * c.b) / 255)); }
int bt601_cb(Rgb c) { return int(std::lround(128 + (-37.797 * c.r - 74.203 * c.g + 112.0 * c.b) / 255)); }
int bt601_cr(Rgb c) { return int(std::lround(128 + (112.0 * c.r - 93.786 * c.g - 18.214 * c.b) / 255)); }

constexpr int32_t kGuard = 0x5A5A5A5A;

// Converts the image into a buffer with guard values behind the planes.
std::vector<int32_t> convert(const CRgbImage& image) {
    std::vector<int32_t> out(yuv420_sample_count(image.width(), image.height()) + 16, kGuard);
    EXPECT_EQ(rgb24_to_yuv420(image, out.data()), 1);
    for (size_t i = out.size() - 16; i < out.size(); ++i) EXPECT_EQ(out[i], kGuard) << "written past the planes";
    return out;
}

void paint(CRgbImage& image, int x, int y, Rgb c) {
    uint8_t* p = image.row(y) + 3 * x;
    p[0] = uint8_t(c.b);
    p[1] = uint8_t(c.g);
    p[2] = uint8_t(c.r);
}

}  // namespace

TEST(Yuv420, ColourBarsMatchBt601) {
    // Bars 6 pixels wide: 48 x 4 and 54 x 5 (a width with row fill bytes and an odd height).
    for (auto [width, height] : {std::pair{48, 4}, {54, 5}}) {
        const int bar_width = 6;
        CRgbImage image(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) paint(image, x, y, kBars[std::min(x / bar_width, 7)]);
        std::vector<int32_t> out = convert(image);
        const int32_t* Y = out.data();
        const int32_t* Cb = Y + width * height;
        const int32_t* Cr = Cb + yuv420_chroma_count(width, height);
        const int cw = (width + 1) / 2, ch = (height + 1) / 2;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                Rgb c = kBars[std::min(x / bar_width, 7)];
                ASSERT_NEAR(Y[y * width + x], bt601_y(c), 1) << x << "," << y;
            }
        for (int by = 0; by < ch; ++by)
            for (int bx = 0; bx < cw; ++bx) {
                Rgb c = kBars[std::min(2 * bx / bar_width, 7)];
                ASSERT_NEAR(Cb[by * cw + bx], bt601_cb(c), 1) << bx << "," << by;
                ASSERT_NEAR(Cr[by * cw + bx], bt601_cr(c), 1) << bx << "," << by;
            }
    }
}

TEST(Yuv420, BlackWhiteAndPlaneOrder) {
    struct Case {
        Rgb colour;
        int y, cb, cr;
    } cases[] = {
        {{0, 0, 0}, 16, 128, 128},
        {{255, 255, 255}, 235, 128, 128},
        {{0, 0, 255}, 41, 240, 110},  // blue: Cb high, Cr low, so Cb comes first
        {{255, 0, 0}, 81, 90, 240},   // red: Cr high
    };
    for (const Case& c : cases) {
        CRgbImage image(2, 2);
        for (int i = 0; i < 4; ++i) paint(image, i % 2, i / 2, c.colour);
        std::vector<int32_t> out = convert(image);
        EXPECT_EQ(out[0], c.y);
        EXPECT_EQ(out[3], c.y);
        EXPECT_EQ(out[4], c.cb);
        EXPECT_EQ(out[5], c.cr);
    }
}

TEST(Yuv420, StrideKeepsRowsAligned) {
    // Left half red, right half blue, at widths whose rows carry fill bytes: reading rows without the
    // stride would shift every later row sideways.
    for (int width : {1, 3, 6, 10, 177, 178}) {
        const int height = 6;
        CRgbImage image(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) paint(image, x, y, x < width / 2 ? Rgb{255, 0, 0} : Rgb{0, 0, 255});
        std::vector<int32_t> out = convert(image);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(out[size_t(y * width + x)], out[size_t(x)]) << "width " << width << " at " << x << "," << y;
    }
}

TEST(Yuv420, OddSizesAverageInsideThePicture) {
    CRgbImage image(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) paint(image, x, y, x == 6 || y == 4 ? Rgb{0, 0, 255} : Rgb{0, 0, 0});
    std::vector<int32_t> out = convert(image);
    const int32_t* Cb = out.data() + 35;
    EXPECT_EQ(yuv420_chroma_count(7, 5), 12u);
    EXPECT_EQ(Cb[0], 128);                // a block of black
    EXPECT_EQ(Cb[3], 240);                // the last column stands alone: blue only
    EXPECT_EQ(Cb[8], 240);                // the last row: blue only
}

TEST(Yuv420, RefusesImpossibleInput) {
    std::vector<int32_t> out(64);
    uint8_t pixels[64] = {};
    const PictureView planes = picture::yuv420_int32(out.data(), 4, 2);
    PictureView short_stride = picture::bgr24(pixels, 4, 2);
    short_stride.stride = 11;  // shorter than a row
    struct Case {
        const char* what;
        PictureView source, target;
    } cases[] = {
        {"stride shorter than a row", short_stride, planes},
        {"no width", picture::bgr24(pixels, 0, 2), picture::yuv420_int32(out.data(), 0, 2)},
        {"no pixels", picture::bgr24(nullptr, 4, 2), planes},
        {"R,G,B source", picture::rgb24_packed(pixels, 4, 2), planes},
        {"8-bit planes", picture::bgr24(pixels, 4, 2), picture::yuv420(reinterpret_cast<uint8_t*>(out.data()), 4, 2)},
        {"other size", picture::bgr24(pixels, 4, 2), picture::yuv420_int32(out.data(), 2, 2)},
    };
    for (const Case& c : cases) EXPECT_EQ(rgb24_to_yuv420(c.source, c.target), 0) << c.what;
    CRgbImage empty(0, 0);
    EXPECT_EQ(rgb24_to_yuv420(empty, out.data()), 0);
}
