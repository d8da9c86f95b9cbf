#include "skin_colour.h"

namespace {
template <typename ChannelOp>
skin::Colour per_channel(skin::Colour c, ChannelOp op) {
    return skin::rgb(op(skin::red_of(c)), op(skin::green_of(c)), op(skin::blue_of(c)));
}
}  // namespace

skin::Colour color_lighten(skin::Colour c, unsigned n) {
    int step = (int)(n & 0xFF);
    return per_channel(c, [step](int ch) { return ch + step > 255 ? 255 : ch + step; });
}

skin::Colour color_darken(skin::Colour c, unsigned n) {
    int step = (int)(n & 0xFF);
    return per_channel(c, [step](int ch) { return ch < step ? 0 : ch - step; });
}

skin::Colour color_darken_keep(skin::Colour c, unsigned n) {
    int step = (int)(n & 0xFF);
    return per_channel(c, [step](int ch) { return ch < step ? ch : ch - step; });
}
