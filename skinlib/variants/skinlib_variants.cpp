#include "skinlib_variants.h"
#include "controls/skin_core/list_rules.h"
#include "controls/skin_core/skin_class_profiles.h"
#include "controls/skin_core/skin_colour.h"
#include "skinlib/gradients/skinlib_gradients.h"

namespace skinlib {

using skin::ComboVariant;

const skin::ButtonVariant kBrisvaneButton = {"brisvane", &kButtonBrisvane};
const skin::ButtonVariant kOlumbraButton = {"olumbra", &kButtonOlumbra};

// brisvane: the selection bar and faces 1..6 in the select style's gradient, the contrast of the text
// colour on the selection, icons from the item data, the frame round the item.
const ComboVariant kBrisvaneCombo = {
    "brisvane", &kComboBrisvane,
    0, 0, 8, 0xC0C0C0, 0x000000, 0x000000, 0xFFFFFF,
    ComboVariant::LowFace::SelectGradient, ComboVariant::Selection::Gradient, ComboVariant::SelectedText::Contrast,
    false, true, true,
};

// olumbra: raised button faces, the selection in the inverse colour with the inverse text colour, the
// copies drawn under the text, no icons.
const ComboVariant kOlumbraCombo = {
    "olumbra", &kComboOlumbra,
    0, 0, 8, 0xC0C0C0, 0x000000, 0x000000, 0xFFFFFF,
    ComboVariant::LowFace::Bevel, ComboVariant::Selection::InvertedBevel, ComboVariant::SelectedText::Inverse,
    true, false, true,
};

// The brisvane label borrows the balloon tip's fill and has the indicator look; both open their own
// text on an open-link click.
const skin::LabelVariant kBrisvaneLabel = {"brisvane", &skin::kBalloonTip, false, true, 750, 500, nullptr};
const skin::LabelVariant kOlumbraLabel = {"olumbra", &kLabelOlumbra, false, false, 500, 500, nullptr};

// brisvane: shadows in the face colour darkened by 51, unselected ones one style further.
const skin::TabVariant kBrisvaneTab = {"brisvane", &kTabBrisvane, true, true, 2, true, false, false};
// olumbra: black shadows one pixel off, full height, the selected tab lifted, raised text always white.
const skin::TabVariant kOlumbraTab = {"olumbra", &kTabOlumbra, false, false, 1, false, true, true};

const skin::MenuVariant kBrisvaneMenu = {
    "brisvane", &kMenuBrisvane, 20, 0x60DF20 /* color_darken(0x80FF40, 32) */, 22, 22, 20, true, true, true,
};
const skin::MenuVariant kOlumbraMenu = {"olumbra", &kMenuOlumbra, 10, 0x80FF40, 7, 8, 10, true, true, true};

// brisvane keeps the program's custom draw (it paints bands only when its owner sets a band style);
// olumbra's list only colours its cells.
const skin::ListVariant kBrisvaneList = {"brisvane", &skin::kListTarmelo, true};
const skin::ListVariant kOlumbraList = {"olumbra", &skin::kListTarmelo, false};

const LibraryVariant kBrisvane = {"brisvane",     &kBrisvaneButton, &kBrisvaneCombo, &kBrisvaneLabel,
                                  &kBrisvaneTab, &kBrisvaneMenu,   &kBrisvaneList,
                                  {11023, 11046, 11025, 11026, 11027, {11047, 11048}}};
const LibraryVariant kOlumbra = {"olumbra",     &kOlumbraButton, &kOlumbraCombo, &kOlumbraLabel,
                                 &kOlumbraTab, &kOlumbraMenu,   &kOlumbraList,
                                 {3005, 3006, 3007, 3008, 3009, {3055, 0}}};

}  // namespace skinlib
