#include "h263_dct.h"
#include <cmath>

namespace h263 {

const uint8_t kZigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

namespace {

// basis[u][x] = C(u) cos((2x + 1) u pi / 16), with C(0) = sqrt(1/8) and C(u) = 1/2 otherwise.
struct Basis {
    double v[8][8];
    Basis() {
        const double pi = std::acos(-1.0);
        for (int u = 0; u < 8; ++u)
            for (int x = 0; x < 8; ++x)
                v[u][x] = (u == 0 ? std::sqrt(0.125) : 0.5) * std::cos((2 * x + 1) * u * pi / 16);
    }
};
const Basis& basis() {
    static const Basis b;
    return b;
}

}  // namespace

void forward_dct(const int32_t in[64], int32_t out_zigzag[64]) {
    const auto& b = basis().v;
    double rows[64], result[64];
    for (int y = 0; y < 8; ++y)
        for (int u = 0; u < 8; ++u) {
            double s = 0;
            for (int x = 0; x < 8; ++x) s += b[u][x] * in[y * 8 + x];
            rows[y * 8 + u] = s;
        }
    for (int u = 0; u < 8; ++u)
        for (int v = 0; v < 8; ++v) {
            double s = 0;
            for (int y = 0; y < 8; ++y) s += b[v][y] * rows[y * 8 + u];
            result[v * 8 + u] = s;
        }
    for (int i = 0; i < 64; ++i) out_zigzag[i] = int32_t(result[kZigzag[i]]);
}

void inverse_dct(const int32_t in_zigzag[64], int32_t out[64]) {
    const auto& b = basis().v;
    double coeff[64], cols[64];
    for (int i = 0; i < 64; ++i) coeff[kZigzag[i]] = in_zigzag[i];
    for (int u = 0; u < 8; ++u)
        for (int y = 0; y < 8; ++y) {
            double s = 0;
            for (int v = 0; v < 8; ++v) s += b[v][y] * coeff[v * 8 + u];
            cols[y * 8 + u] = s;
        }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            double s = 0;
            for (int u = 0; u < 8; ++u) s += b[u][x] * cols[y * 8 + u];
            out[y * 8 + x] = int32_t(std::lround(s));
        }
}

}  // namespace h263
