// Effect 10: a box blur of a x a. Every pixel becomes the mean (truncated) of the a x a window whose
// top-left corner lies n = a / 2 pixels up and left of it in table order, positions outside the
// picture taking the nearest edge pixel: the same result as extending the edges by n and
// a - 1 - n, filtering and cutting the margins off again, without building the larger picture.
// Column sums run down the rows and the window sum along each row.
#include <algorithm>
#include <cstring>
#include <vector>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Blur(int size) {
    const int w = width(), h = height(), a = size;
    if (empty() || a < 2 || a >= w || a >= h) return;
    const int n = a / 2, f = a - 1 - n;
    const int row_bytes = 3 * w;
    std::vector<uint8_t> source(bits(), bits() + byte_size());
    auto source_row = [&](int i) { return source.data() + size_t(stride()) * size_t(h - 1 - std::clamp(i, 0, h - 1)); };
    // Column sums over the window's rows, for the edge-extended columns: n copies of column 0, the
    // picture's columns, f copies of the last column; three channels each.
    std::vector<uint32_t> columns(size_t(w + a - 1) * 3, 0);
    uint32_t* middle = columns.data() + 3 * n;
    auto update = [&](int entering, int leaving) {
        const uint8_t* in = source_row(entering);
        const uint8_t* out = leaving < -n ? nullptr : source_row(leaving);
        if (out) {
            for (int i = 0; i < row_bytes; ++i) middle[i] += uint32_t(in[i]) - uint32_t(out[i]);
        } else {
            for (int i = 0; i < row_bytes; ++i) middle[i] += in[i];
        }
        for (int c = 0; c < 3; ++c) {
            const uint32_t first = uint32_t(in[c]) - (out ? out[c] : 0);
            const uint32_t last = uint32_t(in[row_bytes - 3 + c]) - (out ? out[row_bytes - 3 + c] : 0);
            for (int e = 0; e < n; ++e) columns[size_t(3 * e + c)] += first;
            for (int e = n + w; e < w + a - 1; ++e) columns[size_t(3 * e + c)] += last;
        }
    };
    for (int i = -n; i <= f; ++i) update(i, -n - 1);
    // Window sums reach at most 255 a^2: for the usual small boxes a table of quotients is quicker
    // than a multiply per channel.
    const routine::ExactDivider divide(uint32_t(a) * uint32_t(a));
    const uint32_t largest = 255 * uint32_t(a) * uint32_t(a);
    std::vector<uint8_t> quotients(largest < 65536 ? size_t(largest) + 1 : 0);
    for (size_t n = 0; n < quotients.size(); ++n) quotients[n] = uint8_t(divide(uint32_t(n)));
    const uint8_t* table = quotients.empty() ? nullptr : quotients.data();
    auto mean = [table, &divide](uint32_t n) { return table ? table[n] : uint8_t(divide(n)); };
    progress().store(0, std::memory_order_relaxed);
    for (int r = 0; r < h; ++r) {
        uint8_t* out = row(r);
        uint32_t sum[3] = {0, 0, 0};
        for (int e = 0; e < a; ++e)
            for (int c = 0; c < 3; ++c) sum[c] += columns[size_t(3 * e + c)];
        const uint32_t* entering = columns.data() + 3 * a;
        const uint32_t* leaving = columns.data();
        for (int x = 0; x < w - 1; ++x, out += 3, entering += 3, leaving += 3)
            for (int c = 0; c < 3; ++c) {
                out[c] = mean(sum[c]);
                sum[c] += entering[c] - leaving[c];
            }
        for (int c = 0; c < 3; ++c) out[c] = mean(sum[c]);
        if (r + 1 < h) update(r + 1 + f, r - n);
        progress().store(r * 100 / (h - 1), std::memory_order_relaxed);
    }
    progress().store(100, std::memory_order_relaxed);
}

namespace videofx {
void apply_blur(CEffectImage& image, const EffectSlot& slot, const ChainContext&) { image.Blur(slot.byte_params[0]); }
}  // namespace videofx
