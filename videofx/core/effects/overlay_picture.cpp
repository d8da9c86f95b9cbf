// Effect 11: the overlay work picture copied over the start of the image, memory row i to memory
// row i (the top of the effect's area), optionally with a key box whose colours stay transparent.
#include <algorithm>
#include <cstring>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

int CEffectImage::OverlayPicture(const PictureView& overlay, int keyed, int low2, int low1, int low0, int high2,
                                 int high1, int high0) {
    if (empty() || !routine::readable_bgr(overlay)) return 0;
    const int w = std::min(overlay.width, width()), h = std::min(overlay.height, height());
    for (int i = 0; i < h; ++i) {
        const uint8_t* in = overlay.data + size_t(overlay.stride) * size_t(i);
        uint8_t* out = memory_row(i);
        if (!keyed) {
            std::memcpy(out, in, 3 * size_t(w));
            continue;
        }
        for (int x = 0; x < w; ++x, in += 3, out += 3) {
            const bool inside = low0 <= in[0] && in[0] <= high0 && low1 <= in[1] && in[1] <= high1 && low2 <= in[2] &&
                                in[2] <= high2;
            if (!inside) std::memcpy(out, in, 3);
        }
    }
    return 1;
}

namespace videofx {
void apply_picture_overlay(CEffectImage& image, const EffectSlot&, const ChainContext& context) {
    const OverlayPicture& o = context.overlay;
    image.OverlayPicture(o.pixels, o.keyed, o.low[2], o.low[1], o.low[0], o.high[2], o.high[1], o.high[0]);
}
}  // namespace videofx
