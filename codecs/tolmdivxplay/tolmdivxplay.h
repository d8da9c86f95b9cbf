// Export header of tolmdivxplay.dll as its callers use it; shared by the binder and the stand-in.
//
// AVI pictures into 24-bit frames: tolmdivx_initrgb opens a decoder for the calling thread by the
// four-character code of the video description (MPEG-4 Part 2: XVID, DIVX, DX50, FMP4, MP4V; Motion
// JPEG: MJPG; H.263: H263; H.264 in Annex B form: H264, X264, AVC1; upper or lower case), and
// tolmdivx_playbuf decodes one stored picture at a time with it. State is kept per calling thread: the
// probe, a converting worker and a playing worker each open their own, and one's close never ends
// another's decoder. The entries of the window player and its sound are not offered: they return -1.
#pragma once
#include "codecs/include/tolm_export.h"

// The block that get_mpeg4_video of tolmmux fills: width at byte 40, height at 44 (little-endian
// int32), the four-character code at 56. Passed by value (under the Windows x64 convention the caller
// passes the address of its copy).
struct tolmdivx_video_description {
    unsigned char bytes[80];
};
// Not offered (-1).
TOLM_EXPORT(int, tolmdivx_init, (void))
// Opens (or re-opens) the calling thread's decoder for the description's code and size. Returns 0; -1
// for a code none of the decoders takes, a size below 1 x 1 or above 16384 on a side.
TOLM_EXPORT(int, tolmdivx_initrgb, (tolmdivx_video_description description))
// Closes the calling thread's decoder (0; -1 when it had none).
TOLM_EXPORT(int, tolmdivx_close, (void))
// Not offered (-1).
TOLM_EXPORT(int, tolmdivx_play, (void))
// Decodes one stored picture of `length` bytes (data null: hands out the next picture the decoder
// still holds back behind B-frames; an empty chunk gives nothing). mode 1 (the only one) writes the
// picture that came out to frame as B,G,R rows top-down at stride (3 x size1 + 3) & ~3, size1 x size2
// pixels: a picture of another size is cropped from its top-left corner and the rest is black, and
// nothing is written past stride x size2. *decoded_bytes = the bytes written (0: no picture came out);
// *extra = 1 for a key picture, else 0. Returns 0; -1 when the data is refused, the mode or the size
// is not one of the above, or the thread has no decoder (then *decoded_bytes = 0).
TOLM_EXPORT(int, tolmdivx_playbuf, (const unsigned char* data, int length, int mode, unsigned char* frame,
                                     int* decoded_bytes, int size1, int size2, int* extra))
// Not offered (-1).
TOLM_EXPORT(int, tolmdivx_setwin, (void))
TOLM_EXPORT(int, tolmsnd_init, (void))
TOLM_EXPORT(int, tolmsnd_play, (void))
TOLM_EXPORT(int, tolmsnd_close, (void))
TOLM_EXPORT(int, mpeg4_get_leftvol, (void))
TOLM_EXPORT(int, mpeg4_set_leftvol, (int volume))
TOLM_EXPORT(int, mpeg4_get_rightvol, (void))
TOLM_EXPORT(int, mpeg4_set_rightvol, (int volume))
