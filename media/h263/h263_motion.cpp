#include "h263_motion.h"
#include <algorithm>
#include <climits>
#include <cstdlib>

namespace h263 {

constexpr int kZeroVectorBonus = 100;

void HalfPelGrid::build(const int32_t* luma, int width, int height) {
    width2_ = 2 * width;
    height2_ = 2 * height;
    samples_.resize(size_t(width2_) * height2_);
    for (int y = 0; y < height; ++y) {
        const int32_t* row = luma + size_t(y) * width;
        const int32_t* below = luma + size_t(std::min(y + 1, height - 1)) * width;
        int32_t* out0 = &samples_[size_t(2 * y) * width2_];
        int32_t* out1 = out0 + width2_;
        for (int x = 0; x < width; ++x) {
            const int x1 = std::min(x + 1, width - 1);
            const int32_t a = row[x], b = row[x1], c = below[x], d = below[x1];
            out0[2 * x] = a;
            out0[2 * x + 1] = (a + b + 1) / 2;
            out1[2 * x] = (a + c + 1) / 2;
            out1[2 * x + 1] = (a + b + c + d + 2) / 4;
        }
    }
}

int block_sad(const HalfPelGrid& ref, const int32_t* source, int px, int py, int gx, int gy, int limit) {
    const int width = ref.width();
    int sad = 0;
    for (int j = 0; j < 16; ++j) {
        const int32_t* src = source + size_t(py + j) * width + px;
        for (int i = 0; i < 16; ++i) sad += std::abs(src[i] - ref.at(gx + 2 * i, gy + 2 * j));
        if (sad > limit) return sad;
    }
    return sad;
}

namespace {

// Narrows [lo, hi] towards the side where the best position fell.
void shrink(int best, int centre, int step, int& lo, int& hi) {
    if (best < centre) {
        hi = lo + step - 1;
    } else if (best == centre) {
        lo += step;
        hi -= step;
    } else {
        lo = hi - step + 1;
    }
}

}  // namespace

MotionResult search_macroblock(const HalfPelGrid& ref, const int32_t* source, int mb_x, int mb_y, int range) {
    const int px = 16 * mb_x, py = 16 * mb_y;
    const int home_x = 2 * px, home_y = 2 * py;
    int x0 = std::max(0, home_x - range), x1 = std::min(2 * ref.width() - 32, home_x + range);
    int y0 = std::max(0, home_y - range), y1 = std::min(2 * ref.height() - 32, home_y + range);

    int best = block_sad(ref, source, px, py, home_x, home_y, INT_MAX) - kZeroVectorBonus;
    int best_x = home_x, best_y = home_y;
    int cx = home_x, cy = home_y;
    int sx = (2 * range + 2) / 3, sy = sx;
    while (sx > 0 || sy > 0) {
        for (int x : {cx - sx, cx, cx + sx}) {
            if (x < x0 || x > x1) continue;
            for (int y : {cy - sy, cy, cy + sy}) {
                if (sy == 0 || y < y0 || y > y1) continue;
                const int sad = block_sad(ref, source, px, py, x, y, best);
                if (sad < best) {
                    best = sad;
                    best_x = x;
                    best_y = y;
                }
            }
        }
        shrink(best_x, cx, sx, x0, x1);
        shrink(best_y, cy, sy, y0, y1);
        cx = best_x;
        cy = best_y;
        sx = std::max(0, (x1 - x0 + 2) / 3);
        sy = std::max(0, (y1 - y0 + 2) / 3);
    }
    return {{best_x - home_x, best_y - home_y}, best};
}

}  // namespace h263
