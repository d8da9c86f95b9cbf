// Export header of tolmamr_encode.dll: AMR-NB over opencore-amrnb, one encoder at a time.
//
// Input: 8000 Hz mono 16-bit PCM in blocks of a multiple of 320 bytes (one 20 ms frame of 160 samples);
// the program passes 640-byte blocks. Output: the frames in 3GP storage form (one mode byte, then the
// speech bits), as a 3GP AMR sample holds them; at most 32 bytes a frame.
#pragma once
#include "codecs/include/tolm_export.h"
#include "codecs/tolmamr_encode/amr_mode.h"

// mode: one of 475, 515, 59, 67, 74, 795, 102, 122 (4.75 ... 12.2 kbit/s). state is accepted and not used
// (the library keeps its own). Returns 0, or below 0 for an unknown mode or a failed start.
TOLM_EXPORT(int, amrbuf_init, (int mode, void* state))
// Returns the coded byte count (below 0 on failure or when out cannot hold the frames);
// *frame_count = the frames coded. A trailing part of a frame (under 320 bytes) is ignored.
TOLM_EXPORT(int, amrbuf_encode, (const unsigned char* pcm, int length, unsigned char* out, int out_capacity,
                                  int* frame_count))
TOLM_EXPORT(int, amrbuf_close, (void))
// The same encoder under its older names.
TOLM_EXPORT(int, amr_init, (int mode, void* state))
TOLM_EXPORT(int, amr_encode, (const unsigned char* pcm, int length, unsigned char* out, int out_capacity,
                               int* frame_count))
TOLM_EXPORT(int, amr_close, (void))
