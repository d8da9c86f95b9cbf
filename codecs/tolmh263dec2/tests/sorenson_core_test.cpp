// Sorenson H.263 from FLV files made by ffmpeg: the header alone gives the size (standard, 8-bit and
// 16-bit custom sizes) without changing the decoder; pictures match ffmpeg's decode; a capacity one
// byte short writes nothing.
#include "codecs/tolmh263dec2/sorenson_core.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"
#include "tests/support/stream_packets.h"
#include <gtest/gtest.h>

namespace {

std::string flv_clip(int w, int h) {
    std::string path = media_test::fresh_path("sorenson_" + std::to_string(w) + "x" + std::to_string(h) + ".flv");
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=" + std::to_string(w) + "x" +
                        std::to_string(h) + ":rate=15 -t 2 -c:v flv -g 12 -q:v 4 '" + path + "'",
                    &status);
    EXPECT_EQ(0, status);
    return path;
}

struct SizeCase {
    int width, height;
};

TEST(SorensonCore, HeaderAloneGivesTheSizeAndPicturesMatchFfmpeg) {
    for (SizeCase c : {SizeCase{176, 144}, SizeCase{200, 150}, SizeCase{400, 300}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        std::string path = flv_clip(c.width, c.height);
        std::vector<media_test::StoredPacket> packets = media_test::video_packets(path);
        ASSERT_FALSE(packets.empty());
        int w = 0, h = 0;
        ASSERT_TRUE(sorenson::read_header(packets[0].data.data(), int(packets[0].data.size()), &w, &h));
        EXPECT_EQ(c.width, w);
        EXPECT_EQ(c.height, h);

        sorenson::Decoder decoder;
        ASSERT_TRUE(decoder.init());
        EXPECT_EQ(0, decoder.width());
        EXPECT_EQ(0, decoder.set_display_mode(0));
        EXPECT_EQ(-1, decoder.set_display_mode(1));
        bool first = true;
        media_test::PictureComparison result = media_test::compare_with_ffmpeg(
            path, c.width, c.height, [&](const uint8_t* d, int n, uint8_t* out, int cap) {
                if (first) {
                    first = false;
                    EXPECT_EQ(0, decoder.frame(d, n, nullptr, 0)) << "header only";
                    EXPECT_EQ(c.width, decoder.width());
                    EXPECT_EQ(c.height, decoder.height());
                }
                return decoder.frame(d, n, out, cap);
            });
        EXPECT_EQ(30, result.reference);
        EXPECT_EQ(result.reference, result.pictures) << "the header read changed nothing";
        EXPECT_GE(result.worst_psnr, 40.0);
    }
}

TEST(SorensonCore, RefusalsAndShortCapacity) {
    uint8_t not_a_header[8] = {0, 0, 0x40, 0, 0, 0, 0, 0};  // start code with version 2
    int w = 0, h = 0;
    EXPECT_FALSE(sorenson::read_header(not_a_header, sizeof not_a_header, &w, &h));
    uint8_t too_short[3] = {0, 0, 0x84};
    EXPECT_FALSE(sorenson::read_header(too_short, sizeof too_short, &w, &h));

    std::string path = flv_clip(176, 144);
    std::vector<media_test::StoredPacket> packets = media_test::video_packets(path);
    sorenson::Decoder decoder;
    ASSERT_TRUE(decoder.init());
    EXPECT_EQ(-1, decoder.frame(not_a_header, sizeof not_a_header, nullptr, 0));
    const int bytes = signal_check::stride_of(176) * 144;
    std::vector<uint8_t> out(static_cast<size_t>(bytes), 0x33);
    EXPECT_EQ(0, decoder.frame(packets[0].data.data(), int(packets[0].data.size()), out.data(), bytes - 1));
    for (uint8_t b : out) ASSERT_EQ(0x33, b);
    EXPECT_EQ(176, decoder.width()) << "the size is known even though the picture did not fit";
    EXPECT_EQ(bytes, decoder.frame(packets[1].data.data(), int(packets[1].data.size()), out.data(), bytes));
}

}  // namespace
