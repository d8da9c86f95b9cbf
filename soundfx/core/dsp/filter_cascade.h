// Cascade of up to 10 one-pole sections for up to 2 channels (high-pass or its low-pass complement),
// and the resonant two-state filter that shares its record.
//
// One section with state y and previous input xp: y += step * (x - xp - y * K); xp = x; the high-pass
// output is scale * y * gain and the low-pass output (x - scale * y) * gain. With scale 1000 and step
// 0.001 that is z = p z + x - xp with the pole p = 1 - 2 pi f / rate.
#pragma once

namespace soundfx {

struct FilterCascade {
    static constexpr int kMaxSections = 10;
    double state[40] = {};     // index mode * 2 + section * 4 + channel
    double previous[40] = {};  // previous input of the same slot
    int sections = 0;
    double gain = 1.0;
    double scale = 1000.0;
    double time_constant = 0.0;
    double step = 0.001;
    double feedback = 0.0;     // K
    double resonant[40] = {};  // second state of the resonant filter
};

// Section count (1..10) and output gain; all three state arrays zeroed.
void fx_filter_setup(int sections, double gain, FilterCascade* f);

// Designs every section for freq at the rate. The frequency is limited to 0.3 x rate (the pole then
// stays inside the unit circle; above rate / pi it would not) and the state is cleared.
void fx_filter_design(double freq, int rate, int channels, FilterCascade* f);

// Every section in mode 0 (high-pass) or 1 (low-pass) over the n values in place.
void fx_filter_highpass(float* v, int n, FilterCascade* f, int channel);
void fx_filter_lowpass(float* v, int n, FilterCascade* f, int channel);

// The resonant filter of one section: with q = (c f pi)^2, per sample
// e += (x - xp - 0.2 q g / (c r) - 300 e) / (0.05 c r); g += e; xp = x; output trunc(500 g).
void fx_filter_block(float* v, int n, int section, double freq, FilterCascade* f, int channel, int rate,
                     int channels);

}  // namespace soundfx
