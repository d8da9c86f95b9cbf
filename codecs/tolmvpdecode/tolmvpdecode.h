// Export header of tolmvpdecode.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// VP6 decoding into 24-bit pictures.
TOLM_EXPORT(int, vpdecode_init, (void))
TOLM_EXPORT(int, vpdecode_close, (void))
// Returns the picture's byte count.
TOLM_EXPORT(int, vpdecode_getvideo, (const unsigned char* data, int length, unsigned char* frame, int frame_size))
TOLM_EXPORT(int, vpdecode_getpicsize, (int* width, int* height))
