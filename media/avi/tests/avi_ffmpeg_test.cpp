// Files from the writer must be accepted by ffprobe and decode completely in ffmpeg.
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include "media/avi/avilib.h"
#include "tests/support/media_test_tools.h"

using media_test::out_path;
using media_test::read_file;

namespace {

constexpr int kFrames = 50, kWidth = 160, kHeight = 120;
constexpr double kFps = 25.0;

// JPEG pictures taken out of an ffmpeg MJPEG file with our own reader.
std::vector<std::vector<uint8_t>> mjpeg_pictures() {
    std::string src = out_path("mjpeg_source.avi");
    int status = 0;
    media_test::run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=160x120:rate=25 -frames:v 50 "
                    "-c:v mjpeg '" + src + "'", &status);
    std::vector<std::vector<uint8_t>> pictures;
    if (status != 0) return pictures;
    AviFile* in = AVI_open_input_file(src.c_str(), 1);
    if (!in) return pictures;
    std::vector<uint8_t> file = read_file(src);
    for (int i = 0; i < in->frame_count; ++i) {
        const AviVideoEntry& e = in->video_entries[i];
        pictures.emplace_back(file.begin() + e.pos, file.begin() + e.pos + e.length);
    }
    AVI_close(in);
    return pictures;
}

// Bottom-up B,G,R pictures with rows padded to four bytes, as a Windows DIB stores them.
std::vector<std::vector<uint8_t>> raw_pictures() {
    const int stride = (3 * kWidth + 3) & ~3;
    std::vector<std::vector<uint8_t>> pictures;
    for (int n = 0; n < kFrames; ++n) {
        std::vector<uint8_t> p(size_t(stride) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < 3 * kWidth; ++x) p[size_t(y) * stride + x] = uint8_t(x + y + 4 * n);
        pictures.push_back(std::move(p));
    }
    return pictures;
}

// MP3 frames from ffmpeg's libmp3lame, split at their headers (MPEG-1 layer III only).
std::vector<std::vector<uint8_t>> mp3_frames() {
    std::string src = out_path("sound.mp3");
    int status = 0;
    media_test::run("ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=440:sample_rate=44100 -t 2 -ac 2 "
                    "-c:a libmp3lame -b:a 128k -write_xing 0 -id3v2_version 0 '" + src + "'", &status);
    std::vector<std::vector<uint8_t>> frames;
    if (status != 0) return frames;
    static const int kbps[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static const int rates[4] = {44100, 48000, 32000, 0};
    std::vector<uint8_t> f = read_file(src);
    size_t pos = 0;
    while (pos + 4 <= f.size() && f[pos] == 0xFF && (f[pos + 1] & 0xFE) == 0xFA) {
        const int rate = rates[(f[pos + 2] >> 2) & 3], bitrate = kbps[f[pos + 2] >> 4];
        if (!rate || !bitrate) break;
        size_t len = size_t(144000 * bitrate / rate + ((f[pos + 2] >> 1) & 1));
        if (pos + len > f.size()) break;
        frames.emplace_back(f.begin() + pos, f.begin() + pos + len);
        pos += len;
    }
    return frames;
}

struct Sound {
    enum Kind { None, Pcm, Mp3 } kind;
    int channels, rate, format, kbps;
};

struct Case {
    const char* name;
    const char* compressor;
    const char* video_codec;
    Sound sound;
    const char* audio_codec;
};

double number(const media_test::Fields& f, const char* key) {
    auto it = f.find(key);
    return it == f.end() ? -1 : std::atof(it->second.c_str());
}

}  // namespace

TEST(AviWriterWithFfmpeg, StreamsFramesAndDurationsAreRight) {
    const auto jpegs = mjpeg_pictures();
    const auto raws = raw_pictures();
    const auto mp3 = mp3_frames();
    ASSERT_EQ(int(jpegs.size()), kFrames);
    ASSERT_GT(mp3.size(), 70u);  // 2 s of 1152-sample frames

    const Case cases[] = {
        {"mjpeg_pcm", "MJPG", "mjpeg", {Sound::Pcm, 2, 32000, 1, 1024}, "pcm_s16le"},
        {"raw_mp3", "\0\0\0\0", "rawvideo", {Sound::Mp3, 2, 44100, 0x55, 128}, "mp3"},
        {"mjpeg_mp3", "MJPG", "mjpeg", {Sound::Mp3, 2, 44100, 0x55, 128}, "mp3"},
        {"mjpeg_silent", "MJPG", "mjpeg", {Sound::None, 0, 0, 0, 0}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto& pictures = std::strcmp(c.video_codec, "mjpeg") == 0 ? jpegs : raws;
        std::string path = media_test::fresh_path(std::string("written_") + c.name + ".avi");
        AviFile* avi = AVI_open_output_file(path.c_str());
        ASSERT_NE(avi, nullptr);
        AVI_set_video(avi, kWidth, kHeight, kFps, c.compressor);
        if (c.sound.kind != Sound::None)
            AVI_set_audio(avi, c.sound.channels, c.sound.rate, 16, c.sound.format, c.sound.kbps);
        // Sound interleaved with the pictures: PCM one block a picture, MP3 by its frames' timing.
        const std::vector<uint8_t> pcm(size_t(c.sound.rate / 25) * 4, 0x11);
        int audio_blocks = 0;
        size_t next_mp3 = 0;
        for (int n = 0; n < kFrames; ++n) {
            ASSERT_EQ(AVI_write_frame(avi, pictures[n].data(), int(pictures[n].size())), 0);
            if (c.sound.kind == Sound::Pcm) {
                ASSERT_EQ(AVI_write_audio(avi, pcm.data(), int(pcm.size())), 0);
                ++audio_blocks;
            }
            while (c.sound.kind == Sound::Mp3 && next_mp3 < mp3.size() &&
                   (next_mp3 * 1152.0 / 44100 < (n + 1) / kFps || n == kFrames - 1)) {
                ASSERT_EQ(AVI_write_audio(avi, mp3[next_mp3].data(), int(mp3[next_mp3].size())), 0);
                ++next_mp3;
                ++audio_blocks;
            }
        }
        ASSERT_EQ(AVI_close(avi), 0);

        auto streams = media_test::probe_streams(path);
        ASSERT_EQ(streams.size(), c.sound.kind == Sound::None ? 1u : 2u);
        EXPECT_EQ(streams[0]["codec_type"], "video");
        EXPECT_EQ(streams[0]["codec_name"], c.video_codec);
        EXPECT_EQ(number(streams[0], "width"), kWidth);
        EXPECT_EQ(number(streams[0], "height"), kHeight);
        EXPECT_EQ(number(streams[0], "nb_frames"), kFrames);
        EXPECT_NEAR(number(streams[0], "duration"), kFrames / kFps, 0.01);
        if (c.sound.kind != Sound::None) {
            EXPECT_EQ(streams[1]["codec_type"], "audio");
            EXPECT_EQ(streams[1]["codec_name"], c.audio_codec);
            EXPECT_EQ(number(streams[1], "sample_rate"), c.sound.rate);
            EXPECT_EQ(number(streams[1], "channels"), c.sound.channels);
        }
        std::string errors;
        auto decoded = media_test::decoded_frames(path, &errors);
        EXPECT_EQ(errors, "");
        EXPECT_EQ(decoded[0].frames, kFrames);
        if (c.sound.kind != Sound::None) {
            EXPECT_EQ(decoded[1].frames, audio_blocks);
            EXPECT_NEAR(decoded[1].seconds, kFrames / kFps, 0.1);
        }
    }
}
