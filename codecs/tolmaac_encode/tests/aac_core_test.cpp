// AAC LC: configuration, frame size, one-frame delay, and a tone that decodes back (libavcodec's decoder).
#include "codecs/tolmaac_encode/aac_core.h"
#include "tests/support/signal_check.h"
#include <gtest/gtest.h>
#include <cmath>
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

TEST(AacCore, ConfigAndFrameSizeForMonoAndStereo) {
    for (int channels : {1, 2}) {
        aacenc::Encoder enc;
        uint8_t config[64];
        int config_length = 0;
        ASSERT_EQ(1024 * channels, enc.open(44100, channels, 128000, config, 64, &config_length));
        ASSERT_GE(config_length, 2);
        EXPECT_EQ(2, config[0] >> 3) << "object type AAC LC";
        EXPECT_EQ(4, ((config[0] & 7) << 1) | (config[1] >> 7)) << "44100 Hz";
        EXPECT_EQ(channels, (config[1] >> 3) & 15);
    }
    aacenc::Encoder enc;
    int config_length;
    EXPECT_EQ(-1, enc.open(44100, 3, 128000, nullptr, 0, &config_length));
}

TEST(AacCore, ToneSurvivesCodingAndWrongFrameSizesAreRefused) {
    aacenc::Encoder enc;
    uint8_t config[64];
    int config_length = 0;
    const int samples = enc.open(48000, 2, 160000, config, 64, &config_length);
    ASSERT_EQ(2048, samples);
    std::vector<int16_t> pcm = signal_check::tone(1000, 10000, 48000, 2, 48000 * 2);
    uint8_t out[4096];
    unsigned duration = 0;
    EXPECT_EQ(-1, enc.encode(reinterpret_cast<uint8_t*>(pcm.data()), 100, out, sizeof out, &duration));

    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_AAC);
    AVCodecContext* dec = avcodec_alloc_context3(codec);
    dec->extradata = static_cast<uint8_t*>(av_mallocz(config_length + AV_INPUT_BUFFER_PADDING_SIZE));
    memcpy(dec->extradata, config, config_length);
    dec->extradata_size = config_length;
    ASSERT_EQ(0, avcodec_open2(dec, codec, nullptr));
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    std::vector<double> left;
    int packets = 0;
    for (size_t pos = 0; pos + samples <= pcm.size(); pos += samples) {
        int n = enc.encode(reinterpret_cast<uint8_t*>(&pcm[pos]), samples * 2, out, sizeof out, &duration);
        ASSERT_GE(n, 0);
        if (pos == 0) {
            EXPECT_EQ(0, n) << "the first frame fills the delay";
        }
        if (n == 0) continue;
        ++packets;
        EXPECT_EQ(1024u, duration);
        av_new_packet(pkt, n);
        memcpy(pkt->data, out, n);
        ASSERT_EQ(0, avcodec_send_packet(dec, pkt));
        av_packet_unref(pkt);
        while (avcodec_receive_frame(dec, frame) == 0) {
            const float* l = reinterpret_cast<const float*>(frame->data[0]);
            for (int i = 0; i < frame->nb_samples; ++i) left.push_back(l[i] * 32768.0);
        }
    }
    EXPECT_EQ(int(pcm.size() / samples) - 1, packets);
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
    std::vector<double> middle(left.begin() + 8192, left.end() - 8192);
    EXPECT_NEAR(1000.0, signal_check::dominant_frequency(middle, 48000), 10.0);
    EXPECT_NEAR(20 * std::log10(10000 / std::sqrt(2.0) / 32768), signal_check::level_db(middle), 1.0);
}

}  // namespace
