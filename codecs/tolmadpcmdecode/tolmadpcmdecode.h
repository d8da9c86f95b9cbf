// Export header of tolmadpcmdecode.dll: the compressed sound of AVI files (IMA and Microsoft ADPCM, and
// every other wave format tag libavcodec decodes: G.726, GSM 6.10, ...) over libavcodec, into
// interleaved 16-bit PCM of at most two channels at the stream's own rate.
//
// State is kept per calling thread: tolm_adpcm_init opens a decoder for the thread that calls it, and
// the other entries use that thread's decoder. A thread that has not called init gets -1.
#pragma once
#include "codecs/include/tolm_export.h"

// format: tolmmux's audio codec field, the wave format tag | channels << 16 (channels 0 means 1).
// Returns 0, -1 when no decoder of the tag is known.
TOLM_EXPORT(int, tolm_adpcm_init, (int format))
// data: length bytes of a stream chunk (whole blocks of block_align bytes for the block formats; formats
// with a libavcodec parser, such as GSM, are cut into frames by it). bits: the output sample size, 16
// (any other value is refused). *pcm_length: in, the capacity of pcm in bytes; out, the bytes written
// (whole sample frames). PCM that does not fit waits and is written first by the next call.
// Returns the input bytes used (length once the chunk is decoded), -1 when the data is refused or the
// thread has no decoder (*pcm_length 0).
TOLM_EXPORT(int, tolm_adpcm_decode, (const unsigned char* data, int length, unsigned char* pcm, int* pcm_length,
                                      int bits, int block_align))
// Closes the calling thread's decoder (0; -1 when it had none).
TOLM_EXPORT(int, tolm_adpcm_close, (void))
