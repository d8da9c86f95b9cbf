#include "soundfx/core/effects/clipper_curve.h"
#include <algorithm>
#include <cmath>

namespace soundfx {

double ClipperCurve::solve(double h, double r) {
    const double g = 1.0 / r, a = std::fabs(h);
    if (a == 0) return h;
    // Both terms rise with w and the diode's is convex: Newton's method from the smaller of the two
    // one-term solutions (each above the root) falls onto the root without overshooting it.
    double w = std::min(a * r, kThermal * std::asinh(a / (2.0 * kLeak)));
    for (int i = 0; i < 200; ++i) {
        const double e = std::exp(w / kThermal), inv = 1.0 / e;
        const double f = w * g + kLeak * (e - inv) - a, df = g + (kLeak / kThermal) * (e + inv);
        const double next = w - f / df;
        if (!(next < w)) break;
        w = next;
    }
    return std::copysign(w, h);
}

// Each piece is the quintic on 0..1 with the value and the first two derivatives (in units of the
// piece's width) of w at both ends; w' = 1 / F'(w) and w'' = -F''(w) w'^3 for F(w) = h.
void ClipperCurve::build(double r) {
    const double g = 1.0 / r;
    slope_ = 1.0 / (g + 2.0 * kLeak / kThermal);
    const int n = kOctaves * kPerOctave;
    pieces_.assign(size_t(kCoefficients * n), 0.0);
    auto knot = [](int i) { return std::ldexp(1.0 + double(i % kPerOctave) / kPerOctave, kLowestOctave + i / kPerOctave); };
    struct Knot {
        double w, d1, d2;
    };
    auto at = [&](double h) {
        const double w = solve(h, r), e = std::exp(w / kThermal), inv = 1.0 / e;
        const double d1 = 1.0 / (g + (kLeak / kThermal) * (e + inv));
        const double d2 = -(kLeak / (kThermal * kThermal)) * (e - inv) * d1 * d1 * d1;
        return Knot{w, d1, d2};
    };
    double h0 = knot(0);
    Knot k0 = at(h0);
    for (int i = 0; i < n; ++i) {
        const double h1 = knot(i + 1), width = h1 - h0;
        const Knot k1 = at(h1);
        const double dp = k1.w - k0.w, d0 = k0.d1 * width, d1 = k1.d1 * width;
        const double s0 = k0.d2 * width * width, s1 = k1.d2 * width * width;
        double* c = &pieces_[size_t(kCoefficients * i)];
        c[0] = k0.w;
        c[1] = d0;
        c[2] = 0.5 * s0;
        c[3] = 10.0 * dp - 6.0 * d0 - 4.0 * d1 - 0.5 * (3.0 * s0 - s1);
        c[4] = -15.0 * dp + 8.0 * d0 + 7.0 * d1 + 0.5 * (3.0 * s0 - 2.0 * s1);
        c[5] = 6.0 * dp - 3.0 * d0 - 3.0 * d1 - 0.5 * (s0 - s1);
        h0 = h1;
        k0 = k1;
    }
}

}  // namespace soundfx
