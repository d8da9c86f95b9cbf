#include "h263_reference.h"
extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

namespace signal_check {

H263Reference::H263Reference(int width, int height, int fps, int keyint) : width_(width), height_(height) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_H263);
    ctx_ = avcodec_alloc_context3(codec);
    ctx_->width = width;
    ctx_->height = height;
    ctx_->pix_fmt = AV_PIX_FMT_YUV420P;
    ctx_->time_base = AVRational{1, fps};
    ctx_->gop_size = keyint;
    ctx_->max_b_frames = 0;
    ctx_->bit_rate = 600000;
    ctx_->qmax = 8;
    if (avcodec_open2(ctx_, codec, nullptr) < 0) avcodec_free_context(&ctx_);
    sws_ = sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr,
                          nullptr, nullptr);
}

H263Reference::~H263Reference() {
    avcodec_free_context(&ctx_);
    sws_freeContext(sws_);
}

std::vector<uint8_t> H263Reference::encode(const std::vector<uint8_t>& bgr) {
    std::vector<uint8_t> out;
    if (!ctx_) return out;
    AVFrame* frame = av_frame_alloc();
    frame->width = width_;
    frame->height = height_;
    frame->format = AV_PIX_FMT_YUV420P;
    av_frame_get_buffer(frame, 0);
    const uint8_t* src[1] = {bgr.data()};
    int stride[1] = {(3 * width_ + 3) & ~3};
    sws_scale(sws_, src, stride, 0, height_, frame->data, frame->linesize);
    frame->pts = pts_++;
    AVPacket* pkt = av_packet_alloc();
    if (avcodec_send_frame(ctx_, frame) >= 0 && avcodec_receive_packet(ctx_, pkt) >= 0)
        out.assign(pkt->data, pkt->data + pkt->size);
    av_packet_free(&pkt);
    av_frame_free(&frame);
    return out;
}

}  // namespace signal_check
