// A second-order section in direct form I, in double precision:
// y = (b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2) / a0.
#pragma once

namespace soundfx {

struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    void clear() { x1 = x2 = y1 = y2 = 0; }
};

// One sample through the section; a result that is not finite clears the memories and gives 0, so one
// bad moment does not stay in the filter.
inline double biquad_step(Biquad* f, double x) {
    double y = (f->b0 * x + f->b1 * f->x1 + f->b2 * f->x2 - f->a1 * f->y1 - f->a2 * f->y2) / f->a0;
    if (!(y - y == 0)) {
        f->clear();
        return 0;
    }
    f->x2 = f->x1;
    f->x1 = x;
    f->y2 = f->y1;
    f->y1 = y;
    return y;
}

}  // namespace soundfx
