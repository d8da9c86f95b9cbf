// Baseline H.263 from a 3GP file (made by ffmpeg) decodes to ffmpeg's own pictures; a capacity one byte
// short writes nothing.
#include "codecs/tolmh263dec1/h263dec1_core.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"
#include "tests/support/stream_packets.h"
#include <gtest/gtest.h>

namespace {

const int W = 176, H = 144;

std::string h263_clip() {
    std::string path = media_test::fresh_path("h263dec1_clip.3gp");
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=176x144:rate=15 -t 2 -c:v h263 -g 12 "
                    "-q:v 4 '" + path + "'", &status);
    EXPECT_EQ(0, status);
    return path;
}

TEST(H263Dec1Core, PicturesMatchFfmpegsDecode) {
    std::string path = h263_clip();
    h263dec1::Decoder decoder;
    ASSERT_TRUE(decoder.init());
    media_test::PictureComparison c = media_test::compare_with_ffmpeg(
        path, W, H, [&](const uint8_t* d, int n, uint8_t* out, int cap) { return decoder.frame(d, n, out, cap); });
    EXPECT_EQ(30, c.reference);
    EXPECT_EQ(c.reference, c.pictures);
    EXPECT_GE(c.worst_psnr, 40.0);
}

TEST(H263Dec1Core, ShortCapacityAndBadDataWriteNothing) {
    std::string path = h263_clip();
    std::vector<media_test::StoredPacket> packets = media_test::video_packets(path);
    ASSERT_FALSE(packets.empty());
    const int bytes = signal_check::stride_of(W) * H;
    std::vector<uint8_t> out(size_t(bytes), 0x5A);
    h263dec1::Decoder decoder;
    ASSERT_TRUE(decoder.init());
    EXPECT_EQ(0, decoder.frame(packets[0].data.data(), int(packets[0].data.size()), out.data(), bytes - 1));
    for (uint8_t b : out) ASSERT_EQ(0x5A, b);
    EXPECT_EQ(bytes, decoder.frame(packets[1].data.data(), int(packets[1].data.size()), out.data(), bytes));
    EXPECT_EQ(-1, decoder.frame(nullptr, 10, out.data(), bytes));
    uint8_t junk[40] = {1, 2, 3};
    EXPECT_LE(decoder.frame(junk, sizeof junk, out.data(), bytes), 0);
}

}  // namespace
