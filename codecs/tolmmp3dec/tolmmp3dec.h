// Export header of tolmmp3dec.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// MPEG audio decoding of a table of whole frames into 16-bit PCM.
TOLM_EXPORT(int, mp3_init, (int decoder))
TOLM_EXPORT(int, mp3_open, (int decoder, const unsigned char* first_frame))
// Returns the PCM bytes written to pcm (at most capacity).
TOLM_EXPORT(int, mp3_play, (int decoder, const void* frame_table, int frame_count, unsigned char* pcm, int capacity))
TOLM_EXPORT(int, mp3_close, (int decoder))
