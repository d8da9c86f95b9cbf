// Export header of tolmmtvdecode.dll: MTV files over libavformat's mtv demuxer and AMV files over its
// AVI demuxer, read frame by frame. Frame i is the i-th stored picture with the sound stored for it:
// MTV stores each picture after the MP3 chunks of its segment (frame i's sound is the MP3 data of
// segment i, 500 bytes a chunk, without the chunks' padding); AMV stores one IMA ADPCM block after each
// picture (frame i's sound is block i, with its 8-byte header).
//
// State is kept per calling thread: mtv_init and amv_init open a file for the thread that calls them
// (one file a thread, of either kind), and the other entries read that thread's file. A thread without
// an open file of the kind gets -1.
// "Values" of the info calls are bit rates in kbit/s (stored bytes x 8 / duration); durations in seconds.
#pragma once
#include "codecs/include/tolm_export.h"

// Opens an MTV file (a Windows path). Returns 0, -1 when it cannot be read as MTV.
TOLM_EXPORT(int, mtv_init, (const char* path))
// *width, *height, *fps, *value (picture bit rate), *duration (seconds). Returns the frame count.
TOLM_EXPORT(int, mtv_getvideo, (int* width, int* height, double* fps, int* value, double* duration))
// *sample_rate, *channels (from the first MP3 frame), *value (sound bit rate). Returns the number of
// stored sound chunks.
TOLM_EXPORT(int, mtv_getaudio, (int* sample_rate, int* channels, int* value))
// *pixel_format: 1 for 5-5-5 pixels, 0 for 5-6-5 (the stored format libavformat reads); *bits_per_pixel
// 16. Pixels are 16-bit big-endian, rows stored bottom row first. Returns 0.
TOLM_EXPORT(int, mtv_getpicinfo, (int* pixel_format, int* bits_per_pixel))
// Frame `frame`: its sound to sound (the whole chunks that fit sound_capacity) and its picture as stored
// to picture. *picture_length: in, the capacity of picture; out, the bytes written (0 when the picture
// does not fit: nothing is written). Returns the sound byte count; -1 (and *picture_length 0) for no
// such frame.
TOLM_EXPORT(int, mtv_getdata, (int frame, unsigned char* sound, int sound_capacity, unsigned char* picture,
                               int* picture_length))
// Closes the calling thread's file (0; -1 when it had none).
TOLM_EXPORT(int, mtv_close, (void))
// The same for AMV files: pictures are JPEG frames without their JPEG header, sound IMA ADPCM blocks.
// amv_getvideo returns the picture count, amv_getaudio the sound block count; a frame number runs up to
// the larger of the two (a frame without a picture gives *picture_length 0, one without sound 0 bytes).
TOLM_EXPORT(int, amv_init, (const char* path))
TOLM_EXPORT(int, amv_getvideo, (int* width, int* height, double* fps, int* value, double* duration))
TOLM_EXPORT(int, amv_getaudio, (int* sample_rate, int* channels, int* value))
TOLM_EXPORT(int, amv_getdata, (int frame, unsigned char* sound, int sound_capacity, unsigned char* picture,
                               int* picture_length))
TOLM_EXPORT(int, amv_close, (void))
