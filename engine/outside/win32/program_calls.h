// The engine's table of outside calls as the program fills it: every outside library's entry through
// its binder's pointer (a library not bound yet answers -1, olumbra's effects pass the sound unchanged),
// the program's own encoder, AVI writer and PCM converter, timeGetTime/Sleep as the clock; and the
// winmm wave device for the wave output. And the main window's sound-effects button on olumbra's window.
#pragma once

void use_program_calls();

// The sound-effects button pressed (steps in engine/state/effects_switch.h), asking olumbra's window
// when the library is bound. False outside a run: the caller shows kEffectsOutsideRunText.
bool press_effects_button();
