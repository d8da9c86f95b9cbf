// Export header of tolmaac_encode.dll: AAC LC over libavcodec's native encoder, one encoder at a time.
//
// Frame: aacbuf_init returns the samples of one call over all channels (1024 x channels); the input of
// aacbuf_encode is exactly that many interleaved 16-bit samples (twice as many bytes).
// The encoder delays its output by one frame: the first call returns 0 bytes, every later call one
// AAC frame. The profile argument is accepted for every value and always gives AAC LC.
#pragma once
#include "codecs/include/tolm_export.h"

// rate in Hz, channels 1 or 2, bitrate in bit/s; reserved6 and text are accepted and not used.
// Writes the AudioSpecificConfig to config (capacity at least 64 bytes) and its length to
// *config_length. Returns the samples per call, or below 0 on failure.
TOLM_EXPORT(int, aacbuf_init, (int sample_rate, int channels, int bitrate, int reserved6, int profile,
                                char* text, unsigned char* config, int* config_length))
// pcm: one frame (input_bytes = 2 x samples per call). out: capacity out_capacity (at least the frame's
// byte count suffices). *time: on return the samples (per channel) the returned frame covers, the
// sound-track duration to pass to mp4en_audio. *chunk_bytes is the caller's and is left unchanged.
// Returns the coded byte count (0: nothing yet), below 0 on failure.
TOLM_EXPORT(int, aacbuf_encode, (const unsigned char* pcm, int input_bytes, unsigned char* out, int out_capacity,
                                  unsigned int* time, int* chunk_bytes))
TOLM_EXPORT(int, aacbuf_close, (void))
// The same encoder under its older names.
TOLM_EXPORT(int, aac_init, (int sample_rate, int channels, int bitrate, int reserved6, int profile, char* text,
                             unsigned char* config, int* config_length))
TOLM_EXPORT(int, aac_encode, (const unsigned char* pcm, int input_bytes, unsigned char* out, int out_capacity,
                               unsigned int* time, int* chunk_bytes))
TOLM_EXPORT(int, aac_close, (void))
