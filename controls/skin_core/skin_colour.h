// Colour arithmetic of the skinned controls: every shade they draw is derived from one base colour.
// Colours are Windows COLORREF values (0x00BBGGRR) held in a uint32_t, so this code needs no Win32.
#pragma once
#include <cstdint>

namespace skin {

using Colour = uint32_t;

constexpr int red_of(Colour c) { return (int)(c & 0xFF); }
constexpr int green_of(Colour c) { return (int)((c >> 8) & 0xFF); }
constexpr int blue_of(Colour c) { return (int)((c >> 16) & 0xFF); }
constexpr Colour rgb(int r, int g, int b) {
    return (Colour)(r & 0xFF) | ((Colour)(g & 0xFF) << 8) | ((Colour)(b & 0xFF) << 16);
}

}  // namespace skin

// Adds the low byte of n to each channel; a channel that would pass 255 stays at 255.
skin::Colour color_lighten(skin::Colour c, unsigned n);
// Subtracts the low byte of n from each channel; a channel smaller than it becomes 0.
skin::Colour color_darken(skin::Colour c, unsigned n);
// As color_darken, but a channel smaller than the step keeps its value (the slider's own darkening).
skin::Colour color_darken_keep(skin::Colour c, unsigned n);
