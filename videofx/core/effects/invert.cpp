// Effect 6: every byte c becomes 255 - c.
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Invert(Progress* progress) {
    if (empty()) return;
    const int bytes = 3 * width();
    routine::for_each_row(*this, progress, [bytes](uint8_t* p) {
        for (int i = 0; i < bytes; ++i) p[i] = uint8_t(255 - p[i]);
    });
}

namespace videofx {
void apply_invert(CEffectImage& image, const EffectSlot&, const ChainContext&) { image.Invert(&image.progress()); }
}  // namespace videofx
