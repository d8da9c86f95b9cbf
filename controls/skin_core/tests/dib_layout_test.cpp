#include "controls/skin_core/dib_layout.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

std::vector<uint8_t> info_header(uint32_t header_size, int bpp, uint32_t compression, uint32_t colours_used,
                                 size_t total) {
    std::vector<uint8_t> dib(total, 0);
    auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) dib[at + i] = (uint8_t)(v >> (8 * i)); };
    put32(0, header_size);
    put32(4, 4);
    put32(8, 4);
    dib[12] = 1;
    dib[14] = (uint8_t)bpp;
    put32(16, compression);
    put32(32, colours_used);
    return dib;
}

TEST(DibLayout, BitsOffsetFollowsHeaderPaletteAndMasks) {
    struct Case { const char* what; uint32_t header; int bpp; uint32_t compression, used; uint32_t want; };
    const Case cases[] = {
        {"8 bit, full palette", 40, 8, 0, 0, 40 + 1024},
        {"8 bit, short palette", 40, 8, 0, 16, 40 + 64},
        {"4 bit, full palette", 40, 4, 0, 0, 40 + 64},
        {"1 bit", 40, 1, 0, 0, 40 + 8},
        {"24 bit, no palette", 40, 24, 0, 0, 40},
        {"24 bit with a palette hint", 40, 24, 0, 3, 40 + 12},
        {"16 bit bitfields", 40, 16, 3, 0, 40 + 12},
        {"32 bit bitfields", 40, 32, 3, 0, 40 + 12},
        {"V5 header, masks inside", 124, 32, 3, 0, 124},
        {"V4 header, 8 bit", 108, 8, 0, 0, 108 + 1024},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> dib = info_header(c.header, c.bpp, c.compression, c.used, 2000);
        uint32_t offset = 0;
        ASSERT_TRUE(skin::dib_bits_offset(dib.data(), dib.size(), &offset)) << c.what;
        EXPECT_EQ(c.want, offset) << c.what;
    }
}

TEST(DibLayout, MalformedHeadersAreRefused) {
    uint32_t offset;
    std::vector<uint8_t> ok = info_header(40, 8, 0, 0, 2000);
    EXPECT_FALSE(skin::dib_bits_offset(ok.data(), 3, &offset));             // no header size
    EXPECT_FALSE(skin::dib_bits_offset(ok.data(), 40 + 1023, &offset));      // palette cut short
    EXPECT_FALSE(skin::dib_bits_offset(nullptr, 100, &offset));
    std::vector<uint8_t> big = info_header(5000, 8, 0, 0, 2000);
    EXPECT_FALSE(skin::dib_bits_offset(big.data(), big.size(), &offset));    // header beyond the data
    std::vector<uint8_t> depth = info_header(40, 7, 0, 0, 2000);
    EXPECT_FALSE(skin::dib_bits_offset(depth.data(), depth.size(), &offset));
    std::vector<uint8_t> used = info_header(40, 4, 0, 17, 2000);
    EXPECT_FALSE(skin::dib_bits_offset(used.data(), used.size(), &offset)); // more colours than 4 bits hold
    std::vector<uint8_t> tiny = info_header(40, 8, 0, 0, 40);
    tiny[0] = 11;
    EXPECT_FALSE(skin::dib_bits_offset(tiny.data(), tiny.size(), &offset));
}

TEST(DibLayout, FileImageHasTheBitmapFileHeader) {
    std::vector<uint8_t> dib = info_header(40, 8, 0, 16, 40 + 64 + 16);
    std::vector<uint8_t> file = skin::bitmap_file_image(dib.data(), dib.size());
    ASSERT_EQ(dib.size() + 14, file.size());
    EXPECT_EQ('B', file[0]);
    EXPECT_EQ('M', file[1]);
    uint32_t size, offset;
    memcpy(&size, &file[2], 4);
    memcpy(&offset, &file[10], 4);
    EXPECT_EQ(dib.size() + 14, size);
    EXPECT_EQ(14u + 40 + 64, offset);
    EXPECT_EQ(0, memcmp(dib.data(), &file[14], dib.size()));
    EXPECT_TRUE(skin::bitmap_file_image(dib.data(), 20).empty());
}

TEST(DibLayout, KeyTo565) {
    EXPECT_EQ(0xF81F, skin::key_to_565(0xFF00FF));
    EXPECT_EQ(0x0000, skin::key_to_565(0x000000));
    EXPECT_EQ(0xFFFF, skin::key_to_565(0xFFFFFF));
    EXPECT_EQ(0x07E0, skin::key_to_565(0x00FF00));
}

TEST(DibLayout, RegionRunsSkipKeyPixels) {
    // 4x2, 24 bits, bottom-up: the top image row is the second stored row.
    const uint8_t k[3] = {0, 0, 0}, w[3] = {255, 255, 255};
    std::vector<uint8_t> bits;
    auto px = [&](const uint8_t* p) { bits.insert(bits.end(), p, p + 3); };
    px(w); px(w); px(k); px(w);  // bottom row: run 0..2 and 3..4
    px(k); px(w); px(w); px(k);  // top row: run 1..3
    skin::PixelRows img;
    img.width = 4; img.height = 2; img.bits_per_pixel = 24; img.bits = bits.data(); img.stride = 12;
    std::vector<skin::Rect> r = skin::key_region_runs(img, 0x000000);
    ASSERT_EQ(3u, r.size());
    EXPECT_EQ(1, r[0].left); EXPECT_EQ(0, r[0].top); EXPECT_EQ(3, r[0].right); EXPECT_EQ(1, r[0].bottom);
    EXPECT_EQ(0, r[1].left); EXPECT_EQ(1, r[1].top); EXPECT_EQ(2, r[1].right);
    EXPECT_EQ(3, r[2].left); EXPECT_EQ(4, r[2].right);
}

TEST(DibLayout, RegionRunsPerDepth) {
    // All-key images give no rectangles; 16 bits compare with the 5-6-5 key; 8 bits with the palette.
    uint16_t magenta565[3] = {0xF81F, 0xF81F, 0x001F};
    skin::PixelRows img16;
    img16.width = 3; img16.height = 1; img16.bits_per_pixel = 16;
    img16.bits = (const uint8_t*)magenta565; img16.stride = 8;
    std::vector<skin::Rect> r16 = skin::key_region_runs(img16, 0xFF00FF);
    ASSERT_EQ(1u, r16.size());
    EXPECT_EQ(2, r16[0].left);

    uint32_t palette[2] = {0x00FF00FF, 0x00000000};  // RGBQUAD order: magenta, black
    uint8_t indexes[4] = {1, 1, 1, 1};
    skin::PixelRows img8;
    img8.width = 4; img8.height = 1; img8.bits_per_pixel = 8; img8.bits = indexes; img8.stride = 4;
    img8.palette = palette; img8.palette_count = 2;
    EXPECT_TRUE(skin::key_region_runs(img8, 0x000000).empty());
    indexes[2] = 0;
    ASSERT_EQ(1u, skin::key_region_runs(img8, 0x000000).size());
    indexes[3] = 9;  // an index beyond the palette is not the key
    EXPECT_EQ(1u, skin::key_region_runs(img8, 0x000000).size());

    uint8_t quad[8] = {1, 2, 3, 0, 1, 2, 3, 0};
    skin::PixelRows img32;
    img32.width = 2; img32.height = 1; img32.bits_per_pixel = 32; img32.bits = quad; img32.stride = 8;
    EXPECT_TRUE(skin::key_region_runs(img32, skin::rgb(3, 2, 1)).empty());
    img32.bits_per_pixel = 4;
    EXPECT_TRUE(skin::key_region_runs(img32, 0).empty());
}

}  // namespace
