// 8x8 orthonormal DCT-II in floating point, and the standard's zigzag scan.
#pragma once
#include <cstdint>

namespace h263 {

extern const uint8_t kZigzag[64];  // scan position -> raster index

// Forward transform of a raster block; results truncated toward zero, in zigzag order.
void forward_dct(const int32_t in[64], int32_t out_zigzag[64]);
// Inverse transform of coefficients in zigzag order; results rounded to nearest, raster order.
void inverse_dct(const int32_t in_zigzag[64], int32_t out[64]);

}  // namespace h263
