// H.264 from libx264 (through ffmpeg) in MP4, its samples turned into Annex B as the program does:
// pictures match ffmpeg's decode in both layouts, delayed pictures come out at the flush, and a
// picture larger than the init size is not written while its size is reported.
#include "codecs/tolmx264decode/h264_decode_core.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"
#include "tests/support/stream_packets.h"
#include <gtest/gtest.h>
#include <cstdlib>

namespace {

const int W = 320, H = 240;

std::string clip(const std::string& name, const char* options) {
    std::string path = media_test::fresh_path(name);
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=320x240:rate=25 -t 1.2 -c:v libx264 "
                    "-pix_fmt yuv420p -g 12 " + std::string(options) + " '" + path + "'", &status);
    EXPECT_EQ(0, status);
    return path;
}

uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

// 4-byte NAL lengths to start codes (what the program's branches do before decoding).
std::vector<uint8_t> annex_b(const uint8_t* data, int size) {
    std::vector<uint8_t> out(data, data + size);
    for (size_t pos = 0; pos + 4 <= out.size();) {
        uint32_t n = be32(&out[pos]);
        out[pos] = out[pos + 1] = out[pos + 2] = 0;
        out[pos + 3] = 1;
        pos += 4 + n;
    }
    return out;
}

// The avcC record's first SPS and PPS, each behind a start code.
std::vector<uint8_t> parameter_sets(const std::vector<uint8_t>& avcc) {
    std::vector<uint8_t> out;
    size_t pos = 5;
    for (int set = 0; set < 2 && pos < avcc.size(); ++set) {
        int count = avcc[pos++] & (set == 0 ? 0x1F : 0xFF);
        for (int i = 0; i < count && pos + 2 <= avcc.size(); ++i) {
            size_t n = size_t(avcc[pos]) << 8 | avcc[pos + 1];
            pos += 2;
            out.insert(out.end(), {0, 0, 0, 1});
            out.insert(out.end(), avcc.begin() + long(pos), avcc.begin() + long(pos + n));
            pos += n;
        }
    }
    return out;
}

TEST(H264DecodeCore, PicturesMatchFfmpegsDecodeAndDelayedOnesComeOutAtTheFlush) {
    for (const char* options : {"-bf 0", "-bf 2"}) {
        SCOPED_TRACE(options);
        std::string path = clip(std::string("h264_") + (options[4] == '0' ? "nob" : "b") + ".mp4", options);
        h264dec::Decoder decoder;
        ASSERT_TRUE(decoder.init(W, H));
        std::vector<uint8_t> sets = parameter_sets(media_test::video_extradata(path));
        std::vector<uint8_t> out(size_t(signal_check::stride_of(W)) * H);
        EXPECT_EQ(0, decoder.decode(sets.data(), int(sets.size()), out.data(), libav::Layout::kBgr24));
        int w = 0, h = 0;
        EXPECT_FALSE(decoder.size(&w, &h)) << "no picture yet";
        media_test::PictureComparison c =
            media_test::compare_with_ffmpeg(path, W, H, [&](const uint8_t* d, int n, uint8_t* o, int) {
                std::vector<uint8_t> nal = annex_b(d, n);
                return decoder.decode(nal.data(), int(nal.size()), o, libav::Layout::kBgr24);
            });
        EXPECT_EQ(30, c.reference);
        EXPECT_GE(c.worst_psnr, 40.0);
        int flushed = 0;
        while (decoder.decode(nullptr, 0, out.data(), libav::Layout::kBgr24) > 0 && flushed < 10) ++flushed;
        EXPECT_EQ(c.reference, c.pictures + flushed);
        if (options[4] == '0') {
            EXPECT_EQ(0, flushed) << "without B-frames every picture comes out at once";
        }
        EXPECT_TRUE(decoder.size(&w, &h));
        EXPECT_EQ(W, w);
        EXPECT_EQ(H, h);
    }
}

TEST(H264DecodeCore, Yuy2PicturesMatchFfmpegsYuyv422) {
    std::string path = clip("h264_yuy2.mp4", "-bf 0");
    std::string raw = media_test::run("ffmpeg -nostdin -v error -i '" + path +
                                      "' -sws_flags bilinear -pix_fmt yuyv422 -f rawvideo - 2>/dev/null");
    const size_t bytes = size_t(2) * W * H;
    ASSERT_EQ(30 * bytes, raw.size());
    h264dec::Decoder decoder;
    ASSERT_TRUE(decoder.init(W, H));
    std::vector<uint8_t> sets = parameter_sets(media_test::video_extradata(path));
    std::vector<uint8_t> out(bytes);
    decoder.decode(sets.data(), int(sets.size()), out.data(), libav::Layout::kYuy2);
    size_t picture = 0;
    for (const media_test::StoredPacket& p : media_test::video_packets(path)) {
        std::vector<uint8_t> nal = annex_b(p.data.data(), int(p.data.size()));
        ASSERT_EQ(int(bytes), decoder.decode(nal.data(), int(nal.size()), out.data(), libav::Layout::kYuy2));
        const uint8_t* ref = reinterpret_cast<const uint8_t*>(raw.data()) + picture * bytes;
        int luma_diff = 0, chroma_diff = 0;
        for (size_t i = 0; i < bytes; ++i) {
            int d = std::abs(int(out[i]) - int(ref[i]));
            (i % 2 == 0 ? luma_diff : chroma_diff) = std::max(i % 2 == 0 ? luma_diff : chroma_diff, d);
        }
        EXPECT_EQ(0, luma_diff) << "picture " << picture;
        EXPECT_LE(chroma_diff, 3) << "picture " << picture;
        ++picture;
    }
    EXPECT_EQ(30u, picture);
}

TEST(H264DecodeCore, APictureLargerThanTheInitSizeIsNotWrittenButItsSizeIsKnown) {
    std::string path = clip("h264_large.mp4", "-bf 0");
    h264dec::Decoder decoder;
    ASSERT_TRUE(decoder.init(160, 120));
    std::vector<uint8_t> sets = parameter_sets(media_test::video_extradata(path));
    std::vector<uint8_t> out(size_t(signal_check::stride_of(W)) * H, 0x44);
    decoder.decode(sets.data(), int(sets.size()), out.data(), libav::Layout::kBgr24);
    std::vector<media_test::StoredPacket> packets = media_test::video_packets(path);
    std::vector<uint8_t> nal = annex_b(packets[0].data.data(), int(packets[0].data.size()));
    EXPECT_EQ(0, decoder.decode(nal.data(), int(nal.size()), out.data(), libav::Layout::kBgr24));
    EXPECT_EQ(0, decoder.decode(nal.data(), int(nal.size()), out.data(), libav::Layout::kYuy2));
    for (uint8_t b : out) ASSERT_EQ(0x44, b);
    int w = 0, h = 0;
    EXPECT_TRUE(decoder.size(&w, &h));
    EXPECT_EQ(W, w);
    EXPECT_EQ(H, h);
    EXPECT_FALSE(decoder.init(0, 0));
    h264dec::Decoder unopened;
    EXPECT_EQ(-1, unopened.decode(nal.data(), int(nal.size()), out.data(), libav::Layout::kBgr24));
}

}  // namespace
