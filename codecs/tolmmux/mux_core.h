// The stream parser of tolmmux.dll: identifies MPEG transport, program, PES and elementary streams (and
// VCD's RIFF/CDXA files) by their own headers, and AVI files through the AVI reader, and describes
// them. Portable; one Description per analysed file.
#pragma once
#include <cstdint>
#include "codecs/tolmmux/mux_blocks.h"

namespace mux {

struct Description {
    int main_stream = MUX_NOTHING;
    int video_mode = MUX_MODE_NONE;
    int audio_mode = MUX_MODE_NONE;
    int64_t file_length = 0;

    // MPEG streams
    MuxVideoDisp video = {};
    MuxAudioDisp audio = {};      // MPEG sound
    float ac3_rate = 0;
    int ac3_kbps = 0;             // above 0 with AC-3 sound
    int ac3_channels = 0;         // as delivered: 2
    int pictures = 0;             // counted, or duration x frame rate above the full-scan size
    int play_time = 0;            // whole seconds
    int begin_ms = 0;             // first time stamp
    int64_t min_pts = -1, max_pts = -1;  // 90 kHz
    int video_pid = 0, audio_pid = 0;
    int total_kbps = 0;
    int video_kbps = 0, audio_kbps = 0;

    // AVI
    Mpeg4VideoInfo avi_video = {};
    Mpeg4AudioInfo avi_audio = {};
    int video_index = 0, audio_index = 0;
};

// Files up to this size are read whole (pictures counted); larger ones at their head and tail.
constexpr int64_t kFullScanBytes = int64_t(64) << 20;

// Opens and analyses the file; -1 when it cannot be read (then main_stream is MUX_NOTHING).
int analyse(const char* path, Description* out, int64_t full_scan_bytes = kFullScanBytes);

}  // namespace mux
