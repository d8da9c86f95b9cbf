// Effect 9: each channel pushed away from its right neighbour's (unchanged) value:
// c + a (c - d), clamped. The last pixel of a row keeps its value.
#include <cstring>
#include <vector>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Sharpen(int strength, Progress* progress) {
    if (empty() || strength < 1) return;
    const int count = 3 * (width() - 1);  // bytes that have a right neighbour three bytes on
    // From 256 on every difference saturates, so larger strengths act alike (and cannot overflow).
    const int a = strength > 256 ? 256 : strength;
    std::vector<uint8_t> original(static_cast<size_t>(3 * width()));
    routine::for_each_row(*this, progress, [&](uint8_t* p) {
        // Each byte reads its right neighbour's unchanged value: work from a copy of the row.
        std::memcpy(original.data(), p, original.size());
        const uint8_t* __restrict in = original.data();
        uint8_t* __restrict out = p;
        // Where c equals d the formula gives c itself, so no test is needed. Up to strength 127
        // the sum fits sixteen bits.
        if (a <= 127) {
            for (int i = 0; i < count; ++i) {
                const int16_t c = in[i], d = in[i + 3];
                const int16_t v = int16_t(c + int16_t(a) * int16_t(c - d));
                out[i] = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
            }
            return;
        }
        for (int i = 0; i < count; ++i) {
            const int c = in[i], d = in[i + 3];
            out[i] = routine::clamp_byte(c + a * (c - d));
        }
    });
}

namespace videofx {
void apply_sharpen(CEffectImage& image, const EffectSlot& slot, const ChainContext&) {
    image.Sharpen(slot.byte_params[0], &image.progress());
}
}  // namespace videofx
