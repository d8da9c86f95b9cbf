#include "soundfx/core/slider_map.h"
#include <algorithm>
#include <cmath>
#include <limits>

namespace soundfx {
namespace slider {
namespace {

const Control kControls[] = {
    // Effects page 1.
    {3005, 1, "echo gain", 0, 10, 2, 3, 6},
    {3068, 1, "echo delay", 0, 16, 2, 3, 10},
    {3010, 1, "pitch", 3, 19, 1, 5, 12},
    {3025, 1, "pitch quality", 1, 8, 1, 2, 6},
    {3008, 1, "phaser lowest frequency", 10, 800, 5, 200, 600},
    {3013, 1, "phaser highest frequency", 801, 4000, 5, 1000, 2000},
    {3009, 1, "phaser sweep rate", 1, 100, 5, 40, 60},
    {3011, 1, "phaser depth", 1, 10, 1, 4, 10},
    {3024, 1, "phaser feedback", 1, 100, 1, 40, 80},
    {3006, 1, "sweep feedback", 0, 80, 5, 40, 60},
    {3014, 1, "chorus feedback", 0, 80, 5, 40, 60},
    {3007, 1, "sweep depth", 1, 100, 5, 40, 80},
    {3015, 1, "chorus depth", 1, 100, 5, 40, 80},
    {3012, 1, "sweep rate", 1, 3500, 1, 300, 2000},
    {3016, 1, "chorus rate", 1, 3500, 1, 300, 1000},
    {3020, 1, "sweep wet", 0, 100, 1, 30, 80},
    {3022, 1, "chorus wet", 0, 100, 1, 30, 80},
    {3021, 1, "sweep dry", 0, 100, 1, 30, 80},
    {3023, 1, "chorus dry", 0, 100, 1, 30, 80},
    {3017, 1, "AM gain", 0, 80, 5, 40, 60},
    {3018, 1, "AM depth", 1, 100, 5, 40, 60},
    {3019, 1, "AM period", 1, 3500, 1, 300, 1000},
    // Effects page 2.
    {3014, 2, "compressor threshold", 1, 60, 2, 10, 40},
    {3015, 2, "compressor ratio", 0, 10, 1, 4, 6},
    {3023, 2, "compressor attack", 1, 1000, 1, 4, 6},
    {3024, 2, "compressor release", 1, 1000, 1, 4, 6},
    {3016, 2, "reverb tap level", 0, 80, 5, 40, 60},
    {3017, 2, "reverb tap count", 1, 100, 5, 40, 80},
    {3018, 2, "reverb comb feedback", 0, 100, 10, 30, 100},
    {3030, 2, "reverb pre-delay", 1, 1000, 10, 300, 1000},
    {3031, 2, "reverb feedback time", 1, 1000, 10, 300, 1000},
    {3032, 2, "reverb decay", 0, 100, 10, 30, 80},
    {3019, 2, "overdrive sense", 100, 10000, 20, 400, 6000},
    {3020, 2, "overdrive low-pass frequency", 300, 6000, 100, 3000, 4000},
    {3021, 2, "distortion level", 1, 256, 5, 400, 600},
    {3035, 2, "distortion drive", 10, 1000, 5, 400, 600},
    {3022, 2, "distortion pre-filter frequency", 1, 4000, 100, 1000, 2000},
    {3033, 2, "distortion post-filter frequency", 1000, 8000, 100, 4000, 7000},
    {3034, 2, "distortion slew", 1, 100, 10, 70, 100},
    {3026, 2, "gate hold", 0, 200, 10, 60, 16},
    {3027, 2, "gate release", 0, 15001, 100, 6000, 10000},
    {3028, 2, "gate attack", 0, 4000, 100, 1000, 2000},
    {3029, 2, "gate threshold", 0, 101, 10, 40, 80},
    {3025, 2, "gate hysteresis", 0, 101, 10, 40, 80},
    // Effects page 3.
    {3068, 3, "wah rate", 1, 40, 1, 20, 30},
    {3069, 3, "wah offset", 0, 100, 1, 30, 80},
    {3070, 3, "wah depth", 0, 100, 1, 30, 80},
    {3071, 3, "wah resonance", 0, 100, 1, 30, 60},
    {3072, 3, "bass frequency", 1, 1000, 10, 200, 600},
    {3073, 3, "bass gain", 0, 36, 1, 10, 20},
    {3074, 3, "vibrato period", 1, 100, 10, 20, 60},
    {3075, 3, "vibrato depth", 1, 100, 1, 20, 60},
    // Equaliser page: band sliders (3068 and 3005..3063 odd) and the pre-gain.
    {3068, 0, "equaliser band", 0, 50, 0, 15, 35},
    {3087, 0, "equaliser pre-gain", 0, 24, 0, 6, 18},
};

int to_int(double v) {
    if (!(v >= std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return int(v);
}

}  // namespace

const Control* controls(int* count) {
    *count = int(sizeof kControls / sizeof kControls[0]);
    return kControls;
}

const Control* control(int page, int id) {
    for (const Control& s : kControls)
        if (s.page == page && s.control == id) return &s;
    return nullptr;
}

int clamp_position(const Control& s, int64_t position) {
    return int(std::clamp<int64_t>(position, s.min, s.max));
}

int pitch_frame(int quality) { return quality == 1 ? 1024 : quality > 4 ? 4096 : 2048; }

double phaser_d(int hz, int rate) { return rate > 0 ? hz * 2.0 / rate : 0.0; }
double phaser_lfo_step(int p, int rate) { return rate > 0 ? (p * 0.01 / rate) * 6.28318 : 0.0; }

int sweep_rate(int p, int rate, int channels) {
    const int64_t d = int64_t(channels) * p * 1000;
    return d > 0 ? int(int64_t(rate) * 360 / d) : 0;
}

int sweep_rate_position(int value, int rate, int channels) {
    const Control* s = control(1, 3012);
    const int64_t d = int64_t(channels) * value * 1000;
    if (d <= 0) return rate > 0 && channels > 0 ? s->max : s->min;
    return clamp_position(*s, int64_t(rate) * 360 / d);
}

double comp_threshold_level(int p) { return std::pow(10.0, -p * 0.05); }
double reverb_factor(int p) { return std::pow(10.0, -p * 0.05); }

int gate_samples(int ms, int rate, int channels) { return int(int64_t(rate) * channels * ms / 1000); }

int gate_ms(int samples, int rate, int channels) {
    const int64_t d = int64_t(channels) * rate;
    return d > 0 ? to_int(double(int64_t(samples) * 1000 / d)) : 0;
}

double wah_lfo_step(int p, int rate) { return rate > 0 ? 2.0 * (p * 0.1) * 3.14159265358979323846 / rate : 0.0; }

int vibrato_period(int p, int rate, int channels) { return to_int(p * double(channels) * rate * 0.01); }

int record_gain(int position) { return int(std::lround(20.0 - 0.8 * position)); }

int record_position(int db) { return std::clamp(int(std::lround(25.0 - 1.25 * db)), 0, 50); }

LinkedTuning linked_tuning(int* db, int count, int k, int p) {
    LinkedTuning out;
    for (int i = 0; i < 31; ++i) {
        out.gain[i] = std::numeric_limits<float>::quiet_NaN();
        out.position[i] = -1;
    }
    if (k < 0 || k >= count || count > 31) return out;
    const float g = band_gain(p);
    out.gain[k] = g;
    out.position[k] = p;
    const float d = g - float(db[k]);
    db[k] = int(g);
    const int order[4] = {k + 1, k + 2, k - 1, k - 2};
    for (int j : order) {
        if (j < 0 || j >= count) continue;
        const int distance = j > k ? j - k : k - j;
        float w = distance == 1 ? 0.75f : 0.6f;
        if (k == 0 && j == 2) w = 0.5f;
        const float v = float(db[j]) + w * d;
        db[j] = int(v);
        out.gain[j] = v;
        out.position[j] = int(25.0f - 1.25f * v);
    }
    return out;
}

}  // namespace slider
}  // namespace soundfx
