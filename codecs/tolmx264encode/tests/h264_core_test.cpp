// H.264: one coded picture per picture, parameter sets, and pictures that decode back with good PSNR.
#include "codecs/tolmx264encode/h264_core.h"
#include "tests/support/signal_check.h"
#include <gtest/gtest.h>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

namespace {
using namespace signal_check;

TEST(H264Core, EveryPictureGivesOneDecodablePicture) {
    const int w = 176, h = 144, n = 30;
    h264enc::Encoder enc;
    ASSERT_EQ(0, enc.open(w, h, 20, 25));
    ASSERT_GE(enc.sps().size(), 4u);
    EXPECT_EQ(7, enc.sps()[0] & 31);
    EXPECT_EQ(8, enc.pps()[0] & 31);

    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
    AVCodecContext* dec = avcodec_alloc_context3(codec);
    dec->flags |= AV_CODEC_FLAG_LOW_DELAY;
    ASSERT_EQ(0, avcodec_open2(dec, codec, nullptr));
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* to_bgr = sws_getContext(w, h, AV_PIX_FMT_YUV420P, w, h, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr,
                                        nullptr, nullptr);
    std::vector<uint8_t> out(stride_of(w) * h / 2);
    int decoded = 0;
    for (int i = 0; i < n; ++i) {
        std::vector<uint8_t> pic = moving_picture(w, h, i);
        int key = -1;
        // The AVI form carries its parameter sets; the MP4 form does not.
        const bool avi = i == 0;
        int bytes = enc.encode(picture::bgr24(pic.data(), w, h), out.data(), (int)out.size(), avi, &key);
        ASSERT_GT(bytes, 0) << "picture " << i;
        EXPECT_EQ(i == 0 ? 1 : 0, key);
        EXPECT_EQ(0, out[0]);
        EXPECT_EQ(1, out[2] | out[3]) << "Annex B start code";
        av_new_packet(pkt, bytes);
        memcpy(pkt->data, out.data(), bytes);
        ASSERT_EQ(0, avcodec_send_packet(dec, pkt));
        av_packet_unref(pkt);
        while (avcodec_receive_frame(dec, frame) == 0) {
            std::vector<uint8_t> back(stride_of(w) * h);
            uint8_t* dst[1] = {back.data()};
            int dst_stride[1] = {stride_of(w)};
            sws_scale(to_bgr, frame->data, frame->linesize, 0, h, dst, dst_stride);
            EXPECT_GE(psnr(moving_picture(w, h, decoded), back, w, h), 30.0) << "picture " << decoded;
            ++decoded;
        }
    }
    EXPECT_EQ(n, decoded) << "no picture held back";
    sws_freeContext(to_bgr);
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
}

TEST(H264Core, RefusesOddSizesShortInputAndSmallOutput) {
    h264enc::Encoder enc;
    EXPECT_EQ(-1, enc.open(175, 144, 20, 25));
    ASSERT_EQ(0, enc.open(64, 48, 20, 25));
    std::vector<uint8_t> pic = moving_picture(64, 48, 0);
    uint8_t out[8];
    int key;
    EXPECT_EQ(-1, enc.encode(picture::bgr24(pic.data(), 32, 48), out, sizeof out, false, &key));  // other size
    EXPECT_EQ(-1, enc.encode(picture::rgb24_packed(pic.data(), 64, 48), out, sizeof out, false, &key));
    EXPECT_EQ(-1, enc.encode(picture::bgr24(pic.data(), 64, 48), out, sizeof out, false, &key));  // out too small
}

}  // namespace
