#include "soundfx/core/effects/amplitude_modulation.h"
#include <algorithm>
#include <cmath>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {
namespace {
constexpr double kTwoPiFloat = 6.2831854820251465;  // 2 pi as the single-precision value
constexpr double kPi = 3.14159265358979323846;
}  // namespace

AmplitudeModulation::AmplitudeModulation() {
    for (auto& h : history_) h.assign(kMaxPieceFrames, 0.0f);
}

void AmplitudeModulation::reset(const Context& context) {
    on = 0;
    rate_ = context.format.rate;
    mode = 'a';
    set_params(Params());
    phase_ = 0;
    clear();
}

void AmplitudeModulation::clear() {
    for (auto& h : history_) std::fill(h.begin(), h.end(), 0.0f);
    allpass_[0] = allpass_[1] = 0;
}

void AmplitudeModulation::set_params(const Params& p) {
    params_.gain = limit_int(Limit::AmGain, p.gain);
    params_.depth = limit_int(Limit::AmDepth, p.depth);
    params_.freq = limit_int(Limit::AmFreq, p.freq);
    params_.shape = p.shape == 0 ? 0 : 1;
    level_ = std::pow(10.0, params_.gain * 0.05);
    wave_ = params_.shape == 0 ? 's' : 'a';
    if (wave_ != 's') phase_ = std::fmod(phase_, 1.0);
}

double AmplitudeModulation::modulator(int j) const {
    if (wave_ == 's') return std::sin(j * step_ + phase_);
    const double f = std::fmod(j * step_ + phase_, 1.0);
    return f >= 0.5 ? 1.0 - 2.0 * f : 2.0 * f - 1.0;
}

void AmplitudeModulation::process_channel(float* x, int n, int channel, Work& work) {
    const double m = params_.depth * 0.01;
    set_step();
    const int c = channel & 1;
    if (mode == 'a' && wave_ == 's') {
        sine_gain(x, nullptr, n, m);
    } else if (mode == 'a') {
        double f = std::fmod(phase_, 1.0);
        for (int j = 0; j < n; ++j) {
            const double l = f >= 0.5 ? 1.0 - 2.0 * f : 2.0 * f - 1.0;
            x[j] = float(clamp_finite((l * m + 1.0) * x[j], -32768.0, 32767.0));
            f += step_;
            if (f >= 1.0) f -= 1.0;
        }
    } else if (mode == 'f') {
        // The previous piece and this one side by side; the read position swings around j + n/2.
        float* b = work.twice.data();
        std::copy(history_[c].begin(), history_[c].begin() + n, b);
        std::copy(x, x + n, b + n);
        std::copy(x, x + n, history_[c].begin());
        const int h = n / 2;
        for (int j = 0; j < n; ++j) {
            const double swing = modulator(j) * m * h;
            const double q = swing + h + j;
            int i = int(int16_t(int(std::floor(swing)) + j + h));
            i = std::clamp(i, 0, std::max(0, 2 * n - 2));
            const double next = i + 1 < 2 * n ? b[i + 1] : b[i];
            x[j] = float(clamp_finite(level_ * x[j] + b[i] + (next - b[i]) * (q - i), -32768.0, 32767.0));
        }
    } else if (mode == 'p') {
        double s = allpass_[c];
        for (int j = 0; j < n; ++j) {
            double fc = std::pow(10.0, (modulator(j) + 1.0) * m * 1.5 + 1.0);
            fc = std::min(fc, 0.24 * rate_);  // below a quarter of the rate the tangent stays finite
            const double t = std::tan(2.0 * fc * kPi / rate_);
            const double a = (2.0 - 2.0 * t) / (2.0 * t + 2.0);
            const double w = a * s + x[j];
            const double y = level_ * x[j] - w * a + s;
            s = w;
            x[j] = float(clamp_finite(y, -32768.0, 32767.0));
        }
        allpass_[c] = std::isfinite(s) ? s : 0.0;
    }
}

// The modulator's step a sample: radians for the sine, cycles for the triangle.
void AmplitudeModulation::set_step() {
    step_ = wave_ == 's' ? 6283.1855 / (double(params_.freq) * rate_) : 1000.0 / (double(params_.freq) * rate_);
}

// Mode 'a' with the sine: x = (sin(j w + phase) m + 1) x, the sine by rotation from the stored phase;
// both channels start from the same phase, so a second channel takes the same gains.
void AmplitudeModulation::sine_gain(float* x0, float* x1, int n, double m) {
    const double step_sin = std::sin(step_), step_cos = std::cos(step_);
    double s = std::sin(phase_), co = std::cos(phase_);
    for (int j = 0; j < n; ++j) {
        const double gain = s * m + 1.0;
        x0[j] = float(clamp_finite(gain * x0[j], -32768.0, 32767.0));
        if (x1) x1[j] = float(clamp_finite(gain * x1[j], -32768.0, 32767.0));
        const double rotated = s * step_cos + co * step_sin;
        co = co * step_cos - s * step_sin;
        s = rotated;
    }
}

void AmplitudeModulation::process_stereo(float* left, float* right, int n, Work& work) {
    if (mode != 'a' || wave_ != 's') {
        process_channel(left, n, 0, work);
        process_channel(right, n, 1, work);
        return;
    }
    set_step();
    sine_gain(left, right, n, params_.depth * 0.01);
}

void AmplitudeModulation::end_piece(int frames) {
    phase_ = std::fmod(frames * step_ + phase_, wave_ == 's' ? kTwoPiFloat : 1.0);
}

void AmplitudeModulation::check_state(StateCheck& check) const {
    check.add(phase_);
    check.add_all(allpass_, 2);
    check.add_all(history_[0]);
    check.add_all(history_[1]);
}

}  // namespace soundfx
