// Low-shelf biquad of the Audio EQ Cookbook (shelf slope 1), designed and run in double precision:
// in single precision a shelf at a few hertz puts a pole on the unit circle.
#pragma once

namespace soundfx {

struct ShelfFilter {
    double freq = 200.0;  // Hz
    double gain = 12.0;   // dB
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double w = 0, sin_w = 0, cos_w = 0, A = 1, slope = 1.0, beta = 0;
    double b0 = 1, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;
};

// Stores freq (limited to 10 Hz .. 0.45 x rate) and gain, clears the memories and designs the shelf.
void fx_bass_design(double freq, double gain_db, int rate, ShelfFilter* s);
// The fixed design of the library's defaults: 200 Hz, +12 dB.
inline void fx_shelf_design(int rate, ShelfFilter* s) { fx_bass_design(200.0, 12.0, rate, s); }

// One sample through the biquad: y = (b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2) / a0.
inline double fx_shelf_step(ShelfFilter* s, double x) {
    const double y = (s->b0 * x + s->b1 * s->x1 + s->b2 * s->x2 - s->a1 * s->y1 - s->a2 * s->y2) / s->a0;
    s->x2 = s->x1;
    s->x1 = x;
    s->y2 = s->y1;
    s->y1 = y;
    return y;
}

}  // namespace soundfx
