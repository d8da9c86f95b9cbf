// Export header of tolmaac_decode.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// AAC decoding into 16-bit PCM.
TOLM_EXPORT(int, aacdecode_init, (void))
TOLM_EXPORT(int, aac_decode, (void))
TOLM_EXPORT(int, get_mp4info, (void))
TOLM_EXPORT(int, aacdecode_close, (void))
TOLM_EXPORT(int, aacdecodebuf_init, (const unsigned char* config, int length, int value, int sample_rate_hint,
                                      int* sample_rate, int* channels))
// Returns the PCM byte count.
TOLM_EXPORT(int, aacbuf_decode, (const unsigned char* data, int length, int value, unsigned char* pcm))
TOLM_EXPORT(int, aacdecodebuf_close, (void))
