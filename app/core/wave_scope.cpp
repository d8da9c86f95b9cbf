#include "wave_scope.h"
#include <algorithm>
#include <cstdlib>
#include "controls/skin_core/skin_colour.h"

namespace {
constexpr int kBufferFrames = 8192;
constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000;
}  // namespace

int scope_band_darkening(int row, int centre) {
    const int near = std::max(0, 255 - 8 * std::abs(row - centre));
    return near * 2 / 3;
}

WaveScope::Pass WaveScope::pass(const ScopeState& state, const uint8_t* left, const uint8_t* right, int* count,
                                int width, int height, const ScopeColours& colours, ScopePicture* picture) {
    picture->fills.clear();
    picture->lines.clear();
    const int frames = std::min(*count, kBufferFrames);
    if (!state.busy || !state.feed || state.paused || frames <= kScopeIdleFrames) return Pass::Idle;
    Pass result = Pass::Discard;
    if (++passes_ >= 2 && width >= 1 && height >= 8 && frames / width >= 1) {
        draw_scope(left, right, frames, width, height, colours, picture);
        passes_ = 0;
        result = Pass::Draw;
    }
    *count = 0;
    return result;
}

void draw_scope(const uint8_t* left, const uint8_t* right, int count, int width, int height,
                const ScopeColours& colours, ScopePicture* picture) {
    const int W = width, H = height;
    const int n = count / W;
    const int c = H / 2;
    // Bands of four rows, darkest through the centre.
    int top = 0;
    for (int i = 1; i < H; ++i) {
        if (i % 4 != 0 && i != H - 1) continue;
        const int bottom = i == H - 1 ? H : i;
        picture->fills.push_back({top, bottom, color_darken(colours.main, unsigned(scope_band_darkening(i, c)))});
        top = bottom;
    }
    // Grid.
    const uint32_t grid = color_darken(color_darken(colours.dark, 27), 51);
    const int step = H / 6;
    for (int k = 0; k < 6; ++k) {
        const int y = k == 3 ? c : k * step;
        picture->lines.push_back({1, y, W - 2, y, grid});
    }
    picture->lines.push_back({1, H - 2, W - 2, H - 2, grid});
    for (int j = 0; j < W / 10; ++j) picture->lines.push_back({10 * j, 1, 10 * j, H - 1, grid});
    picture->lines.push_back({W - 2, 1, W - 2, H - 1, grid});
    // Columns: the first channel upwards, the second downwards.
    const double s = (H - 4) / 255.0;
    std::vector<int> a(static_cast<size_t>(W)), b(static_cast<size_t>(W));
    uint32_t pen = 0;
    for (int x = 0; x < W; ++x) {
        int sum_a = 0, sum_b = 0;
        for (int k = 0; k < n; ++k) {
            sum_a += left[x * n + k];
            sum_b += right[x * n + k];
        }
        a[size_t(x)] = sum_a / n;
        b[size_t(x)] = sum_b / n;
        if (x % 12 == 0) pen = color_lighten(color_darken(colours.accent, 51), unsigned(2 * (x / 12)));
        picture->lines.push_back({x, int(c - s * a[size_t(x)]), x, int(c + s * b[size_t(x)]), pen});
    }
    // Outlines one pixel outside the columns: white above, black below.
    for (int x = 1; x < W; ++x)
        picture->lines.push_back({x - 1, int(c - s * a[size_t(x - 1)] - 1), x, int(c - s * a[size_t(x)] - 1), kWhite});
    for (int x = 1; x < W; ++x)
        picture->lines.push_back({x - 1, int(c + s * b[size_t(x - 1)] + 1), x, int(c + s * b[size_t(x)] + 1), kBlack});
}
