// Test helpers for the codec stand-ins: synthetic tones and pictures, and measures of what comes back
// (dominant frequency, level, picture PSNR). Portable; used by native and Winelib tests.
#pragma once
#include <cstdint>
#include <vector>

namespace signal_check {

// Interleaved 16-bit sine of `frequency` Hz, the same in every channel, starting at sample `first`.
std::vector<int16_t> tone(double frequency, double amplitude, int rate, int channels, int64_t frames,
                          int64_t first = 0);
// One channel of interleaved samples.
std::vector<double> channel(const std::vector<int16_t>& pcm, int channels, int index);
// Frequency of the strongest spectral peak (FFT with interpolation); skip leading/trailing frames.
double dominant_frequency(const std::vector<double>& samples, int rate);
// RMS level in dB relative to full scale (32768).
double level_db(const std::vector<double>& samples);
// 24-bit B,G,R picture (stride (3w+3)&~3, top-down) of frame `index` of a moving test pattern.
std::vector<uint8_t> moving_picture(int width, int height, int index);
// PSNR in dB of b against a over width x height pixels (both packed with stride (3w+3)&~3).
double psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int width, int height);
inline int stride_of(int width) { return (3 * width + 3) & ~3; }
// A B,G,R picture (stride (3w+3)&~3) brought to to_width x to_height as a DirectDraw stretch Blt
// without filtering does it: each target pixel takes the source pixel its 16.16 fixed-point step from
// the top-left corner lands on (x * ((from << 16) / to) >> 16, the same for rows).
std::vector<uint8_t> stretch_nearest(const std::vector<uint8_t>& picture, int width, int height, int to_width,
                                     int to_height);

}  // namespace signal_check
