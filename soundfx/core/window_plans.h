// What the effects window paints, as plans without a window: the level display from the engine's
// captured levels, and the channel of the window's slider (frame, selection band, division marks).
#pragma once
#include <cstdint>
#include <vector>
#include "soundfx/core/levels.h"

namespace soundfx {

struct PlanRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
};
struct PlanLine {
    int x0, y0, x1, y1;
};
struct PlanPoint {
    int x, y;
};

// The level display of a control `client_width` x `client_height`: background bands darkest along
// the middle, a grid, one bar a pixel column (left channel above the middle line, right below) and
// the two outlines. Colours are COLORREFs.
struct LevelPlan {
    static constexpr uint32_t kGridColour = 0x002000, kBarColour = 0x10D4D4;
    static constexpr uint32_t kUpperColour = 0xFFFFFF, kLowerColour = 0x000000;
    struct Band {
        PlanRect rect;
        uint32_t colour;
    };
    int width = 0, height = 0;  // W (at most 1400 columns) and H (client height + 1)
    std::vector<Band> bands;
    std::vector<PlanLine> grid;
    std::vector<PlanLine> bars;
    std::vector<PlanPoint> upper, lower;
};
// Takes the capture's levels (averaged per column, the capture's count then 0); false, with an empty
// plan, when the width is under 1 or the block held fewer frames than columns.
bool plan_level_display(LevelCapture& capture, int client_width, int client_height, LevelPlan* plan);
// The band colour 0xFFC020 with `shade` taken off each byte that is at least `shade` (a smaller byte
// stays): the library's channel reduction.
uint32_t color_reduce_channels(uint32_t colour, int shade);
// The library's lightening: adds n to each byte, a byte that would pass 255 keeps its value.
uint32_t color_lighten_keep_overflow(uint32_t colour, int n);

// The channel of the slider in the custom-draw item rectangle.
struct SliderChannelInput {
    PlanRect item;
    bool narrow = false;  // the trackbar's channel rectangle is narrower than tall
    int min = 0, max = 0;
    int sel_start = 0, sel_end = 0;
    bool marks_across = false;  // three marks at the quarters of the width, else six at the sevenths of the height
};
struct SliderChannelPlan {
    PlanRect frame;      // the 3-D frame and rounded face
    PlanRect fill;       // the gradient fill of the channel
    int fill_style = 7;  // 7 when the fill is wider than tall, else 8
    bool has_selection = false;
    PlanRect selection;  // the band along the channel, deflated
    int selection_style = 7;
    std::vector<PlanLine> marks;    // highlight pen
    std::vector<PlanLine> shadows;  // black, beside each mark when the marks are 3 pixels apart or more
};
SliderChannelPlan plan_slider_channel(const SliderChannelInput& in);
// The part of a length L that a selection covers: from L (start - min) / (max - min) to
// L (end - min) / (max - min); false when the range or the selection is empty.
bool slider_selection_span(int length, int min, int max, int start, int end, int* from, int* to);

}  // namespace soundfx
