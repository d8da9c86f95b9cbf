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

skin::Colour color_lighten_keep(skin::Colour c, unsigned n) {
    int step = (int)(n & 0xFF);
    return per_channel(c, [step](int ch) { return ch + step > 255 ? ch : ch + step; });
}

namespace skin {

Colour midpoint(Colour a, Colour b) {
    auto mid = [](int x, int y) { return x + (y - x) / 2; };
    return rgb(mid(red_of(a), red_of(b)), mid(green_of(a), green_of(b)), mid(blue_of(a), blue_of(b)));
}

Colour blend_white(Colour c, double f) {
    if (!(f > 0 && f <= 1)) return c;
    return per_channel(c, [f](int ch) { return (int)(ch + f * (255 - ch)); });
}

Colour invert(Colour c) {
    return per_channel(c, [](int ch) { return 255 - ch; });
}

Colour grey(Colour c) {
    int y = (int)(0.299 * red_of(c) + 0.587 * green_of(c) + 0.114 * blue_of(c));
    return rgb(y, y, y);
}

Colour button_contrast(Colour c) {
    int r = red_of(c), g = green_of(c), b = blue_of(c);
    return rgb(r > 222 ? 255 - r : 32, g > 190 ? 255 - g : 64, b > 190 ? 255 - b : 64);
}

Colour combo_contrast(Colour c) {
    return per_channel(c, [](int ch) { return ch < 224 ? 255 - ch : 32; });
}

}  // namespace skin
