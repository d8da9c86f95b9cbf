// The input side's table of outside calls as the program fills it: every entry forwards to its
// binder's pointer, looked up at call time (a library not bound yet answers -1; its sound is left out).
#pragma once

void use_program_input_calls();

// The picture size the last worker asked the H.264 decoder for before it sent notice 678 with 1 (the
// job's size, or the stream's when it is larger); 320 x 160 before any did.
void h264_requested_size(int* width, int* height);
