#include "soundfx/core/dsp/pcm.h"
#include <cmath>

namespace soundfx {

int fx_clip16(float x) {
    if (x != x) return 0;
    if (x >= 32767.0f) return 32767;
    if (x <= -32768.0f) return -32768;
    return static_cast<int>(std::nearbyint(x));
}

void pcm16_to_float(const int16_t* __restrict pcm, int n, float* __restrict out) {
    for (int j = 0; j < n; ++j) out[j] = float(pcm[j]);
}

void float_to_pcm16(const float* __restrict x, int n, int16_t* __restrict pcm) {
    for (int j = 0; j < n; ++j) pcm[j] = to_pcm16_trunc(x[j]);
}

void pcm16_stereo_to_float(const int16_t* __restrict pcm, int frames, float* __restrict left, float* __restrict right) {
    for (int j = 0; j < frames; ++j) {
        left[j] = float(pcm[2 * j]);
        right[j] = float(pcm[2 * j + 1]);
    }
}

void float_stereo_to_pcm16(const float* __restrict left, const float* __restrict right, int frames,
                           int16_t* __restrict pcm) {
    for (int j = 0; j < frames; ++j) {
        pcm[2 * j] = to_pcm16_trunc(left[j]);
        pcm[2 * j + 1] = to_pcm16_trunc(right[j]);
    }
}

double fx_db_to_gain(double db) { return std::pow(10.0, db * 0.05); }

double fx_smooth_coef(double ms, int rate) {
    const double samples = double(rate) * ms * 0.001;
    return samples > 0 ? 1.0 - 1.0 / samples : 0.0;
}

}  // namespace soundfx
