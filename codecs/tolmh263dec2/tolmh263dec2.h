// Export header of tolmh263dec2.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// Sorenson H.263 (FLV) decoding into 24-bit pictures.
TOLM_EXPORT(int, sh263de_exit, (void))
TOLM_EXPORT(int, sh263de_init, (void))
TOLM_EXPORT(int, sh263de_frame, (const unsigned char* data, int length, unsigned char* picture, int picture_bytes))
TOLM_EXPORT(int, sh263de_getwidth, (void))
TOLM_EXPORT(int, sh263de_getheight, (void))
TOLM_EXPORT(int, sh263de_setdispmode, (int mode))
