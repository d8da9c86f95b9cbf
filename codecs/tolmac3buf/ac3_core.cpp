#include "codecs/tolmac3buf/ac3_core.h"
#include <algorithm>
#include <cstring>
extern "C" {
#include <stdint.h>
#include <a52dec/a52.h>
}

namespace ac3dec {

int Decoder::init() {
    close();
    state_ = reinterpret_cast<a52_state_s*>(a52_init(0));
    pending_.clear();
    return state_ ? 0 : -1;
}

void Decoder::close() {
    if (state_) a52_free(reinterpret_cast<a52_state_t*>(state_));
    state_ = nullptr;
}

int Decoder::read(const uint8_t* frame, int length, uint8_t* out, int capacity, int* out_length) {
    int result = 0;
    if (state_ && frame && length >= 7) {
        a52_state_t* state = reinterpret_cast<a52_state_t*>(state_);
        // liba52 takes a mutable buffer and may read the whole frame its header announces
        frame_.assign(frame, frame + length);
        frame_.resize(size_t(length) + 8, 0);
        int flags = 0, rate = 0, bitrate = 0;
        const int size = a52_syncinfo(frame_.data(), &flags, &rate, &bitrate);
        if (size <= 0 || size > length) {
            result = -1;
        } else {
            flags = A52_STEREO | A52_ADJUST_LEVEL;
            sample_t level = 1;
            if (a52_frame(state, frame_.data(), &flags, &level, 0) != 0) {
                result = -1;
            } else {
                rate_ = rate;
                // a mono source stays mono in liba52's mix: it is given to both channels
                const bool mono = (flags & A52_CHANNEL_MASK) == A52_MONO;
                const size_t base = pending_.size();
                pending_.resize(base + 6 * 256 * kOutputChannels * 2);
                int16_t* pcm = reinterpret_cast<int16_t*>(pending_.data() + base);
                for (int block = 0; block < 6; ++block) {
                    if (a52_block(state) != 0) {
                        std::fill(pcm + block * 512, pcm + 6 * 512, int16_t(0));
                        result = -1;
                        break;
                    }
                    const sample_t* s = a52_samples(state);  // 256 left, then 256 right
                    for (int i = 0; i < 256; ++i)
                        for (int c = 0; c < kOutputChannels; ++c) {
                            const float v = float(s[(mono ? 0 : c) * 256 + i]) * 32767.0f;
                            pcm[block * 512 + i * 2 + c] = int16_t(std::clamp(int(v), -32768, 32767));
                        }
                }
            }
        }
    }
    const size_t n = out && capacity > 0 ? std::min(pending_.size(), size_t(capacity)) : 0;
    if (n) std::memcpy(out, pending_.data(), n);
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(n));
    if (out_length) *out_length = int(n);
    return result;
}

}  // namespace ac3dec
