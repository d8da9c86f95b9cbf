#include "soundfx/core/dsp/filter_cascade.h"
#include <algorithm>
#include <cmath>
#include <cstring>

namespace soundfx {
namespace {

int slot(int mode, int section, int channel) { return mode * 2 + section * 4 + (channel & 1); }

void run(float* v, int n, FilterCascade* f, int channel, int mode) {
    if (!v || n <= 0) return;
    const double step = f->step, k = f->feedback, scale = f->scale, gain = f->gain;
    for (int s = 0; s < f->sections; ++s) {
        const int i = slot(mode, s, channel);
        double y = f->state[i], xp = f->previous[i];
        for (int j = 0; j < n; ++j) {
            const double x = v[j];
            y += step * (x - xp - y * k);
            xp = x;
            v[j] = float(mode == 0 ? scale * y * gain : (x - scale * y) * gain);
        }
        f->state[i] = y;
        f->previous[i] = xp;
    }
}

}  // namespace

void fx_filter_setup(int sections, double gain, FilterCascade* f) {
    f->sections = std::clamp(sections, 0, FilterCascade::kMaxSections);
    f->gain = gain;
    std::memset(f->state, 0, sizeof f->state);
    std::memset(f->previous, 0, sizeof f->previous);
    std::memset(f->resonant, 0, sizeof f->resonant);
}

void fx_filter_design(double freq, int rate, int channels, FilterCascade* f) {
    if (rate <= 0) rate = 44100;
    if (channels <= 0) channels = 1;
    freq = std::clamp(freq, 1.0, 0.3 * rate);
    f->scale = 1000.0;
    f->time_constant = 1.0 / (channels * freq * 1000.0 * 6.2831854);
    f->step = 0.001;
    f->feedback = 1.0 / (double(rate) * channels) / f->time_constant;
    std::memset(f->state, 0, sizeof f->state);
    std::memset(f->previous, 0, sizeof f->previous);
    std::memset(f->resonant, 0, sizeof f->resonant);
}

void fx_filter_highpass(float* v, int n, FilterCascade* f, int channel) { run(v, n, f, channel, 0); }
void fx_filter_lowpass(float* v, int n, FilterCascade* f, int channel) { run(v, n, f, channel, 1); }

void fx_filter_block(float* v, int n, int section, double freq, FilterCascade* f, int channel, int rate,
                     int channels) {
    if (!v || n <= 0 || rate <= 0 || channels <= 0) return;
    section = std::clamp(section, 0, FilterCascade::kMaxSections - 1);
    const int i = section * 4 + (channel & 1);
    const double cr = double(channels) * rate;
    const double q = (channels * freq * 3.1415927) * (channels * freq * 3.1415927);
    double g = f->state[i], e = f->resonant[i], xp = f->previous[i];
    for (int j = 0; j < n; ++j) {
        const double x = v[j];
        e += (x - xp - 0.2 * q * g / cr - 300.0 * e) / (0.05 * cr);
        g += e;
        xp = x;
        const double out = 500.0 * g;
        v[j] = float(std::isfinite(out) ? std::trunc(out) : 0.0);
    }
    f->state[i] = g;
    f->resonant[i] = e;
    f->previous[i] = xp;
}

}  // namespace soundfx
