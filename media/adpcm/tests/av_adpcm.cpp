#include "av_adpcm.h"
#include <cmath>
#include <cstring>
#include <random>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
}

namespace av_adpcm {

namespace {

void set_channels(AVCodecContext* c, int channels) {
    av_channel_layout_default(&c->ch_layout, channels);
}

// Interleaved 16-bit input or output: the format the codec lists for it (packed or planar).
AVSampleFormat sample_format(const AVCodec* codec) {
    if (codec->sample_fmts)
        for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
            if (*f == AV_SAMPLE_FMT_S16 || *f == AV_SAMPLE_FMT_S16P) return *f;
    return AV_SAMPLE_FMT_S16;
}

}  // namespace

std::vector<Packet> encode(const char* encoder, const std::vector<int16_t>& pcm, int rate, int channels) {
    av_log_set_level(AV_LOG_QUIET);
    std::vector<Packet> packets;
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
    if (!codec) return packets;
    AVCodecContext* c = avcodec_alloc_context3(codec);
    c->sample_rate = rate;
    set_channels(c, channels);
    c->sample_fmt = sample_format(codec);
    if (avcodec_open2(c, codec, nullptr) < 0) {
        avcodec_free_context(&c);
        return packets;
    }
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    const int frame_size = c->frame_size > 0 ? c->frame_size : 1024;
    const size_t total = pcm.size() / size_t(channels);
    auto drain = [&] {
        while (avcodec_receive_packet(c, packet) == 0) {
            packets.emplace_back(packet->data, packet->data + packet->size);
            av_packet_unref(packet);
        }
    };
    for (size_t start = 0; start + size_t(frame_size) <= total; start += size_t(frame_size)) {
        frame->nb_samples = frame_size;
        frame->format = c->sample_fmt;
        frame->sample_rate = rate;
        av_channel_layout_copy(&frame->ch_layout, &c->ch_layout);
        av_frame_get_buffer(frame, 0);
        const int16_t* src = &pcm[start * size_t(channels)];
        if (c->sample_fmt == AV_SAMPLE_FMT_S16P) {
            for (int ch = 0; ch < channels; ++ch) {
                int16_t* dst = reinterpret_cast<int16_t*>(frame->data[ch]);
                for (int i = 0; i < frame_size; ++i) dst[i] = src[i * channels + ch];
            }
        } else {
            std::memcpy(frame->data[0], src, size_t(frame_size) * size_t(channels) * 2);
        }
        avcodec_send_frame(c, frame);
        av_frame_unref(frame);
        drain();
    }
    avcodec_send_frame(c, nullptr);
    drain();
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    return packets;
}

Decoder::Decoder(const char* decoder, int rate, int channels) : channels_(channels) {
    av_log_set_level(AV_LOG_QUIET);
    const AVCodec* codec = avcodec_find_decoder_by_name(decoder);
    if (!codec) return;
    context_ = avcodec_alloc_context3(codec);
    context_->sample_rate = rate;
    set_channels(context_, channels);
    if (avcodec_open2(context_, codec, nullptr) < 0) {
        avcodec_free_context(&context_);
        return;
    }
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
}

Decoder::~Decoder() {
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&context_);
}

std::vector<int16_t> Decoder::decode(const Packet& bytes) {
    std::vector<int16_t> out;
    if (!context_ || av_new_packet(packet_, int(bytes.size())) < 0) return out;
    std::memcpy(packet_->data, bytes.data(), bytes.size());
    const int sent = avcodec_send_packet(context_, packet_);
    av_packet_unref(packet_);
    if (sent < 0) return out;
    while (avcodec_receive_frame(context_, frame_) == 0) {
        const int n = frame_->nb_samples;
        const size_t base = out.size();
        out.resize(base + size_t(n) * size_t(channels_));
        const bool planar = av_sample_fmt_is_planar(AVSampleFormat(frame_->format));
        for (int i = 0; i < n; ++i)
            for (int ch = 0; ch < channels_; ++ch)
                out[base + size_t(i) * size_t(channels_) + size_t(ch)] =
                    planar ? reinterpret_cast<const int16_t*>(frame_->data[ch])[i]
                           : reinterpret_cast<const int16_t*>(frame_->data[0])[i * channels_ + ch];
        av_frame_unref(frame_);
    }
    return out;
}

int Decoder::decode_count(const Packet& bytes) {
    if (!context_) return 0;
    // The packet borrows the caller's bytes (libavcodec only reads them).
    packet_->data = const_cast<uint8_t*>(bytes.data());
    packet_->size = int(bytes.size());
    int samples = 0;
    if (avcodec_send_packet(context_, packet_) == 0)
        while (avcodec_receive_frame(context_, frame_) == 0) {
            samples += frame_->nb_samples;
            av_frame_unref(frame_);
        }
    packet_->data = nullptr;
    packet_->size = 0;
    return samples;
}

std::vector<int16_t> signal(int frames, int channels, int rate, double noise, unsigned seed) {
    std::vector<int16_t> pcm(size_t(frames) * size_t(channels));
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    for (int i = 0; i < frames; ++i)
        for (int ch = 0; ch < channels; ++ch) {
            const double t = double(i) / rate;
            const double tone = std::sin(2 * M_PI * (440.0 * (ch + 1) + 200.0 * t) * t);
            const double v = (1 - noise) * 0.8 * tone + noise * uniform(rng);
            pcm[size_t(i) * size_t(channels) + size_t(ch)] = int16_t(std::lround(v * 30000));
        }
    return pcm;
}

}  // namespace av_adpcm
