#include "codecs/libav/audio_decoder.h"
#include "codecs/libav/codec_context.h"
#include <algorithm>
#include <cstring>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace libav {

namespace {
// More PCM than this waiting means the caller never takes it: the oldest is dropped.
constexpr size_t kMaxPending = 1 << 20;
}  // namespace

bool AudioDecoder::open(const AudioFormat& format, int out_rate, int out_channels) {
    close();
    if (out_rate < 0 || out_channels < 0 || out_channels > 2) return false;
    const AVCodec* codec = avcodec_find_decoder(AVCodecID(format.codec_id));
    if (!codec || codec->type != AVMEDIA_TYPE_AUDIO) return false;
    ctx_ = avcodec_alloc_context3(codec);
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!ctx_ || !packet_ || !frame_) {
        close();
        return false;
    }
    if (!set_extradata(ctx_, format.extradata, format.extradata_size)) {
        close();
        return false;
    }
    ctx_->sample_rate = format.sample_rate;
    if (format.channels > 0) av_channel_layout_default(&ctx_->ch_layout, format.channels);
    ctx_->block_align = format.block_align;
    ctx_->bits_per_coded_sample = format.bits_per_coded_sample;
    ctx_->thread_count = 1;
    if (avcodec_open2(ctx_, codec, nullptr) < 0) {
        close();
        return false;
    }
    out_rate_ = out_rate;
    out_channels_ = out_channels;
    return true;
}

void AudioDecoder::close() {
    if (ctx_) avcodec_free_context(&ctx_);
    if (packet_) av_packet_free(&packet_);
    if (frame_) av_frame_free(&frame_);
    if (swr_) swr_free(&swr_);
    swr_in_rate_ = 0;
    swr_in_format_ = -1;
    swr_in_channels_ = 0;
    out_rate_ = out_channels_ = 0;
    pending_.clear();
}

bool AudioDecoder::convert(AVFrame* frame) {
    int in_channels = frame->ch_layout.nb_channels;
    if (frame->sample_rate <= 0 || in_channels <= 0 || frame->nb_samples <= 0) return false;
    if (out_rate_ == 0) out_rate_ = frame->sample_rate;
    if (out_channels_ == 0) out_channels_ = std::min(in_channels, 2);
    if (!swr_ || swr_in_rate_ != frame->sample_rate || swr_in_format_ != frame->format ||
        swr_in_channels_ != in_channels) {
        if (swr_) swr_free(&swr_);
        AVChannelLayout out_layout;
        av_channel_layout_default(&out_layout, out_channels_);
        AVChannelLayout in_layout;
        if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&in_layout, in_channels);
        else
            av_channel_layout_copy(&in_layout, &frame->ch_layout);
        int result = swr_alloc_set_opts2(&swr_, &out_layout, AV_SAMPLE_FMT_S16, out_rate_, &in_layout,
                                         AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&in_layout);
        av_channel_layout_uninit(&out_layout);
        if (result < 0 || swr_init(swr_) < 0) {
            if (swr_) swr_free(&swr_);
            return false;
        }
        swr_in_rate_ = frame->sample_rate;
        swr_in_format_ = frame->format;
        swr_in_channels_ = in_channels;
    }
    int room = swr_get_out_samples(swr_, frame->nb_samples);
    if (room <= 0) return true;
    size_t frame_bytes = size_t(out_channels_) * 2;
    size_t old = pending_.size();
    pending_.resize(old + size_t(room) * frame_bytes);
    uint8_t* dst[1] = {pending_.data() + old};
    int made = swr_convert(swr_, dst, room, const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    pending_.resize(old + size_t(std::max(made, 0)) * frame_bytes);
    if (pending_.size() > kMaxPending) {
        size_t drop = (pending_.size() - kMaxPending) / frame_bytes * frame_bytes;
        pending_.erase(pending_.begin(), pending_.begin() + drop);
    }
    return made >= 0;
}

int AudioDecoder::take_pending(uint8_t* out, int capacity) {
    if (!out || capacity <= 0 || out_channels_ <= 0) return 0;
    size_t frame_bytes = size_t(out_channels_) * 2;
    size_t n = std::min(pending_.size(), size_t(capacity) / frame_bytes * frame_bytes);
    memcpy(out, pending_.data(), n);
    pending_.erase(pending_.begin(), pending_.begin() + n);
    return int(n);
}

int AudioDecoder::decode(const uint8_t* data, int size, uint8_t* out, int capacity) {
    if (!ctx_ || !data || size <= 0) return -1;
    if (av_new_packet(packet_, size) < 0) return -1;
    memcpy(packet_->data, data, size_t(size));
    int result = avcodec_send_packet(ctx_, packet_);
    av_packet_unref(packet_);
    if (result < 0) return -1;
    while (avcodec_receive_frame(ctx_, frame_) == 0) {
        bool ok = convert(frame_);
        av_frame_unref(frame_);
        if (!ok) return -1;
    }
    return take_pending(out, capacity);
}

}  // namespace libav
