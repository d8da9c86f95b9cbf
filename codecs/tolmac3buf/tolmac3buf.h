// Export header of tolmac3buf.dll as its callers use it; shared by the binder and the stand-in.
#pragma once
#include "codecs/include/tolm_export.h"

// AC-3 decoding of whole frames into 16-bit PCM, always two channels (downmixed; mono given to both).
// The two arguments of ac3buf_init are not used.
TOLM_EXPORT(int, ac3buf_init, (int first, int second))
TOLM_EXPORT(int, ac3buf_close, (void))
// frame: one AC-3 frame; out: capacity bytes; *out_length = PCM bytes written. PCM that does not fit
// is written by the next call, before that call's frame. 0, or -1 for a frame that does not decode.
TOLM_EXPORT(int, ac3buf_readdata, (const unsigned char* frame, int length, unsigned char* out, int capacity,
                                    int* out_length))
// 1 while a decoder is open, else 0.
TOLM_EXPORT(int, ac3buf_get_handle, (void))
