// MP3: whole frames out of every call, the last frames at the end, a tone that decodes back.
#include "codecs/tolmmp3enc/mp3_core.h"
#include "tests/support/signal_check.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

// Decodes an MP3 byte stream with libavcodec; returns the first channel.
std::vector<double> decode(const std::vector<uint8_t>& mp3, int* rate) {
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_MP3);
    AVCodecContext* dec = avcodec_alloc_context3(codec);
    EXPECT_EQ(0, avcodec_open2(dec, codec, nullptr));
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    std::vector<double> out;
    for (size_t pos = 0; pos + 4 <= mp3.size();) {
        int n = mp3enc::frame_length(&mp3[pos]);
        EXPECT_GT(n, 0) << "frame at " << pos;
        if (n <= 0) break;
        av_new_packet(pkt, n);
        memcpy(pkt->data, &mp3[pos], n);
        avcodec_send_packet(dec, pkt);
        av_packet_unref(pkt);
        while (avcodec_receive_frame(dec, frame) == 0) {
            *rate = frame->sample_rate;
            for (int i = 0; i < frame->nb_samples; ++i) {
                double v = frame->format == AV_SAMPLE_FMT_FLTP ? reinterpret_cast<float*>(frame->data[0])[i] * 32768.0
                                                                : reinterpret_cast<int16_t*>(frame->data[0])[i];
                out.push_back(v);
            }
        }
        pos += n;
    }
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
    return out;
}

TEST(Mp3Core, EveryRateModeGivesWholeFramesAndKeepsTheTone) {
    struct Case {
        mp3enc::RateMode mode;
        int rate, channels, frame_samples;
    };
    const Case cases[] = {
        {mp3enc::RateMode::Constant, 44100, 2, 2304}, {mp3enc::RateMode::Constant, 22050, 1, 576},
        {mp3enc::RateMode::Average, 44100, 1, 1152},  {mp3enc::RateMode::Variable, 48000, 2, 2304},
        {mp3enc::RateMode::Constant, 11025, 2, 1152},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.mode) << " " << c.rate << " Hz x" << c.channels);
        mp3enc::Settings s;
        s.mode = c.mode;
        s.sample_rate = c.rate;
        s.channels = c.channels;
        s.kbps = 64;
        s.average_kbps = 96;
        mp3enc::Encoder enc;
        int frame_samples = 0, output_size = 0;
        ASSERT_EQ(0, enc.open(s, &frame_samples, &output_size));
        EXPECT_EQ(c.frame_samples, frame_samples);
        std::vector<int16_t> pcm = signal_check::tone(1000, 10000, c.rate, c.channels, c.rate * 2);
        std::vector<uint8_t> out(output_size), stream;
        int calls = 0;
        for (size_t pos = 0; pos + frame_samples <= pcm.size(); pos += frame_samples, ++calls) {
            int n = enc.encode(&pcm[pos], frame_samples, out.data());
            ASSERT_GE(n, 0);
            ASSERT_LE(n, output_size);
            if (n > 0) {
                EXPECT_EQ(0xFF, out[0]);
            }
            stream.insert(stream.end(), out.begin(), out.begin() + n);
        }
        int last = enc.finish(out.data());
        ASSERT_GT(last, 0) << "the final frames are returned";
        EXPECT_EQ(0xFF, out[0]);
        stream.insert(stream.end(), out.begin(), out.begin() + last);
        int rate = 0;
        std::vector<double> decoded = decode(stream, &rate);
        EXPECT_EQ(c.rate, rate);
        const int per_channel = frame_samples / c.channels;
        EXPECT_GE((int)decoded.size(), calls * per_channel) << "nothing lost at the end";
        std::vector<double> middle(decoded.begin() + decoded.size() / 4, decoded.end() - decoded.size() / 4);
        EXPECT_NEAR(1000.0, signal_check::dominant_frequency(middle, c.rate), 10.0);
        EXPECT_NEAR(20 * std::log10(10000 / std::sqrt(2.0) / 32768), signal_check::level_db(middle), 1.0);
    }
}

TEST(Mp3Core, FrameLengthReadsHeadersAndRefusesOthers) {
    const uint8_t mpeg1_128k_44k[4] = {0xFF, 0xFB, 0x90, 0x00};
    const uint8_t mpeg2_64k_22k_pad[4] = {0xFF, 0xF3, 0x82, 0x00};
    const uint8_t not_a_header[4] = {0x00, 0xFB, 0x90, 0x00};
    const uint8_t free_format[4] = {0xFF, 0xFB, 0x00, 0x00};
    EXPECT_EQ(417, mp3enc::frame_length(mpeg1_128k_44k));
    EXPECT_EQ(209, mp3enc::frame_length(mpeg2_64k_22k_pad));
    EXPECT_EQ(0, mp3enc::frame_length(not_a_header));
    EXPECT_EQ(0, mp3enc::frame_length(free_format));
}

// Stray bytes before and between frames never reach the output; a cut-off frame waits.
TEST(Mp3Core, ExtractsWholeFramesOnly) {
    auto frame = [](std::initializer_list<uint8_t> header, size_t length, uint8_t fill) {
        std::vector<uint8_t> f(length, fill);
        std::copy(header.begin(), header.end(), f.begin());
        return f;
    };
    const std::vector<uint8_t> a = frame({0xFF, 0xF3, 0x82, 0x00}, 209, 0x11);
    const std::vector<uint8_t> b = frame({0xFF, 0xFB, 0x90, 0x00}, 417, 0x22);
    const std::vector<uint8_t> cut = frame({0xFF, 0xFB, 0x90, 0x00}, 100, 0x33);
    std::vector<uint8_t> coded = {0x00, 0x01, 0x02};
    coded.insert(coded.end(), a.begin(), a.end());
    coded.insert(coded.end(), 5, 0x55);
    coded.insert(coded.end(), b.begin(), b.end());
    coded.insert(coded.end(), cut.begin(), cut.end());

    std::vector<uint8_t> out(2000, 0xEE);
    size_t consumed = 0;
    ASSERT_EQ(626, mp3enc::extract_frames(coded.data(), coded.size(), out.data(), (int)out.size(), &consumed));
    EXPECT_EQ(3u + 209 + 5 + 417, consumed);
    std::vector<uint8_t> expected = a;
    expected.insert(expected.end(), b.begin(), b.end());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin()));
    EXPECT_EQ(0xEE, out[626]);

    EXPECT_EQ(-1, mp3enc::extract_frames(coded.data(), coded.size(), out.data(), 625, &consumed));
    EXPECT_EQ(0u, consumed);
}

TEST(Mp3Core, RefusesBadSettingsAndCallsWhenClosed) {
    mp3enc::Encoder enc;
    mp3enc::Settings s;
    s.channels = 3;
    int fs, os;
    EXPECT_EQ(-1, enc.open(s, &fs, &os));
    uint8_t out[16];
    int16_t pcm[4] = {};
    EXPECT_EQ(-1, enc.encode(pcm, 4, out));
    EXPECT_EQ(-1, enc.finish(out));
}

}  // namespace
