#include "soundfx/core/window_plans.h"
#include <algorithm>

namespace soundfx {

uint32_t color_reduce_channels(uint32_t colour, int shade) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int byte = int((colour >> shift) & 0xFF);
        if (byte >= shade) byte -= shade;
        out |= uint32_t(byte) << shift;
    }
    return out | (colour & 0xFF000000u);
}

uint32_t color_lighten_keep_overflow(uint32_t colour, int n) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int byte = int((colour >> shift) & 0xFF);
        if (byte + n < 256) byte += n;
        out |= uint32_t(byte) << shift;
    }
    return out | (colour & 0xFF000000u);
}

bool plan_level_display(LevelCapture& capture, int client_width, int client_height, LevelPlan* plan) {
    *plan = LevelPlan{};
    if (client_width < 1 || client_height < 1) return false;
    const int W = std::min(client_width, LevelCapture::kMaxColumns);
    const int H = client_height + 1;
    uint8_t left[LevelCapture::kMaxColumns], right[LevelCapture::kMaxColumns];
    if (!capture.columns(W, left, right)) return false;
    plan->width = W, plan->height = H;

    int previous = 0;
    for (int y = 0; y < H; ++y) {
        if (!((y % 4 == 0 && y > 0) || y == H - 1)) continue;
        int v = y <= H / 2 ? 255 - 2 * (H / 2) + 2 * y : 255 + 2 * (H / 2) - 2 * y;
        v = std::clamp(v, 0, 255);
        plan->bands.push_back({PlanRect{0, previous, W, y}, color_reduce_channels(0xFFC020, 3 * v / 4)});
        previous = y;
    }
    const int step = H / 6;
    for (int i : {0, 1, 2, 3, 4, 5}) {
        const int y = i == 3 ? H / 2 : i * step;
        plan->grid.push_back({1, y, W - 2, y});
    }
    plan->grid.push_back({1, H - 2, W - 2, H - 2});
    for (int i = 0; i < W / 10; ++i) plan->grid.push_back({i * 10, 1, i * 10, H - 1});
    plan->grid.push_back({W - 2, 1, W - 2, H - 1});

    const float s = float(H - 2) * 0.0039215688f;
    for (int x = 0; x < W; ++x) {
        const int up = int(float(H / 2) - float(left[x]) * s);
        const int down = int(float(H / 2) + float(right[x]) * s);
        plan->bars.push_back({x, up, x, down});
        plan->upper.push_back({x, int(float(H / 2) - float(left[x]) * s - 1)});
        plan->lower.push_back({x, int(float(H / 2) + float(right[x]) * s + 1)});
    }
    return true;
}

bool slider_selection_span(int length, int min, int max, int start, int end, int* from, int* to) {
    if (max <= min || start >= end) return false;
    const int64_t span = int64_t(max) - min;
    *from = int(int64_t(length) * (int64_t(start) - min) / span);
    *to = int(int64_t(length) * (int64_t(end) - min) / span);
    return *to > *from;
}

SliderChannelPlan plan_slider_channel(const SliderChannelInput& in) {
    SliderChannelPlan plan;
    PlanRect r = in.item;
    if (in.min != 0 || in.max != 0) r.top += 1, r.bottom -= 1;
    if (in.narrow) {
        r.left += 1, r.right -= 1, r.bottom += 1;
    } else {
        r.top += 1, r.bottom -= 1;
    }
    plan.frame = r;
    PlanRect fill = r;
    fill.left -= 1, fill.top -= 1, fill.right += 1;
    plan.fill = fill;
    plan.fill_style = fill.width() > fill.height() ? 7 : 8;

    // The selection lies in the item rectangle as the control passed it.
    const PlanRect item = in.item;
    int from = 0, to = 0;
    const int length = in.narrow ? item.width() : item.height();
    if (slider_selection_span(length, in.min, in.max, in.sel_start, in.sel_end, &from, &to)) {
        PlanRect s = item;
        if (in.narrow) {
            s.left = item.left + from, s.right = item.left + to;
            s.left += 1, s.top += 1, s.right -= 1, s.bottom -= 1;
            plan.selection_style = 8;
        } else {
            s.top = item.top + from, s.bottom = item.top + to;
            s.left += 1, s.right -= 1, s.bottom -= 2;
            plan.selection_style = 7;
        }
        plan.has_selection = !s.empty();
        plan.selection = s;
    }

    if (in.marks_across) {
        const int w = r.width();
        for (int k = 1; k <= 3; ++k) {
            const int x = r.left + w * k / 4;
            plan.marks.push_back({x, r.top + 1, x, r.bottom - 1});
            if (w / 4 >= 3) plan.shadows.push_back({x + 1, r.top + 1, x + 1, r.bottom - 1});
        }
    } else {
        const int h = r.height();
        for (int k = 1; k <= 6; ++k) {
            const int y = r.top + h * k / 7;
            plan.marks.push_back({r.left, y, r.right, y});
            if (h / 7 >= 3) plan.shadows.push_back({r.left, y + 1, r.right, y + 1});
        }
    }
    return plan;
}

}  // namespace soundfx
