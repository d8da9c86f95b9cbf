#include "soundfx/core/effects/echo.h"
#include <algorithm>
#include <cmath>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {

void Echo::reset(const Context& context) {
    on = 0;
    rate_ = context.format.rate;
    channels_ = context.format.channels;
    ring_frames_ = int(std::floor(kMaxDelay * rate_)) + kMaxPieceFrames + 1;
    ring_.assign(size_t(ring_frames_) * channels_, 0);
    write_ = 0;
    set_params(Params());
}

void Echo::clear() {
    std::fill(ring_.begin(), ring_.end(), int16_t(0));
    write_ = 0;
}

void Echo::release() {
    std::vector<int16_t>().swap(ring_);
    ring_frames_ = 0;
    write_ = 0;
}

void Echo::set_params(const Params& p) {
    params_.delay = float(limit(Limit::EchoDelay, p.delay));
    params_.gain = float(limit(Limit::EchoGain, p.gain));
    delay_frames_ = int(std::floor(double(rate_) * params_.delay));
}

void Echo::process(SoundBlock& piece, Work&) {
    if (ring_.empty() || piece.frames <= 0 || piece.channels != channels_) return;
    const double k = params_.gain;
    const double g = (0.25 * k + 1.0) / (1.3 * k + 1.0);
    const double dry = 0.2 * k + 1.0;
    const int c = channels_, d = std::min(delay_frames_, ring_frames_ - kMaxPieceFrames - 1);
    int16_t* s = piece.samples;
    for (int f = 0; f < piece.frames; ++f) {
        int back = write_ + f - d;
        if (back < 0) back += ring_frames_;
        int at = write_ + f;
        if (at >= ring_frames_) at -= ring_frames_;
        for (int ch = 0; ch < c; ++ch) {
            const double b = f < d ? ring_[size_t(back) * c + ch] : 0.0;
            const int16_t out = to_pcm16_trunc(g * (s[ch] * dry + k * b));
            s[ch] = out;
            ring_[size_t(at) * c + ch] = out;
        }
        s += c;
    }
    write_ = (write_ + piece.frames) % ring_frames_;
}

}  // namespace soundfx
