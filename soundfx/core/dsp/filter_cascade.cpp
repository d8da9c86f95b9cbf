#include "soundfx/core/dsp/filter_cascade.h"
#include <algorithm>
#include <cmath>
#include <cstring>

namespace soundfx {
namespace {

template <int Sections>
void run_sections(float* v, int n, FilterCascade* f, int channel, int mode) {
    CascadeRun<double, Sections> run(*f, mode, channel);
    for (int j = 0; j < n; ++j) v[j] = float(run(v[j]));
    run.put_back(f, channel);
}

// All sections in one pass over the block, so that their recursions run side by side.
void run(float* v, int n, FilterCascade* f, int channel, int mode) {
    if (!v || n <= 0) return;
    switch (f->sections) {
    case 1: return run_sections<1>(v, n, f, channel, mode);
    case 2: return run_sections<2>(v, n, f, channel, mode);
    case 3: return run_sections<3>(v, n, f, channel, mode);
    case 4: return run_sections<4>(v, n, f, channel, mode);
    case 5: return run_sections<5>(v, n, f, channel, mode);
    case 6: return run_sections<6>(v, n, f, channel, mode);
    case 7: return run_sections<7>(v, n, f, channel, mode);
    case 8: return run_sections<8>(v, n, f, channel, mode);
    case 9: return run_sections<9>(v, n, f, channel, mode);
    case 10: return run_sections<10>(v, n, f, channel, mode);
    default: return;
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
