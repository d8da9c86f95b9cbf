// The gradient fills of the libraries' skinned controls: one profile of the shared band planner per
// class and library (each class's DrawGradient knows its own style codes and departures).
#pragma once
#include "controls/skin_core/skin_bands.h"

namespace skinlib {

extern const skin::Profile kButtonBrisvane;
extern const skin::Profile kMenuBrisvane;
extern const skin::Profile kComboBrisvane;
extern const skin::Profile kTabBrisvane;
extern const skin::Profile kTabOlumbra;
extern const skin::Profile kMenuOlumbra;
extern const skin::Profile kComboOlumbra;
extern const skin::Profile kButtonOlumbra;
extern const skin::Profile kLabelOlumbra;
extern const skin::Profile kSliderOlumbra;
// The balloon tooltip's fill (skin::kBalloonTip of the program's controls) serves every module; the
// brisvane label borrows it.

// Every profile above, for tests and tools.
extern const skin::Profile* const kAllProfiles[];
extern const size_t kProfileCount;

}  // namespace skinlib
