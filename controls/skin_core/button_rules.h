// The push button's rules that need no window: how a subclassed button's style maps to its modes, the
// BM_SETSTYLE transform, and the state-colour setters with their error codes.
#pragma once
#include "skin_colour.h"
#include <cstdint>

namespace skin {

constexpr uint32_t kTypeMask = 0x1F;
constexpr uint32_t kOwnerDraw = 0x0B;       // BS_OWNERDRAW
constexpr uint32_t kDefPushButton = 0x01;   // BS_DEFPUSHBUTTON
constexpr uint32_t kPushButton = 0x00;      // BS_PUSHBUTTON

struct SubclassedStyle {
    uint32_t type;         // the low five style bits; 0 for a default push button
    bool check_mode;       // the literal bit test type & 2 (check boxes latch)
    bool default_button;   // BS_DEFPUSHBUTTON
    uint32_t new_style;    // the type bits replaced by BS_OWNERDRAW
};
SubclassedStyle subclassed_style(uint32_t style);

// BM_SETSTYLE: the default-button flag the new type gives (a push button clears it, a default push
// button sets it, any other type leaves `current`) and the style passed on, drawn by its owner.
struct SetStyle {
    bool default_button;
    uint32_t style;
};
SetStyle set_style(uint32_t style, bool current_default);

// Result codes of the colour setters.
constexpr int kColourOk = 0;
constexpr int kBadIndex = 3;
constexpr int kBadShade = 5;
constexpr int kStateColourCount = 6;

// Adds one common step to the three channels: the shade cut so that no channel leaves 0..255, so the
// hue stays. kBadShade (and the colour unchanged) for a shade outside -255..255.
int offset_colour(Colour* colour, int shade);

}  // namespace skin
