// The input side's table of outside calls as the program fills it: every entry forwards to its
// binder's pointer, looked up at call time (a library not bound yet answers -1; its sound is left out).
#pragma once

void use_program_input_calls();

// The picture size the last worker asked the H.264 decoder for before it sent notice 678 with 1 (the
// job's size, or the stream's when it is larger); 320 x 160 before any did.
void h264_requested_size(int* width, int* height);

// A decode through the interface thread's decoder (notice 678 with 4): the worker's data and the
// picture it decodes into (at least the opened size's bytes) stay with the request while the worker
// waits for the answer; the result is the decoder's byte count (also in g_decoded_bytes), -1 without a
// main window.
int h264_decode_through_main_window(const unsigned char* data, int length, unsigned char* picture);
// The request the interface thread is answering (null and 0 when none).
void h264_pending_decode(const unsigned char** data, int* length, unsigned char** picture);
