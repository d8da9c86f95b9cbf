#include "mp3_core.h"
#include <algorithm>
#include <cstring>
#include <lame/lame.h>

namespace mp3enc {
namespace {
lame_global_flags* flags(void* p) { return static_cast<lame_global_flags*>(p); }
}

int frame_length(const uint8_t* p) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return 0;
    const int version = (p[1] >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    const int layer = (p[1] >> 1) & 3;    // 1 = layer III
    const int bitrate_index = p[2] >> 4, rate_index = (p[2] >> 2) & 3, padding = (p[2] >> 1) & 1;
    if (version == 1 || layer != 1 || bitrate_index == 0 || bitrate_index == 15 || rate_index == 3) return 0;
    static const int kV1[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int kV2[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int kRates[3] = {44100, 48000, 32000};
    int rate = kRates[rate_index] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    int kbps = version == 3 ? kV1[bitrate_index] : kV2[bitrate_index];
    return (version == 3 ? 144000 : 72000) * kbps / rate + padding;
}

int Encoder::open(const Settings& s, int* frame_samples, int* output_size) {
    close();
    if (s.channels < 1 || s.channels > 2) return -1;
    lame_ = lame_init();
    if (!lame_) return -1;
    lame_global_flags* gf = flags(lame_);
    lame_set_in_samplerate(gf, s.sample_rate);
    lame_set_out_samplerate(gf, s.sample_rate);
    lame_set_num_channels(gf, s.channels);
    lame_set_mode(gf, s.channels == 1 ? MONO : JOINT_STEREO);
    lame_set_bWriteVbrTag(gf, s.mode == RateMode::Variable ? 1 : 0);
    switch (s.mode) {
    case RateMode::Constant:
        lame_set_VBR(gf, vbr_off);
        lame_set_brate(gf, s.kbps);
        break;
    case RateMode::Average:
        lame_set_VBR(gf, vbr_abr);
        lame_set_VBR_mean_bitrate_kbps(gf, s.average_kbps);
        break;
    case RateMode::Variable:
        lame_set_VBR(gf, vbr_default);
        lame_set_VBR_q(gf, std::clamp(s.quality, 0, 9));
        lame_set_VBR_min_bitrate_kbps(gf, s.min_kbps);
        lame_set_VBR_max_bitrate_kbps(gf, std::max(s.min_kbps, s.max_kbps));
        break;
    }
    if (lame_init_params(gf) < 0) {
        close();
        return -1;
    }
    channels_ = s.channels;
    const int per_channel = lame_get_framesize(gf);
    // lame's bound for one call (1.25 x samples + 7200) also covers the flush; whole frames held back
    // from earlier calls add at most one frame (1441 bytes).
    output_size_ = per_channel * 5 / 4 + 7200 + 1441 * 2;
    *frame_samples = per_channel * s.channels;
    *output_size = output_size_;
    return 0;
}

int extract_frames(const uint8_t* bytes, size_t length, uint8_t* out, int capacity, size_t* consumed) {
    *consumed = 0;
    size_t pos = 0, done = 0;
    int64_t total = 0;
    for (int pass = 0; pass < 2; ++pass) {  // measure, then copy
        pos = done = 0;
        int written = 0;
        while (pos + 4 <= length) {
            int n = frame_length(bytes + pos);
            if (n == 0) {
                done = ++pos;
                continue;
            }
            if (pos + n > length) break;
            if (pass == 0) {
                total += n;
            } else {
                memcpy(out + written, bytes + pos, n);
                written += n;
            }
            done = pos += n;
        }
        if (pass == 0 && total > capacity) return -1;
    }
    *consumed = done;
    return int(total);
}

int Encoder::take_frames(uint8_t* out) {
    size_t consumed = 0;
    int n = extract_frames(pending_.data(), pending_.size(), out, output_size_, &consumed);
    if (n < 0) return 0;  // cannot happen with the documented capacity; the data stays
    pending_.erase(pending_.begin(), pending_.begin() + consumed);
    return n;
}

int Encoder::encode(const int16_t* pcm, int samples, uint8_t* out) {
    if (!lame_ || !pcm || !out || samples < 0) return -1;
    const int frames = samples / channels_;
    std::vector<uint8_t> coded(frames * 5 / 4 + 7200);
    int n = channels_ == 1
                ? lame_encode_buffer(flags(lame_), const_cast<short*>(pcm), const_cast<short*>(pcm), frames,
                                     coded.data(), (int)coded.size())
                : lame_encode_buffer_interleaved(flags(lame_), const_cast<short*>(pcm), frames, coded.data(),
                                                 (int)coded.size());
    if (n < 0) return -1;
    pending_.insert(pending_.end(), coded.begin(), coded.begin() + n);
    return take_frames(out);
}

int Encoder::finish(uint8_t* out) {
    if (!lame_ || !out) return -1;
    std::vector<uint8_t> coded(7200 + 1441);
    int n = lame_encode_flush(flags(lame_), coded.data(), (int)coded.size());
    if (n > 0) pending_.insert(pending_.end(), coded.begin(), coded.begin() + n);
    int taken = take_frames(out);
    info_.resize(2880);
    size_t info = lame_get_lametag_frame(flags(lame_), info_.data(), info_.size());
    info_.resize(info <= 2880 ? info : 0);
    lame_close(flags(lame_));
    lame_ = nullptr;
    pending_.clear();
    return taken;
}

int Encoder::info_frame(uint8_t* out, int capacity) const {
    if (info_.empty() || (int)info_.size() > capacity || !out) return 0;
    memcpy(out, info_.data(), info_.size());
    return (int)info_.size();
}

void Encoder::close() {
    if (lame_) lame_close(flags(lame_));
    lame_ = nullptr;
    pending_.clear();
}

}  // namespace mp3enc
