// Export header of tolmdivxplay.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// MPEG-4 (DivX) playback of AVI frames into 24-bit pictures.
struct tolmdivx_video_description {
    unsigned char bytes[80];  // the block that get_mpeg4_video of tolmmux fills
};
TOLM_EXPORT(int, tolmdivx_init, (void))
TOLM_EXPORT(int, tolmdivx_initrgb, (tolmdivx_video_description description))
TOLM_EXPORT(int, tolmdivx_close, (void))
TOLM_EXPORT(int, tolmdivx_play, (void))
TOLM_EXPORT(int, tolmdivx_playbuf, (const unsigned char* data, int length, int mode, unsigned char* frame,
                                     int* decoded_bytes, int size1, int size2, int* extra))
TOLM_EXPORT(int, tolmdivx_setwin, (void))
TOLM_EXPORT(int, tolmsnd_init, (void))
TOLM_EXPORT(int, tolmsnd_play, (void))
TOLM_EXPORT(int, tolmsnd_close, (void))
TOLM_EXPORT(int, mpeg4_get_leftvol, (void))
TOLM_EXPORT(int, mpeg4_set_leftvol, (int volume))
TOLM_EXPORT(int, mpeg4_get_rightvol, (void))
TOLM_EXPORT(int, mpeg4_set_rightvol, (int volume))
