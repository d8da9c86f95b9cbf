// Export header of tolmac3buf.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// AC-3 decoding of whole frames into 16-bit PCM.
TOLM_EXPORT(int, ac3buf_init, (int first, int second))
TOLM_EXPORT(int, ac3buf_close, (void))
// frame: one AC-3 frame; out: capacity bytes; *out_length = PCM bytes written.
TOLM_EXPORT(int, ac3buf_readdata, (const unsigned char* frame, int length, unsigned char* out, int capacity,
                                    int* out_length))
TOLM_EXPORT(int, ac3buf_get_handle, (void))
