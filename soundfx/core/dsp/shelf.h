// Low-shelf biquad of the Audio EQ Cookbook (shelf slope 1), designed and run in double precision:
// in single precision a shelf at a few hertz puts a pole on the unit circle.
#pragma once
#include "soundfx/core/dsp/biquad.h"

namespace soundfx {

struct ShelfFilter {
    double freq = 200.0;  // Hz
    double gain = 12.0;   // dB
    double w = 0, sin_w = 0, cos_w = 0, A = 1, slope = 1.0, beta = 0;
    Biquad biquad;
};

// Stores freq (limited to 10 Hz .. 0.45 x rate) and gain, clears the memories and designs the shelf.
void fx_bass_design(double freq, double gain_db, int rate, ShelfFilter* s);
// The fixed design of the library's defaults: 200 Hz, +12 dB.
inline void fx_shelf_design(int rate, ShelfFilter* s) { fx_bass_design(200.0, 12.0, rate, s); }

}  // namespace soundfx
