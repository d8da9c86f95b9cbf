// Export header of tolmmp3enc.dll: MP3 (MPEG-1/2/2.5 layer III) over libmp3lame, one encoder at a time.
//
// Frame: the init calls write the samples of one tolmmp3enccode call over all channels (1152 x channels
// for MPEG-1 rates, 576 x channels for MPEG-2 and 2.5 rates) and the output capacity the caller must give
// every call, tolmmp3encend included. Output always consists of whole MP3 frames, so a non-empty result
// begins with the frame sync byte 0xFF.
// channels: 1 mono, 2 joint stereo. mode (0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5) is accepted; the MPEG version
// follows from the sample rate. Rates are kbit/s.
#pragma once
#include "codecs/include/tolm_export.h"

// Constant rate. Returns 0, below 0 on failure.
TOLM_EXPORT(int, tolmmp3encinit_new, (int* frame_samples, int* output_size, int sample_rate, int kbps,
                                       int channels, int mode))
// Average rate abr_kbps.
TOLM_EXPORT(int, tolmmp3encinit_abr, (int* frame_samples, int* output_size, int sample_rate, int kbps,
                                       int channels, int mode, int abr_kbps))
// Variable rate: quality 0 (best) .. 9, bit rates between min_kbps and max_kbps.
TOLM_EXPORT(int, tolmmp3encinit_vbr, (int* frame_samples, int* output_size, int sample_rate, int kbps,
                                       int channels, int mode, int quality, int min_kbps, int max_kbps))
// pcm: samples 16-bit interleaved values. Returns the bytes written to out (0 while the encoder fills
// its delay), below 0 on failure.
TOLM_EXPORT(int, tolmmp3enccode, (const short* pcm, int samples, unsigned char* out))
// Ends the stream: writes the last frames to out (capacity output_size) and returns their byte count;
// they belong at the end of the file. The encoder is closed afterwards.
TOLM_EXPORT(int, tolmmp3encend, (unsigned char* out))
// The Xing/LAME information frame of the ended stream (for variable rate, to replace the first frame);
// returns its byte count, 0 when there is none or it does not fit capacity.
TOLM_EXPORT(int, tolmmp3enc_vbrheader, (unsigned char* out, int capacity))
