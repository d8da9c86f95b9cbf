// Effect 6: every byte c becomes 255 - c.
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Invert(Progress* progress) {
    if (empty()) return;
    routine::ChannelTables tables;
    for (int v = 0; v < 256; ++v) tables[0][v] = tables[1][v] = tables[2][v] = uint8_t(255 - v);
    routine::map_channels(*this, tables, progress);
}

namespace videofx {
void apply_invert(CEffectImage& image, const EffectSlot&, const ChainContext&) { image.Invert(&image.progress()); }
}  // namespace videofx
