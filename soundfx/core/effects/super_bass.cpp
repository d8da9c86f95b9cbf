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

void SuperBass::process_channel(float* x, int n, int channel, Work&) {
    Biquad& q = shelves_[channel & 1].biquad;
    for (int j = 0; j < n; ++j) x[j] = float(clamp_finite(biquad_step(&q, x[j] / 32767.0), -1.0, 1.0) * 32767.0);
}

void SuperBass::check_state(StateCheck& check) const {
    for (const ShelfFilter& s : shelves_) check_biquad(check, s.biquad);
}

}  // namespace soundfx
