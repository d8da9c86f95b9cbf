// VP6 key frames written by the test support's DC-only writer: the stand-in decodes them to the
// colours the writer promises, takes the crop byte off (smaller displayed size), reports the size, and
// refuses what is not a VP6 picture; a capacity one byte short writes nothing.
#include "codecs/tolmvpdecode/vp6_core.h"
#include "tests/support/signal_check.h"
#include "tests/support/vp6_writer.h"
#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>

namespace {

std::vector<uint8_t> body(uint8_t crop, const std::vector<uint8_t>& frame) {
    std::vector<uint8_t> b{crop};
    b.insert(b.end(), frame.begin(), frame.end());
    return b;
}

struct CropCase {
    int mb_cols, mb_rows;
    uint8_t crop;
};

TEST(Vp6Core, FlatBlocksDecodeToTheWritersColoursAtTheCroppedSize) {
    for (CropCase c : {CropCase{4, 3, 0x00}, CropCase{11, 9, 0x00}, CropCase{6, 5, 0x84}}) {
        SCOPED_TRACE(std::to_string(c.mb_cols) + "x" + std::to_string(c.mb_rows) + " crop " + std::to_string(c.crop));
        vp6_test::FlatPicture picture = vp6_test::pattern(c.mb_cols, c.mb_rows, c.mb_cols);
        std::vector<uint8_t> data = body(c.crop, vp6_test::key_frame(picture));
        ASSERT_GT(data.size(), 10u);
        const int w = 16 * c.mb_cols - (c.crop >> 4), h = 16 * c.mb_rows - (c.crop & 15);
        const int bytes = signal_check::stride_of(w) * h;
        vp6dec::Decoder decoder;
        ASSERT_TRUE(decoder.init());
        int dw = -1, dh = -1;
        EXPECT_FALSE(decoder.size(&dw, &dh));
        std::vector<uint8_t> out(static_cast<size_t>(bytes), 0x11);
        EXPECT_EQ(0, decoder.decode(data.data(), int(data.size()), out.data(), bytes - 1));
        for (uint8_t b : out) ASSERT_EQ(0x11, b) << "one byte short: nothing written";
        EXPECT_TRUE(decoder.size(&dw, &dh));
        EXPECT_EQ(w, dw);
        EXPECT_EQ(h, dh);
        ASSERT_EQ(bytes, decoder.decode(data.data(), int(data.size()), out.data(), bytes));
        int worst = 0;
        for (int by = 0; by < 2 * c.mb_rows; ++by)
            for (int bx = 0; bx < 2 * c.mb_cols; ++bx) {
                int x = 8 * bx + 4, y = 8 * by + 4;
                if (x >= w || y >= h) continue;
                uint8_t expected[3];
                vp6_test::centre_bgr(picture, bx, by, expected);
                const uint8_t* got = &out[size_t(y) * signal_check::stride_of(w) + size_t(3) * x];
                for (int k = 0; k < 3; ++k) worst = std::max(worst, std::abs(int(got[k]) - int(expected[k])));
            }
        EXPECT_LE(worst, 3) << "colour at a block centre";
    }
}

TEST(Vp6Core, TheWritersLevelsAreWhatTheDecoderGives) {
    for (int level : {0, 16, 100, 127, 128, 129, 200, 235, 255}) EXPECT_NEAR(level, vp6_test::decoded_level(level), 1);
    // A flat grey picture: every luma sample is the decoded level exactly.
    vp6_test::FlatPicture grey = vp6_test::pattern(2, 2, 0);
    std::fill(grey.y.begin(), grey.y.end(), 77);
    std::fill(grey.u.begin(), grey.u.end(), 128);
    std::fill(grey.v.begin(), grey.v.end(), 128);
    std::vector<uint8_t> data = body(0, vp6_test::key_frame(grey));
    vp6dec::Decoder decoder;
    ASSERT_TRUE(decoder.init());
    std::vector<uint8_t> out(size_t(signal_check::stride_of(32)) * 32);
    ASSERT_EQ(int(out.size()), decoder.decode(data.data(), int(data.size()), out.data(), int(out.size())));
    int luma = int(std::lround(16 + 219.0 * out[1] / 255.0));  // grey: B = G = R
    EXPECT_NEAR(vp6_test::decoded_level(77), luma, 1);
    EXPECT_EQ(out[0], out[1]);
    EXPECT_EQ(out[1], out[2]);
}

TEST(Vp6Core, RefusesWhatIsNotAVp6Picture) {
    vp6dec::Decoder decoder;
    uint8_t out[64];
    uint8_t one[1] = {0};
    EXPECT_EQ(-1, decoder.decode(one, 1, out, sizeof out)) << "not initialised";
    ASSERT_TRUE(decoder.init());
    EXPECT_EQ(-1, decoder.decode(one, 1, out, sizeof out)) << "shorter than crop byte and header";
    uint8_t inter[32] = {0, 0x80 | (20 << 1), 0x55, 0x12};
    EXPECT_EQ(-1, decoder.decode(inter, sizeof inter, out, sizeof out)) << "an inter frame before any key frame";
    std::vector<uint8_t> truncated = body(0, vp6_test::key_frame(vp6_test::pattern(3, 3, 1)));
    truncated.resize(7);
    EXPECT_LE(decoder.decode(truncated.data(), int(truncated.size()), out, sizeof out), 0);
    EXPECT_TRUE(vp6_test::key_frame(vp6_test::FlatPicture{}).empty());
}

}  // namespace
