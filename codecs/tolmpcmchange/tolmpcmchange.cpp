// Ctolmpcmchange over libswresample. Channels are converted before resampling when going down to mono
// (half the work) and handed to the resampler as they are otherwise; mono to stereo copies the channel.
#include "tolmpcmchange.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libswresample/swresample.h>
}

namespace {
// Integer rates with the given ratio, large enough for the resampler's filter design.
void rates_for(double ratio, int* in_rate, int* out_rate) {
    AVRational q = av_d2q(ratio, 1 << 16);
    int num = q.num, den = q.den;
    while (num < 8000 || den < 8000) {
        if ((int64_t)num * 2 > (1 << 30) || (int64_t)den * 2 > (1 << 30)) break;
        num *= 2;
        den *= 2;
    }
    *out_rate = num;
    *in_rate = den;
}
}  // namespace

Ctolmpcmchange::~Ctolmpcmchange() { release(); }

void Ctolmpcmchange::release() {
    swr_free(&swr_);
    free(mixed_);
    mixed_ = nullptr;
    mixed_capacity_ = 0;
    free(joined_);
    joined_ = nullptr;
    joined_capacity_ = 0;
    carry_length_ = 0;
}

int Ctolmpcmchange::pcm_init(double ratio, int, int channels, int bits) {
    release();
    if (!(ratio >= 0.01 && ratio <= 100.0) || channels < 1 || channels > 2 || bits != 16) {
        in_channels_ = 0;
        return 0;
    }
    ratio_ = ratio;
    rates_for(ratio, &in_rate_, &out_rate_);
    in_channels_ = out_channels_ = channels;
    dirty_ = true;
    // Output of the largest block at two channels, plus the resampler's buffered tail.
    int64_t frames = (int64_t)std::ceil(kMaxBlockBytes / (2.0 * channels) * ratio) + 256;
    return (int)((frames * 4 + 7) / 8);
}

void Ctolmpcmchange::pcm_setch(int channels) {
    if (channels == 1 || channels == 2) {
        out_channels_ = channels;
        dirty_ = true;
    }
}

void Ctolmpcmchange::pcm_setbit(int) {}

bool Ctolmpcmchange::open() {
    if (!in_channels_) return false;
    if (!dirty_ && swr_) return true;
    swr_free(&swr_);
    // Mixing down happens before the resampler, so it always sees the smaller channel count.
    int channels = std::min(in_channels_, out_channels_);
    AVChannelLayout layout;
    av_channel_layout_default(&layout, channels);
    if (swr_alloc_set_opts2(&swr_, &layout, AV_SAMPLE_FMT_S16, out_rate_, &layout, AV_SAMPLE_FMT_S16, in_rate_, 0,
                            nullptr) < 0 ||
        swr_init(swr_) < 0) {
        swr_free(&swr_);
        return false;
    }
    dirty_ = false;
    return true;
}

int Ctolmpcmchange::pcm_change(const unsigned char* in, int length, unsigned char* out, int capacity, bool more) {
    if (!open() || length < 0 || capacity < 0 || (length > 0 && !in) || !out) return -1;
    const int work_channels = std::min(in_channels_, out_channels_);
    // A block may end inside a sample frame: its first bytes wait for the next block.
    if (carry_length_ > 0 && length > 0) {
        if (length + carry_length_ > joined_capacity_) {
            unsigned char* grown = static_cast<unsigned char*>(realloc(joined_, length + carry_length_));
            if (!grown) return -1;
            joined_ = grown;
            joined_capacity_ = length + carry_length_;
        }
        memcpy(joined_, carry_, carry_length_);
        memcpy(joined_ + carry_length_, in, length);
        in = joined_;
        length += carry_length_;
        carry_length_ = 0;
    }
    const int frame_bytes = 2 * in_channels_;
    int in_frames = length / frame_bytes;
    if (length % frame_bytes) {
        carry_length_ = length % frame_bytes;
        memcpy(carry_, in + in_frames * frame_bytes, carry_length_);
    }
    const uint8_t* source = in;
    if (in_channels_ == 2 && work_channels == 1 && in_frames > 0) {
        if (in_frames > mixed_capacity_) {
            int16_t* grown = static_cast<int16_t*>(realloc(mixed_, in_frames * sizeof(int16_t)));
            if (!grown) return -1;
            mixed_ = grown;
            mixed_capacity_ = in_frames;
        }
        for (int i = 0; i < in_frames; ++i) {
            int16_t l, r;
            memcpy(&l, in + 4 * i, 2);
            memcpy(&r, in + 4 * i + 2, 2);
            mixed_[i] = (int16_t)((l + r) / 2);
        }
        source = reinterpret_cast<const uint8_t*>(mixed_);
    }
    // The resampler writes work_channels; mono to stereo doubles each frame afterwards, in place from the end.
    const int out_frame_bytes = 2 * out_channels_;
    int out_frames = capacity / out_frame_bytes;
    int written = 0;
    const uint8_t* inputs[1] = {source};
    uint8_t* outputs[1] = {out};
    int n = swr_convert(swr_, outputs, out_frames, in_frames ? inputs : nullptr, in_frames);
    if (n < 0) return -1;
    written = n;
    if (!more && written < out_frames) {
        uint8_t* tail[1] = {out + written * 2 * work_channels};
        int m = swr_convert(swr_, tail, out_frames - written, nullptr, 0);
        if (m > 0) written += m;
        dirty_ = true;  // the next block starts a new stream
        carry_length_ = 0;
    }
    if (work_channels == 1 && out_channels_ == 2) {
        int16_t* samples = reinterpret_cast<int16_t*>(out);
        for (int i = written - 1; i >= 0; --i) {
            int16_t v;
            memcpy(&v, out + 2 * i, 2);
            memcpy(samples + 2 * i, &v, 2);
            memcpy(samples + 2 * i + 1, &v, 2);
        }
    }
    return written * out_frame_bytes;
}

int Ctolmpcmchange::pcm_getch(const unsigned char* in, unsigned char* out, int length, int channels, int index,
                              int bits) {
    if (!in || !out || channels < 1 || index < 0 || index >= channels || bits != 16 || length <= 0) return 0;
    int frames = length / (2 * channels);
    for (int i = 0; i < frames; ++i) memmove(out + 2 * i, in + 2 * (i * channels + index), 2);
    return frames * 2;
}
