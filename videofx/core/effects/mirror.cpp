// Effect 5: every row reversed, left to right.
#include <cstring>
#include <vector>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Mirror(Progress* progress) {
    if (empty()) return;
    const int w = width();
    // The row reversed into a copy with one spare byte: each pixel but the row's last moves as a
    // 4-byte word whose fourth byte the next pixel overwrites.
    std::vector<uint8_t> reversed(static_cast<size_t>(3 * w + 1));
    routine::for_each_row(*this, progress, [&](uint8_t* p) {
        std::memcpy(reversed.data(), p + 3 * (w - 1), 3);
        for (int x = 1; x < w; ++x) std::memcpy(reversed.data() + 3 * x, p + 3 * (w - 1 - x), 4);
        std::memcpy(p, reversed.data(), size_t(3 * w));
    });
}

namespace videofx {
void apply_mirror(CEffectImage& image, const EffectSlot&, const ChainContext&) { image.Mirror(&image.progress()); }
}  // namespace videofx
