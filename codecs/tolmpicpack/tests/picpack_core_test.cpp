#include "codecs/tolmpicpack/picpack_core.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<uint8_t> thumbnail_picture() {
    // A 128 x 88 picture of 3-byte pixels, as the analysis stores thumbnails.
    std::vector<uint8_t> pic(128 * 88 * 3);
    for (size_t i = 0; i < pic.size(); ++i) pic[i] = static_cast<uint8_t>((i * 7) ^ (i >> 5));
    return pic;
}

TEST(PicpackCore, RoundTripsAThumbnail) {
    auto pic = thumbnail_picture();
    std::vector<uint8_t> packed(picpack::compress_bound(pic.size()));
    uint32_t packed_len = packed.size();
    ASSERT_EQ(0, picpack::compress(packed.data(), &packed_len, pic.data(), pic.size()));
    ASSERT_LT(packed_len, pic.size());

    std::vector<uint8_t> out(pic.size() + 100);
    uint32_t out_len = pic.size();
    ASSERT_EQ(0, picpack::uncompress(out.data(), &out_len, packed.data(), packed_len));
    ASSERT_EQ(pic.size(), out_len);
    EXPECT_TRUE(std::equal(pic.begin(), pic.end(), out.begin()));
}

TEST(PicpackCore, ReportsZlibErrorCodes) {
    auto pic = thumbnail_picture();
    std::vector<uint8_t> packed(picpack::compress_bound(pic.size()));
    uint32_t packed_len = packed.size();
    ASSERT_EQ(0, picpack::compress(packed.data(), &packed_len, pic.data(), pic.size()));

    struct Case {
        const char* name;
        uint32_t src_len;
        uint32_t capacity;
        bool corrupt;
        int expected;
    } cases[] = {
        {"destination too small", packed_len, 1000, false, -5},
        {"truncated input", packed_len / 2, (uint32_t)pic.size(), false, -3},
        {"corrupt input", packed_len, (uint32_t)pic.size(), true, -3},
        {"empty input", 0, (uint32_t)pic.size(), false, -3},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> src(packed.begin(), packed.begin() + packed_len);
        if (c.corrupt) src[0] ^= 0xFF;
        std::vector<uint8_t> out(c.capacity + 1);
        uint32_t out_len = c.capacity;
        EXPECT_EQ(c.expected, picpack::uncompress(out.data(), &out_len, src.data(), c.src_len)) << c.name;
    }
}

TEST(PicpackCore, CompressIntoTooSmallBufferFails) {
    auto pic = thumbnail_picture();
    std::vector<uint8_t> packed(16);
    uint32_t packed_len = packed.size();
    EXPECT_EQ(-5, picpack::compress(packed.data(), &packed_len, pic.data(), pic.size()));
}

}  // namespace
