// The picture page: the type comes from the content, key bounds are clamped, and each placement takes
// the right part of a 400 x 300 picture for a 100 x 80 and a 500 x 400 rectangle.
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "videofx/rules/picture_rules.h"

using namespace videofx;
using namespace videofx::picture_page;

namespace {

std::vector<uint8_t> bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(PictureSniff, TypeFromTheContent) {
    const std::vector<uint8_t> jfif = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1};
    std::vector<uint8_t> exif = jfif;
    std::memcpy(exif.data() + 3, "\xE1\x00\x10" "Exif", 7);
    std::vector<uint8_t> bare = jfif;
    bare[3] = 0xEE;
    std::memcpy(bare.data() + 6, "abcd", 4);
    std::vector<uint8_t> quant = bare;
    quant[3] = 0xDB;
    const auto gif87 = bytes("GIF87a\x10\0\x10\0\0\0\0\0\0\0");
    const auto gif89 = bytes(std::string("GIF89a", 6) + std::string(10, '\0'));
    const auto bmp = bytes(std::string("BM", 2) + std::string(14, '\x01'));
    const auto text = bytes("plain text, not a picture\n");
    struct Case {
        std::string path;
        std::vector<uint8_t> head;
        size_t size;
        int expected;
    } cases[] = {
        {"a.bmp", jfif, 16, kJpeg},  // a JPEG named .bmp
        {"b.gif", exif, 16, kJpeg},
        {"c.jpg", bare, 16, kJpeg},
        {"d.jpg", quant, 16, kUnknown},
        {"e.gif", gif87, 16, kGif},
        {"f.jpg", gif89, 16, kGif},
        {"g.bmp", bmp, 16, kBmp},
        {"h.txt", text, 16, kUnknown},
        {"i.bmp", bmp, 15, kTooShort},  // 15 bytes
        {"a.b", bmp, 16, kPathTooShort},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, sniff(c.path.size(), c.head.data(), c.size)) << c.path;
    EXPECT_EQ(kTooShort, sniff(5, nullptr, 0));
}

TEST(PictureKey, BoundsClampedToTheByte) {
    const KeyBounds b = key_bounds(5, 250, 128, 10);
    EXPECT_EQ(0, b.low[0]);
    EXPECT_EQ(15, b.high[0]);
    EXPECT_EQ(240, b.low[1]);
    EXPECT_EQ(255, b.high[1]);
    EXPECT_EQ(118, b.low[2]);
    EXPECT_EQ(138, b.high[2]);
    const KeyBounds zero = key_bounds(7, 8, 9, 0);
    EXPECT_EQ(7, zero.low[0]);
    EXPECT_EQ(9, zero.high[2]);
}

TEST(PicturePlacement, PartsOf400x300) {
    struct Case {
        int mode, W, H;
        PlacementSource expected;
    } cases[] = {
        {kTopLeftAligned, 100, 80, {0, 0, 100, 80, false}},
        {kTopRightAligned, 100, 80, {300, 0, 100, 80, false}},   // columns 300..399
        {kBottomLeftAligned, 100, 80, {0, 220, 100, 80, false}},
        {kBottomRightAligned, 100, 80, {300, 220, 100, 80, false}},
        {kStretched, 100, 80, {0, 0, 400, 300, true}},
        {kSmallestPart, 100, 80, {0, 0, 100, 80, false}},
        {kTopLeftAligned, 500, 400, {0, 0, 400, 300, false}},
        {kTopRightAligned, 500, 400, {0, 0, 400, 300, false}},
        {kBottomLeftAligned, 500, 400, {0, 0, 400, 300, false}},
        {kBottomRightAligned, 500, 400, {0, 0, 400, 300, false}},
        {kStretched, 500, 400, {0, 0, 400, 300, true}},
        {kSmallestPart, 500, 400, {0, 0, 400, 300, false}},
    };
    for (const Case& c : cases) {
        const PlacementSource s = placement_source(c.mode, 400, 300, c.W, c.H);
        EXPECT_EQ(c.expected.x, s.x) << c.mode << " " << c.W;
        EXPECT_EQ(c.expected.y, s.y) << c.mode << " " << c.W;
        EXPECT_EQ(c.expected.width, s.width) << c.mode << " " << c.W;
        EXPECT_EQ(c.expected.height, s.height) << c.mode << " " << c.W;
        EXPECT_EQ(c.expected.stretched, s.stretched) << c.mode << " " << c.W;
    }
}

// A 400 x 300 picture in a slot whose pixel (x, y) holds blue x & 255, green y & 255, red x >> 8.
struct PictureSlot {
    EffectSlot slot;
    PictureSlot() {
        const int stride = bgr_stride(400);
        slot.data_width = 400;
        slot.data_height = 300;
        slot.data_size = stride * 300;
        slot.data = static_cast<uint8_t*>(std::malloc(slot.data_size));
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x) {
                uint8_t* p = slot.data + y * stride + 3 * x;
                p[0] = uint8_t(x);
                p[1] = uint8_t(y);
                p[2] = uint8_t(x >> 8);
            }
    }
    ~PictureSlot() { std::free(slot.data); }
};

void expect_pixel(const CRgbImage& image, int x, int y, int sx, int sy) {
    const uint8_t* p = image.row(y) + 3 * x;
    EXPECT_EQ(uint8_t(sx), p[0]) << x << "," << y;
    EXPECT_EQ(uint8_t(sy), p[1]) << x << "," << y;
    EXPECT_EQ(uint8_t(sx >> 8), p[2]) << x << "," << y;
}

TEST(PictureOverlay, BuiltFromTheLoadedPicture) {
    PictureSlot p;
    ASSERT_TRUE(picture_loaded(p.slot));
    const CRgbImage right = build_overlay(p.slot, kTopRightAligned, 100, 80);
    ASSERT_EQ(100, right.width());
    ASSERT_EQ(80, right.height());
    expect_pixel(right, 0, 0, 300, 0);
    expect_pixel(right, 99, 79, 399, 79);
    const CRgbImage bottom = build_overlay(p.slot, kBottomRightAligned, 100, 80);
    expect_pixel(bottom, 0, 0, 300, 220);
    const CRgbImage whole = build_overlay(p.slot, kSmallestPart, 500, 400);
    ASSERT_EQ(400, whole.width());
    ASSERT_EQ(300, whole.height());
    expect_pixel(whole, 399, 299, 399, 299);
    const CRgbImage big = build_overlay(p.slot, kStretched, 500, 400);
    ASSERT_EQ(500, big.width());
    ASSERT_EQ(400, big.height());
    expect_pixel(big, 499, 399, 499 * 400 / 500, 399 * 300 / 400);  // nearest neighbour
    const CRgbImage small = build_overlay(p.slot, kStretched, 100, 80);
    ASSERT_EQ(100, small.width());
    expect_pixel(small, 99, 79, 396, 296);

    EffectSlot short_slot = p.slot;
    short_slot.data_size -= 1;  // fewer bytes than the picture needs: not loaded
    EXPECT_FALSE(picture_loaded(short_slot));
    EXPECT_TRUE(build_overlay(short_slot, kTopLeftAligned, 100, 80).empty());
    short_slot.data = nullptr;  // not owned
    EXPECT_TRUE(build_overlay(p.slot, kTopLeftAligned, 0, 80).empty());
}

}  // namespace
