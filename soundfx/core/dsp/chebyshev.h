// Two-pole Chebyshev section (ripple in percent; 0 gives Butterworth) by the bilinear transform.
// Filtering form: y = a0 x + a1 x1 + a2 x2 + b1 y1 + b2 y2.
#pragma once

namespace soundfx {

struct ChebyshevSection {
    double a0 = 0, a1 = 0, a2 = 0, b1 = 0, b2 = 0;
};

// fc is limited to 0.45 x fs, so a section designed at four times a low rate stays stable.
void fx_chebyshev_design(double fs, double fc, double ripple, bool lowpass, ChebyshevSection* s);

}  // namespace soundfx
