// Effect 4: the picture upside down, whole rows swapped through a spare row.
#include <cstring>
#include <vector>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Flip(Progress* progress) {
    if (empty()) return;
    const int h = height();
    std::vector<uint8_t> spare(static_cast<size_t>(stride()));
    report_progress(progress, 0);
    for (int i = 0; i < h / 2; ++i) {
        uint8_t* a = row(i);
        uint8_t* b = row(h - 1 - i);
        std::memcpy(spare.data(), a, spare.size());
        std::memcpy(a, b, spare.size());
        std::memcpy(b, spare.data(), spare.size());
        report_progress(progress, i * 200 / h);
    }
    report_progress(progress, 100);
}

namespace videofx {
void apply_flip(CEffectImage& image, const EffectSlot&, const ChainContext&) { image.Flip(&image.progress()); }
}  // namespace videofx
