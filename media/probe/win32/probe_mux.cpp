// The paths that ask the stream parser (tolmmux): AVI files (with the AVI reader's index) and MPEG
// program, transport, PES and elementary streams, among which the parser may find an AVI file too.
#include "media/avi/avilib.h"
#include "media/probe/probe_paths.h"
#include "media/probe/probe_texts.h"
#include "media/probe/win32/probe_libraries.h"
#include "media/probe/win32/probe_win32_paths.h"

namespace {

// The AVI sequence after mux_init and open_stream.
AviAnswers avi_answers() {
    AviAnswers a;
    probe_lib::get_mpeg4_vindex_num();
    probe_lib::get_mpeg4_aindex_num();
    probe_lib::get_mpeg4_video(a.video_block);
    probe_lib::get_mpeg4_audio(a.audio_block);
    a.video_index = probe_lib::get_mpeg4_vindex_num();
    a.audio_index = probe_lib::get_mpeg4_aindex_num();
    a.file_length = probe_lib::mux_get_filelen();
    return a;
}

MpegAnswers mpeg_answers() {
    MpegAnswers a;
    a.play_num = probe_lib::mux_play_num();
    a.play_time = probe_lib::mux_play_time();
    a.file_length = probe_lib::mux_get_filelen();
    probe_lib::mux_get_audio_disp(a.audio);
    probe_lib::mux_get_video_disp(a.video);
    a.main_stream = probe_lib::mux_get_main_stream();
    a.audio_mode = probe_lib::mux_get_audio_mode();
    a.video_mode = probe_lib::mux_get_video_mode();
    a.begin = probe_lib::mux_get_begin();
    if (a.audio[1] <= 0) probe_lib::mux_get_ac3_disp(&a.ac3_rate, &a.ac3_value, &a.ac3_channels);
    return a;
}

}  // namespace

int probe_avi(ProbeJob& job) {
    AviFile* avi = AVI_open_input_file(job.path, 1);
    if (!avi)
        return probe_refuse(job, AVI_errno == AVI_ERR_OPENDML ? probe_text::kAviOpenDml : probe_text::kAviOpen,
                            probe_text::kCaptionFlv, -1);
    int result = -2;
    if (PROBE_LIBRARY(tolmmux)) {
        probe_lib::mux_init();
        probe_lib::open_stream(job.path);
        result = finish_avi(job, *avi, avi_answers());
    }
    AVI_close(avi);
    return result;
}

int probe_mpeg(ProbeJob& job) {
    if (!PROBE_LIBRARY(tolmmux)) return -2;
    probe_lib::mux_init();
    if (probe_lib::open_stream(job.path) < 0)
        return probe_refuse(job, probe_text::kOpenFailed, probe_text::kCaptionMp4, -1);
    const int main = probe_lib::mux_get_main_stream();
    if (main < 0 || main == MUX_UNKNOWN || main == MUX_NOTHING) return probe_sound_only(job);
    if (main == MUX_AVI) return finish_mpeg4_avi(job, avi_answers());
    if (!mpeg_type_name(main)) return probe_refuse(job, probe_text::kUnknownType, probe_text::kCaptionMp4, -2);
    return finish_mpeg(job, mpeg_answers());
}
