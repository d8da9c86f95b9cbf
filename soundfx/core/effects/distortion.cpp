#include "soundfx/core/effects/distortion.h"
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/dsp/simd.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {

void Distortion::reset(const Context& context) {
    on = 0;
    format_ = context.format;
    set_params(Params());
}

void Distortion::set_params(const Params& p) {
    params_.sense = limit_int(Limit::DistSense, p.sense);
    params_.strength = limit_int(Limit::DistStrength, p.strength);
    params_.drive = limit_int(Limit::DistDrive, p.drive);
    params_.lp_freq = limit_int(Limit::DistLpFreq, p.lp_freq);
    params_.noise_freq = limit_int(Limit::DistNoiseFreq, p.noise_freq);
    fx_filter_setup(kSections, 1.5, &pre_);
    fx_filter_design(params_.lp_freq, format_.rate, format_.channels, &pre_);
    fx_filter_setup(kSections, 1.0, &post_);
    fx_filter_design(params_.noise_freq, format_.rate, format_.channels, &post_);
    previous_[0] = previous_[1] = 0;
}

namespace {

// One channel (double) or both side by side (f64x2): x limited to -32768..32767 (NaN gives -32768),
// whole parts toward zero limited to +-2e9 (NaN gives -2e9), and the float rounding of a value.
inline double pcm_range(double x) { return clamp_finite(x, -32768.0, 32767.0); }
inline double whole(double y) { return int(clamp_finite(y, -2e9, 2e9)); }
inline double to_float(double v) { return float(v); }
inline f64x2 limit_lanes(f64x2 x, double lo, double hi) {
    x = x >= splat2(lo) ? x : splat2(lo);  // NaN gives lo
    return x > splat2(hi) ? splat2(hi) : x;
}
inline f64x2 pcm_range(f64x2 x) { return limit_lanes(x, -32768.0, 32767.0); }
inline f64x2 whole(f64x2 y) {
    typedef int i32x2 __attribute__((vector_size(8)));
    return __builtin_convertvector(__builtin_convertvector(limit_lanes(y, -2e9, 2e9), i32x2), f64x2);
}
inline f64x2 to_float(f64x2 v) {
    typedef float f32x2 __attribute__((vector_size(8)));
    return __builtin_convertvector(__builtin_convertvector(v, f32x2), f64x2);
}

}  // namespace

// Pre-filter, drive with the slew limit and level, post-filter and range: nine stages, each with a
// recursion of its own. Run one after another, each sample would wait for the stage before; instead
// the piece goes through in chunks, stage s working on chunk t - s while stage s - 1 works on the
// next, so that all nine recursions advance side by side. The samples past the last whole chunk go
// through every stage in turn.
template <class T>
void Distortion::run(T* x, int n, int channel, T& previous) {
    constexpr int kStages = 2 * kSections + 1, kChunk = 32;
    CascadeRun<T, kSections> pre(pre_, 1, channel), post(post_, 1, channel);
    const T sense = T{} + double(params_.sense), drive = T{} + params_.drive * 0.0625;
    const T level = T{} + params_.strength * 0.00390625;
    T p = previous;
    auto stage = [&](int s, T v) -> T {
        if (s < kSections) return pre.section(s, v);
        if (s > kSections) {
            v = post.section(s - kSections - 1, v);
            return s == kStages - 1 ? to_float(pcm_range(v)) : v;
        }
        v = drive * v;
        T y = p - v > sense ? p - sense : v;
        y = v - p > sense ? p + sense : y;
        p = whole(y);
        return to_float(level * y);
    };
    // buffer[s]: what stage s left for stage s + 1; stage s reads it before stage s - 1 overwrites it.
    T buffer[kStages][kChunk];
    const int chunks = n / kChunk;
    for (int t = 0; t < chunks + kStages - 1; ++t) {
        const bool all = t >= kStages - 1 && t < chunks;
        for (int j = 0; j < kChunk; ++j) {
#pragma GCC unroll 16
            for (int s = kStages - 1; s >= 0; --s) {
                if (!all && (t - s < 0 || t - s >= chunks)) continue;
                const T in = s == 0 ? x[t * kChunk + j] : buffer[s - 1][j];
                const T out = stage(s, in);
                if (s == kStages - 1) {
                    x[(t - s) * kChunk + j] = out;
                } else {
                    buffer[s][j] = out;
                }
            }
        }
    }
    for (int j = chunks * kChunk; j < n; ++j) {
        T v = x[j];
        for (int s = 0; s < kStages; ++s) v = stage(s, v);
        x[j] = v;
    }
    previous = p;
    pre.put_back(&pre_, channel);
    post.put_back(&post_, channel);
}

void Distortion::process_channel(float* x, int n, int channel, Work& work) {
    double* v = work.lanes.data();
    for (int j = 0; j < n; ++j) v[j] = x[j];
    double previous = previous_[channel & 1];
    run(v, n, channel, previous);
    previous_[channel & 1] = int(previous);
    for (int j = 0; j < n; ++j) x[j] = float(v[j]);
}

void Distortion::process_stereo(float* left, float* right, int n, Work& work) {
    f64x2* v = reinterpret_cast<f64x2*>(work.lanes.data());
    for (int j = 0; j < n; ++j) v[j] = f64x2{left[j], right[j]};
    f64x2 previous = {double(previous_[0]), double(previous_[1])};
    run(v, n, 0, previous);
    previous_[0] = int(previous[0]);
    previous_[1] = int(previous[1]);
    for (int j = 0; j < n; ++j) {
        left[j] = float(v[j][0]);
        right[j] = float(v[j][1]);
    }
}

void Distortion::check_state(StateCheck& check) const {
    check.add_all(pre_.state, 40);
    check.add_all(pre_.previous, 40);
    check.add_all(post_.state, 40);
    check.add_all(post_.previous, 40);
}

}  // namespace soundfx
