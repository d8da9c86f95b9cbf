// Export header of tolmmux.dll as its callers use it; shared by the binder and the stand-in.
// Written from the call sites; the stand-in that implements it may add detail, not change a signature.
#pragma once
#include "codecs/include/tolm_export.h"

// Stream parser: one current stream, described after mux_init and open_stream.
TOLM_EXPORT(int, mux_init, (void))
TOLM_EXPORT(int, mux_get_allbit, (void))
TOLM_EXPORT(int, open_stream, (const char* path))
TOLM_EXPORT(int, mux_get_video_bit, (void))
TOLM_EXPORT(int, mux_get_audio_bit, (void))
TOLM_EXPORT(int, mux_get_ac3_bit, (void))
TOLM_EXPORT(int, mux_play_num, (void))
TOLM_EXPORT(int, mux_play_time, (void))
TOLM_EXPORT(int, mux_get_filelen, (void))
// out[8]: width, height, a float64 (out[2..3]), the frame rate as float64 (out[4..5]), two int32.
TOLM_EXPORT(int, mux_get_video_disp, (int32_t* out))
// out[6]: int32, int32 (above 0 with MPEG sound), the sample rate as float64 (out[2..3]), channels, int32.
TOLM_EXPORT(int, mux_get_audio_disp, (int32_t* out))
TOLM_EXPORT(int, mux_get_ac3_disp, (float* sample_rate, int32_t* present, int32_t* channels))
TOLM_EXPORT(int, mux_get_main_stream, (void))
TOLM_EXPORT(int, mux_get_video_mode, (void))
TOLM_EXPORT(int, mux_get_audio_mode, (void))
TOLM_EXPORT(int, mux_get_min_pts, (void))
TOLM_EXPORT(int, mux_get_max_pts, (void))
TOLM_EXPORT(int, mux_get_video_pid, (void))
TOLM_EXPORT(int, mux_get_audio_pid, (void))
TOLM_EXPORT(int, mux_get_begin, (void))
TOLM_EXPORT(int, mux_get_10num, (void))
TOLM_EXPORT(int, mux_get_20num, (void))
TOLM_EXPORT(int, mux_get_30num, (void))
TOLM_EXPORT(int, mux_get_5num, (void))
TOLM_EXPORT(int, mux_get_autonum, (void))
// 80-byte block: int32 width at 40, height at 44, float64 frame rate at 48, four-character code at 56.
TOLM_EXPORT(int, get_mpeg4_video, (unsigned char* block80))
// 64-byte block: int32 channels at 52, sample rate at 56.
TOLM_EXPORT(int, get_mpeg4_audio, (unsigned char* block64))
TOLM_EXPORT(int, get_mpeg4_index, (void))
TOLM_EXPORT(int, get_mpeg4_aindex_num, (void))
TOLM_EXPORT(int, get_mpeg4_vindex_num, (void))
