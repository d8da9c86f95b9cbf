// MPEG-4 Part 2 from ffmpeg's encoder: pictures match ffmpeg's decode once the stored configuration is
// fed; a stream whose size changes announces it with -88 and goes on at the new size; a capacity one
// byte short writes nothing.
#include "codecs/tolmmpeg4decode/mpeg4_core.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"
#include "tests/support/stream_packets.h"
#include <gtest/gtest.h>

namespace {

std::string clip(const std::string& name, int w, int h, const char* format) {
    std::string path = media_test::fresh_path(name);
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=" + std::to_string(w) + "x" +
                        std::to_string(h) + ":rate=25 -t 1.2 -c:v mpeg4 -g 10 -q:v 3 -f " + format + " '" + path + "'",
                    &status);
    EXPECT_EQ(0, status);
    return path;
}

TEST(Mpeg4Core, PicturesMatchFfmpegsDecodeAfterTheStoredConfiguration) {
    std::string path = clip("mpeg4_clip.mp4", 320, 240, "mp4");
    std::vector<uint8_t> config = media_test::video_extradata(path);
    ASSERT_FALSE(config.empty()) << "the MP4 keeps the VOL apart";
    mpeg4dec::Decoder decoder;
    ASSERT_TRUE(decoder.init(320, 240));
    int intra = -1;
    EXPECT_EQ(0, decoder.decode(config.data(), int(config.size()), nullptr, 0, &intra)) << "a VOL alone";
    int pictures = 0, intras = 0;
    media_test::PictureComparison c =
        media_test::compare_with_ffmpeg(path, 320, 240, [&](const uint8_t* d, int n, uint8_t* out, int cap) {
            int r = decoder.decode(d, n, out, cap, &intra);
            if (r > 0) intras += intra, ++pictures;
            return r;
        });
    EXPECT_EQ(30, c.reference);
    EXPECT_EQ(c.reference, c.pictures);
    EXPECT_GE(c.worst_psnr, 40.0);
    EXPECT_EQ(3, intras) << "one intra picture every 10";
}

TEST(Mpeg4Core, ASizeChangeIsAnnouncedAndTheNewSizeTakesOver) {
    std::vector<media_test::StoredPacket> small = media_test::video_packets(clip("mpeg4_small.m4v", 176, 144, "m4v"));
    std::vector<media_test::StoredPacket> large = media_test::video_packets(clip("mpeg4_large.m4v", 352, 288, "m4v"));
    ASSERT_GE(small.size(), 3u);
    ASSERT_GE(large.size(), 3u);
    mpeg4dec::Decoder decoder;
    ASSERT_TRUE(decoder.init(320, 160));
    std::vector<uint8_t> buffer(1 << 20, 0);
    const int small_bytes = signal_check::stride_of(176) * 144, large_bytes = signal_check::stride_of(352) * 288;
    auto feed = [&](const media_test::StoredPacket& p, int cap) {
        return decoder.decode(p.data.data(), int(p.data.size()), buffer.data(), cap, nullptr);
    };
    EXPECT_EQ(mpeg4dec::kSizeChanged, feed(small[0], int(buffer.size()))) << "320 x 160 was only a guess";
    EXPECT_EQ(176, decoder.width());
    EXPECT_EQ(144, decoder.height());
    EXPECT_EQ(small_bytes, feed(small[1], small_bytes));
    EXPECT_EQ(0, feed(small[2], small_bytes - 1)) << "one byte short";
    std::fill(buffer.begin(), buffer.end(), 0x77);
    EXPECT_EQ(mpeg4dec::kSizeChanged, feed(large[0], small_bytes));
    for (uint8_t b : buffer) ASSERT_EQ(0x77, b) << "the larger picture is not written";
    EXPECT_EQ(352, decoder.width());
    EXPECT_EQ(288, decoder.height());
    EXPECT_EQ(large_bytes, feed(large[1], large_bytes));
    EXPECT_EQ(-1, decoder.decode(nullptr, 0, buffer.data(), large_bytes, nullptr));
    EXPECT_FALSE(decoder.init(0, 160));
}

}  // namespace
