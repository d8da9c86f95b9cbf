// Effect 8: every row smeared from its right end by a running sum over L + 1 pixels. Walking from
// the right, position k is pixel width - 1 - k. The sum takes in the not yet rewritten value L + 1
// positions on (the row's original first pixel once the walk runs past the row) and gives up the
// value already rewritten at the position it leaves.
#include "routine_support.h"
#include "videofx/core/effect_catalog.h"

void CEffectImage::Weathering(int length, Progress* progress) {
    const int w = width();
    if (empty() || length < 1 || length > w - 2) return;
    const int span = length + 1;
    routine::for_each_row(*this, progress, [w, length, span](uint8_t* row_start) {
        for (int c = 0; c < 3; ++c) {
            uint8_t* channel = row_start + c;
            auto at = [channel, w](int k) -> uint8_t& { return channel[3 * (w - 1 - k)]; };
            const int edge = channel[0];
            int sum = 0;
            for (int k = 0; k <= length; ++k) sum += at(k);
            at(0) = routine::clamp_byte(sum / span);
            for (int k = 0; k <= w - 3; ++k) {
                const int entering = k < w - length - 1 ? at(k + length + 1) : edge;
                sum += entering - at(k);
                at(k + 1) = routine::clamp_byte(sum / span);
            }
        }
    });
}

namespace videofx {
void apply_weathering(CEffectImage& image, const EffectSlot& slot, const ChainContext&) {
    image.Weathering(slot.byte_params[0], &image.progress());
}
}  // namespace videofx
