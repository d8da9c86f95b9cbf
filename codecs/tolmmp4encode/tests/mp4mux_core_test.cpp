// The multiplexer core: header parsing helpers, each container/codec pairing, and the calls it ignores.
#include "codecs/tolmmp4encode/mp4mux_core.h"
#include "codecs/tolmaac_encode/aac_core.h"
#include "codecs/tolmamr_encode/amr_core.h"
#include "tests/support/h263_reference.h"
#include "codecs/tolmx264encode/h264_core.h"
#include "tests/support/media_check.h"
#include "tests/support/signal_check.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {
using namespace signal_check;

std::string out_path(const char* name) {
    std::string path = std::string(TEST_BINARY_DIR) + "/" + name;
    std::remove(path.c_str());
    return path;
}

// Two streams of the given codecs, each 2 s long, that decode without error.
void expect_clip(const std::string& path, const char* video_codec, const char* sound_codec) {
    std::vector<media_check::Stream> s = media_check::probe(path);
    ASSERT_EQ(2u, s.size());
    EXPECT_EQ(video_codec, s[0].codec);
    EXPECT_EQ(sound_codec, s[1].codec);
    EXPECT_NEAR(2.0, s[0].duration, 0.04);
    EXPECT_NEAR(2.0, s[1].duration, 0.04);
    EXPECT_EQ("", media_check::decode_errors(path));
}

TEST(Mp4MuxHelpers, H263PictureTypeAnnexBAndAvcc) {
    H263Reference h263(176, 144, 25, 3);
    ASSERT_TRUE(h263.ok());
    for (int i = 0; i < 6; ++i) {
        std::vector<uint8_t> coded = h263.encode(moving_picture(176, 144, i));
        EXPECT_EQ(i % 3 == 0, mp4mux::h263_is_intra(coded.data(), (int)coded.size())) << i;
    }
    const uint8_t truncated[3] = {0, 0, 0x80};
    EXPECT_FALSE(mp4mux::h263_is_intra(truncated, 3));

    const uint8_t annexb[] = {0, 0, 0, 1, 0x67, 1, 2, 0, 0, 1, 0x68, 3, 0, 0, 1, 0x65, 9, 8, 0, 0, 0, 1, 0x06, 7};
    const std::vector<uint8_t> expected = {0, 0, 0, 3, 0x65, 9, 8, 0, 0, 0, 2, 0x06, 7};
    EXPECT_EQ(expected, mp4mux::annexb_to_length_prefixed(annexb, sizeof annexb));

    const std::vector<uint8_t> sps = {0x67, 100, 0, 30}, pps = {0x68, 0xEE};
    const std::vector<uint8_t> record = {1, 100, 0, 30, 0xFF, 0xE1, 0, 4, 0x67, 100, 0, 30, 1, 0, 2, 0x68, 0xEE};
    EXPECT_EQ(record, mp4mux::avcc(sps, pps));
    EXPECT_TRUE(mp4mux::avcc({0x67}, pps).empty());

    const uint8_t vol[] = {0, 0, 1, 0xB0, 0xF4, 0, 0, 1, 0x20, 5, 0, 0, 1, 0xB6, 0x10};
    EXPECT_EQ(10u, mp4mux::mpeg4_config(vol, sizeof vol).size());
}

TEST(Mp4MuxCore, ThreeGpWithH263AndAmrWrittenFromTwoThreads) {
    const std::string path = out_path("core_3gp.3gp");
    mp4mux::Muxer mux;
    ASSERT_EQ(0, mux.init(path, 2));
    mux.add_video(1, 176, 144);
    mux.add_audio(1, 8000, 1);
    std::thread sound([&] {
        amrenc::Encoder amr;
        amr.open(122);
        std::vector<int16_t> pcm = tone(1000, 10000, 8000, 1, 16000);
        for (size_t pos = 0; pos + 320 <= pcm.size(); pos += 320) {
            uint8_t out[4096];
            int frames;
            int k = amr.encode(reinterpret_cast<uint8_t*>(&pcm[pos]), 640, out, sizeof out, &frames);
            mux.audio(out, k, 320);
        }
    });
    H263Reference h263(176, 144, 25, 12);
    for (int i = 0; i < 50; ++i) {
        std::vector<uint8_t> coded = h263.encode(moving_picture(176, 144, i));
        mux.video(1, coded.data(), (int)coded.size(), 40);
    }
    sound.join();
    ASSERT_EQ(0, mux.close());
    expect_clip(path, "h263", "amr_nb");
}

TEST(Mp4MuxCore, H264TrackAddedAtTheFirstPictureAfterSoundAlreadyCame) {
    const std::string path = out_path("core_h264.mp4");
    mp4mux::Muxer mux;
    ASSERT_EQ(0, mux.init(path, 1));
    aacenc::Encoder aac;
    uint8_t config[64];
    int config_length = 0;
    const int fs = aac.open(44100, 2, 128000, config, 64, &config_length);
    mux.add_audio(2, 44100, 2);
    mux.set_audio_config(config, config_length);
    std::vector<int16_t> pcm = tone(1000, 10000, 44100, 2, 88200);
    size_t sound_pos = 0;
    auto feed_sound = [&](double until_seconds) {
        while (sound_pos + fs <= pcm.size() && sound_pos / 2 < until_seconds * 44100) {
            uint8_t out[8192];
            unsigned duration = 0;
            int k = aac.encode(reinterpret_cast<uint8_t*>(&pcm[sound_pos]), fs * 2, out, sizeof out, &duration);
            if (k > 0) mux.audio(out, k, duration);
            sound_pos += fs;
        }
    };
    feed_sound(0.2);  // sound before the video track exists waits
    h264enc::Encoder h264;
    ASSERT_EQ(0, h264.open(176, 144, 20, 25));
    std::vector<uint8_t> out(stride_of(176) * 144 / 2);
    for (int i = 0; i < 50; ++i) {
        std::vector<uint8_t> pic = moving_picture(176, 144, i);
        int key = 0;
        int n = h264.encode(picture::bgr24(pic.data(), 176, 144), out.data(), (int)out.size(), false, &key);
        if (i == 0) {
            mux.add_h264(176, 144);
            mux.set_h264_pps(h264.pps().data(), (int)h264.pps().size());
            mux.set_h264_sps(h264.sps().data(), (int)h264.sps().size());
        }
        mux.video(key ? 2 : 3, out.data(), n, 3600);
        feed_sound((i + 1) / 25.0);
    }
    ASSERT_EQ(0, mux.close());
    expect_clip(path, "h264", "aac");
    EXPECT_EQ(50u, media_check::decode_pictures(path, 176, 144).size());
}

// The AAC encoder puts a frame of its own in front of the sound; told that delay, the file's edit list
// leaves it out, so the decoded sound is exactly what was coded, from its first sample.
TEST(Mp4MuxCore, SoundEncoderDelayIsLeftOutByTheEditList) {
    const std::string path = out_path("core_aac_delay.mp4");
    mp4mux::Muxer mux;
    EXPECT_EQ(-1, mux.set_audio_delay(1024)) << "no file";
    ASSERT_EQ(0, mux.init(path, 1));
    EXPECT_EQ(-1, mux.set_audio_delay(1024)) << "no sound track";
    aacenc::Encoder aac;
    uint8_t config[64];
    int config_length = 0;
    const int fs = aac.open(44100, 1, 128000, config, 64, &config_length);
    ASSERT_EQ(1024, fs);
    mux.add_audio(2, 44100, 1);
    mux.set_audio_config(config, config_length);
    EXPECT_EQ(-1, mux.set_audio_delay(44101)) << "more than a second";
    ASSERT_EQ(0, mux.set_audio_delay(1024));
    // 43 frames of tone, then two of silence bring the encoder's held frames out.
    std::vector<int16_t> pcm = tone(1000, 10000, 44100, 1, 43 * 1024);
    pcm.resize(45 * 1024, 0);
    for (size_t pos = 0; pos < pcm.size(); pos += 1024) {
        uint8_t out[8192];
        unsigned duration = 0;
        int k = aac.encode(reinterpret_cast<uint8_t*>(&pcm[pos]), 2048, out, sizeof out, &duration);
        if (k > 0) {
            ASSERT_EQ(0, mux.audio(out, k, duration));
        }
    }
    ASSERT_EQ(0, mux.close());
    EXPECT_EQ("", media_check::decode_errors(path));
    std::vector<int16_t> decoded = media_check::decode_sound(path);
    EXPECT_EQ(size_t(43 * 1024), decoded.size());
    size_t first = 0;
    while (first < decoded.size() && std::abs(decoded[first]) < 2500) ++first;
    EXPECT_LT(first, 44u) << "the tone starts within a millisecond";
}

TEST(Mp4MuxCore, CallsWithoutInitOrTrackAreIgnoredAndFilesAreNeverOverwritten) {
    mp4mux::Muxer mux;
    const uint8_t data[8] = {0, 0, 0x80, 2, 0, 0, 0, 0};
    EXPECT_EQ(-1, mux.add_video(1, 176, 144));
    EXPECT_EQ(-1, mux.video(1, data, 8, 40));
    EXPECT_EQ(-1, mux.audio(data, 8, 320));
    EXPECT_EQ(-1, mux.close());

    const std::string path = out_path("core_ignored.mp4");
    ASSERT_EQ(0, mux.init(path, 1));
    EXPECT_EQ(-1, mux.audio(data, 8, 1024));       // no sound track
    EXPECT_EQ(-1, mux.add_video(7, 176, 144));     // unknown codec
    EXPECT_EQ(-1, mux.video(2, data, 8, 40));      // no video track
    EXPECT_EQ(-1, mux.add_audio(2, 44100, 3));     // three channels
    EXPECT_EQ(-1, mux.set_audio_config(data, 8));  // no AAC track
    EXPECT_EQ(-1, mux.set_h264_sps(data, 8));      // no H.264 track
    EXPECT_EQ(0, mux.close());
    EXPECT_NE(0, access(path.c_str(), F_OK)) << "a file without tracks is not left behind";
    FILE* user_file = fopen(path.c_str(), "w");
    fputs("user data", user_file);
    fclose(user_file);
    EXPECT_EQ(-1, mux.init(path, 1)) << "an existing file is not overwritten";
    FILE* check = fopen(path.c_str(), "r");
    char text[16] = {};
    fgets(text, sizeof text, check);
    fclose(check);
    EXPECT_STREQ("user data", text);
    EXPECT_EQ(-1, mux.init(out_path("core_bad.mp4"), 5));

    ASSERT_EQ(0, mux.init(out_path("core_one_track.mp4"), 1));
    EXPECT_EQ(0, mux.add_audio(2, 44100, 2));
    EXPECT_EQ(-1, mux.add_audio(1, 8000, 1)) << "one sound track";
    EXPECT_EQ(-1, mux.set_audio_config(data, 65)) << "longer than an AudioSpecificConfig can be";
    EXPECT_EQ(0, mux.add_video(1, 176, 144));
    EXPECT_EQ(-1, mux.add_h264(176, 144)) << "one video track";
    mux.close();
    EXPECT_EQ(-1, mux.init("/nonexistent-folder/x.mp4", 1));
}

}  // namespace
