// Effect 7: blocks of a x a pixels, from row 0 and column 0 in table order, each filled with its
// average; the last block column and row take what is left over.
#include <algorithm>
#include <cstring>
#include <vector>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Mosaic(int block, Progress* progress) {
    if (empty() || block <= 1 || block >= width() || block >= height()) return;
    const int w = width(), h = height(), a = block, bytes = 3 * w;
    const int block_rows = (h + a - 1) / a;
    std::vector<uint32_t> columns(static_cast<size_t>(bytes));  // per byte of a row: its sum down the block row
    std::vector<uint8_t> means(static_cast<size_t>(bytes));     // the block row's first row, filled
    report_progress(progress, 0);
    for (int k = 0; k < block_rows; ++k) {
        const int top = k * a, rows = std::min(a, h - top);
        std::fill(columns.begin(), columns.end(), 0u);
        for (int i = top; i < top + rows; ++i) {
            const uint8_t* __restrict p = row(i);
            uint32_t* __restrict s = columns.data();
            for (int b = 0; b < bytes; ++b) s[b] += p[b];
        }
        for (int left = 0; left < w; left += a) {
            const int count = std::min(a, w - left);
            uint32_t sum[3] = {0, 0, 0};
            for (int x = left; x < left + count; ++x)
                for (int c = 0; c < 3; ++c) sum[c] += columns[size_t(3 * x + c)];
            const uint32_t pixels = uint32_t(count * rows);
            for (int c = 0; c < 3; ++c) sum[c] /= pixels;
            for (int x = left; x < left + count; ++x)
                for (int c = 0; c < 3; ++c) means[size_t(3 * x + c)] = uint8_t(sum[c]);
        }
        for (int i = top; i < top + rows; ++i) std::memcpy(row(i), means.data(), size_t(bytes));
        report_progress(progress, k * 100 / block_rows);
    }
    report_progress(progress, 100);
}

namespace videofx {
void apply_mosaic(CEffectImage& image, const EffectSlot& slot, const ChainContext&) {
    image.Mosaic(slot.byte_params[0], &image.progress());
}
}  // namespace videofx
