// MTV files written by the test support (ffmpeg cannot write MTV) and AMV files written by ffmpeg: the
// stream parameters, and every frame's picture and sound byte-equal to what was stored (the writer's
// input, and the packets libavformat hands ffprobe); capacities that are too small; refusals.
#include "codecs/tolmmtvdecode/mtv_reader_core.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/mtv_writer.h"
#include "tests/support/signal_check.h"
#include "tests/support/stream_packets.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

const int W = 176, H = 120, kFps = 12, kChunks = 2, kKbps = 4 * kFps * kChunks, kFrames = 24;

struct MtvFixture {
    std::string path;
    std::vector<std::vector<uint8_t>> pictures;
    std::vector<uint8_t> mp3;
};

MtvFixture mtv_fixture() {
    MtvFixture f;
    std::string mp3_path = media_test::fresh_path("mtv_sound.mp3");
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error -f lavfi -i sine=frequency=1000:sample_rate=44100 -t 3 -c:a libmp3lame "
                    "-b:a " + std::to_string(kKbps) + "k -write_xing 0 -id3v2_version 0 -f mp3 '" + mp3_path + "'",
                    &status);
    EXPECT_EQ(0, status);
    f.mp3 = media_test::read_file(mp3_path);
    for (int i = 0; i < kFrames; ++i)
        f.pictures.push_back(mtv_test::stored_picture(signal_check::moving_picture(W, H, i), W, H));
    f.path = media_test::fresh_path("clip.mtv");
    media_test::write_file(f.path, mtv_test::file(W, H, kKbps, kChunks, f.pictures, f.mp3));
    return f;
}

TEST(MtvReaderCore, MtvFramesAreThePicturesAndSoundAsStored) {
    MtvFixture f = mtv_fixture();
    mtvreader::Reader reader;
    ASSERT_TRUE(reader.open(f.path, mtvreader::Kind::kMtv));
    int w = 0, h = 0, kbps = 0, rate = 0, channels = 0;
    double fps = 0, duration = 0;
    EXPECT_EQ(kFrames, reader.video(&w, &h, &fps, &kbps, &duration));
    EXPECT_EQ(W, w);
    EXPECT_EQ(H, h);
    EXPECT_DOUBLE_EQ(kFps, fps);
    EXPECT_DOUBLE_EQ(2.0, duration);
    EXPECT_EQ((2 * W * H * 8 * kFps + 500) / 1000, kbps);
    EXPECT_EQ(kFrames * kChunks, reader.audio(&rate, &channels, &kbps));
    EXPECT_EQ(kKbps, kbps);
    std::vector<media_test::Fields> streams = media_test::probe_streams(f.path);
    ASSERT_EQ(2u, streams.size());
    EXPECT_EQ(streams[1]["sample_rate"], std::to_string(rate));
    EXPECT_EQ(streams[1]["channels"], std::to_string(channels));
    EXPECT_EQ(streams[0]["width"], std::to_string(w));
    int format = -1, bits = 0;
    reader.picture_info(&format, &bits);
    EXPECT_EQ(0, format) << "5-6-5";
    EXPECT_EQ(16, bits);

    std::vector<media_test::StoredPacket> packets = media_test::video_packets(f.path, "mtv", true);
    ASSERT_EQ(size_t(kFrames), packets.size());
    std::vector<uint8_t> picture(size_t(2) * W * H), sound(15360);
    for (int i = 0; i < kFrames; ++i) {
        int length = int(picture.size());
        int n = reader.data(i, sound.data(), int(sound.size()), picture.data(), &length);
        ASSERT_EQ(kChunks * mtv_test::kChunkBytes, n) << "frame " << i;
        EXPECT_EQ(0, memcmp(sound.data(), &f.mp3[size_t(i) * n], size_t(n))) << "frame " << i;
        ASSERT_EQ(int(picture.size()), length);
        EXPECT_EQ(f.pictures[size_t(i)], picture) << "frame " << i;
        EXPECT_EQ(packets[size_t(i)].data, picture) << "frame " << i;
    }
}

TEST(MtvReaderCore, SmallBuffersGetWholeChunksAndNoPartPicture) {
    MtvFixture f = mtv_fixture();
    mtvreader::Reader reader;
    ASSERT_TRUE(reader.open(f.path, mtvreader::Kind::kMtv));
    std::vector<uint8_t> picture(size_t(2) * W * H, 0x3C), sound(1000, 0x3C);
    int length = int(picture.size()) - 1;
    EXPECT_EQ(500, reader.data(3, sound.data(), 999, picture.data(), &length)) << "one whole chunk fits";
    EXPECT_EQ(0, length);
    for (uint8_t b : picture) ASSERT_EQ(0x3C, b);
    EXPECT_EQ(0x3C, sound[500]);
    length = int(picture.size());
    EXPECT_EQ(-1, reader.data(kFrames, sound.data(), 1000, picture.data(), &length));
    EXPECT_EQ(0, length);
    EXPECT_EQ(-1, reader.data(-1, sound.data(), 1000, picture.data(), &length));
}

TEST(MtvReaderCore, AmvFramesAreThePacketsAsStored) {
    std::string path = media_test::fresh_path("clip.amv");
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=160x120:rate=15 -f lavfi -i "
                    "sine=frequency=1000:sample_rate=22050 -t 2 -c:v amv -c:a adpcm_ima_amv -ac 1 -block_size 1470 "
                    "-strict -1 '" + path + "'", &status);
    ASSERT_EQ(0, status);
    mtvreader::Reader reader;
    ASSERT_TRUE(reader.open(path, mtvreader::Kind::kAmv));
    std::vector<media_test::StoredPacket> pictures = media_test::video_packets(path, nullptr, true);
    std::vector<media_test::StoredPacket> blocks = media_test::audio_packets(path, nullptr, true);
    int w = 0, h = 0, kbps = 0, rate = 0, channels = 0;
    double fps = 0, duration = 0;
    EXPECT_EQ(int(pictures.size()), reader.video(&w, &h, &fps, &kbps, &duration));
    EXPECT_EQ(int(blocks.size()), reader.audio(&rate, &channels, &kbps));
    EXPECT_EQ(30, int(pictures.size()));
    EXPECT_EQ(160, w);
    EXPECT_EQ(120, h);
    EXPECT_NEAR(15.0, fps, 0.01);
    EXPECT_NEAR(2.0, duration, 0.01);
    EXPECT_EQ(22050, rate);
    EXPECT_EQ(1, channels);
    EXPECT_EQ(int(std::max(pictures.size(), blocks.size())), reader.frame_count());
    std::vector<uint8_t> picture(size_t(3) * w * h), sound(15360);
    for (size_t i = 0; i < pictures.size(); ++i) {
        int length = int(picture.size());
        int n = reader.data(int(i), sound.data(), int(sound.size()), picture.data(), &length);
        ASSERT_EQ(int(blocks[i].data.size()), n) << "frame " << i;
        EXPECT_EQ(0, memcmp(sound.data(), blocks[i].data.data(), size_t(n)));
        ASSERT_EQ(int(pictures[i].data.size()), length) << "frame " << i;
        EXPECT_EQ(0, memcmp(picture.data(), pictures[i].data.data(), size_t(length)));
    }
}

TEST(MtvReaderCore, FilesOfTheWrongKindAreRefused) {
    MtvFixture f = mtv_fixture();
    std::string junk = media_test::fresh_path("junk.mtv");
    media_test::write_file(junk, std::vector<uint8_t>(4096, 0x41));
    mtvreader::Reader reader;
    EXPECT_FALSE(reader.open(f.path, mtvreader::Kind::kAmv));
    EXPECT_FALSE(reader.open(junk, mtvreader::Kind::kMtv));
    EXPECT_FALSE(reader.open(media_test::out_path("missing.mtv"), mtvreader::Kind::kMtv));
}

}  // namespace
