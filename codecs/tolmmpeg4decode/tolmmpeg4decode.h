// Export header of tolmmpeg4decode.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// MPEG-4 Part 2 decoding into 24-bit pictures; decode returns -88 when the picture size changed.
TOLM_EXPORT(int, tolmmpeg4decode_init, (int width, int height))
TOLM_EXPORT(int, tolmmpeg4decode_close, (void))
TOLM_EXPORT(int, tolmmpeg4decode_decode, (const unsigned char* data, int length, unsigned char* picture,
                                           int picture_bytes, int* flag))
TOLM_EXPORT(int, tolmmpeg4decode_getwh, (int* width, int* height))
