// The decoder helpers' own contract: pictures written only when they fit, in either layout; sound that
// did not fit kept for the next call; more than two channels mixed down.
#include "codecs/libav/audio_decoder.h"
#include "codecs/libav/video_decoder.h"
#include "tests/support/h263_reference.h"
#include "tests/support/signal_check.h"
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {
using namespace signal_check;

TEST(VideoDecoder, PicturesAreWrittenOnlyWhenTheyFitTheCapacity) {
    const int w = 176, h = 144;
    H263Reference encoder(w, h, 25, 10);
    ASSERT_TRUE(encoder.ok());
    std::vector<uint8_t> source = moving_picture(w, h, 3);
    std::vector<uint8_t> coded = encoder.encode(source);
    libav::VideoDecoder decoder;
    ASSERT_TRUE(decoder.open(AV_CODEC_ID_H263));
    ASSERT_EQ(1, decoder.decode(coded.data(), int(coded.size())));
    EXPECT_EQ(w, decoder.width());
    EXPECT_EQ(h, decoder.height());
    EXPECT_TRUE(decoder.key());

    const int64_t bgr = libav::picture_bytes(libav::Layout::kBgr24, w, h);
    EXPECT_EQ(int64_t(stride_of(w)) * h, bgr);
    std::vector<uint8_t> out(size_t(bgr) + 16, 0xA5);
    EXPECT_EQ(0, decoder.write(out.data(), bgr - 1, libav::Layout::kBgr24));
    for (uint8_t b : out) ASSERT_EQ(0xA5, b) << "a capacity one byte short writes nothing";
    EXPECT_EQ(bgr, decoder.write(out.data(), bgr, libav::Layout::kBgr24));
    for (size_t i = size_t(bgr); i < out.size(); ++i) ASSERT_EQ(0xA5, out[i]);
    out.resize(size_t(bgr));
    EXPECT_GT(psnr(source, out, w, h), 30.0);

    const int64_t yuy2 = libav::picture_bytes(libav::Layout::kYuy2, w, h);
    EXPECT_EQ(int64_t(2) * w * h, yuy2);
    std::vector<uint8_t> packed(static_cast<size_t>(yuy2));
    EXPECT_EQ(yuy2, decoder.write(packed.data(), yuy2, libav::Layout::kYuy2));
    // Luma of the first pixel against the B,G,R picture (BT.601 limited range).
    double y = 16 + (65.738 * out[2] + 129.057 * out[1] + 25.064 * out[0]) / 256;
    EXPECT_NEAR(y, packed[0], 3.0);
}

TEST(VideoDecoder, RefusedDataAndAClosedDecoderGiveNoPicture) {
    libav::VideoDecoder decoder;
    uint8_t junk[64] = {0xFF, 0x00, 0x13};
    EXPECT_EQ(-1, decoder.decode(junk, sizeof junk)) << "not open";
    ASSERT_TRUE(decoder.open(AV_CODEC_ID_H263));
    EXPECT_LE(decoder.decode(junk, sizeof junk), 0);
    EXPECT_FALSE(decoder.has_picture());
    uint8_t out[16];
    EXPECT_EQ(0, decoder.write(out, sizeof out, libav::Layout::kBgr24));
    EXPECT_FALSE(decoder.open(-12345)) << "no such codec";
}

libav::AudioFormat pcm_format(int rate, int channels) {
    libav::AudioFormat format;
    format.codec_id = AV_CODEC_ID_PCM_S16LE;
    format.sample_rate = rate;
    format.channels = channels;
    return format;
}

std::vector<uint8_t> bytes_of(const std::vector<int16_t>& pcm) {
    std::vector<uint8_t> b(pcm.size() * 2);
    memcpy(b.data(), pcm.data(), b.size());
    return b;
}

TEST(AudioDecoder, SoundThatDoesNotFitWaitsForTheNextCall) {
    libav::AudioDecoder decoder;
    ASSERT_TRUE(decoder.open(pcm_format(8000, 2)));
    std::vector<int16_t> pcm = tone(440, 8000, 8000, 2, 800);
    std::vector<uint8_t> coded = bytes_of(pcm);
    std::vector<uint8_t> out(1000, 0);
    EXPECT_EQ(999 / 4 * 4, decoder.decode(coded.data(), int(coded.size()), out.data(), 999)) << "whole frames only";
    EXPECT_EQ(0, memcmp(out.data(), coded.data(), 996));
    EXPECT_EQ(int(coded.size()) - 996, decoder.pending_bytes());
    std::vector<uint8_t> rest(coded.size());
    EXPECT_EQ(int(coded.size()) - 996, decoder.take_pending(rest.data(), int(rest.size())));
    EXPECT_EQ(0, memcmp(rest.data(), coded.data() + 996, coded.size() - 996));
    EXPECT_EQ(8000, decoder.out_rate());
    EXPECT_EQ(2, decoder.out_channels());
}

TEST(AudioDecoder, SixChannelsAreMixedToTwoAndTheRateIsConverted) {
    libav::AudioDecoder decoder;
    ASSERT_TRUE(decoder.open(pcm_format(48000, 6), 24000, 0));
    std::vector<int16_t> pcm = tone(1000, 6000, 48000, 6, 48000);
    std::vector<uint8_t> coded = bytes_of(pcm);
    std::vector<uint8_t> out(200000);
    int n = decoder.decode(coded.data(), int(coded.size()), out.data(), int(out.size()));
    EXPECT_EQ(2, decoder.out_channels());
    EXPECT_EQ(24000, decoder.out_rate());
    ASSERT_GT(n, 0);
    EXPECT_NEAR(24000 * 4, n, 24000 * 4 * 0.02);
    std::vector<int16_t> left_right(size_t(n) / 2);
    memcpy(left_right.data(), out.data(), size_t(n));
    std::vector<double> left = channel(left_right, 2, 0);
    std::vector<double> middle(left.begin() + 2000, left.end() - 2000);
    EXPECT_NEAR(1000.0, dominant_frequency(middle, 24000), 5.0);
    EXPECT_EQ(-1, decoder.decode(nullptr, 0, out.data(), 100));
}

}  // namespace
