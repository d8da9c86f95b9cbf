// Effect 9: each channel pushed away from its right neighbour's (unchanged) value:
// c + a (c - d), clamped. The last pixel of a row keeps its value.
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Sharpen(int strength, Progress* progress) {
    if (empty() || strength < 1) return;
    const int count = 3 * (width() - 1);  // bytes that have a right neighbour three bytes on
    // From 256 on every difference saturates, so larger strengths act alike (and cannot overflow).
    const int a = strength > 256 ? 256 : strength;
    routine::for_each_row(*this, progress, [count, a](uint8_t* p) {
        for (int i = 0; i < count; ++i) {
            const int c = p[i], d = p[i + 3];
            if (c != d) p[i] = routine::clamp_byte(c + a * (c - d));
        }
    });
}

namespace videofx {
void apply_sharpen(CEffectImage& image, const EffectSlot& slot, const ChainContext&) {
    image.Sharpen(slot.byte_params[0], &image.progress());
}
}  // namespace videofx
