// Export header of tolmadpcmdecode.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// ADPCM decoding into 16-bit PCM.
TOLM_EXPORT(int, tolm_adpcm_init, (int format_tag))
// *pcm_length = PCM bytes written.
TOLM_EXPORT(int, tolm_adpcm_decode, (const unsigned char* data, int length, unsigned char* pcm, int* pcm_length,
                                      int bits, int block_align))
TOLM_EXPORT(int, tolm_adpcm_close, (void))
