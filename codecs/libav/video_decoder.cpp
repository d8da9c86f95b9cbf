#include "codecs/libav/video_decoder.h"
#include "base/picture.h"
#include "codecs/libav/codec_context.h"
#include <cstring>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace libav {

namespace {
// Larger pictures are refused outright (they cannot come from the program's inputs).
constexpr int kMaxSide = 16384;
}  // namespace

int64_t picture_bytes(Layout layout, int width, int height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return 0;
    PixelFormat format = layout == Layout::kBgr24 ? PixelFormat::kBgr24 : PixelFormat::kYuy2;
    return int64_t(picture::natural_stride(format, width)) * height;
}

bool VideoDecoder::open(int codec_id, const uint8_t* extradata, int extradata_size, uint32_t codec_tag) {
    close();
    const AVCodec* codec = avcodec_find_decoder(AVCodecID(codec_id));
    if (!codec) return false;
    ctx_ = avcodec_alloc_context3(codec);
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    newest_ = av_frame_alloc();
    if (!ctx_ || !packet_ || !frame_ || !newest_) {
        close();
        return false;
    }
    if (!set_extradata(ctx_, extradata, extradata_size)) {
        close();
        return false;
    }
    ctx_->codec_tag = codec_tag;
    // One thread: a picture in gives its picture out in the same call (frame threads would delay it).
    ctx_->thread_count = 1;
    if (avcodec_open2(ctx_, codec, nullptr) < 0) {
        close();
        return false;
    }
    return true;
}

void VideoDecoder::close() {
    if (ctx_) avcodec_free_context(&ctx_);
    if (packet_) av_packet_free(&packet_);
    if (frame_) av_frame_free(&frame_);
    if (newest_) av_frame_free(&newest_);
    if (sws_) {
        sws_freeContext(sws_);
        sws_ = nullptr;
    }
    has_picture_ = false;
    draining_ = false;
    key_ = false;
    width_ = height_ = 0;
}

int VideoDecoder::coded_width() const { return ctx_ ? ctx_->width : 0; }
int VideoDecoder::coded_height() const { return ctx_ ? ctx_->height : 0; }

bool VideoDecoder::receive_one() {
    while (avcodec_receive_frame(ctx_, frame_) == 0) {
        if (frame_->width < 1 || frame_->height < 1 || frame_->width > kMaxSide || frame_->height > kMaxSide) {
            av_frame_unref(frame_);
            continue;
        }
        av_frame_unref(newest_);
        av_frame_move_ref(newest_, frame_);
        width_ = newest_->width;
        height_ = newest_->height;
        key_ = newest_->key_frame != 0;
        has_picture_ = true;
        return true;
    }
    return false;
}

int VideoDecoder::receive_all() {
    int pictures = 0;
    while (receive_one()) ++pictures;
    return pictures;
}

int VideoDecoder::decode(const uint8_t* data, int size) {
    if (!ctx_) return -1;
    if (!data || size <= 0) {
        // Drain: each call hands out the next delayed picture; after the last the decoder starts afresh.
        if (!draining_) {
            int result = avcodec_send_packet(ctx_, nullptr);
            if (result < 0 && result != AVERROR_EOF) {
                avcodec_flush_buffers(ctx_);
                return 0;
            }
            draining_ = true;
        }
        if (receive_one()) return 1;
        avcodec_flush_buffers(ctx_);
        draining_ = false;
        return 0;
    }
    if (draining_) {
        avcodec_flush_buffers(ctx_);
        draining_ = false;
    }
    if (av_new_packet(packet_, size) < 0) return -1;
    memcpy(packet_->data, data, size_t(size));
    int result = avcodec_send_packet(ctx_, packet_);
    av_packet_unref(packet_);
    if (result == AVERROR(EAGAIN)) {
        // The decoder holds pictures it has not handed out yet: take them, then send again.
        receive_all();
        if (av_new_packet(packet_, size) < 0) return -1;
        memcpy(packet_->data, data, size_t(size));
        result = avcodec_send_packet(ctx_, packet_);
        av_packet_unref(packet_);
    }
    if (result < 0) return -1;
    return receive_all();
}

int64_t VideoDecoder::write(uint8_t* out, int64_t capacity, Layout layout) {
    if (!has_picture_ || !out) return 0;
    int64_t bytes = picture_bytes(layout, width_, height_);
    if (bytes <= 0 || bytes > capacity) return 0;
    AVPixelFormat target = layout == Layout::kBgr24 ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_YUYV422;
    int stride = int(bytes / height_);
    if (newest_->format == target) {
        av_image_copy_plane(out, stride, newest_->data[0], newest_->linesize[0],
                            layout == Layout::kBgr24 ? 3 * width_ : 2 * width_, height_);
        return bytes;
    }
    sws_ = sws_getCachedContext(sws_, width_, height_, AVPixelFormat(newest_->format), width_, height_, target,
                                SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws_) return -1;
    uint8_t* planes[4] = {out, nullptr, nullptr, nullptr};
    int strides[4] = {stride, 0, 0, 0};
    if (sws_scale(sws_, newest_->data, newest_->linesize, 0, height_, planes, strides) != height_) return -1;
    return bytes;
}

int64_t VideoDecoder::decode_into(const uint8_t* data, int size, uint8_t* out, int64_t capacity, Layout layout) {
    int pictures = decode(data, size);
    if (pictures < 0) return -1;
    if (pictures == 0) return 0;
    return write(out, capacity, layout);
}

}  // namespace libav
