// Effect 5: every row reversed, left to right.
#include <utility>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Mirror(Progress* progress) {
    if (empty()) return;
    const int w = width();
    routine::for_each_row(*this, progress, [w](uint8_t* p) {
        for (uint8_t *left = p, *right = p + 3 * (w - 1); left < right; left += 3, right -= 3) {
            std::swap(left[0], right[0]);
            std::swap(left[1], right[1]);
            std::swap(left[2], right[2]);
        }
    });
}

namespace videofx {
void apply_mirror(CEffectImage& image, const EffectSlot&, const ChainContext&) { image.Mirror(&image.progress()); }
}  // namespace videofx
