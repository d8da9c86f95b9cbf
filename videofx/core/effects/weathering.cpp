// Effect 8: every row smeared from its right end by a running sum over L + 1 pixels. Walking from
// the right, position k is pixel width - 1 - k. The sum takes in the not yet rewritten value L + 1
// positions on (the row's original first pixel once the walk runs past the row) and gives up the
// value already rewritten at the position it leaves.
#include <algorithm>
#include <vector>
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

namespace {

// The smeared value of a sum: its mean over L + 1, at most 255. The sum never leaves
// 0..255 (L + 1) + 255 (what leaves is at most the mean, what enters at most 255), so a table of
// that many entries answers every step with one load.
class Smear {
public:
    explicit Smear(int length) {
        const routine::ExactDivider mean(uint32_t(length) + 1);
        table_.resize(size_t(255) * size_t(length + 1) + 256);
        for (size_t n = 0; n < table_.size(); ++n) table_[n] = uint8_t(std::min<uint32_t>(mean(uint32_t(n)), 255));
    }
    uint8_t operator()(uint32_t sum) const { return table_[sum]; }

private:
    std::vector<uint8_t> table_;
};

// Smears `kRows` rows (1 or 2) side by side: each row's three channel sums form chains of their
// own, and walking two rows at once lets the processor work on six chains together.
template <int kRows>
void smear_rows(uint8_t* const starts[kRows], int w, int length, const Smear& smear) {
    auto at = [w](uint8_t* row, int k) { return row + 3 * (w - 1 - k); };  // position k of the walk
    uint8_t edge[kRows][3], written[kRows][3];  // written: the value now stored at position k
    uint32_t sum[kRows][3];
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < 3; ++c) {
            edge[r][c] = starts[r][c];
            sum[r][c] = 0;
            for (int k = 0; k <= length; ++k) sum[r][c] += at(starts[r], k)[c];
            at(starts[r], 0)[c] = written[r][c] = smear(sum[r][c]);
        }
    // Positions 1 .. w - L - 1 take in pixels of the row; the rest the edge value.
    auto step = [&](int k, auto entering_of) {
        for (int r = 0; r < kRows; ++r) {
            const uint8_t* entering = entering_of(r);
            uint8_t* next = at(starts[r], k + 1);
            for (int c = 0; c < 3; ++c) {
                sum[r][c] = sum[r][c] + entering[c] - written[r][c];
                next[c] = written[r][c] = smear(sum[r][c]);
            }
        }
    };
    const int inside = std::min(w - 2, w - length - 2);  // last k that takes in a pixel of the row
    int k = 0;
    for (; k <= inside; ++k) step(k, [&](int r) { return at(starts[r], k + length + 1); });
    for (; k <= w - 3; ++k) step(k, [&](int r) { return static_cast<const uint8_t*>(edge[r]); });
}

}  // namespace

void CEffectImage::Weathering(int length, Progress* progress) {
    const int w = width(), h = height();
    if (empty() || length < 1 || length > w - 2) return;
    const Smear smear(length);
    report_progress(progress, 0);
    int i = 0;
    for (; i + 1 < h; i += 2) {
        uint8_t* const pair[2] = {row(i), row(i + 1)};
        smear_rows<2>(pair, w, length, smear);
        report_progress(progress, i * 100 / h);
        report_progress(progress, (i + 1) * 100 / h);
    }
    if (i < h) {
        uint8_t* const single[1] = {row(i)};
        smear_rows<1>(single, w, length, smear);
    }
    report_progress(progress, 100);
}

namespace videofx {
void apply_weathering(CEffectImage& image, const EffectSlot& slot, const ChainContext&) {
    image.Weathering(slot.byte_params[0], &image.progress());
}
}  // namespace videofx
