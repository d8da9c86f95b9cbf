// Cascade of up to 10 one-pole sections for up to 2 channels (high-pass or its low-pass complement),
// and the resonant two-state filter that shares its record.
//
// One section with state y and previous input xp: y += step * (x - xp - y * K); xp = x; the high-pass
// output is scale * y * gain and the low-pass output (x - scale * y) * gain. With scale 1000 and step
// 0.001 that is z = p z + x - xp with the pole p = 1 - 2 pi f / rate.
#pragma once
#include "soundfx/core/dsp/simd.h"

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

// A cascade run sample by sample through all its sections at once (each section's output is rounded
// to float on its way to the next, as in the block form), for one channel (T double) or for both
// channels side by side (T f64x2, channels 0 and 1). Its memories stay here until put back.
template <class T, int Sections>
class CascadeRun {
public:
    CascadeRun(const FilterCascade& f, int mode, int channel)
        : mode_(mode), step_(T{} + f.step), k_(T{} + f.feedback), scale_(T{} + f.scale), gain_(T{} + f.gain) {
        for (int i = 0; i < Sections; ++i) {
            const int at = mode * 2 + i * 4 + (channel & 1);
            get(f.state + at, &y_[i]);
            get(f.previous + at, &xp_[i]);
        }
    }
    T operator()(T x) {
        for (int i = 0; i < Sections; ++i) x = section(i, x);
        return x;
    }
    // Section i alone.
    T section(int i, T x) {
        y_[i] += step_ * (x - xp_[i] - y_[i] * k_);
        xp_[i] = x;
        return to_float(mode_ == 0 ? scale_ * y_[i] * gain_ : (x - scale_ * y_[i]) * gain_);
    }
    void put_back(FilterCascade* f, int channel) const {
        for (int i = 0; i < Sections; ++i) {
            const int at = mode_ * 2 + i * 4 + (channel & 1);
            put(f->state + at, y_[i]);
            put(f->previous + at, xp_[i]);
        }
    }

private:
    static void get(const double* p, double* v) { *v = *p; }
    static void put(double* p, double v) { *p = v; }
    static double to_float(double v) { return float(v); }
    static void get(const double* p, f64x2* v) { *v = load2(p); }
    static void put(double* p, f64x2 v) { store2(p, v); }
    static f64x2 to_float(f64x2 v) {
        typedef float f32x2 __attribute__((vector_size(8)));
        return __builtin_convertvector(__builtin_convertvector(v, f32x2), f64x2);
    }

    int mode_;
    T step_, k_, scale_, gain_;
    T y_[Sections > 0 ? Sections : 1], xp_[Sections > 0 ? Sections : 1];
};

// The resonant filter of one section: with q = (c f pi)^2, per sample
// e += (x - xp - 0.2 q g / (c r) - 300 e) / (0.05 c r); g += e; xp = x; output trunc(500 g).
void fx_filter_block(float* v, int n, int section, double freq, FilterCascade* f, int channel, int rate,
                     int channels);

}  // namespace soundfx
