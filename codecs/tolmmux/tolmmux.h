// Export header of tolmmux.dll as its callers use it; shared by the binder and the stand-in.
#pragma once
#include "codecs/include/tolm_export.h"
#include "codecs/tolmmux/mux_blocks.h"

// Stream parser: one current stream per calling thread, described after mux_init and open_stream.
// Main stream (mux_get_main_stream): MuxMainStream. Modes: audio 0 MPEG, 1 AC-3, -99 none, except that
// a program or PES stream reports 1 only with AC-3 sound and 0 otherwise; video 1 with MPEG video, else
// -99. Rates in Hz, bit rates in kbit/s, times in whole seconds or milliseconds.
TOLM_EXPORT(int, mux_init, (void))
TOLM_EXPORT(int, mux_get_allbit, (void))        // bit rate of the whole file, kbit/s
TOLM_EXPORT(int, open_stream, (const char* path))  // below 0: the file cannot be read
TOLM_EXPORT(int, mux_get_video_bit, (void))
TOLM_EXPORT(int, mux_get_audio_bit, (void))     // MPEG sound
TOLM_EXPORT(int, mux_get_ac3_bit, (void))
TOLM_EXPORT(int, mux_play_num, (void))          // pictures (counted; above 64 MiB duration x frame rate)
TOLM_EXPORT(int, mux_play_time, (void))         // whole seconds, from the time stamps where there are any
TOLM_EXPORT(int, mux_get_filelen, (void))       // bytes, at most 2^31 - 1
// out[8] = MuxVideoDisp: width, height, float64 bit rate (kbit/s), float64 frame rate, aspect code, MPEG version.
TOLM_EXPORT(int, mux_get_video_disp, (int32_t* out))
// out[6] = MuxAudioDisp: bits (16), bit rate (kbit/s, above 0 with MPEG sound), float64 rate, channels, layer.
TOLM_EXPORT(int, mux_get_audio_disp, (int32_t* out))
// AC-3 sound: rate, bit rate in kbit/s (above 0 with AC-3 sound), channels as delivered (2).
TOLM_EXPORT(int, mux_get_ac3_disp, (float* sample_rate, int32_t* present, int32_t* channels))
TOLM_EXPORT(int, mux_get_main_stream, (void))
TOLM_EXPORT(int, mux_get_video_mode, (void))
TOLM_EXPORT(int, mux_get_audio_mode, (void))
TOLM_EXPORT(int, mux_get_min_pts, (void))       // milliseconds, -1 without time stamps
TOLM_EXPORT(int, mux_get_max_pts, (void))
TOLM_EXPORT(int, mux_get_video_pid, (void))     // transport stream packet ids, 0 otherwise
TOLM_EXPORT(int, mux_get_audio_pid, (void))
TOLM_EXPORT(int, mux_get_begin, (void))         // first time stamp in milliseconds
// Bound but never called; they return 0.
TOLM_EXPORT(int, mux_get_10num, (void))
TOLM_EXPORT(int, mux_get_20num, (void))
TOLM_EXPORT(int, mux_get_30num, (void))
TOLM_EXPORT(int, mux_get_5num, (void))
TOLM_EXPORT(int, mux_get_autonum, (void))
// AVI files: the 80-byte Mpeg4VideoInfo and the 64-byte Mpeg4AudioInfo (zero without sound).
TOLM_EXPORT(int, get_mpeg4_video, (unsigned char* block80))
TOLM_EXPORT(int, get_mpeg4_audio, (unsigned char* block64))
TOLM_EXPORT(int, get_mpeg4_index, (void))       // bound but never called; 0
TOLM_EXPORT(int, get_mpeg4_aindex_num, (void))
TOLM_EXPORT(int, get_mpeg4_vindex_num, (void))
