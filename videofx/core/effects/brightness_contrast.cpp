// Effect 3: brightness scales every byte, contrast scales its distance from 128; both by
// F = percent x 128 / 100, so 100 percent leaves the picture as it is.
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

namespace {
int factor(int percent) { return percent * 128 / 100; }
}  // namespace

void CEffectImage::AdjustBrightness(int percent, Progress* progress) {
    if (empty()) return;
    const int f = factor(percent);
    routine::ChannelTables tables;
    for (int v = 0; v < 256; ++v) tables[0][v] = tables[1][v] = tables[2][v] = routine::clamp_byte(v * f / 128);
    routine::map_channels(*this, tables, progress);
}

void CEffectImage::AdjustContrast(int percent, Progress* progress) {
    if (empty()) return;
    const int f = factor(percent);
    routine::ChannelTables tables;
    // C++ division truncates toward zero, as the contrast step wants.
    for (int v = 0; v < 256; ++v) tables[0][v] = tables[1][v] = tables[2][v] = routine::clamp_byte(128 + f * (v - 128) / 128);
    routine::map_channels(*this, tables, progress);
}

namespace videofx {
void apply_brightness_contrast(CEffectImage& image, const EffectSlot& slot, const ChainContext&) {
    image.AdjustBrightness(slot.byte_params[0], &image.progress());
    image.AdjustContrast(slot.byte_params[1], &image.progress());
}
}  // namespace videofx
