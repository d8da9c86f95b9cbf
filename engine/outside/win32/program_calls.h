// The engine's table of outside calls as the program fills it: every outside library's entry through
// its binder's pointer (a library not bound yet answers -1, olumbra's effects pass the sound unchanged),
// the program's own encoder, AVI writer and PCM converter, timeGetTime/Sleep as the clock; and the
// winmm wave device for the wave output.
#pragma once

void use_program_calls();
