// Effect 1: fixed offsets per channel, clamped.
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::AdjustRgb(int red_offset, int green_offset, int blue_offset, Progress* progress) {
    if (empty()) return;
    routine::ChannelTables tables;
    const int offsets[3] = {blue_offset, green_offset, red_offset};
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v) tables[c][v] = routine::clamp_byte(v + offsets[c]);
    routine::map_channels(*this, tables, progress);
}

namespace videofx {
void apply_adjust_rgb(CEffectImage& image, const EffectSlot& slot, const ChainContext&) {
    image.AdjustRgb(slot.byte_params[0] - 128, slot.byte_params[1] - 128, slot.byte_params[2] - 128, &image.progress());
}
}  // namespace videofx
