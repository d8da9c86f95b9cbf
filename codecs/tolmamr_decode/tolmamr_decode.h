// Export header of tolmamr_decode.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// AMR decoding: each frame gives 320 bytes of 16-bit PCM.
TOLM_EXPORT(int, amrdecode_init, (void))
TOLM_EXPORT(int, amr_decode, (const unsigned char* frame, int length, unsigned char* pcm))
TOLM_EXPORT(int, amrdecode_close, (void))
