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
// As color_darken, but a channel smaller than the step keeps its value (the slider's and the progress
// bar's own darkening).
skin::Colour color_darken_keep(skin::Colour c, unsigned n);
// As color_lighten, but a channel that would pass 255 keeps its value (their own lightening).
skin::Colour color_lighten_keep(skin::Colour c, unsigned n);

namespace skin {

// The per-channel midpoint a + (b - a) / 2 (the skin's shade between two system colours).
Colour midpoint(Colour a, Colour b);
// Each channel c becomes c + f * (255 - c), truncated, for 0 < f <= 1; any other f leaves c.
Colour blend_white(Colour c, double f);
// Each channel becomes 255 - c.
Colour invert(Colour c);
// The grey 0x010101 * trunc(0.299 R + 0.587 G + 0.114 B).
Colour grey(Colour c);
// The shadow colour of a button's text: red 255 - red above 222 (else 32), green and blue 255 - value
// above 190 (else 64).
Colour button_contrast(Colour c);
// The libraries' combo box selected text: each channel 255 - value below 224, else 32.
Colour combo_contrast(Colour c);

}  // namespace skin
