// MTV and AMV files through tolmmtvdecode.
#include "media/probe/probe_paths.h"
#include "media/probe/win32/probe_libraries.h"
#include "media/probe/win32/probe_win32_paths.h"

int probe_mtv(ProbeJob& job, bool amv) {
    // Without the library there is nothing to analyse (the binder has said why).
    if (!PROBE_LIBRARY(tolmmtvdecode)) return -2;
    const auto init = amv ? probe_lib::amv_init : probe_lib::mtv_init;
    const auto get_video = amv ? probe_lib::amv_getvideo : probe_lib::mtv_getvideo;
    const auto get_audio = amv ? probe_lib::amv_getaudio : probe_lib::mtv_getaudio;
    const auto close = amv ? probe_lib::amv_close : probe_lib::mtv_close;
    MtvAnswers a;
    a.init = init(job.path);
    if (a.init >= 0) {
        a.frames = get_video(&a.width, &a.height, &a.fps, &a.video_value, &a.duration);
        get_audio(&a.sample_rate, &a.channels, &a.audio_value);
    }
    close();
    return finish_mtv(job, amv, a);
}
