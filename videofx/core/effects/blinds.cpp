// Effect 13, a transition: for the first half of every period of 24 x step frames the picture shows
// through slats (rows or columns) that open a little more each frame, the rest black; the second
// half shows it plainly. Slats and rows are counted in memory order.
#include <algorithm>
#include <cstring>
#include <vector>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Blinds(int mode, int step, uint32_t frame) {
    if (empty() || step < 1) return;
    const uint32_t s = uint32_t(step), c = frame % (24 * s);
    if (c >= 12 * s) return;
    mode &= 0xFF;
    if (mode != 0 && mode != 1) return;
    const int w = width(), h = height();
    std::vector<uint8_t> shown(byte_size(), 0);
    if (mode == 0) {  // horizontal slats
        int slats = int(12 * s), slat = h / slats;
        if (slat > 8) {
            slat = 8;
            slats = h / 8;
        } else if (slat < 2) {
            slat = 1;
            slats = h;
        }
        const int visible = std::min(int(c) * slat / slats, slat);
        for (int j = 0; j < slats; ++j) {
            const size_t first = size_t(j) * size_t(slat) * size_t(stride());
            std::memcpy(&shown[first], memory_row(j * slat), size_t(visible) * size_t(stride()));
        }
    } else {  // vertical slats
        int slats = int(12 * s), slat = w / slats;
        if (slat > 8) {
            slat = 8;
            slats = w / 8;
        } else if (slat <= 0) {
            slat = 1;
            slats = w;
        }
        const int visible = std::min(int(c) * slat / slats, slat);
        for (int k = 0; k < h; ++k)
            for (int j = 0; j < slats; ++j) {
                const size_t at = size_t(stride()) * size_t(k) + 3 * size_t(j) * size_t(slat);
                std::memcpy(&shown[at], bits() + at, 3 * size_t(visible));
            }
    }
    std::memcpy(bits(), shown.data(), shown.size());
}

namespace videofx {
void apply_blinds(CEffectImage& image, const EffectSlot& slot, const ChainContext& context) {
    image.Blinds(slot.byte_params[1], slot.byte_params[0], context.blinds_frame);
}
}  // namespace videofx
