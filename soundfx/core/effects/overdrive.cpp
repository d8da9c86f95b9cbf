#include "soundfx/core/effects/overdrive.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {
namespace {

constexpr double kLeak = 1e-11;     // the diodes' saturation current
constexpr double kThermal = 0.3;    // the voltage scale of their exponential
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

double section(const ChebyshevSection& s, double x, double* m) {
    const double y = s.a0 * x + s.a1 * m[0] + s.a2 * m[1] + s.b1 * m[2] + s.b2 * m[3];
    m[1] = m[0];
    m[0] = x;
    m[3] = m[2];
    m[2] = y;
    return y;
}

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

void Overdrive::process_channel(float* x, int n, int channel, Work&) {
    const int c = channel & 1;
    bool silent = n > 0;
    for (int i : {0, 1, 16, 17, 24, 25, 32, 33}) {
        if (i < n && x[i] != 0) silent = false;
    }
    if (n > 0 && x[n - 1] != 0) silent = false;
    if (silent) {
        previous_input_ = 0;
        voltage_[0] = voltage_[1] = 0;
    } else {
        for (int j = 0; j < n; ++j) {
            const double v = x[j] * 0.0032;
            const double p = previous_input_;
            previous_input_ = v;
            double y2 = 0;
            for (int sub = 0; sub < 4; ++sub) {
                const double u = p + 0.25 * sub * (v - p);
                smoother_ = smoother_ * k1_ + k2_ * u;
                const double h = (u - smoother_) * 0.0002127659574468085;
                voltage_[c] = solve_clipper(u, h, voltage_[c]);
                const double y1 = section(lp1_, voltage_[c], mem1_[c]);
                y2 = section(lp2_, y1, mem2_[c]);
            }
            x[j] = float(clamp_finite(y2 * 1000.0, -32768.0, 32767.0));
        }
    }
    if (params_.lp_on) fx_filter_lowpass(x, n, &final_lp_, channel);
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
