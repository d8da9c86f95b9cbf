// Test support: filling effect images and comparing them.
#pragma once
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>
#include "videofx/core/effect_image.h"

inline void fill_random(CEffectImage& image, uint32_t seed) {
    std::mt19937 random(seed);
    for (int k = 0; k < image.height(); ++k)
        for (int x = 0; x < 3 * image.width(); ++x) image.memory_row(k)[x] = uint8_t(random());
}

inline void fill_pattern(CEffectImage& image) {
    for (int k = 0; k < image.height(); ++k)
        for (int x = 0; x < 3 * image.width(); ++x) image.memory_row(k)[x] = uint8_t(x * 7 + k * 13 + 1);
}

// The pixel bytes (padding left out), row by row in memory order.
inline std::vector<uint8_t> pixel_bytes(const CEffectImage& image) {
    std::vector<uint8_t> bytes;
    for (int k = 0; k < image.height(); ++k)
        bytes.insert(bytes.end(), image.memory_row(k), image.memory_row(k) + 3 * image.width());
    return bytes;
}

inline uint32_t pixel_at(const CEffectImage& image, int x, int memory_row) {
    const uint8_t* p = image.memory_row(memory_row) + 3 * x;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}
