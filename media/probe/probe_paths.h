// The probe's paths from what the libraries and readers answered to the filled record: the checks
// that refuse a file (with their messages and results), the fields each path writes and its index
// file. The answers are gathered by the Win32 side (media/probe/win32), which binds the libraries;
// what is done with them is portable.
#pragma once
#include <cstdint>
#include <vector>
#include "media/avi/avilib.h"
#include "media/probe/flv_scan.h"
#include "media/probe/probe_job.h"
#include "media/swf/swf_reader.h"

// --- MTV, AMV: the decoder library's answers ------------------------------------------------------
struct MtvAnswers {
    int init = -1;  // mtv_init / amv_init
    int frames = 0;
    int width = 0, height = 0;
    double fps = 0;
    int video_value = 0;
    double duration = 0;
    int sample_rate = 0, channels = 0, audio_value = 0;
};
int finish_mtv(ProbeJob& job, bool amv, const MtvAnswers& a);

// --- SWF: the whole path (the reader is portable) ---------------------------------------------------
int probe_swf(ProbeJob& job);

// --- AVI and MPEG-4 video in AVI: the stream parser's answers ------------------------------------
struct AviAnswers {
    int video_index = 0, audio_index = 0;  // get_mpeg4_vindex_num, get_mpeg4_aindex_num
    uint8_t video_block[80] = {};          // get_mpeg4_video
    uint8_t audio_block[64] = {};          // get_mpeg4_audio
    int file_length = 0;                   // mux_get_filelen
};
// The AVI path once the reader opened the file (with its index); the reader stays the caller's.
int finish_avi(ProbeJob& job, const AviFile& avi, const AviAnswers& a);
// The MPEG path's stream type 9 (MPEG-4 video in AVI found by the parser): no index file.
int finish_mpeg4_avi(ProbeJob& job, const AviAnswers& a);

// --- MPEG streams: the stream parser's answers --------------------------------------------------
struct MpegAnswers {
    int main_stream = 0;                   // mux_get_main_stream, asked again after the descriptions
    int play_num = 0, play_time = 0, file_length = 0;
    int32_t audio[6] = {}, video[8] = {};  // mux_get_audio_disp, mux_get_video_disp
    int audio_mode = 0, video_mode = 0, begin = 0;
    // mux_get_ac3_disp, asked only without MPEG sound (audio[1] not above 0).
    float ac3_rate = 0;
    int32_t ac3_value = 0, ac3_channels = 0;
};
// The type name of a stream type the MPEG path takes (0..3), else null.
const char* mpeg_type_name(int main_stream);
// The kind the parser's modes form; false when they form none.
bool mpeg_file_kind(int main_stream, int audio_mode, int video_mode, FileKind* kind);
int finish_mpeg(ProbeJob& job, const MpegAnswers& a);

// A sample rate given in kHz (below 500) in Hz.
double rate_in_hz(double rate);

// --- FLV: the scan and the picture size the decoders gave --------------------------------------------
// Record, index file (written before the checks, removed again when the file is refused) and checks.
int finish_flv(ProbeJob& job, const FlvScan& scan, int width, int height);

// --- MP4, 3GP and ISO F4V: the reader library's answers --------------------------------------------
struct Mp4Answers {
    int audio_type = 0;          // a: 1 "samr", 2 "sawb", 3 "mp4a"
    int sound_track_value = 0;   // the last recognised sound track's value
    int track0_samples = 0;      // mp4_gettrackinfo of track 0, asked before the track loop
    int video = 0;               // v = mp4_getvideonum
    int samples = 0, start = 0;  // its outputs
    int width = 0, height = 0;
    double fps = 0;
    int video_value = 0;
    double video_ms = 0;
    int sample_rate = 0, channels = 0, audio_value = 0;  // mp4_getaudio, or the AAC decoder's rate and channels
    double audio_ms = 0;
};
// One track of the track loop: a sound track ("soun", compared exactly) sets the audio type by its codec
// ("samr" 1, "sawb" 2, "mp4a" 3, compared without case); once the type is above 0 a sound track's value
// is remembered.
void mp4_track(const char* handler, const char* codec, int value, Mp4Answers& a);
// The checks of the path: a message and the result, or 0 to go on.
int check_mp4(ProbeJob& job, const Mp4Answers& a);
void fill_mp4(ProbeJob& job, const Mp4Answers& a);
// Bytes of the sample buffer the path reads video samples into.
int mp4_sample_buffer_bytes(const Mp4Answers& a);

// --- DirectShow family --------------------------------------------------------------------------
struct DirectShowVideo {
    int result = 0;  // CDShowVideoReader::ProbeFile
    int width = 0, height = 0;
    double seconds = 0;
    uint32_t bit_rate = 0;
    float frame_rate = 0;
    int64_t frame_count = 0;
    // Windows Media only: the sample counter's count, when it counted.
    bool counted = false;
    int samples = 0;
};
struct DirectShowSound {
    int result = -1;  // CDShowAudioReader::ProbeFile
    int sample_rate = 0, channels = 0;
    double seconds = 0;
};
// The video part (fields and refusals); 0 to go on to the sound.
int finish_direct_show_video(ProbeJob& job, int kind_base, const char* type_name, const DirectShowVideo& v);
void finish_direct_show_sound(ProbeJob& job, int kind_base, const DirectShowVideo& v, const DirectShowSound& s);
