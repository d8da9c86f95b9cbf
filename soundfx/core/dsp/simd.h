// Small vectors of the compiler's vector extension: plain element-wise IEEE arithmetic, four lanes
// of float or two of double, which x86-64 runs as SSE2 and other targets as they can. Each lane
// computes exactly what the same expression on scalars computes.
#pragma once
#include <cstring>

namespace soundfx {

typedef float f32x4 __attribute__((vector_size(16)));
typedef double f64x2 __attribute__((vector_size(16)));
typedef int i32x4 __attribute__((vector_size(16)));

inline f32x4 load4(const float* p) {
    f32x4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void store4(float* p, f32x4 v) { std::memcpy(p, &v, sizeof v); }
inline f32x4 splat4(float x) { return f32x4{x, x, x, x}; }

inline f64x2 load2(const double* p) {
    f64x2 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void store2(double* p, f64x2 v) { std::memcpy(p, &v, sizeof v); }
inline f64x2 splat2(double x) { return f64x2{x, x}; }

}  // namespace soundfx
