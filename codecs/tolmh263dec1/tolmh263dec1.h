// Export header of tolmh263dec1.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// H.263 decoding into 24-bit pictures; frame returns above 0 when a picture is in the buffer.
TOLM_EXPORT(int, h263de_exit, (void))
TOLM_EXPORT(int, h263de_init, (void))
TOLM_EXPORT(int, h263de_frame, (const unsigned char* data, int length, unsigned char* picture, int picture_bytes))
