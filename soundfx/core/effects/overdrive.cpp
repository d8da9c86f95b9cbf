#include "soundfx/core/effects/overdrive.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/dsp/simd.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {
namespace {

constexpr double kLeak = ClipperCurve::kLeak;
constexpr double kThermal = ClipperCurve::kThermal;
constexpr double kMaxExponent = 80;

// F(V) of the clipper and its derivative (g = 1 / R); F falls strictly as V grows.
void clipper(double u, double v, double h, double g, double* f, double* df) {
    const double a = std::clamp((u - v) * (1.0 / kThermal), -kMaxExponent, kMaxExponent);
    const double e = std::exp(a), inv = 1.0 / e;
    *f = (u - v) * g + (e - inv) * kLeak + h;
    *df = -g - (inv + e) * (kLeak / kThermal);
}

// An upper bound of 0.3 asinh(x / 2e-11) <= 0.3 ln(x / 1e-11 + 1), from the binary exponent of the
// argument alone.
double diode_reach(double x) {
    int exponent = 0;
    std::frexp(x / kLeak + 1.0, &exponent);
    return kThermal * 0.6931471805599453 * exponent;
}

// One sample through a section in direct form I: y = a0 x + a1 x1 + a2 x2 + b1 y1 + b2 y2.
template <class T>
inline T section(const ChebyshevSection& f, T x, T (&m)[4]) {
    const T y = f.a0 * x + f.a1 * m[0] + f.a2 * m[1] + f.b1 * m[2] + f.b2 * m[3];
    m[1] = m[0];
    m[0] = x;
    m[3] = m[2];
    m[2] = y;
    return y;
}

inline double output_of(double y) { return clamp_finite(y * 1000.0, -32768.0, 32767.0); }

}  // namespace

void Overdrive::reset(const Context& context) {
    on = 0;
    format_ = context.format;
    set_params(Params());
    const double t = 0.25 / format_.rate, tau = 0.0002209;
    k1_ = tau / (t + tau);
    k2_ = t / (t + tau);
    fx_chebyshev_design(4.0 * format_.rate, 12000, 1, true, &lp1_);
    fx_chebyshev_design(4.0 * format_.rate, 5500, 1, true, &lp2_);
    release();
}

void Overdrive::release() {
    smoother_ = 0;
    previous_input_ = 0;
    voltage_[0] = voltage_[1] = 0;
    std::memset(mem1_, 0, sizeof mem1_);
    std::memset(mem2_, 0, sizeof mem2_);
}

void Overdrive::set_params(const Params& p) {
    params_.sense = limit_int(Limit::OdrvSense, p.sense);
    params_.lp_freq = limit_int(Limit::OdrvLpFreq, p.lp_freq);
    params_.lp_on = limit_int(Limit::Switch, p.lp_on != 0);
    if (params_.sense != built_sense_) {
        curve_.build(params_.sense);
        built_sense_ = params_.sense;
    }
    fx_filter_setup(10, 1.0, &final_lp_);
    fx_filter_design(params_.lp_freq, format_.rate, format_.channels, &final_lp_);
}

// Newton's method from the previous voltage, as the clipper is usually close to where it was. The root
// lies between u and u + h R on the side opposite to h (the diode term has the sign of u - V), and
// within 0.3 asinh(|h| / 2e-11) of u; a step that leaves that bracket is replaced by bisection, so the
// solve neither overflows nor wanders. It stops when the step falls within 0.01 V.
double Overdrive::solve_clipper(double u, double h, double previous) {
    const double r = params_.sense, g = 1.0 / r;
    double lo, hi;  // bracket of V
    const double reach = std::min(std::fabs(h) * r, diode_reach(std::fabs(h)));
    if (h > 0) {
        lo = u;
        hi = u + reach;
    } else {
        lo = u - reach;
        hi = u;
    }
    double v = std::isfinite(previous) ? std::clamp(previous, lo, hi) : u;
    int steps = 0;
    while (steps < kMaxNewtonSteps) {
        ++steps;
        double f, df;
        clipper(u, v, h, g, &f, &df);
        const double delta = f / df;
        if (!std::isfinite(delta)) break;
        if (f > 0) {
            lo = v;  // F falls with V: the root lies above
        } else {
            hi = v;
        }
        double next = v - delta;
        if (!(next >= lo && next <= hi)) next = 0.5 * (lo + hi);
        v = next;
        if (std::fabs(delta) <= 0.01 || hi - lo <= 1e-9) break;
    }
    if (steps >= kMaxNewtonSteps) ++capped_;
    most_steps_ = std::max(most_steps_, steps);
    return std::isfinite(v) ? v : previous;
}

// Channel c's input as clipper voltages at four times the rate, into volts (4 n values); the smoother
// and the previous input run on from the channel before.
void Overdrive::clip(const float* x, int n, int c, double* volts) {
    double s = smoother_, p = previous_input_, voltage = voltage_[c];
    const double k1 = k1_, k2 = k2_;
    for (int j = 0; j < n; ++j) {
        const double v = x[j] * 0.0032;
        for (int sub = 0; sub < 4; ++sub) {
            const double u = p + 0.25 * sub * (v - p);
            s = s * k1 + k2 * u;
            const double h = (u - s) * 0.0002127659574468085;
            double w;
            if (__builtin_expect(curve_.lookup(h, &w), 1)) {
                voltage = u + w;
            } else {
                voltage = solve_clipper(u, h, voltage);
            }
            volts[4 * j + sub] = voltage;
        }
        p = v;
    }
    smoother_ = s;
    previous_input_ = p;
    voltage_[c] = voltage;
}

// The voltages through both low-passes; each sample takes the last of its four.
void Overdrive::filter(const double* volts, int n, int c, float* x) {
    double m1[4], m2[4];
    std::copy(mem1_[c], mem1_[c] + 4, m1);
    std::copy(mem2_[c], mem2_[c] + 4, m2);
    for (int j = 0; j < n; ++j) {
        double y = 0;
        for (int sub = 0; sub < 4; ++sub) y = section(lp2_, section(lp1_, volts[4 * j + sub], m1), m2);
        x[j] = float(output_of(y));
    }
    std::copy(m1, m1 + 4, mem1_[c]);
    std::copy(m2, m2 + 4, mem2_[c]);
}

// Both channels' low-passes side by side.
void Overdrive::filter_stereo(const double* left, const double* right, int n, float* x0, float* x1) {
    f64x2 m1[4], m2[4];
    for (int i = 0; i < 4; ++i) {
        m1[i] = f64x2{mem1_[0][i], mem1_[1][i]};
        m2[i] = f64x2{mem2_[0][i], mem2_[1][i]};
    }
    for (int j = 0; j < n; ++j) {
        f64x2 y = {0, 0};
        for (int sub = 0; sub < 4; ++sub) {
            const f64x2 v = {left[4 * j + sub], right[4 * j + sub]};
            y = section(lp2_, section(lp1_, v, m1), m2);
        }
        x0[j] = float(output_of(y[0]));
        x1[j] = float(output_of(y[1]));
    }
    for (int i = 0; i < 4; ++i) {
        mem1_[0][i] = m1[i][0];
        mem1_[1][i] = m1[i][1];
        mem2_[0][i] = m2[i][0];
        mem2_[1][i] = m2[i][1];
    }
}

// Samples 0, 1, 16, 17, 24, 25, 32, 33 and the last all 0: the block counts as silent, resets the
// previous input and both clipper voltages and stays as it is.
bool Overdrive::silent(const float* x, int n) {
    bool quiet = n > 0;
    for (int i : {0, 1, 16, 17, 24, 25, 32, 33}) {
        if (i < n && x[i] != 0) quiet = false;
    }
    if (n > 0 && x[n - 1] != 0) quiet = false;
    if (quiet) {
        previous_input_ = 0;
        voltage_[0] = voltage_[1] = 0;
    }
    return quiet;
}

void Overdrive::process_channel(float* x, int n, int channel, Work&) {
    const int c = channel & 1;
    if (!silent(x, n)) {
        clip(x, n, c, volts_[0].data());
        filter(volts_[0].data(), n, c, x);
    }
    if (params_.lp_on) fx_filter_lowpass(x, n, &final_lp_, channel);
}

void Overdrive::process_stereo(float* left, float* right, int n, Work&) {
    const bool quiet_left = silent(left, n);
    if (!quiet_left) clip(left, n, 0, volts_[0].data());
    const bool quiet_right = silent(right, n);
    if (!quiet_right) clip(right, n, 1, volts_[1].data());
    if (!quiet_left && !quiet_right) {
        filter_stereo(volts_[0].data(), volts_[1].data(), n, left, right);
    } else if (!quiet_left) {
        filter(volts_[0].data(), n, 0, left);
    } else if (!quiet_right) {
        filter(volts_[1].data(), n, 1, right);
    }
    if (params_.lp_on) {
        fx_filter_lowpass(left, n, &final_lp_, 0);
        fx_filter_lowpass(right, n, &final_lp_, 1);
    }
}

void Overdrive::check_state(StateCheck& check) const {
    check.add(smoother_);
    check.add(previous_input_);
    check.add_all(voltage_, 2);
    check.add_all(&mem1_[0][0], 8);
    check.add_all(&mem2_[0][0], 8);
    check.add_all(final_lp_.state, 40);
    check.add_all(final_lp_.previous, 40);
}

}  // namespace soundfx
