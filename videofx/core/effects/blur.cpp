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

namespace {

// Exact sum / divisor for sums up to 255 x divisor: a multiply and a shift where the divisor allows.
class Divider {
public:
    explicit Divider(uint32_t divisor)
        : divisor_(divisor), multiplier_(divisor <= 4096 ? uint32_t(((uint64_t(1) << 32) + divisor - 1) / divisor) : 0) {}
    uint32_t operator()(uint32_t sum) const {
        return multiplier_ ? uint32_t((uint64_t(sum) * multiplier_) >> 32) : sum / divisor_;
    }

private:
    uint32_t divisor_;
    uint32_t multiplier_;
};

}  // namespace

void CEffectImage::Blur(int size) {
    const int w = width(), h = height(), a = size;
    if (empty() || a < 2 || a >= w || a >= h) return;
    const int n = a / 2, f = a - 1 - n;
    const int extended = w + a - 1;  // columns of the edge-extended picture
    std::vector<uint8_t> source(bits(), bits() + byte_size());
    auto source_row = [&](int i) { return source.data() + size_t(stride()) * size_t(h - 1 - std::clamp(i, 0, h - 1)); };
    // Extended column e holds picture column clamp(e - n).
    std::vector<int> column_offset(static_cast<size_t>(extended));
    for (int e = 0; e < extended; ++e) column_offset[size_t(e)] = 3 * std::clamp(e - n, 0, w - 1);
    std::vector<uint32_t> columns(size_t(extended) * 3, 0);
    auto add_row = [&](int i, int sign) {
        const uint8_t* p = source_row(i);
        uint32_t* s = columns.data();
        for (int e = 0; e < extended; ++e, s += 3) {
            const uint8_t* q = p + column_offset[size_t(e)];
            s[0] += uint32_t(sign * q[0]);
            s[1] += uint32_t(sign * q[1]);
            s[2] += uint32_t(sign * q[2]);
        }
    };
    for (int i = -n; i <= f; ++i) add_row(i, 1);
    const Divider mean(uint32_t(a) * uint32_t(a));
    progress().store(0, std::memory_order_relaxed);
    for (int r = 0; r < h; ++r) {
        uint8_t* out = row(r);
        uint32_t sum[3] = {0, 0, 0};
        for (int e = 0; e < a; ++e)
            for (int c = 0; c < 3; ++c) sum[c] += columns[size_t(e) * 3 + c];
        for (int x = 0; x < w; ++x, out += 3) {
            for (int c = 0; c < 3; ++c) out[c] = uint8_t(mean(sum[c]));
            if (x + 1 < w)
                for (int c = 0; c < 3; ++c) sum[c] += columns[size_t(x + a) * 3 + c] - columns[size_t(x) * 3 + c];
        }
        if (r + 1 < h) {
            add_row(r + 1 + f, 1);
            add_row(r - n, -1);
        }
        progress().store(r * 100 / (h - 1), std::memory_order_relaxed);
    }
    progress().store(100, std::memory_order_relaxed);
}

namespace videofx {
void apply_blur(CEffectImage& image, const EffectSlot& slot, const ChainContext&) { image.Blur(slot.byte_params[0]); }
}  // namespace videofx
