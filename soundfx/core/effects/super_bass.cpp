#include "soundfx/core/effects/super_bass.h"
#include <cmath>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {

void SuperBass::reset(const Context& context) {
    on = 0;
    rate_ = context.format.rate;
    for (ShelfFilter& s : shelves_) fx_shelf_design(rate_, &s);
}

void SuperBass::set_params(const Params& p) {
    params_.freq = limit_int(Limit::BassFreq, p.freq);
    params_.gain = limit_int(Limit::BassGain, p.gain);
    for (ShelfFilter& s : shelves_) fx_bass_design(params_.freq, params_.gain, rate_, &s);
}

// Lane l runs section l over x[l]: the two channels, or one channel twice.
void SuperBass::run(Biquad* first, Biquad* second, float* x0, float* x1, int n) {
    BiquadPair q(first, second);
    for (int j = 0; j < n; ++j) {
        f64x2 y = q.step(f64x2{x0[j] / 32767.0, x1[j] / 32767.0});
        y = y >= -1.0 ? y : f64x2{-1.0, -1.0};  // NaN gives -1
        y = y > 1.0 ? f64x2{1.0, 1.0} : y;
        y *= 32767.0;
        x0[j] = float(y[0]);
        x1[j] = float(y[1]);
    }
    q.put_back();
}

void SuperBass::process_channel(float* x, int n, int channel, Work&) {
    Biquad* q = &shelves_[channel & 1].biquad;
    run(q, q, x, x, n);
}

void SuperBass::process_stereo(float* left, float* right, int n, Work&) {
    run(&shelves_[0].biquad, &shelves_[1].biquad, left, right, n);
}

void SuperBass::check_state(StateCheck& check) const {
    for (const ShelfFilter& s : shelves_) check_biquad(check, s.biquad);
}

}  // namespace soundfx
