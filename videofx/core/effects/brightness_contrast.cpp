// Effect 3: brightness scales every byte, contrast scales its distance from 128; both by
// F = percent x 128 / 100, so 100 percent leaves the picture as it is.
#include <emmintrin.h>
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
            const __m128i factor = _mm_set1_epi16(int16_t(f)), zero = _mm_setzero_si128();
            int i = 0;
            for (; i + 16 <= bytes; i += 16) {
                const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
                const __m128i low = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(in, zero), factor), 7);
                const __m128i high = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(in, zero), factor), 7);
                // At most 511 each: the saturating pack is the cap at 255.
                _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), _mm_packus_epi16(low, high));
            }
            for (; i < bytes; ++i) {
                const int v = (p[i] * f) >> 7;
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
            const __m128i factor = _mm_set1_epi16(int16_t(f)), zero = _mm_setzero_si128();
            const __m128i middle = _mm_set1_epi16(128), round = _mm_set1_epi16(127);
            auto half = [&](__m128i bytes16) {
                const __m128i t = _mm_mullo_epi16(_mm_sub_epi16(bytes16, middle), factor);
                // t / 128 truncated toward zero: negative t is raised by 127 before the shift.
                const __m128i v = _mm_srai_epi16(_mm_add_epi16(t, _mm_and_si128(_mm_srai_epi16(t, 15), round)), 7);
                return _mm_add_epi16(v, middle);
            };
            int i = 0;
            for (; i + 16 <= bytes; i += 16) {
                const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
                const __m128i out = _mm_packus_epi16(half(_mm_unpacklo_epi8(in, zero)), half(_mm_unpackhi_epi8(in, zero)));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), out);  // the pack clamps to 0..255
            }
            for (; i < bytes; ++i) {
                const int t = f * (p[i] - 128);
                p[i] = routine::clamp_byte(128 + ((t + ((t >> 31) & 127)) >> 7));
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
