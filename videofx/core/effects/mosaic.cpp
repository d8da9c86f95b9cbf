// Effect 7: blocks of a x a pixels, from row 0 and column 0 in table order, each filled with its
// average; the last block column and row take what is left over.
#include <algorithm>
#include <vector>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Mosaic(int block, Progress* progress) {
    if (empty() || block <= 1 || block >= width() || block >= height()) return;
    const int w = width(), h = height(), a = block;
    const int block_rows = (h + a - 1) / a, block_columns = (w + a - 1) / a;
    std::vector<uint32_t> sums(size_t(block_columns) * 3);
    report_progress(progress, 0);
    for (int k = 0; k < block_rows; ++k) {
        const int top = k * a, rows = std::min(a, h - top);
        std::fill(sums.begin(), sums.end(), 0u);
        for (int i = top; i < top + rows; ++i) {
            const uint8_t* p = row(i);
            for (int x = 0; x < w; ++x, p += 3) {
                uint32_t* s = &sums[size_t(x / a) * 3];
                s[0] += p[0];
                s[1] += p[1];
                s[2] += p[2];
            }
        }
        for (int j = 0; j < block_columns; ++j) {
            const uint32_t count = uint32_t(std::min(a, w - j * a) * rows);
            for (int c = 0; c < 3; ++c) sums[size_t(j) * 3 + c] /= count;
        }
        for (int i = top; i < top + rows; ++i) {
            uint8_t* p = row(i);
            for (int x = 0; x < w; ++x, p += 3) {
                const uint32_t* s = &sums[size_t(x / a) * 3];
                p[0] = uint8_t(s[0]);
                p[1] = uint8_t(s[1]);
                p[2] = uint8_t(s[2]);
            }
        }
        report_progress(progress, k * 100 / block_rows);
    }
    report_progress(progress, 100);
}

namespace videofx {
void apply_mosaic(CEffectImage& image, const EffectSlot& slot, const ChainContext&) {
    image.Mosaic(slot.byte_params[0], &image.progress());
}
}  // namespace videofx
