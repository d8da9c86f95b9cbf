#include "soundfx/core/dsp/fft.h"
#include <cmath>
#include <utility>

namespace soundfx {

void fx_fft(float* data, int n, int sign) {
    if (!data || n < 2 || (n & (n - 1)) != 0) return;
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
    // Butterflies at distance h = 1, 2, 4, ... n/2; the twiddle advances by a recurrence in double.
    const double pi = 3.14159265358979323846;
    for (int h = 1; h < n; h <<= 1) {
        const double theta = pi / h;
        const double wpr = std::cos(theta), wpi = sign * std::sin(theta);
        double wr = 1.0, wi = 0.0;
        for (int k = 0; k < h; ++k) {
            const float fr = float(wr), fi = float(wi);
            for (int i = k; i < n; i += 2 * h) {
                const int j = i + h;
                const float tr = fr * data[2 * j] - fi * data[2 * j + 1];
                const float ti = fr * data[2 * j + 1] + fi * data[2 * j];
                data[2 * j] = data[2 * i] - tr;
                data[2 * j + 1] = data[2 * i + 1] - ti;
                data[2 * i] += tr;
                data[2 * i + 1] += ti;
            }
            const double t = wr;
            wr = t * wpr - wi * wpi;
            wi = wi * wpr + t * wpi;
        }
    }
}

}  // namespace soundfx
