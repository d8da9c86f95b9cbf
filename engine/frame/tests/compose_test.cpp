#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "engine/frame/compose.h"

namespace {

// A picture whose every pixel tells where it came from: B = x, G = y, R = 200.
CRgbImage labelled(int w, int h) {
    CRgbImage image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = image.row(y) + 3 * x;
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = 200;
        }
    return image;
}

const uint8_t* at(const PictureView& image, int x, int y) { return image.data + size_t(image.stride) * y + 3 * x; }

bool black(const PictureView& image, int x, int y) {
    const uint8_t* p = at(image, x, y);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

// Rows [top, bottom) that hold picture, found down the middle column.
void picture_rows(const PictureView& image, int* top, int* bottom) {
    *top = *bottom = -1;
    for (int y = 0; y < image.height; ++y)
        if (!black(image, image.width / 2, y)) {
            if (*top < 0) *top = y;
            *bottom = y + 1;
        }
}
void picture_columns(const PictureView& image, int* left, int* right) {
    *left = *right = -1;
    for (int x = 0; x < image.width; ++x)
        if (!black(image, x, image.height / 2)) {
            if (*left < 0) *left = x;
            *right = x + 1;
        }
}

TEST(Compose, PictureOfTheOutputSizeIsUsedAsItIs) {
    CRgbImage source = labelled(176, 144);
    CRgbImage scratch(0, 0);
    for (int mode : {0, 1, 2}) EXPECT_EQ(source.pixels(), compose_output_picture(source.view(), 176, 144, mode, scratch).data);
    EXPECT_TRUE(scratch.empty()) << "nothing was copied";
}

TEST(Compose, FitLetterboxesAndPillarboxes) {
    struct Case {
        int sw, sh, w, h;
        int fit_w, fit_h;  // the scaled picture
    } cases[] = {
        {320, 240, 352, 288, 352, 264},  // 4:3 into CIF: 12-row bands above and below
        {640, 360, 176, 144, 176, 98},   // 16:9: 99 rows cut to even
        {240, 320, 352, 288, 216, 288},  // portrait: width 216 (a multiple of 4), bands left and right
        {350, 262, 174, 144, 174, 130},  // widths that are not multiples of 4
        {174, 100, 350, 288, 350, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sw) + "x" + std::to_string(c.sh) + " into " + std::to_string(c.w) + "x" +
                     std::to_string(c.h));
        int fw = 0, fh = 0;
        fit_size(c.sw, c.sh, c.w, c.h, &fw, &fh);
        EXPECT_EQ(c.fit_w, fw);
        EXPECT_EQ(c.fit_h, fh);
        CRgbImage source = labelled(c.sw, c.sh), scratch(0, 0);
        const PictureView out = compose_output_picture(source.view(), c.w, c.h, 1, scratch);
        ASSERT_EQ(c.w, out.width);
        ASSERT_EQ(c.h, out.height);
        int top, bottom, left, right;
        picture_rows(out, &top, &bottom);
        picture_columns(out, &left, &right);
        EXPECT_EQ((c.h - c.fit_h) / 2, top);
        EXPECT_EQ(top + c.fit_h, bottom);
        EXPECT_EQ((c.w - c.fit_w) / 2, left);
        EXPECT_EQ(left + c.fit_w, right);
        // The band bytes past each row's pixels stay untouched (stride padding) and the corners black.
        EXPECT_TRUE(black(out, 0, 0) || c.fit_w == c.w);
    }
    // Any mode other than 0 and 2 fits too.
    CRgbImage source = labelled(320, 240), a(0, 0), b(0, 0);
    const PictureView fit = compose_output_picture(source.view(), 352, 288, 1, a);
    const PictureView other = compose_output_picture(source.view(), 352, 288, 7, b);
    EXPECT_EQ(0, std::memcmp(fit.data, other.data, a.byte_size()));
}

TEST(Compose, CropKeepsTheTopLeftOfALargerPictureAndCentresASmallerOne) {
    CRgbImage big = labelled(400, 300), scratch(0, 0);
    const PictureView cut = compose_output_picture(big.view(), 352, 288, 2, scratch);
    for (int y : {0, 100, 287})
        for (int x : {0, 77, 351}) {
            const uint8_t* p = at(cut, x, y);
            EXPECT_EQ(uint8_t(x), p[0]);
            EXPECT_EQ(uint8_t(y), p[1]);
        }
    CRgbImage small = labelled(174, 100), scratch2(0, 0);
    const PictureView centred = compose_output_picture(small.view(), 350, 288, 2, scratch2);
    int top, bottom, left, right;
    picture_rows(centred, &top, &bottom);
    picture_columns(centred, &left, &right);
    EXPECT_EQ(94, top);   // (288 - 100) / 2
    EXPECT_EQ(194, bottom);
    EXPECT_EQ(88, left);  // (350 - 174) / 2
    EXPECT_EQ(262, right);
    EXPECT_EQ(0, at(centred, 88, 94)[0]) << "source (0, 0) lands at the offset";
}

TEST(Compose, StretchScalesToTheOutputSize) {
    CRgbImage source = labelled(350, 262), scratch(0, 0);
    const PictureView out = compose_output_picture(source.view(), 174, 130, 0, scratch);
    ASSERT_EQ(174, out.width);
    ASSERT_EQ(130, out.height);
    // Nearest neighbour: output x takes source x * 350 / 174.
    EXPECT_EQ(uint8_t(173 * 350 / 174), at(out, 173, 0)[0]);
    EXPECT_EQ(uint8_t(129 * 262 / 130), at(out, 0, 129)[1]);
    EXPECT_FALSE(black(out, 0, 0) && black(out, 173, 129));
}

// A decoder's picture at a wider stride than its rows need, composed straight from its buffer in each
// mode; then the same scratch reused for a picture of another shape: the earlier picture leaves nothing
// in the new bands.
TEST(Compose, ViewsAtTheirOwnStrideAndAReusedScratch) {
    constexpr int kW = 320, kH = 240, kStride = 1024;
    const CRgbImage plain = labelled(kW, kH);
    std::vector<uint8_t> wide(size_t(kStride) * kH, 0xEE);
    for (int y = 0; y < kH; ++y) std::memcpy(wide.data() + size_t(kStride) * y, plain.row(y), size_t(kW) * 3);
    const PictureView strided{wide.data(), kW, kH, kStride, PixelFormat::kBgr24};
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        CRgbImage a(0, 0), b(0, 0);
        const PictureView from_plain = compose_output_picture(plain.view(), 352, 288, mode, a);
        const PictureView from_strided = compose_output_picture(strided, 352, 288, mode, b);
        ASSERT_EQ(a.byte_size(), b.byte_size());
        EXPECT_EQ(0, std::memcmp(from_plain.data, from_strided.data, a.byte_size()));
    }
    CRgbImage scratch(0, 0);
    compose_output_picture(CRgbImage(352 * 2, 288, 0xFFFFFF).view(), 352, 288, 0, scratch);
    const PictureView boxed = compose_output_picture(labelled(640, 360).view(), 352, 288, 1, scratch);
    int top, bottom;
    picture_rows(boxed, &top, &bottom);
    EXPECT_EQ((288 - 198) / 2, top) << "16:9 into 352 x 288: 198 rows of picture";
    EXPECT_TRUE(black(boxed, 0, 0) && black(boxed, 351, 287));
    // A picture of another layout is refused as black, never read skewed.
    std::vector<uint8_t> yuv(size_t(352) * 288 * 3 / 2, 0x80);
    const PictureView refused = compose_output_picture(picture::yuv420(yuv.data(), 352, 288), 176, 144, 0, scratch);
    EXPECT_TRUE(black(refused, 0, 0) && black(refused, 175, 143));
}

}  // namespace
