// Effect 14, a transition: during the first two thirds of every period of 24 x step frames the
// picture grows out of black (from the middle, from an edge or a corner, by mode 0..5); the last
// third shows it plainly. Rows are counted in memory order.
#include <cstring>
#include <vector>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Expand(int mode, int step, uint32_t frame) {
    if (empty() || step < 1 || mode < 0 || mode > 5) return;
    const uint32_t s = uint32_t(step), active = 16 * s, k = frame % (24 * s);
    if (k >= active) return;
    const int w = width(), h = height();
    const size_t st = size_t(stride());
    std::vector<uint8_t> shown(byte_size(), 0);
    // Copies `count` pixels of memory rows first..last-1 from column `from` to column `to`.
    auto keep = [&](int first, int last, int from, int to, int count) {
        if (count <= 0) return;
        for (int i = first; i < last; ++i)
            std::memcpy(&shown[st * size_t(i) + 3 * size_t(to)], memory_row(i) + 3 * size_t(from), 3 * size_t(count));
    };
    const int kk = int(k), a = int(active);
    switch (mode) {
        case 0: {  // from the middle, sideways
            const int half = kk * (w / 2) / a;
            keep(0, h, w / 2 - half, w / 2 - half, 2 * half);
            break;
        }
        case 1: {  // from the middle, up and down
            const int half = kk * (h / 2) / a;
            keep(h / 2 - half, h / 2 + half, 0, 0, w);
            break;
        }
        case 2: {  // sliding in from the right edge, its left part first
            const int n = int(int64_t(kk) * w / a);
            keep(0, h, 0, w - n, n);
            break;
        }
        case 3:  // from the first memory row on
            keep(0, int(int64_t(kk) * h / a), 0, 0, w);
            break;
        case 4: {
            const int n = int(int64_t(kk) * w / a);
            keep(0, int(int64_t(kk) * h / a), 0, w - n, n);
            break;
        }
        case 5: {
            const int n = int(int64_t(kk) * w / a);
            keep(0, int(int64_t(kk) * h / a), 0, 0, n);
            break;
        }
    }
    std::memcpy(bits(), shown.data(), shown.size());
}

namespace videofx {
void apply_expand(CEffectImage& image, const EffectSlot& slot, const ChainContext& context) {
    image.Expand(slot.byte_params[1], slot.byte_params[0], context.expand_frame);
}
}  // namespace videofx
