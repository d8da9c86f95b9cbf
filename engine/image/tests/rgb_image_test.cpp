// CRgbImage: strides, fill, nearest-neighbour scaling and clipped, keyed copies at the widths the
// program meets, with the row fill bytes checked and ASan guarding the buffers.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "engine/image/rgb_image.h"

namespace {

const int kWidths[] = {1, 3, 4, 176, 177, 352, 720};
const int kHeights[] = {1, 2, 7};

uint8_t pattern(int x, int y, int channel) { return uint8_t(x * 7 + y * 13 + channel * 101 + (x >> 8) * 31); }

CRgbImage patterned(int width, int height) {
    CRgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) image.row(y)[3 * x + c] = pattern(x, y, c);
    return image;
}

// Every row's bytes after the last pixel hold `value`.
::testing::AssertionResult fill_bytes_are(const CRgbImage& image, uint8_t value) {
    for (int y = 0; y < image.height(); ++y)
        for (int i = image.width() * 3; i < image.stride(); ++i)
            if (image.row(y)[i] != value)
                return ::testing::AssertionFailure() << "row " << y << " fill byte " << i << " = " << int(image.row(y)[i]);
    return ::testing::AssertionSuccess();
}

void set_fill_bytes(CRgbImage& image, uint8_t value) {
    for (int y = 0; y < image.height(); ++y)
        for (int i = image.width() * 3; i < image.stride(); ++i) image.row(y)[i] = value;
}

}  // namespace

TEST(RgbImage, StrideAndFill) {
    EXPECT_EQ(CRgbImage::StrideFor(1), 4);
    EXPECT_EQ(CRgbImage::StrideFor(4), 12);
    EXPECT_EQ(CRgbImage::StrideFor(5), 16);
    for (int w : kWidths) {
        CRgbImage image(w, 3, 0x123456);
        EXPECT_EQ(image.stride(), CRgbImage::StrideFor(w));
        EXPECT_EQ(image.byte_size(), size_t(image.stride()) * 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x) {
                EXPECT_EQ(image.row(y)[3 * x], 0x56);
                EXPECT_EQ(image.row(y)[3 * x + 2], 0x12);
            }
        EXPECT_TRUE(fill_bytes_are(image, 0));
    }
    CRgbImage black(5, 2);
    for (size_t i = 0; i < black.byte_size(); ++i) ASSERT_EQ(black.pixels()[i], 0);
}

TEST(RgbImage, InvalidSizesGiveAnEmptyImage) {
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-3, 4}, {CRgbImage::kMaxSide + 1, 1}}) {
        CRgbImage image(w, h, 0xFFFFFF);
        EXPECT_TRUE(image.empty());
        EXPECT_EQ(image.width(), 0);
        EXPECT_EQ(image.byte_size(), 0u);
    }
    CRgbImage image(4, 4);
    EXPECT_FALSE(CRgbImage::Scale(image, 0, 3));
    EXPECT_FALSE(CRgbImage::Scale(image, 3, -1));
    EXPECT_EQ(image.width(), 4);
}

TEST(RgbImage, CopyAndAssignmentOwnTheirPixels) {
    CRgbImage a = patterned(177, 3);
    CRgbImage b(a);
    CRgbImage c(1, 1);
    c = a;
    c = c;
    a.row(0)[0] ^= 0xFF;
    for (const CRgbImage* copy : {&b, &c}) {
        EXPECT_EQ(copy->width(), 177);
        EXPECT_EQ(copy->stride(), a.stride());
        EXPECT_EQ(copy->row(0)[0], pattern(0, 0, 0));
        EXPECT_EQ(std::memcmp(copy->row(2), a.row(2), size_t(a.stride())), 0);
    }
}

TEST(RgbImage, ScaleSmallCases) {
    CRgbImage four = patterned(4, 1);
    ASSERT_TRUE(CRgbImage::Scale(four, 2, 1));
    EXPECT_EQ(four.row(0)[0], pattern(0, 0, 0));
    EXPECT_EQ(four.row(0)[3], pattern(2, 0, 0));
    CRgbImage two = patterned(2, 1);
    ASSERT_TRUE(CRgbImage::Scale(two, 4, 1));
    for (int x = 0; x < 4; ++x) EXPECT_EQ(two.row(0)[3 * x + 1], pattern(x / 2, 0, 1)) << x;
}

TEST(RgbImage, ScaleBetweenEveryWidth) {
    for (int sw : kWidths)
        for (int sh : kHeights)
            for (int dw : kWidths)
                for (int dh : kHeights) {
                    CRgbImage image = patterned(sw, sh);
                    ASSERT_TRUE(CRgbImage::Scale(image, dw, dh));
                    ASSERT_EQ(image.width(), dw);
                    ASSERT_EQ(image.height(), dh);
                    ASSERT_EQ(image.stride(), CRgbImage::StrideFor(dw));
                    for (int y = 0; y < dh; ++y)
                        for (int x = 0; x < dw; ++x)
                            for (int c = 0; c < 3; ++c)
                                ASSERT_EQ(image.row(y)[3 * x + c], pattern(x * sw / dw, y * sh / dh, c))
                                    << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << x << "," << y;
                    ASSERT_TRUE(fill_bytes_are(image, 0)) << sw << "x" << sh << " -> " << dw << "x" << dh;
                }
}

// Scaling into another image gives the pixels of the formula above, leaves the source as it was and,
// for a second picture of the same sizes, writes into the pixels the destination already has.
TEST(RgbImage, ScaleFromIntoAReusedDestination) {
    const int sizes[][4] = {{720, 7, 176, 2}, {3, 2, 177, 7}, {352, 7, 352, 7}};
    for (const auto& z : sizes) {
        const CRgbImage source = patterned(z[0], z[1]);
        CRgbImage dest(5, 5);
        ASSERT_TRUE(CRgbImage::ScaleFrom(dest, source, z[2], z[3]));
        const uint8_t* kept = dest.pixels();
        ASSERT_TRUE(CRgbImage::ScaleFrom(dest, source, z[2], z[3]));
        EXPECT_EQ(kept, dest.pixels());
        ASSERT_EQ(z[2], dest.width());
        ASSERT_EQ(z[3], dest.height());
        for (int y = 0; y < z[3]; ++y)
            for (int x = 0; x < z[2]; ++x)
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(dest.row(y)[3 * x + c], pattern(x * z[0] / z[2], y * z[1] / z[3], c));
        EXPECT_TRUE(fill_bytes_are(dest, 0));
        EXPECT_EQ(source.row(z[1] - 1)[3 * (z[0] - 1)], pattern(z[0] - 1, z[1] - 1, 0));
    }
    CRgbImage dest(2, 2);
    EXPECT_FALSE(CRgbImage::ScaleFrom(dest, CRgbImage(0, 0), 4, 4));
    EXPECT_FALSE(CRgbImage::ScaleFrom(dest, dest, 4, 4));
    EXPECT_EQ(2, dest.width());
}

// From a view at a wider stride than its rows (a decoder's buffer), and into a rectangle of a larger
// picture: the same pixels as from the image itself, the rest of the destination untouched; views of
// another layout, of the destination's own pixels and rectangles outside are refused.
TEST(RgbImage, ScaleFromAViewAndIntoARectangle) {
    const CRgbImage source = patterned(33, 17);
    std::vector<uint8_t> wide(size_t(200) * 17, 0xAB);
    for (int y = 0; y < 17; ++y) std::memcpy(wide.data() + size_t(200) * y, source.row(y), 33 * 3);
    const PictureView strided{wide.data(), 33, 17, 200, PixelFormat::kBgr24};
    CRgbImage a(0, 0), b(0, 0);
    ASSERT_TRUE(CRgbImage::ScaleFrom(a, source, 20, 9));
    ASSERT_TRUE(CRgbImage::ScaleFrom(b, strided, 20, 9));
    EXPECT_EQ(0, std::memcmp(a.pixels(), b.pixels(), a.byte_size()));

    CRgbImage canvas(30, 12, 0x123456);
    ASSERT_TRUE(CRgbImage::ScaleInto(canvas, 6, 2, strided, 20, 9));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool inside = x >= 6 && x < 26 && y >= 2 && y < 11;
            const uint8_t* p = canvas.row(y) + 3 * x;
            if (inside)
                ASSERT_EQ(0, std::memcmp(p, a.row(y - 2) + 3 * (x - 6), 3)) << x << "," << y;
            else
                ASSERT_TRUE(p[0] == 0x56 && p[1] == 0x34 && p[2] == 0x12) << x << "," << y;
        }
    EXPECT_TRUE(fill_bytes_are(canvas, 0));
    EXPECT_FALSE(CRgbImage::ScaleInto(canvas, 11, 2, strided, 20, 9)) << "one column past the right edge";
    EXPECT_FALSE(CRgbImage::ScaleInto(canvas, 6, 4, strided, 20, 9)) << "one row past the bottom";
    EXPECT_FALSE(CRgbImage::ScaleInto(canvas, -1, 0, strided, 2, 2));
    PictureView inner = canvas.view();
    inner.data += canvas.stride();
    inner.height -= 1;
    EXPECT_FALSE(CRgbImage::ScaleInto(canvas, 0, 0, inner, 4, 4)) << "a view of the destination's own pixels";
    EXPECT_FALSE(CRgbImage::ScaleFrom(canvas, inner, 4, 4));
    EXPECT_EQ(30, canvas.width());
    std::vector<uint8_t> yuv(33 * 17 * 2, 0);
    EXPECT_FALSE(CRgbImage::ScaleFrom(b, picture::yuv420(yuv.data(), 33, 17), 20, 9)) << "not B,G,R";
}

TEST(RgbImage, BlitCopiesAndClipsAtEveryWidth) {
    for (int w : kWidths) {
        SCOPED_TRACE(w);
        const int h = 5;
        CRgbImage source = patterned(w, h);
        CRgbImage dest(w, h, 0x0000FF);
        set_fill_bytes(dest, 0xA5);
        // Whole picture.
        CRgbImage::Blit(dest, 0, 0, source, {0, 0, w, h}, 0);
        for (int y = 0; y < h; ++y) ASSERT_EQ(std::memcmp(dest.row(y), source.row(y), size_t(w) * 3), 0);
        EXPECT_TRUE(fill_bytes_are(dest, 0xA5));
        // Placed at the middle: clipped on the right and at the bottom.
        CRgbImage clipped(w, h, 0x0000FF);
        set_fill_bytes(clipped, 0xA5);
        const int ox = w / 2, oy = 2;
        CRgbImage::Blit(clipped, ox, oy, source, {0, 0, w, h}, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                bool copied = x >= ox && y >= oy;
                uint8_t expected = copied ? pattern(x - ox, y - oy, 0) : 0xFF;
                ASSERT_EQ(clipped.row(y)[3 * x], expected) << x << "," << y;
            }
        EXPECT_TRUE(fill_bytes_are(clipped, 0xA5));
        // Negative position moves the rectangle's corner.
        CRgbImage shifted(w, h);
        CRgbImage::Blit(shifted, -1, -2, source, {0, 0, w, h}, 0);
        if (w > 1) {
            EXPECT_EQ(shifted.row(0)[0], pattern(1, 2, 0));
        }
        EXPECT_EQ(shifted.row(h - 1)[0], 0);  // rows below the copied part stay as they were
    }
}

TEST(RgbImage, BlitThatCannotCopyLeavesTheDestination) {
    CRgbImage source = patterned(176, 8);
    const CRgbImage untouched(176, 8, 0x010203);
    struct Case {
        const char* name;
        int x, y;
        RgbRect rect;
    } cases[] = {
        {"right beyond the source", 0, 0, {0, 0, 177, 8}},
        {"bottom beyond the source", 0, 0, {0, 0, 176, 9}},
        {"negative left", 0, 0, {-1, 0, 10, 8}},
        {"negative top", 0, 0, {0, -1, 10, 8}},
        {"reversed rectangle", 0, 0, {20, 0, 10, 8}},
        {"empty rectangle", 0, 0, {10, 3, 10, 3}},
        {"x past the destination", 176, 0, {0, 0, 10, 8}},
        {"y past the destination", 0, 9, {0, 0, 10, 8}},
        {"negative x wider than the rectangle", -50, 0, {0, 0, 10, 8}},
        {"negative y taller than the rectangle", 0, -50, {0, 0, 10, 8}},
        {"extreme negative position", INT32_MIN, INT32_MIN, {0, 0, 176, 8}},
        {"extreme positive position", INT32_MAX, INT32_MAX, {0, 0, 176, 8}},
    };
    for (const Case& c : cases) {
        CRgbImage dest(untouched);
        CRgbImage::Blit(dest, c.x, c.y, source, c.rect, 0);
        CRgbImage::Blit(dest, c.x, c.y, source, c.rect, CRgbImage::kBlitKeyed);
        EXPECT_EQ(std::memcmp(dest.pixels(), untouched.pixels(), dest.byte_size()), 0) << c.name;
    }
}

TEST(RgbImage, KeyedBlitSkipsTheKeyColour) {
    CRgbImage source(3, 1, 0x00FF00);
    source.row(0)[3] = 0x11;  // pixel 1 differs from the key
    CRgbImage dest(3, 1, 0x0000AA);
    CRgbImage::SetKeyColor(0x00FF00);
    CRgbImage::Blit(dest, 0, 0, source, {0, 0, 3, 1}, CRgbImage::kBlitKeyed);
    EXPECT_EQ(dest.row(0)[0], 0xAA);
    EXPECT_EQ(dest.row(0)[3], 0x11);
    EXPECT_EQ(dest.row(0)[6], 0xAA);
    CRgbImage::SetKeyColor(0);
}

TEST(RgbImage, BlitWithinOneImage) {
    CRgbImage image = patterned(8, 8);
    CRgbImage original(image);
    CRgbImage::Blit(image, 1, 2, image, {0, 0, 7, 6}, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(image.row(y + 2)[3 * (x + 1)], original.row(y)[3 * x]) << x << "," << y;
}

TEST(RgbImage, BitmapHeaderIsTopDown24Bit) {
    CRgbImage image(177, 10);
    DibInfoHeader h;
    CRgbImage::GetBitmapInfo(image, &h);
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.width, 177);
    EXPECT_EQ(h.height, -10);
    EXPECT_EQ(h.planes, 1);
    EXPECT_EQ(h.bit_count, 24);
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(h.size_image, 532u * 10u);
    EXPECT_EQ(h.clr_used, 0u);
}

TEST(RgbImage, FlipMirrorAtEveryWidth) {
    for (int w : kWidths)
        for (int h : {1, 2, 3, 7}) {
            const CRgbImage original = patterned(w, h);
            for (int flags : {CRgbImage::kFlip, CRgbImage::kMirror, CRgbImage::kFlip | CRgbImage::kMirror}) {
                CRgbImage image(original);
                set_fill_bytes(image, 0xA5);
                CRgbImage::FlipMirror(image, flags);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const int sy = flags & CRgbImage::kFlip ? h - 1 - y : y;
                        const int sx = flags & CRgbImage::kMirror ? w - 1 - x : x;
                        for (int c = 0; c < 3; ++c)
                            ASSERT_EQ(image.row(y)[3 * x + c], pattern(sx, sy, c))
                                << w << "x" << h << " flags " << flags << " at " << x << "," << y;
                    }
                // Flipping moves whole rows, fill bytes included; mirroring leaves them.
                EXPECT_TRUE(fill_bytes_are(image, 0xA5));
            }
        }
}

TEST(RgbImage, BitmapToRgbGivesBottomUpRowsAndRefusesAShortBuffer) {
    CRgbImage image = patterned(5, 3);  // stride 16
    const CRgbImage original(image);
    std::vector<uint8_t> buffer(48 + 1, 0xEE);
    EXPECT_EQ(CRgbImage::BitmapToRgb(image, buffer.data(), 47), -1);
    EXPECT_EQ(std::memcmp(image.pixels(), original.pixels(), original.byte_size()), 0);  // not flipped
    EXPECT_EQ(buffer[0], 0xEE);

    EXPECT_EQ(CRgbImage::BitmapToRgb(image, buffer.data(), 48), 48);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(std::memcmp(&buffer[size_t(16 * y)], original.row(2 - y), 16), 0) << y;
        EXPECT_EQ(std::memcmp(image.row(y), original.row(2 - y), 16), 0) << y;  // the image stays flipped
    }
    EXPECT_EQ(buffer[48], 0xEE);
}
