#include "soundfx/core/eq_tables.h"
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <vector>

namespace soundfx {
namespace {

constexpr double kPi = 3.14159265358979323846;

const double k10[] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
const double k10At11025[] = {31, 62, 125, 250, 500, 1000, 2000, 3000, 4000, 5500};
const double k10At22050[] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 11000};
const double k15[] = {25, 40, 63, 100, 160, 250, 400, 630, 1000, 1600, 2500, 4000, 6300, 10000, 16000};
const double k25At44100[] = {20,   31.5, 40,   50,   60,   100,  125,  160,   250,   315,   400,   500,  800,
                             1000, 1250, 1600, 2500, 3150, 4000, 5000, 8000, 10000, 12500, 16000, 20000};
const double k25At48000[] = {20,   31.5, 40,   50,   80,   100,  125,  160,   250,   315,   400,   500,  800,
                             1000, 1250, 1600, 2500, 3150, 4000, 5000, 8000, 10000, 12500, 16000, 20000};
const double k31[] = {20,   25,   31.5, 40,   50,   63,   80,   100,  125,  160,   200,   250,   315,   400,  500, 630,
                      800,  1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};

struct TableSpec {
    int rate;
    int bands;
    const double* freqs;
};
const TableSpec kSpecs[] = {
    {11025, 10, k10At11025}, {22050, 10, k10At22050}, {44100, 10, k10},        {44100, 15, k15},
    {44100, 25, k25At44100}, {44100, 31, k31},        {48000, 10, k10},        {48000, 15, k15},
    {48000, 25, k25At48000}, {48000, 31, k31},
};

double band_octaves(int bands) { return bands == 10 ? 1.0 : bands == 15 ? 2.0 / 3.0 : 1.0 / 3.0; }

// "31", "31.5", "1K", "1.25K", "12.5K".
void make_label(double f, char (&label)[12]) {
    char text[32];
    if (f < 1000) {
        std::snprintf(text, sizeof text, "%g", f);
    } else {
        std::snprintf(text, sizeof text, "%gK", f / 1000.0);
    }
    std::memset(label, 0, sizeof label);
    std::memcpy(label, text, std::min(std::strlen(text), sizeof label - 1));
}

struct Tables {
    std::vector<EqBand> rows[sizeof kSpecs / sizeof kSpecs[0]];
    Tables() {
        for (size_t t = 0; t < sizeof kSpecs / sizeof kSpecs[0]; ++t) {
            const TableSpec& s = kSpecs[t];
            for (int b = 0; b < s.bands; ++b) {
                EqBand row{};
                const double f = s.freqs[b];
                const double beta = eq_band_beta(f, s.rate, band_octaves(s.bands));
                row.freq = float(f);
                make_label(f, row.label);
                row.beta = float(beta);
                row.alpha = float((1.0 - row.beta) / 2.0);
                row.gamma = float((1.0 + row.beta) * std::cos(2.0 * kPi * row.freq / s.rate));
                rows[t].push_back(row);
            }
        }
    }
};

const Tables& tables() {
    static const Tables all;
    return all;
}

}  // namespace

double eq_band_power(double beta, double theta0, double theta) {
    const double alpha = (1.0 - beta) / 2.0, gamma = (1.0 + beta) * std::cos(theta0);
    const std::complex<double> z1 = std::polar(1.0, -theta), z2 = z1 * z1;
    const std::complex<double> h = alpha * (1.0 - z2) / (1.0 - gamma * z1 + beta * z2);
    return std::norm(h);
}

double eq_band_beta(double f, double rate, double octaves) {
    const double theta0 = 2.0 * kPi * f / rate;
    const double edge = theta0 * std::pow(2.0, -octaves / 2.0);
    // A larger beta narrows the band, so the power at the edge falls as beta grows.
    double lo = -0.999999, hi = 1.0 - 1e-12;
    for (int i = 0; i < 200 && hi - lo > 1e-15; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (eq_band_power(mid, theta0, edge) > 0.5) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return 0.5 * (lo + hi);
}

bool eq_table_exists(int rate, int bands) { return eq_table(rate, bands) != nullptr; }

const EqBand* eq_table(int rate, int bands) {
    for (size_t t = 0; t < sizeof kSpecs / sizeof kSpecs[0]; ++t) {
        if (kSpecs[t].rate == rate && kSpecs[t].bands == bands) return tables().rows[t].data();
    }
    return nullptr;
}

}  // namespace soundfx
