#include "reference.h"
#include <algorithm>
#include <cmath>

namespace ref {

std::vector<double> sine(double amplitude, double f, double rate, int n, double phase) {
    std::vector<double> x(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) x[i] = amplitude * std::sin(2 * kPi * f * i / rate + phase);
    return x;
}

std::vector<int16_t> interleave(const std::vector<std::vector<double>>& channels) {
    const size_t c = channels.size(), n = channels[0].size();
    std::vector<int16_t> out(c * n);
    for (size_t i = 0; i < n; ++i)
        for (size_t k = 0; k < c; ++k)
            out[i * c + k] = int16_t(std::clamp(std::lround(channels[k][i]), -32768L, 32767L));
    return out;
}

std::vector<int16_t> to_pcm(const std::vector<double>& mono) { return interleave({mono}); }

std::vector<double> channel(const std::vector<int16_t>& pcm, int channels, int c) {
    std::vector<double> x(pcm.size() / size_t(channels));
    for (size_t i = 0; i < x.size(); ++i) x[i] = pcm[i * channels + c];
    return x;
}

std::vector<double> noise(double amplitude, int n, uint32_t seed) {
    std::vector<double> x(static_cast<size_t>(n));
    uint64_t s = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    for (int i = 0; i < n; ++i) {
        s = s * 6364136223846793005ULL + 1442695040888963407ULL;
        x[i] = amplitude * (double(s >> 11) / double(1ULL << 53) * 2 - 1);
    }
    return x;
}

cd tone(const std::vector<double>& x, double f, double rate, int from) {
    const int period_samples = int(std::floor((x.size() - from) * f / rate));  // whole cycles
    const int n = int(std::floor(period_samples * rate / f));
    cd sum = 0;
    for (int i = 0; i < n; ++i) sum += x[from + i] * std::polar(1.0, -2 * kPi * f * (from + i) / rate);
    // For x = A sin(w t + p): the correlation gives (A / 2i) e^(ip) n; return A e^(ip) i.e. the
    // phasor of the sine.
    return n > 0 ? sum * cd(0, 2) / double(n) : cd(0);
}

double rms(const std::vector<double>& x, int from, int to) {
    if (to < 0) to = int(x.size());
    double s = 0;
    for (int i = from; i < to; ++i) s += x[i] * x[i];
    return to > from ? std::sqrt(s / (to - from)) : 0;
}

double dominant(const std::vector<double>& x, double rate, double lo, double hi, int from) {
    const int n = int(x.size()) - from;
    double best = 0, best_f = 0;
    const int k0 = int(lo * n / rate), k1 = int(hi * n / rate) + 1;
    for (int k = std::max(k0, 1); k <= k1 && k < n / 2; ++k) {
        cd s = 0;
        for (int i = 0; i < n; ++i) s += x[from + i] * std::polar(1.0, -2 * kPi * double(k) * i / n);
        if (std::abs(s) > best) {
            best = std::abs(s);
            best_f = k * rate / n;
        }
    }
    return best_f;
}

std::vector<cd> dft(const std::vector<cd>& x, int sign) {
    const size_t n = x.size();
    std::vector<cd> twiddle(n), out(n);
    for (size_t k = 0; k < n; ++k) twiddle[k] = std::polar(1.0, sign * 2 * kPi * double(k) / double(n));
    for (size_t k = 0; k < n; ++k) {
        cd s = 0;
        for (size_t i = 0; i < n; ++i) s += x[i] * twiddle[(k * i) % n];
        out[k] = s;
    }
    return out;
}

cd biquad(double b0, double b1, double b2, double a0, double a1, double a2, double theta) {
    const cd z1 = std::polar(1.0, -theta), z2 = z1 * z1;
    return (b0 + b1 * z1 + b2 * z2) / (a0 + a1 * z1 + a2 * z2);
}

cd eq_band(double alpha, double beta, double gamma, double theta) {
    return biquad(alpha, 0, -alpha, 1, -gamma, beta, theta);
}

}  // namespace ref
