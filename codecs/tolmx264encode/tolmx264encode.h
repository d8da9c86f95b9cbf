// Export header of tolmx264encode.dll: H.264 over libx264, one encoder at a time.
//
// No B-frames and no look-ahead: every picture in gives exactly one coded picture out at once, so
// nothing is held back at close.
// Input pictures: 24-bit B,G,R, rows top-down, stride (3 x width + 3) & ~3, length = stride x height.
// Output capacity: at least input length / 2 bytes (a picture that does not fit returns below 0).
#pragma once
#include "codecs/include/tolm_export.h"

// quality: the constant rate factor (0 lossless ... 51; the program passes 20); fps: frames a second.
// Returns 0, below 0 on failure.
TOLM_EXPORT(int, tolm264encode_init, (int width, int height, int quality, int fps))
// For MP4: the picture's NAL units in Annex B form (start codes), without parameter sets.
// *key = 1 for an IDR picture, else 0. Returns the byte count, below 0 on failure.
TOLM_EXPORT(int, tolm264encode_encode, (const unsigned char* bgr, int length, unsigned char* out, int* key))
// For AVI: the same, with SPS and PPS in front of every IDR picture, so each key frame decodes alone.
TOLM_EXPORT(int, tolm264encode_encodeavi, (const unsigned char* bgr, int length, unsigned char* out, int* key))
// Parameter sets as bare NAL units (no start code) into out (capacity 1024); returns their length,
// 0 before tolm264encode_init.
TOLM_EXPORT(int, tolm264encode_getpps, (unsigned char* out))
TOLM_EXPORT(int, tolm264encode_getsps, (unsigned char* out))
// profile_idc, the constraint/compatibility byte and level_idc of the stream (0 before init).
TOLM_EXPORT(int, tolm264encode_getx264, (int* profile, int* compatibility, int* level))
TOLM_EXPORT(int, tolm264encode_close, (void))
