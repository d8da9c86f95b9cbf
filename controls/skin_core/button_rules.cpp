#include "button_rules.h"
#include <algorithm>

namespace skin {

SubclassedStyle subclassed_style(uint32_t style) {
    SubclassedStyle s;
    s.type = style & kTypeMask;
    s.check_mode = (s.type & 2) != 0;
    s.default_button = s.type == kDefPushButton;
    if (s.default_button) s.type = 0;
    s.new_style = (style & ~kTypeMask) | kOwnerDraw;
    return s;
}

SetStyle set_style(uint32_t style, bool current_default) {
    SetStyle s;
    uint32_t type = style & kTypeMask;
    s.default_button = type == kDefPushButton ? true : type == kPushButton ? false : current_default;
    s.style = (style & ~0x14u) | kOwnerDraw;
    return s;
}

int offset_colour(Colour* colour, int shade) {
    if (shade < -255 || shade > 255) return kBadShade;
    int r = red_of(*colour), g = green_of(*colour), b = blue_of(*colour);
    int step = shade;
    if (step > 0) step = std::min(step, 255 - std::max({r, g, b}));
    else if (step < 0) step = std::max(step, -std::min({r, g, b}));
    *colour = rgb(r + step, g + step, b + step);
    return kColourOk;
}

}  // namespace skin
