#include "aac_core.h"
#include <cstring>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

namespace aacenc {

int Encoder::open(int sample_rate, int channels, int bitrate, uint8_t* config, int config_capacity,
                  int* config_length) {
    close();
    if (config_length) *config_length = 0;
    if (channels < 1 || channels > 2 || sample_rate < 8000 || sample_rate > 96000) return -1;
    const AVCodec* codec = avcodec_find_encoder_by_name("aac");
    if (!codec) return -1;
    ctx_ = avcodec_alloc_context3(codec);
    if (!ctx_) return -1;
    ctx_->sample_rate = sample_rate;
    av_channel_layout_default(&ctx_->ch_layout, channels);
    ctx_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    ctx_->bit_rate = bitrate > 0 ? bitrate : 128000;
    ctx_->profile = FF_PROFILE_AAC_LOW;
    ctx_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    ctx_->time_base = AVRational{1, sample_rate};
    if (avcodec_open2(ctx_, codec, nullptr) < 0) {
        close();
        return -1;
    }
    channels_ = channels;
    frame_samples_ = ctx_->frame_size;
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!frame_ || !packet_) {
        close();
        return -1;
    }
    frame_->nb_samples = frame_samples_;
    frame_->format = ctx_->sample_fmt;
    av_channel_layout_copy(&frame_->ch_layout, &ctx_->ch_layout);
    frame_->sample_rate = sample_rate;
    if (av_frame_get_buffer(frame_, 0) < 0) {
        close();
        return -1;
    }
    if (config && config_length && ctx_->extradata_size <= config_capacity) {
        memcpy(config, ctx_->extradata, ctx_->extradata_size);
        *config_length = ctx_->extradata_size;
    }
    pts_ = 0;
    return frame_samples_ * channels_;
}

int Encoder::encode(const uint8_t* pcm, int bytes, uint8_t* out, int capacity, unsigned* duration) {
    if (!ctx_ || !pcm || !out || bytes != frame_bytes()) return -1;
    if (av_frame_make_writable(frame_) < 0) return -1;
    for (int c = 0; c < channels_; ++c) {
        float* plane = reinterpret_cast<float*>(frame_->data[c]);
        for (int i = 0; i < frame_samples_; ++i) {
            int16_t v;
            memcpy(&v, pcm + 2 * (i * channels_ + c), 2);
            plane[i] = v / 32768.0f;
        }
    }
    frame_->pts = pts_;
    pts_ += frame_samples_;
    if (avcodec_send_frame(ctx_, frame_) < 0) return -1;
    int ret = avcodec_receive_packet(ctx_, packet_);
    if (ret == AVERROR(EAGAIN)) return 0;
    if (ret < 0) return -1;
    int n = packet_->size;
    if (n > capacity) n = -1;
    else memcpy(out, packet_->data, n);
    if (duration) *duration = packet_->duration > 0 ? (unsigned)packet_->duration : (unsigned)frame_samples_;
    av_packet_unref(packet_);
    return n;
}

void Encoder::close() {
    avcodec_free_context(&ctx_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    channels_ = frame_samples_ = 0;
}

}  // namespace aacenc
