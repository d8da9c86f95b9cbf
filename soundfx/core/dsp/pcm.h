// Conversions between the effects' float samples and 16-bit PCM, and the two small level helpers.
#pragma once
#include <cstdint>
#include "soundfx/core/dsp/simd.h"

namespace soundfx {

// Limits x to -32768..32767; NaN gives 0.
inline float saturate_pcm16(float x) {
    x = x == x ? x : 0.0f;
    x = x > 32767.0f ? 32767.0f : x;
    return x < -32768.0f ? -32768.0f : x;
}

inline f32x4 saturate_pcm16(f32x4 x) {
    x = x == x ? x : splat4(0.0f);
    x = x > splat4(32767.0f) ? splat4(32767.0f) : x;
    return x < splat4(-32768.0f) ? splat4(-32768.0f) : x;
}

// saturate_pcm16(x) rounded to a whole number: adding and taking off 1.5 x 2^23 rounds as the rounding
// mode does, to nearest with ties to even by default and always while the chain runs.
inline float round_pcm16(float x) { return (saturate_pcm16(x) + 12582912.0f) - 12582912.0f; }
inline f32x4 round_pcm16(f32x4 x) { return (saturate_pcm16(x) + splat4(12582912.0f)) - splat4(12582912.0f); }

// Nearest integer (ties to even), saturated to -32768..32767; NaN gives 0. (The bit trick this
// replaces went wrong for large negative values and for NaN.)
inline int fx_clip16(float x) { return static_cast<int>(round_pcm16(x)); }

// Write-back of the float adapters: truncation toward zero, saturated; NaN gives 0.
inline int16_t to_pcm16_trunc(double x) {
    if (x != x) return 0;
    if (x >= 32767.0) return 32767;
    if (x <= -32768.0) return -32768;
    return static_cast<int16_t>(static_cast<int>(x));
}
inline int16_t to_pcm16_trunc(float x) { return static_cast<int16_t>(static_cast<int>(saturate_pcm16(x))); }

// The channels of an interleaved piece (1 or 2; right unused for one) as floats, and back through
// to_pcm16_trunc, each in one pass written for the vectorizer.
void pcm16_to_channels(const int16_t* pcm, int frames, int channels, float* left, float* right);
void channels_to_pcm16(const float* left, const float* right, int frames, int channels, int16_t* pcm);
// Each x as to_pcm16_trunc leaves it, kept as a float.
void truncate_pcm16(float* x, int n);
// Each x rounded to a whole number (round_pcm16), times scale, back through to_pcm16_trunc.
void rounded_scaled_to_pcm16(const float* x, int n, float scale, int16_t* pcm);

// 10^(dB * 0.05).
double fx_db_to_gain(double db);

// 1 - 1 / (rate * ms * 0.001): the coefficient of a one-pole smoother with a time constant of ms.
double fx_smooth_coef(double ms, int rate);

// Limits x to lo..hi; NaN gives lo.
inline double clamp_finite(double x, double lo, double hi) {
    if (!(x >= lo)) return lo;
    return x > hi ? hi : x;
}

}  // namespace soundfx
