// Independent double-precision helpers for the tests: signals, a plain DFT, tone measurement and the
// analytic responses of the filters' transfer functions.
#pragma once
#include <complex>
#include <cstdint>
#include <vector>

namespace ref {

constexpr double kPi = 3.14159265358979323846;
using cd = std::complex<double>;

// A sine of the amplitude at f Hz, n samples at the rate.
std::vector<double> sine(double amplitude, double f, double rate, int n, double phase = 0);
// Interleaves channels (all the same length) into 16-bit samples, rounding and saturating.
std::vector<int16_t> interleave(const std::vector<std::vector<double>>& channels);
std::vector<int16_t> to_pcm(const std::vector<double>& mono);
// One channel of an interleaved block.
std::vector<double> channel(const std::vector<int16_t>& pcm, int channels, int c);
// Uniform noise in -amplitude..amplitude from a fixed seed.
std::vector<double> noise(double amplitude, int n, uint32_t seed);

// The complex amplitude of the component at f Hz (correlation over whole cycles from `from` on).
cd tone(const std::vector<double>& x, double f, double rate, int from = 0);
double rms(const std::vector<double>& x, int from = 0, int to = -1);
// The frequency of the largest DFT bin between lo and hi Hz (bin width rate / n over x[from..]).
double dominant(const std::vector<double>& x, double rate, double lo, double hi, int from = 0);

// Plain DFT in double: out[k] = sum x[n] e^(sign 2 pi i k n / N).
std::vector<cd> dft(const std::vector<cd>& x, int sign);

// Transfer functions evaluated on the unit circle at theta radians a sample.
cd biquad(double b0, double b1, double b2, double a0, double a1, double a2, double theta);
cd eq_band(double alpha, double beta, double gamma, double theta);

}  // namespace ref
