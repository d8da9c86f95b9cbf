// The libraries' records of the skinned classes: what the brisvane and olumbra builds of the button,
// combo box, label, tab control and menu take in place of the program's, and which bitmaps make each
// library's window frame.
#pragma once
#include "controls/skin_core/control_variants.h"

namespace skinlib {

// The frame bitmaps of a library: background (loaded twice), caption bar, borders and caption buttons
// (0: none).
struct FrameIds {
    unsigned background, caption, left, right, bottom;
    unsigned buttons[2];
};

struct LibraryVariant {
    const char* name;
    const skin::ButtonVariant* button;
    const skin::ComboVariant* combo;
    const skin::LabelVariant* label;
    const skin::TabVariant* tab;
    const skin::MenuVariant* menu;
    const skin::ListVariant* list;
    FrameIds frame;
};

extern const skin::ButtonVariant kBrisvaneButton;
extern const skin::ButtonVariant kOlumbraButton;
extern const skin::ComboVariant kBrisvaneCombo;
extern const skin::ComboVariant kOlumbraCombo;
extern const skin::LabelVariant kBrisvaneLabel;
extern const skin::LabelVariant kOlumbraLabel;
extern const skin::TabVariant kBrisvaneTab;
extern const skin::TabVariant kOlumbraTab;
extern const skin::MenuVariant kBrisvaneMenu;
extern const skin::MenuVariant kOlumbraMenu;
extern const skin::ListVariant kBrisvaneList;
extern const skin::ListVariant kOlumbraList;

extern const LibraryVariant kBrisvane;
extern const LibraryVariant kOlumbra;

}  // namespace skinlib
