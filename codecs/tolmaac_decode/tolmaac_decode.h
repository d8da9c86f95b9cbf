// Export header of tolmaac_decode.dll: AAC (raw access units as MP4 and FLV store them, or ADTS frames)
// over libavcodec's aac decoder, into interleaved 16-bit PCM of at most two channels.
//
// State is kept per calling thread: aacdecodebuf_init opens a decoder for the thread that calls it, and
// the other entries use that thread's decoder. A thread that has not called init gets -1.
#pragma once
#include "codecs/include/tolm_export.h"

// The file-based family is bound but not provided: init, decode and get_mp4info return -1; close
// closes the calling thread's decoder like aacdecodebuf_close.
TOLM_EXPORT(int, aacdecode_init, (void))
TOLM_EXPORT(int, aac_decode, (void))
TOLM_EXPORT(int, get_mp4info, (void))
TOLM_EXPORT(int, aacdecode_close, (void))
// config: the AudioSpecificConfig (MP4 "esds", FLV AAC sequence header), length bytes (2 ... 1024).
// value and sample_rate_hint are accepted and not used. Returns 0 and reports the PCM that
// aacbuf_decode will produce: *sample_rate is the output rate (a configuration that signals SBR, as
// HE-AAC does, reports the doubled rate) and *channels is 1 or 2 (more channels are mixed down, a
// signalled parametric stereo gives 2). Returns -1 when the configuration is not AAC or cannot be opened.
TOLM_EXPORT(int, aacdecodebuf_init, (const unsigned char* config, int length, int value, int sample_rate_hint,
                                      int* sample_rate, int* channels))
// Decodes one access unit into pcm: at most 8,192 bytes (one HE-AAC stereo frame), always at the rate
// and channel count init reported. Returns the PCM byte count (0 while the decoder fills its delay); -1
// when the data is refused (nothing is written). value is accepted and not used.
TOLM_EXPORT(int, aacbuf_decode, (const unsigned char* data, int length, int value, unsigned char* pcm))
// Closes the calling thread's decoder (0; -1 when it had none).
TOLM_EXPORT(int, aacdecodebuf_close, (void))
