#include "signal_check.h"
#include <cmath>
#include <complex>

namespace signal_check {

std::vector<int16_t> tone(double frequency, double amplitude, int rate, int channels, int64_t frames, int64_t first) {
    std::vector<int16_t> out(frames * channels);
    for (int64_t i = 0; i < frames; ++i) {
        double v = amplitude * std::sin(2 * M_PI * frequency * double(first + i) / rate);
        for (int c = 0; c < channels; ++c) out[i * channels + c] = (int16_t)std::lrint(v);
    }
    return out;
}

std::vector<double> channel(const std::vector<int16_t>& pcm, int channels, int index) {
    std::vector<double> out(pcm.size() / channels);
    for (size_t i = 0; i < out.size(); ++i) out[i] = pcm[i * channels + index];
    return out;
}

namespace {
void fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        std::complex<double> w(std::cos(-2 * M_PI / len), std::sin(-2 * M_PI / len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wn(1);
            for (size_t k = 0; k < len / 2; ++k) {
                auto u = a[i + k], v = a[i + k + len / 2] * wn;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                wn *= w;
            }
        }
    }
}
}  // namespace

double dominant_frequency(const std::vector<double>& samples, int rate) {
    size_t n = 1;
    while (n * 2 <= samples.size()) n *= 2;
    if (n < 64) return 0;
    const size_t start = (samples.size() - n) / 2;
    std::vector<std::complex<double>> a(n);
    for (size_t i = 0; i < n; ++i) {
        double hann = 0.5 - 0.5 * std::cos(2 * M_PI * i / (n - 1));
        a[i] = samples[start + i] * hann;
    }
    fft(a);
    size_t best = 1;
    for (size_t k = 1; k < n / 2; ++k)
        if (std::abs(a[k]) > std::abs(a[best])) best = k;
    double l = std::log(std::abs(a[best - 1]) + 1e-9), c = std::log(std::abs(a[best]) + 1e-9),
           r = std::log(std::abs(a[best + 1]) + 1e-9);
    double offset = 0.5 * (l - r) / (l - 2 * c + r);
    return (best + offset) * rate / double(n);
}

double level_db(const std::vector<double>& samples) {
    double sum = 0;
    for (double v : samples) sum += v * v;
    double rms = std::sqrt(sum / (samples.empty() ? 1 : samples.size()));
    return 20 * std::log10(rms / 32768.0 + 1e-12);
}

std::vector<uint8_t> moving_picture(int width, int height, int index) {
    const int stride = stride_of(width);
    std::vector<uint8_t> p(stride * height);
    // Smooth gradients that move, plus a bright square that travels across: a plain picture that a
    // codec can code well, with real motion between pictures.
    const int sq = height / 4, sx = (index * 3) % (width - sq), sy = height / 3;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* px = &p[y * stride + 3 * x];
            px[0] = (uint8_t)(64 + 96 * (0.5 + 0.5 * std::sin((x + 2 * index) * 0.05)));
            px[1] = (uint8_t)(64 + 96 * (0.5 + 0.5 * std::cos((y + index) * 0.07)));
            px[2] = (uint8_t)(48 + (x + y + index) % 128);
            if (x >= sx && x < sx + sq && y >= sy && y < sy + sq) px[0] = px[1] = px[2] = 230;
        }
    }
    return p;
}

double psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int width, int height) {
    const int stride = stride_of(width);
    double sum = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 3 * width; ++x) {
            double d = double(a[y * stride + x]) - double(b[y * stride + x]);
            sum += d * d;
        }
    double mse = sum / (3.0 * width * height);
    return mse <= 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

std::vector<uint8_t> stretch_nearest(const std::vector<uint8_t>& picture, int width, int height, int to_width,
                                     int to_height) {
    std::vector<uint8_t> out(size_t(stride_of(to_width)) * size_t(to_height > 0 ? to_height : 0));
    if (width < 1 || height < 1 || to_width < 1 || to_height < 1) return out;
    const uint32_t x_step = (uint32_t(width) << 16) / uint32_t(to_width);
    const uint32_t y_step = (uint32_t(height) << 16) / uint32_t(to_height);
    for (int y = 0; y < to_height; ++y) {
        const uint8_t* row = picture.data() + size_t(stride_of(width)) * size_t((uint64_t(y) * y_step) >> 16);
        uint8_t* d = out.data() + size_t(stride_of(to_width)) * size_t(y);
        for (int x = 0; x < to_width; ++x) {
            const uint8_t* s = row + 3 * size_t((uint64_t(x) * x_step) >> 16);
            d[3 * x] = s[0], d[3 * x + 1] = s[1], d[3 * x + 2] = s[2];
        }
    }
    return out;
}

}  // namespace signal_check
