// The overdrive's diode clipper as a curve. Its voltage is V = u + w, where w solves
// w / R + 1e-11 (e^(w / 0.3) - e^(-w / 0.3)) = h: a function of h alone (and odd), worked out once per R.
// It is kept as pieces of degree 5 in h, 32 an octave, for |h| from 2^-30 to 2^-4, each matching w and
// its first two derivatives at both ends; below, w is h over the slope at 0.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

namespace soundfx {

class ClipperCurve {
public:
    static constexpr double kLeak = 1e-11;   // the diodes' saturation current
    static constexpr double kThermal = 0.3;  // the voltage scale of their exponential
    static constexpr int kLowestOctave = -30, kOctaves = 26, kPerOctave = 32, kPieceBits = 5;
    static constexpr int kCoefficients = 6;

    // The curve for the series resistance r.
    void build(double r);

    // w for h, or false for |h| of 2^-4 and more (16-bit input keeps it below 0.045).
    bool lookup(double h, double* w) const {
        // The piece and the place within it come from the bits of |h|: the binary exponent and the
        // next five bits count the pieces from 2^-30, the bits below are the fraction.
        constexpr int kShift = 52 - kPieceBits;
        constexpr uint64_t kLow = uint64_t(1023 + kLowestOctave) << 52;
        constexpr uint64_t kHigh = uint64_t(1023 + kLowestOctave + kOctaves) << 52;
        constexpr uint64_t kSign = uint64_t(1) << 63, kFraction = (uint64_t(1) << kShift) - 1;
        static_assert(kPerOctave == 1 << kPieceBits, "pieces an octave");
        uint64_t bits;
        std::memcpy(&bits, &h, sizeof bits);
        const uint64_t size = bits & ~kSign;
        if (size < kLow) {
            *w = h * slope_;
            return true;
        }
        if (size >= kHigh || pieces_.empty()) return false;
        const double t = double(int64_t(size & kFraction)) * (1.0 / double(uint64_t(1) << kShift));
        const double* c = &pieces_[size_t((size - kLow) >> kShift) * kCoefficients];
        double v = c[0] + t * (c[1] + t * (c[2] + t * (c[3] + t * (c[4] + t * c[5]))));
        uint64_t vbits;
        std::memcpy(&vbits, &v, sizeof vbits);
        vbits |= bits & kSign;
        std::memcpy(&v, &vbits, sizeof v);
        *w = v;
        return true;
    }

    // w for h, solved by Newton steps to full precision (the curve's knots).
    static double solve(double h, double r);

private:
    double slope_ = 0;
    std::vector<double> pieces_;  // the coefficients of each piece, in powers of the place within it
};

}  // namespace soundfx
