#include "codecs/tolmmp3dec/mp3dec_core.h"
#include <algorithm>
#include <cstring>
#include "media/mpa/mpa_header.h"
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

namespace mp3dec {

void Decoder::init() {
    close();
    pending_.clear();
}

void Decoder::close() {
    if (frame_) av_frame_free(&frame_);
    if (packet_) av_packet_free(&packet_);
    if (context_) avcodec_free_context(&context_);
    layer_ = channels_ = rate_ = 0;
}

int Decoder::open(const uint8_t* first_frame) {
    close();
    mpa::FrameHeader h;
    if (!first_frame || !mpa::parse_header(mpa::header_word(first_frame), &h)) return -1;
    static const char* const kNames[4] = {nullptr, "mp1", "mp2", "mp3"};
    av_log_set_level(AV_LOG_QUIET);  // damaged frames are the caller's business, not the console's
    const AVCodec* codec = avcodec_find_decoder_by_name(kNames[h.layer]);
    if (!codec) return -1;
    context_ = avcodec_alloc_context3(codec);
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!context_ || !packet_ || !frame_ || avcodec_open2(context_, codec, nullptr) < 0) {
        close();
        return -1;
    }
    layer_ = h.layer;
    channels_ = h.channels;
    rate_ = h.sample_rate;
    return 0;
}

void Decoder::take(const AVFrame* f) {
    const int ch = f->ch_layout.nb_channels;
    if (ch < 1) return;
    channels_ = ch;
    rate_ = f->sample_rate;
    const size_t base = pending_.size();
    pending_.resize(base + size_t(f->nb_samples) * size_t(ch) * 2);
    int16_t* out = reinterpret_cast<int16_t*>(pending_.data() + base);
    for (int i = 0; i < f->nb_samples; ++i) {
        for (int c = 0; c < ch; ++c) {
            int16_t v = 0;
            switch (f->format) {
                case AV_SAMPLE_FMT_S16P: v = reinterpret_cast<const int16_t*>(f->extended_data[c])[i]; break;
                case AV_SAMPLE_FMT_S16: v = reinterpret_cast<const int16_t*>(f->extended_data[0])[i * ch + c]; break;
                default: {
                    const float s = f->format == AV_SAMPLE_FMT_FLTP
                                        ? reinterpret_cast<const float*>(f->extended_data[c])[i]
                                        : reinterpret_cast<const float*>(f->extended_data[0])[i * ch + c];
                    v = int16_t(std::clamp(int(s * 32768.0f), -32768, 32767));
                }
            }
            out[size_t(i) * ch + c] = v;
        }
    }
}

void Decoder::decode(const uint8_t* frame, int length) {
    // libavcodec reads a little past the end of a packet
    padded_.assign(frame, frame + length);
    padded_.resize(size_t(length) + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    packet_->data = padded_.data();
    packet_->size = length;
    if (avcodec_send_packet(context_, packet_) < 0) return;
    while (avcodec_receive_frame(context_, frame_) == 0) take(frame_);
}

int Decoder::play(const Mp3FrameRecord* table, int count, uint8_t* pcm, int capacity) {
    if (!pcm || capacity < 0) return 0;
    if (table && count > 0 && !context_) {
        // opened by the first frame given when nobody opened the stream
        for (int i = 0; i < count && !context_; ++i)
            if (table[i].length >= 4 && table[i].length <= kMp3FrameBytes) open(table[i].frame);
    }
    if (table && context_) {
        for (int i = 0; i < count && i < kMp3FrameTableRecords; ++i) {
            const int length = table[i].length;
            if (length >= 1 && length <= kMp3FrameBytes) decode(table[i].frame, length);
        }
    }
    const size_t n = std::min(pending_.size(), size_t(capacity));
    if (n > 0) std::memcpy(pcm, pending_.data(), n);
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(n));
    return int(n);
}

}  // namespace mp3dec
