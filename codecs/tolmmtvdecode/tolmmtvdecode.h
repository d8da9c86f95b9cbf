// Export header of tolmmtvdecode.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// MTV and AMV reading and decoding.
TOLM_EXPORT(int, mtv_init, (const char* path))
// Returns the frame count.
TOLM_EXPORT(int, mtv_getvideo, (int* width, int* height, double* fps, int* value, double* duration))
// Returns the sound block count.
TOLM_EXPORT(int, mtv_getaudio, (int* sample_rate, int* channels, int* value))
TOLM_EXPORT(int, mtv_getpicinfo, (int* pixel_format, int* bits_per_pixel))
TOLM_EXPORT(int, mtv_getdata, (int frame, unsigned char* sound, int sound_capacity, unsigned char* picture,
                               int* picture_length))
TOLM_EXPORT(int, mtv_close, (void))
TOLM_EXPORT(int, amv_init, (const char* path))
TOLM_EXPORT(int, amv_getvideo, (int* width, int* height, double* fps, int* value, double* duration))
TOLM_EXPORT(int, amv_getaudio, (int* sample_rate, int* channels, int* value))
TOLM_EXPORT(int, amv_getdata, (int frame, unsigned char* sound, int sound_capacity, unsigned char* picture,
                               int* picture_length))
TOLM_EXPORT(int, amv_close, (void))
