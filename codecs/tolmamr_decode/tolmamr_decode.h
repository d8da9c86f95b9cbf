// Export header of tolmamr_decode.dll: AMR narrow-band over opencore-amrnb.
//
// State is kept per calling thread: amrdecode_init opens a decoder for the thread that calls it, and
// the other entries use that thread's decoder. A thread that has not called init gets -1.
// AMR wide-band is not decoded: its frames are refused (-1) or give narrow-band noise, never more than 320 bytes.
#pragma once
#include "codecs/include/tolm_export.h"

// Opens (or re-opens) the calling thread's decoder. Returns 0, -1 on failure.
TOLM_EXPORT(int, amrdecode_init, (void))
// frame: one frame in 3GP storage form (the mode byte, then the speech bits), length at least the
// frame's size for its mode (1 + 12, 13, 15, 17, 19, 20, 26, 31 bytes for modes 0 ... 7, 1 + 5 for
// SID, 1 for NO_DATA). Writes 160 samples of 8000 Hz mono 16-bit PCM (320 bytes) to pcm and returns 320;
// -1 when the frame is short or of an unknown type (nothing is written).
TOLM_EXPORT(int, amr_decode, (const unsigned char* frame, int length, unsigned char* pcm))
// Closes the calling thread's decoder (0; -1 when it had none).
TOLM_EXPORT(int, amrdecode_close, (void))
