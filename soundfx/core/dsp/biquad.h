// A second-order section in direct form I, in double precision:
// y = (b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2) / a0.
#pragma once
#include "soundfx/core/dsp/simd.h"

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

// Two sections side by side, each lane doing what biquad_step does to its own section: the two
// channels of a piece, or one channel twice (the same section in both lanes).
class BiquadPair {
public:
    BiquadPair(Biquad* first, Biquad* second) : f_{first, second} {
        for (int l = 0; l < 2; ++l) {
            const Biquad& q = *f_[l];
            b0_[l] = q.b0, b1_[l] = q.b1, b2_[l] = q.b2, a0_[l] = q.a0, a1_[l] = q.a1, a2_[l] = q.a2;
            x1_[l] = q.x1, x2_[l] = q.x2, y1_[l] = q.y1, y2_[l] = q.y2;
        }
    }
    // The coefficients of lane l from its section, after they changed.
    void reload(int l) {
        const Biquad& q = *f_[l];
        b0_[l] = q.b0, b1_[l] = q.b1, b2_[l] = q.b2, a0_[l] = q.a0, a1_[l] = q.a1, a2_[l] = q.a2;
    }
    f64x2 step(f64x2 x) {
        f64x2 y = (b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_) / a0_;
        const auto ok = y - y == 0.0;
        const f64x2 zero = {0.0, 0.0};
        x2_ = ok ? x1_ : zero;
        x1_ = ok ? x : zero;
        y2_ = ok ? y1_ : zero;
        y = ok ? y : zero;
        y1_ = y;
        return y;
    }
    // The memories back into the sections (lane 0 last, which wins when both lanes are one section).
    void put_back() {
        for (int l = 1; l >= 0; --l) {
            Biquad& q = *f_[l];
            q.x1 = x1_[l], q.x2 = x2_[l], q.y1 = y1_[l], q.y2 = y2_[l];
        }
    }

private:
    Biquad* f_[2];
    f64x2 b0_, b1_, b2_, a0_, a1_, a2_, x1_, x2_, y1_, y2_;
};

}  // namespace soundfx
