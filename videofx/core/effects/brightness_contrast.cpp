// Effect 3: brightness scales every byte, contrast scales its distance from 128; both by
// F = percent x 128 / 100, so 100 percent leaves the picture as it is.
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

namespace {
// Percentages come from byte parameters; far larger ones are held where the products still fit.
int factor(int percent) {
    const int held = percent < -1000000 ? -1000000 : percent > 1000000 ? 1000000 : percent;
    return held * 128 / 100;
}
}  // namespace

void CEffectImage::AdjustBrightness(int percent, Progress* progress) {
    if (empty()) return;
    const int f = factor(percent);
    const int bytes = 3 * width();
    routine::for_each_row(*this, progress, [bytes, f](uint8_t* __restrict p) {
        if (f >= 0 && f <= 257) {  // up to 200 percent the product fits sixteen bits
            for (int i = 0; i < bytes; ++i) {
                const uint16_t v = uint16_t(uint16_t(p[i]) * uint16_t(f)) >> 7;
                p[i] = uint8_t(v > 255 ? 255 : v);
            }
            return;
        }
        for (int i = 0; i < bytes; ++i) p[i] = routine::clamp_byte((p[i] * f) >> 7);  // floor of / 128
    });
}

void CEffectImage::AdjustContrast(int percent, Progress* progress) {
    if (empty()) return;
    const int f = factor(percent);
    const int bytes = 3 * width();
    routine::for_each_row(*this, progress, [bytes, f](uint8_t* __restrict p) {
        if (f >= -255 && f <= 255) {  // up to 199 percent the product fits sixteen bits
            for (int i = 0; i < bytes; ++i) {
                const int16_t t = int16_t(int16_t(f) * int16_t(p[i] - 128));
                const int16_t v = int16_t((t + ((t >> 15) & 127)) >> 7);  // t / 128 truncated toward zero
                const int16_t c = int16_t(128 + v);
                p[i] = uint8_t(c < 0 ? 0 : c > 255 ? 255 : c);
            }
            return;
        }
        for (int i = 0; i < bytes; ++i) {
            const int t = f * (p[i] - 128);
            p[i] = routine::clamp_byte(128 + ((t + ((t >> 31) & 127)) >> 7));  // t / 128 toward zero
        }
    });
}

namespace videofx {
void apply_brightness_contrast(CEffectImage& image, const EffectSlot& slot, const ChainContext&) {
    image.AdjustBrightness(slot.byte_params[0], &image.progress());
    image.AdjustContrast(slot.byte_params[1], &image.progress());
}
}  // namespace videofx
