// Export header of tolmmp4decode.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// MP4/3GP demultiplexing.
TOLM_EXPORT(int, mp4de_init, (const char* path))
// Returns the length of the decoder configuration written to config.
TOLM_EXPORT(int, mp4_getvideo, (int* width, int* height, double* fps, int* value, double* duration_ms, int* other,
                                unsigned char* config))
TOLM_EXPORT(int, mp4_getaudio, (int* sample_rate, int* channels, int* value, double* duration_ms))
// Return the codec index; out: sample count and largest sample.
TOLM_EXPORT(int, mp4_getaudionum, (int* sample_count, int* largest_sample))
TOLM_EXPORT(int, mp4_getvideonum, (int* sample_count, int* largest_sample))
TOLM_EXPORT(int, mp4_getmp4aconfig, (unsigned char* config, int capacity))
// Return the sample's length.
TOLM_EXPORT(int, mp4_readvideo, (unsigned char* buffer, int sample, int* time_ms, int* second, unsigned char* key))
TOLM_EXPORT(int, mp4_readaudio, (unsigned char* buffer, int sample, int* time_ms, int* second))
TOLM_EXPORT(int, mp4_gettrackinfo, (int track, char* handler, char* codec, int* value))
TOLM_EXPORT(int, mp4_gettracknum, (void))
TOLM_EXPORT(int, mp4de_close, (void))
TOLM_EXPORT(int, mp4_getaudioname, (char* name))
