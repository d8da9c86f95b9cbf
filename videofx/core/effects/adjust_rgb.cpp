// Effect 1: fixed offsets per channel, clamped.
#include <vector>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::AdjustRgb(int red_offset, int green_offset, int blue_offset, Progress* progress) {
    if (empty()) return;
    // The offsets laid out as the bytes of a row (blue, green, red, ...), so one plain loop adds them.
    auto limit = [](int v) { return int16_t(v < -256 ? -256 : v > 256 ? 256 : v); };
    const int16_t offsets[3] = {limit(blue_offset), limit(green_offset), limit(red_offset)};
    const int bytes = 3 * width();
    std::vector<int16_t> pattern(static_cast<size_t>(bytes));
    for (int i = 0; i < bytes; ++i) pattern[size_t(i)] = offsets[i % 3];
    const int16_t* __restrict add = pattern.data();
    routine::for_each_row(*this, progress, [bytes, add](uint8_t* __restrict p) {
        for (int i = 0; i < bytes; ++i) {
            const int16_t v = int16_t(p[i] + add[i]);  // -256..511: sixteen bits suffice
            p[i] = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
        }
    });
}

namespace videofx {
void apply_adjust_rgb(CEffectImage& image, const EffectSlot& slot, const ChainContext&) {
    image.AdjustRgb(slot.byte_params[0] - 128, slot.byte_params[1] - 128, slot.byte_params[2] - 128, &image.progress());
}
}  // namespace videofx
