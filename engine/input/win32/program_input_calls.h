// The input side's table of outside calls as the program fills it: every entry forwards to its
// binder's pointer, looked up at call time (a library not bound yet answers -1; its sound is left out).
#pragma once

void use_program_input_calls();
