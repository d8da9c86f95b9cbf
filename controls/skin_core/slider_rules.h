// The skinned slider without a window: its shades (stepped by its own rule: a channel that would leave
// 0..255 keeps its value), the thumb in its three shapes as line lists, and the channel with its
// selection band and stripes.
#pragma once
#include "skin_strokes.h"

namespace skin {

// The system colours the slider uses.
struct SliderSystem {
    Colour shadow = 0x808080;       // COLOR_BTNSHADOW
    Colour dark_shadow = 0x404040;  // COLOR_3DDKSHADOW
    Colour face = 0xC0C0C0;         // COLOR_BTNFACE
    Colour highlight = 0xFFFFFF;    // COLOR_BTNHIGHLIGHT
    Colour frame = 0x000000;        // COLOR_WINDOWFRAME
};

struct SliderShades {
    Colour thumb, light1, light2, dark1, dark2;
    Colour channel, channel_shadow, channel_edge, selection;
};
SliderShades slider_shades(Colour thumb, Colour channel, Colour selection, const SliderSystem& sys);
// The mean the slider takes of two system colours: a + ((b - a) >> 1) per channel.
Colour slider_mean(Colour a, Colour b);

enum class ThumbShape : uint8_t { Both, PointUp, PointDown };

// The thumb on `r`, upright (narrower than high); `grip` when the window is enabled. `lying` draws the
// same thumb with x and y exchanged, for a rectangle wider than high.
Strokes slider_thumb(Rect r, ThumbShape shape, const SliderShades& s, const SliderSystem& sys, bool grip, bool lying);
// The shape a thumb takes from the slider's style bits (TBS_BOTH 8, TBS_TOP or TBS_LEFT 4).
ThumbShape thumb_shape(uint32_t style);

struct ChannelInput {
    Rect item;              // the custom-draw item rectangle
    bool vertical;          // the channel is higher than wide
    bool range_set;         // the range's minimum or maximum is not 0
    int min = 0, max = 0;
    int sel_start = 0, sel_end = 0;
};
// The channel: its sunken frame and rounded face, the edge and highlight lines, the selection band
// (along the channel's length) and six stripes.
Strokes slider_channel(const ChannelInput& in, const SliderShades& s, const SliderSystem& sys);
// The selection band alone (empty when there is no selection).
Rect selection_band(const ChannelInput& in);

}  // namespace skin
