// The effect pages' sliders bound to the state: for each slider of the three effect pages, the
// parameter a position writes and the position the state shows; and each page's default buttons.
// Pure functions over the engine's state, so the window's handlers and the tests share them.
#pragma once
#include "soundfx/core/engine.h"

namespace soundfx {

// Writes the parameter of slider `control` on effect page `page` (1..3) from a position (limited to
// the slider's range); false for an unknown slider.
bool page_write(EngineState& state, int page, int control, int position);
// The position the slider shows for the state; false for an unknown slider.
bool page_read(const EngineState& state, int page, int control, int* position);

// The effect ids (1..16) of the default buttons of a page, by button id; 0 for another button.
int page_default_effect(int page, int button);
// Puts one effect's parameters back to their defaults for the state's format (the default buttons).
void reset_effect_defaults(EngineState& state, int effect_id);

}  // namespace soundfx
