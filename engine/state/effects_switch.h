// The main window's sound-effects button, one piece for the program's dialog and the hosts that stand
// in for it. Outside a run it does nothing (the caller shows kEffectsOutsideRunText). During a run it
// inverts the run's effects-window flag; then, with the effects library bound, a hidden window is
// shown and the flag set with it (a window closed by its own close box comes back at the next press),
// and a shown one is shown or hidden by the flag.
#pragma once

// The status text of a press outside a run.
extern const char kEffectsOutsideRunText[];

// The effects library's window as the press finds it.
enum class EffectsWindow { kNotBound, kHidden, kShown };

// What the press asks of the library's window switch: kEffectsOutsideRun (nothing, not even the flag),
// kEffectsNoStep (the flag inverted, no library to ask), else the value to pass it: 1 show, 0 hide.
constexpr int kEffectsOutsideRun = -2, kEffectsNoStep = -1;
int press_effects_switch(EffectsWindow window);
