#include "soundfx/core/dsp/fft.h"
#include <cmath>
#include <utility>

namespace soundfx {
namespace {

constexpr int kMaxPoints = 8192;

// The twiddles of every stage, computed once in double: the stage of distance h holds
// e^(-i pi k / h) for k = 0 .. h - 1 at offset h, so each stage reads its own run in order.
struct Twiddles {
    float re[kMaxPoints], im[kMaxPoints];
    Twiddles() {
        const double pi = 3.14159265358979323846;
        for (int h = 1; h < kMaxPoints; h <<= 1) {
            for (int k = 0; k < h; ++k) {
                re[h + k] = float(std::cos(pi * k / h));
                im[h + k] = float(-std::sin(pi * k / h));
            }
        }
    }
};

const Twiddles& twiddles() {
    static const Twiddles table;
    return table;
}

void butterflies(float* __restrict a, float* __restrict b, const float* __restrict wr, const float* __restrict wi,
                 float s, int h) {
    for (int k = 0; k < h; ++k) {
        const float ws = s * wi[k];
        const float tr = wr[k] * b[2 * k] - ws * b[2 * k + 1];
        const float ti = wr[k] * b[2 * k + 1] + ws * b[2 * k];
        b[2 * k] = a[2 * k] - tr;
        b[2 * k + 1] = a[2 * k + 1] - ti;
        a[2 * k] += tr;
        a[2 * k + 1] += ti;
    }
}

}  // namespace

void fx_fft(float* data, int n, int sign) {
    if (!data || n < 2 || n > kMaxPoints || (n & (n - 1)) != 0) return;
    // Bit-reversal permutation of the complex values.
    for (int i = 0, j = 0; i < n; ++i) {
        if (j > i) {
            std::swap(data[2 * i], data[2 * j]);
            std::swap(data[2 * i + 1], data[2 * j + 1]);
        }
        int bit = n >> 1;
        while (bit >= 1 && (j & bit)) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }
    // Butterflies at distance h = 1, 2, 4, ... n/2: temp = w data[j], data[j] = data[i] - temp,
    // data[i] += temp, with w = e^(sign i pi k / h).
    const Twiddles& w = twiddles();
    const float s = sign < 0 ? 1.0f : -1.0f;  // the table holds the forward (negative) angles
    for (int h = 1; h < n; h <<= 1) {
        for (int start = 0; start < n; start += 2 * h) {
            butterflies(data + 2 * start, data + 2 * (start + h), w.re + h, w.im + h, s, h);
        }
    }
}

}  // namespace soundfx
