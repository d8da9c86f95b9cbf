// The library's own pseudo-random source with the C runtime's rand() range (0..32767), so that the
// reverb's taps and the equaliser's dither are reproducible and no other code's rand() disturbs them.
#pragma once
#include <cstdint>

namespace soundfx {

class Random {
public:
    static constexpr int kMax = 32767;
    explicit Random(uint32_t seed = 1) : state_(seed) {}
    void seed(uint32_t seed) { state_ = seed; }
    // 0..32767 (the classic linear congruential step whose high bits rand() returns).
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return int((state_ >> 16) & 0x7FFFu);
    }

private:
    uint32_t state_;
};

}  // namespace soundfx
