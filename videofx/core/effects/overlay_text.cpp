// Effect 12: the rendered text bitmap copied over the start of the image, memory row i to memory
// row i, every pure green pixel (its transparent colour) skipped.
#include <algorithm>
#include <cstring>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::OverlayText(const PictureView& text) {
    if (empty() || !routine::readable_bgr(text)) return;
    const int w = std::min(text.width, width()), h = std::min(text.height, height());
    for (int i = 0; i < h; ++i) {
        const uint8_t* in = text.data + size_t(text.stride) * size_t(i);
        uint8_t* out = memory_row(i);
        for (int x = 0; x < w; ++x, in += 3, out += 3)
            if (!(in[0] == 0 && in[1] == 255 && in[2] == 0)) std::memcpy(out, in, 3);
    }
}

namespace videofx {
void apply_text_overlay(CEffectImage& image, const EffectSlot&, const ChainContext& context) {
    image.OverlayText(context.text_bitmap);
}
}  // namespace videofx
