// The AVI picture player against ffmpeg: clips made by ffmpeg at test time in every code the player
// takes (MPEG-4 Part 2 with and without B-frames, Motion JPEG, H.263, H.264 in AVI and raw), read
// chunk by chunk with the program's AVI reader, give exactly the pictures `ffmpeg -pix_fmt bgr24`
// gives, in order, with the delayed ones at the flush; the code table; frames of another size than
// the picture cropped or filled black and never overrun; garbage refused without harm.
#include "codecs/tolmdivxplay/divx_core.h"
#include "media/avi/avilib.h"
#include "tests/support/media_check.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"
#include "tests/support/stream_packets.h"
#include <gtest/gtest.h>
#include <cstring>
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

constexpr uint8_t kGuard = 0xA5;
constexpr size_t kGuardBytes = 4096;

std::string make(const std::string& name, const std::string& arguments) {
    std::string path = media_test::fresh_path(name);
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error " + arguments + " '" + path + "'", &status);
    EXPECT_EQ(0, status) << name;
    return path;
}

std::vector<uint8_t> description(const char* code, int width, int height) {
    std::vector<uint8_t> d(divx::kDescriptionBytes, 0);
    media_test::put_le32(&d[40], uint32_t(width));
    media_test::put_le32(&d[44], uint32_t(height));
    std::memcpy(&d[56], code, 4);
    return d;
}

// A clip's stored pictures and the description the stream parser gives for it.
struct Clip {
    std::vector<uint8_t> description;
    std::vector<std::vector<uint8_t>> chunks;
    int width = 0, height = 0;
};

// Through the program's AVI reader: the description's size and code, each video chunk as stored.
Clip avi_clip(const std::string& path) {
    Clip clip;
    AviFile* avi = AVI_open_input_file(path.c_str(), 1);
    EXPECT_NE(nullptr, avi) << path;
    if (!avi) return clip;
    clip.width = avi->width;
    clip.height = avi->height;
    clip.description = description(avi->compressor, avi->width, avi->height);
    std::vector<uint8_t> bytes = media_test::read_file(path);
    for (int i = 0; i < avi->frame_count; ++i) {
        const AviVideoEntry& e = avi->video_entries[i];
        EXPECT_LE(size_t(e.pos) + e.length, bytes.size());
        clip.chunks.emplace_back(bytes.begin() + long(e.pos), bytes.begin() + long(e.pos + e.length));
    }
    AVI_close(avi);
    return clip;
}

// Every picture the player gives for the clip (at the clip's size), then those of the flush.
struct Played {
    std::vector<std::vector<uint8_t>> pictures;
    std::vector<int> keys;
    int delayed = 0;  // pictures that came out only at the flush
};

Played play(const Clip& clip, int width, int height) {
    Played out;
    divx::Player player;
    EXPECT_TRUE(player.init(clip.description.data()));
    const size_t bytes = size_t(signal_check::stride_of(width)) * size_t(height);
    std::vector<uint8_t> frame(bytes + kGuardBytes);
    auto take = [&](const uint8_t* data, int length) {
        std::fill(frame.begin(), frame.end(), kGuard);
        int written = -5, key = -5;
        EXPECT_EQ(0, player.play(data, length, frame.data(), width, height, &written, &key));
        for (size_t i = bytes; i < frame.size(); ++i)
            if (frame[i] != kGuard) {
                ADD_FAILURE() << "written past stride x height at " << i;
                break;
            }
        if (written == 0) return false;
        EXPECT_EQ(int(bytes), written);
        out.pictures.emplace_back(frame.begin(), frame.begin() + long(bytes));
        out.keys.push_back(key);
        return true;
    };
    for (const std::vector<uint8_t>& chunk : clip.chunks) take(chunk.data(), int(chunk.size()));
    while (take(nullptr, 0) && out.delayed < 100) ++out.delayed;
    return out;
}

// key_frame of every picture ffprobe decodes, in the order they come out.
std::vector<int> decoded_keys(const std::string& path) {
    std::string text = media_test::run("ffprobe -v error -select_streams v:0 -show_entries frame=key_frame -of csv=p=0 '" +
                                       path + "'");
    std::vector<int> keys;
    for (char ch : text)
        if (ch == '0' || ch == '1') keys.push_back(ch - '0');
    return keys;
}

// The first differing byte of two pictures of one size, -1 when they are equal.
long first_difference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return long(i);
    return -1;
}

TEST(DivxPlayer, EveryCodeGivesFfmpegsPicturesByteForByteWithTheDelayedOnesAtTheFlush) {
    const std::string src = "-f lavfi -i testsrc2=size=320x240:rate=25 -t 1.2 -g 12 ";
    const std::string qcif = "-f lavfi -i testsrc2=size=176x144:rate=25 -t 1.2 -g 12 ";
    struct Case {
        const char* name;
        std::string arguments;
        bool raw;           // an elementary stream, not an AVI file
        bool b_frames;      // pictures delayed by the decoder
    } cases[] = {
        {"xvid.avi", src + "-c:v mpeg4 -vtag XVID -bf 0 -q:v 4", false, false},
        {"divx_b.avi", src + "-c:v mpeg4 -vtag DIVX -bf 2 -q:v 4", false, true},
        {"fmp4.avi", src + "-c:v mpeg4 -q:v 4", false, false},
        {"mjpg.avi", src + "-c:v mjpeg -q:v 4", false, false},
        {"h263.avi", qcif + "-c:v h263 -q:v 4", false, false},
        {"h264.avi", src + "-c:v libx264 -pix_fmt yuv420p -bf 0", false, false},
        {"h264_b.h264", src + "-c:v libx264 -pix_fmt yuv420p -bf 2", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = make(c.name, c.arguments);
        Clip clip;
        if (c.raw) {
            clip.width = 320;
            clip.height = 240;
            clip.description = description("H264", 320, 240);
            for (const media_test::StoredPacket& p : media_test::video_packets(path, "h264")) clip.chunks.push_back(p.data);
        } else {
            clip = avi_clip(path);
        }
        ASSERT_FALSE(clip.chunks.empty());
        std::vector<std::vector<uint8_t>> reference = media_check::decode_pictures(path, clip.width, clip.height);
        ASSERT_EQ(30u, reference.size());
        Played played = play(clip, clip.width, clip.height);
        ASSERT_EQ(reference.size(), played.pictures.size());
        for (size_t i = 0; i < reference.size(); ++i)
            EXPECT_EQ(-1, first_difference(reference[i], played.pictures[i])) << "picture " << i;
        if (c.b_frames) {
            EXPECT_GT(played.delayed, 0) << "B-frames hold pictures back until the flush";
        } else {
            EXPECT_EQ(0, played.delayed);
        }
        // The key flag of each picture as ffprobe decodes it (the container's flags are no guide: an
        // AVI file may mark every chunk key).
        std::vector<int> keys = decoded_keys(path);
        ASSERT_EQ(keys.size(), played.keys.size());
        for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(keys[i], played.keys[i]) << "picture " << i;
        EXPECT_EQ(1, played.keys[0]);
    }
}

TEST(DivxPlayer, CodesPickTheirDecoderInEitherCaseAndOthersAreRefused) {
    struct Row {
        const char* code;
        int codec;
    } rows[] = {
        {"XVID", AV_CODEC_ID_MPEG4}, {"xvid", AV_CODEC_ID_MPEG4}, {"XviD", AV_CODEC_ID_MPEG4},
        {"DIVX", AV_CODEC_ID_MPEG4}, {"divx", AV_CODEC_ID_MPEG4}, {"DX50", AV_CODEC_ID_MPEG4},
        {"dx50", AV_CODEC_ID_MPEG4}, {"FMP4", AV_CODEC_ID_MPEG4}, {"fmp4", AV_CODEC_ID_MPEG4},
        {"MP4V", AV_CODEC_ID_MPEG4}, {"mp4v", AV_CODEC_ID_MPEG4}, {"MJPG", AV_CODEC_ID_MJPEG},
        {"mjpg", AV_CODEC_ID_MJPEG}, {"H263", AV_CODEC_ID_H263},  {"h263", AV_CODEC_ID_H263},
        {"H264", AV_CODEC_ID_H264},  {"h264", AV_CODEC_ID_H264},  {"X264", AV_CODEC_ID_H264},
        {"x264", AV_CODEC_ID_H264},  {"AVC1", AV_CODEC_ID_H264},  {"avc1", AV_CODEC_ID_H264},
        // Not ours: other MPEG-4 flavours, other codecs, uncompressed, nothing, near misses.
        {"DIV3", 0}, {"MP42", 0}, {"WMV2", 0}, {"MPG2", 0}, {"cvid", 0}, {"\0\0\0\0", 0},
        {"XVI ", 0}, {"H26", 0}, {"DX51", 0}, {"AVC2", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.code, 4));
        EXPECT_EQ(row.codec, divx::codec_for(row.code));
        divx::Player player;
        std::vector<uint8_t> d = description(row.code, 176, 144);
        EXPECT_EQ(row.codec != 0, player.init(d.data()));
        EXPECT_EQ(row.codec, player.codec());
        uint8_t frame[16];
        int written = -5, key = -5;
        if (row.codec == 0) {
            EXPECT_EQ(-1, player.play(frame, 4, frame, 2, 2, &written, &key)) << "no decoder without init";
            EXPECT_EQ(0, written);
        }
    }
    // The size at bytes 40 and 44 must be a picture size.
    for (auto size : {std::pair<int, int>{0, 144}, {176, 0}, {-176, 144}, {176, -1}, {16385, 16}, {16, 16385}}) {
        divx::Player player;
        std::vector<uint8_t> d = description("XVID", size.first, size.second);
        EXPECT_FALSE(player.init(d.data())) << size.first << " x " << size.second;
    }
    divx::Player player;
    EXPECT_FALSE(player.init(nullptr));
    std::vector<uint8_t> d = description("XVID", 16384, 16384);
    EXPECT_TRUE(player.init(d.data()));
    EXPECT_EQ(16384, player.width());
    EXPECT_EQ(16384, player.height());
}

TEST(DivxPlayer, AFrameOfAnotherSizeGetsTheTopLeftAndBlackAndNothingPastItsEnd) {
    const std::string path = make("size.avi", "-f lavfi -i testsrc2=size=320x240:rate=25 -t 0.4 -c:v mpeg4 -vtag XVID -bf 0");
    Clip clip = avi_clip(path);
    ASSERT_EQ(10u, clip.chunks.size());
    std::vector<std::vector<uint8_t>> reference = media_check::decode_pictures(path, 320, 240);
    ASSERT_EQ(10u, reference.size());
    const int ref_stride = signal_check::stride_of(320);
    for (auto size : {std::pair<int, int>{160, 120}, {400, 300}, {321, 241}, {1, 1}, {320, 1}, {2, 500}}) {
        const int w = size.first, h = size.second, stride = signal_check::stride_of(w);
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        Played played = play(clip, w, h);  // checks the guard past stride x height
        ASSERT_EQ(reference.size(), played.pictures.size());
        for (size_t i = 0; i < reference.size(); ++i) {
            const std::vector<uint8_t>& pic = played.pictures[i];
            long wrong = -1;
            for (int y = 0; y < h && wrong < 0; ++y)
                for (int x = 0; x < stride && wrong < 0; ++x) {
                    const size_t at = size_t(y) * size_t(stride) + size_t(x);
                    const bool inside = x < 3 * w && x < 3 * 320 && y < 240;
                    const uint8_t want = inside ? reference[i][size_t(y) * size_t(ref_stride) + size_t(x)] : 0;
                    if (pic[at] != want) wrong = long(at);
                }
            EXPECT_EQ(-1, wrong) << "picture " << i;
        }
    }
    // Sizes that are no picture size write nothing.
    divx::Player player;
    ASSERT_TRUE(player.init(clip.description.data()));
    std::vector<uint8_t> frame(64, kGuard);
    for (auto size : {std::pair<int, int>{0, 240}, {320, 0}, {-320, 240}, {16385, 1}}) {
        int written = -5, key = -5;
        EXPECT_EQ(-1, player.play(clip.chunks[0].data(), int(clip.chunks[0].size()), frame.data(), size.first,
                                  size.second, &written, &key));
        EXPECT_EQ(0, written);
    }
    for (uint8_t b : frame) ASSERT_EQ(kGuard, b);
    int written = -5;
    EXPECT_EQ(-1, player.play(clip.chunks[0].data(), int(clip.chunks[0].size()), nullptr, 320, 240, &written, nullptr));
    EXPECT_EQ(0, written);
    // An empty chunk (a dropped picture) gives no picture and keeps the decoder going.
    EXPECT_EQ(0, player.play(clip.chunks[0].data(), 0, frame.data(), 4, 4, &written, nullptr));
    EXPECT_EQ(0, written);
}

TEST(DivxPlayer, GarbageAndCutPicturesFailCleanlyAndTheDecoderGoesOn) {
    uint32_t seed = 12345;
    auto garbage = [&](size_t n) {
        std::vector<uint8_t> g(n);
        for (uint8_t& b : g) b = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
        return g;
    };
    struct Case {
        const char* name;
        std::string arguments;
    } cases[] = {
        {"g_xvid.avi", "-c:v mpeg4 -vtag XVID -bf 0"},
        {"g_mjpg.avi", "-c:v mjpeg"},
        {"g_h263.avi", "-s 176x144 -c:v h263"},
        {"g_h264.avi", "-c:v libx264 -pix_fmt yuv420p -bf 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clip clip = avi_clip(make(c.name, "-f lavfi -i testsrc2=size=320x240:rate=25 -t 0.4 -g 5 " + c.arguments));
        ASSERT_FALSE(clip.chunks.empty());
        divx::Player player;
        ASSERT_TRUE(player.init(clip.description.data()));
        const size_t bytes = size_t(signal_check::stride_of(clip.width)) * size_t(clip.height);
        std::vector<uint8_t> frame(bytes + kGuardBytes, kGuard);
        auto feed = [&](const std::vector<uint8_t>& data) {
            int written = -5, key = -5;
            int result = player.play(data.data(), int(data.size()), frame.data(), clip.width, clip.height, &written, &key);
            EXPECT_TRUE(result == 0 || result == -1) << result;
            if (result < 0) {
                EXPECT_EQ(0, written);
            }
            EXPECT_TRUE(written == 0 || written == int(bytes)) << written;
            for (size_t i = bytes; i < frame.size(); ++i)
                if (frame[i] != kGuard) {
                    ADD_FAILURE() << "written past the frame";
                    break;
                }
            return written;
        };
        // Before any real picture, garbage gives no picture.
        for (size_t n : {1, 3, 17, 1000, 20000}) EXPECT_EQ(0, feed(garbage(n))) << n << " bytes";
        // Real pictures, each also cut short and with garbage in the middle: whatever comes out fits.
        for (const std::vector<uint8_t>& chunk : clip.chunks) {
            feed(std::vector<uint8_t>(chunk.begin(), chunk.begin() + long(chunk.size() / 2)));
            std::vector<uint8_t> spoiled = chunk;
            std::vector<uint8_t> noise = garbage(spoiled.size() / 3);
            std::copy(noise.begin(), noise.end(), spoiled.begin() + long(spoiled.size() / 3));
            feed(spoiled);
        }
        // A fresh key picture still decodes.
        EXPECT_EQ(int(bytes), feed(clip.chunks[0]));
    }
}

}  // namespace
