// Subnormal floats slow x86 arithmetic by tens of times, and decaying filter states, rings and
// envelopes reach them on silence. While one of these lives, results and inputs that small count as
// zero, rounding is to nearest and floating-point exceptions are masked; the caller's mode comes back
// when it ends.
#pragma once
#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace soundfx {

class FlushToZero {
public:
#if defined(__SSE__) || defined(__x86_64__)
    FlushToZero() : saved_(_mm_getcsr()) { _mm_setcsr(kProcessing); }
    ~FlushToZero() { _mm_setcsr(saved_); }
    // All exceptions masked (0x1F80), flush-to-zero (0x8000), denormals-are-zero (0x0040), nearest.
    static constexpr unsigned kProcessing = 0x9FC0u;

private:
    unsigned saved_;
#endif
    FlushToZero(const FlushToZero&) = delete;
    FlushToZero& operator=(const FlushToZero&) = delete;
};

}  // namespace soundfx
