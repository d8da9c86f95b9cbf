// Export header of tolmx264decode.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// H.264 decoding into 24-bit pictures (decode) or YUY2 (decodeyuv).
TOLM_EXPORT(int, tolm264decode_init, (int width, int height))
TOLM_EXPORT(int, tolm264decode_close, (void))
// Returns the picture's byte count; data null flushes.
TOLM_EXPORT(int, tolm264decode_decode, (const unsigned char* data, int length, unsigned char* frame))
TOLM_EXPORT(int, tolm264decode_decodeyuv, (const unsigned char* data, int length, unsigned char* frame))
TOLM_EXPORT(int, tolm264decode_getwh, (int* width, int* height))
