#include "soundfx/core/dsp/shelf.h"
#include <algorithm>
#include <cmath>

namespace soundfx {

void fx_bass_design(double freq, double gain_db, int rate, ShelfFilter* s) {
    if (rate <= 0) rate = 44100;
    s->freq = std::clamp(freq, 10.0, 0.45 * rate);
    s->gain = gain_db;
    Biquad& q = s->biquad;
    q.clear();
    s->w = 6.283185307178 * s->freq / rate;
    s->sin_w = std::sin(s->w);
    s->cos_w = std::cos(s->w);
    const double A = std::pow(10.0, gain_db * 0.025);
    s->A = A;
    s->slope = 1.0;
    s->beta = std::sqrt((A * A + 1.0) - (A - 1.0) * (A - 1.0));
    const double c = s->cos_w, bs = s->beta * s->sin_w;
    q.b0 = A * ((A + 1.0) - (A - 1.0) * c + bs);
    q.b1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * c);
    q.b2 = A * ((A + 1.0) - (A - 1.0) * c - bs);
    q.a0 = (A + 1.0) + (A - 1.0) * c + bs;
    q.a1 = -2.0 * ((A - 1.0) + (A + 1.0) * c);
    q.a2 = (A + 1.0) + (A - 1.0) * c - bs;
}

}  // namespace soundfx
