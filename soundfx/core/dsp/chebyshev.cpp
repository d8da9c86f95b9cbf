#include "soundfx/core/dsp/chebyshev.h"
#include <algorithm>
#include <cmath>

namespace soundfx {

void fx_chebyshev_design(double fs, double fc, double ripple, bool lowpass, ChebyshevSection* s) {
    const double pi = 3.14159265358979323846;
    if (fs <= 0) fs = 1.0;
    fc = std::clamp(fc, 1e-3 * fs, 0.45 * fs);
    double rp = -std::cos(pi / 4.0);
    double ip = std::sin(pi / 4.0);
    if (ripple > 0 && ripple < 100) {
        const double es = std::sqrt(std::pow(100.0 / (100.0 - ripple), 2) - 1.0);
        const double vx = 0.5 * std::log(1.0 / es + std::sqrt(1.0 / (es * es) + 1.0));
        double kx = 0.5 * std::log(1.0 / es + std::sqrt(1.0 / (es * es) - 1.0));
        kx = (std::exp(kx) + std::exp(-kx)) / 2.0;
        rp = rp * ((std::exp(vx) - std::exp(-vx)) / 2.0) / kx;
        ip = ip * ((std::exp(vx) + std::exp(-vx)) / 2.0) / kx;
    }
    const double t = 2.0 * std::tan(0.5);
    const double w = 2.0 * pi * fc / fs;
    const double m = rp * rp + ip * ip;
    double d = 4.0 - 4.0 * rp * t + m * t * t;
    const double x0 = t * t / d, x1 = 2.0 * t * t / d, x2 = t * t / d;
    const double y1 = (8.0 - 2.0 * m * t * t) / d;
    const double y2 = (-4.0 - 4.0 * rp * t - m * t * t) / d;
    const double k = lowpass ? std::sin(0.5 - w / 2.0) / std::sin(0.5 + w / 2.0)
                             : -std::cos(w / 2.0 + 0.5) / std::cos(w / 2.0 - 0.5);
    d = 1.0 + y1 * k - y2 * k * k;
    s->a0 = (x0 - x1 * k + x2 * k * k) / d;
    s->a1 = (-2.0 * x0 * k + x1 + x1 * k * k - 2.0 * x2 * k) / d;
    s->a2 = (x0 * k * k - x1 * k + x2) / d;
    s->b1 = (2.0 * k + y1 + y1 * k * k - 2.0 * y2 * k) / d;
    s->b2 = (-k * k - y1 * k + y2) / d;
    if (!lowpass) {
        s->a1 = -s->a1;
        s->b1 = -s->b1;
    }
}

}  // namespace soundfx
