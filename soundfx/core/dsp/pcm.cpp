#include "soundfx/core/dsp/pcm.h"
#include <cmath>
#include <cstring>

namespace soundfx {

void pcm16_to_channels(const int16_t* __restrict pcm, int frames, int channels, float* __restrict left,
                       float* __restrict right) {
    if (channels != 2) {
        for (int j = 0; j < frames; ++j) left[j] = float(pcm[j]);
        return;
    }
    for (int j = 0; j < frames; ++j) {
        left[j] = float(pcm[2 * j]);
        right[j] = float(pcm[2 * j + 1]);
    }
}

void channels_to_pcm16(const float* __restrict left, const float* __restrict right, int frames, int channels,
                       int16_t* __restrict pcm) {
    if (channels != 2) {
        for (int j = 0; j < frames; ++j) pcm[j] = to_pcm16_trunc(left[j]);
        return;
    }
    for (int j = 0; j < frames; ++j) {
        pcm[2 * j] = to_pcm16_trunc(left[j]);
        pcm[2 * j + 1] = to_pcm16_trunc(right[j]);
    }
}

void truncate_pcm16(float* x, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const i32x4 q = __builtin_convertvector(saturate_pcm16(load4(x + i)), i32x4);
        store4(x + i, __builtin_convertvector(q, f32x4));
    }
    for (; i < n; ++i) x[i] = float(to_pcm16_trunc(x[i]));
}

void rounded_scaled_to_pcm16(const float* x, int n, float scale, int16_t* pcm) {
    typedef int16_t i16x4 __attribute__((vector_size(8)));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const f32x4 y = saturate_pcm16(round_pcm16(load4(x + i)) * splat4(scale));
        const i16x4 q = __builtin_convertvector(__builtin_convertvector(y, i32x4), i16x4);
        std::memcpy(pcm + i, &q, sizeof q);
    }
    for (; i < n; ++i) pcm[i] = to_pcm16_trunc(round_pcm16(x[i]) * scale);
}

double fx_db_to_gain(double db) { return std::pow(10.0, db * 0.05); }

double fx_smooth_coef(double ms, int rate) {
    const double samples = double(rate) * ms * 0.001;
    return samples > 0 ? 1.0 - 1.0 / samples : 0.0;
}

}  // namespace soundfx
