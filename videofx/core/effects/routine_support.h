// Small pieces the effect routines share.
#pragma once
#include <cstdint>
#include "videofx/core/effect_image.h"

namespace routine {

inline uint8_t clamp_byte(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// Runs `per_row(memory_row_pointer)` over every row, reporting 0 first, i x 100 / rows after row i
// and 100 at the end.
template <typename PerRow>
void for_each_row(CEffectImage& image, Progress* progress, PerRow per_row) {
    const int rows = image.height();
    report_progress(progress, 0);
    for (int i = 0; i < rows; ++i) {
        per_row(image.row(i));
        report_progress(progress, i * 100 / rows);
    }
    report_progress(progress, 100);
}

// n / d by a multiply and a shift, exact for n below 2^24 and d from 1 to 2^16: every sum the
// routines divide stays below 2^24 (255 x 255 x 255 at most for a blur of 255).
class ExactDivider {
public:
    explicit ExactDivider(uint32_t d) : multiplier_(((uint64_t(1) << 40) + d - 1) / d) {}
    uint32_t operator()(uint32_t n) const { return uint32_t((uint64_t(n) * multiplier_) >> 40); }

private:
    uint64_t multiplier_;
};

// Whether a picture view can be read as B,G,R rows: data, a size and a stride that holds a row.
bool readable_bgr(const PictureView& view);

}  // namespace routine
