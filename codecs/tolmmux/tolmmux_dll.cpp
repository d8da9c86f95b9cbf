// tolmmux.dll: the stream parser's entry points over the portable core. The current stream belongs to
// the calling thread, so the probe, a worker and an analysis thread never see each other's file.
#include <cstring>
#include "tolmmux.h"
#include "mux_core.h"

namespace {
thread_local mux::Description g_current;

int milliseconds(int64_t pts) { return pts < 0 ? -1 : int(pts / 90); }
}  // namespace

extern "C" int __cdecl mux_init(void) {
    g_current = mux::Description();
    return 0;
}
extern "C" int __cdecl open_stream(const char* path) { return mux::analyse(path, &g_current); }
extern "C" int __cdecl mux_get_allbit(void) { return g_current.total_kbps; }
extern "C" int __cdecl mux_get_video_bit(void) { return g_current.video_kbps; }
extern "C" int __cdecl mux_get_audio_bit(void) { return g_current.audio.bit_rate_kbps; }
extern "C" int __cdecl mux_get_ac3_bit(void) { return g_current.ac3_kbps; }
extern "C" int __cdecl mux_play_num(void) { return g_current.pictures; }
extern "C" int __cdecl mux_play_time(void) { return g_current.play_time; }
extern "C" int __cdecl mux_get_filelen(void) {
    return g_current.file_length > 0x7FFFFFFF ? 0x7FFFFFFF : int(g_current.file_length);
}
extern "C" int __cdecl mux_get_video_disp(int32_t* out) {
    if (out) std::memcpy(out, &g_current.video, sizeof g_current.video);
    return 0;
}
extern "C" int __cdecl mux_get_audio_disp(int32_t* out) {
    if (out) std::memcpy(out, &g_current.audio, sizeof g_current.audio);
    return 0;
}
extern "C" int __cdecl mux_get_ac3_disp(float* sample_rate, int32_t* present, int32_t* channels) {
    if (sample_rate) *sample_rate = g_current.ac3_rate;
    if (present) *present = g_current.ac3_kbps;
    if (channels) *channels = g_current.ac3_channels;
    return 0;
}
extern "C" int __cdecl mux_get_main_stream(void) { return g_current.main_stream; }
extern "C" int __cdecl mux_get_video_mode(void) { return g_current.video_mode; }
extern "C" int __cdecl mux_get_audio_mode(void) { return g_current.audio_mode; }
extern "C" int __cdecl mux_get_min_pts(void) { return milliseconds(g_current.min_pts); }
extern "C" int __cdecl mux_get_max_pts(void) { return milliseconds(g_current.max_pts); }
extern "C" int __cdecl mux_get_video_pid(void) { return g_current.video_pid; }
extern "C" int __cdecl mux_get_audio_pid(void) { return g_current.audio_pid; }
extern "C" int __cdecl mux_get_begin(void) { return g_current.begin_ms; }
extern "C" int __cdecl mux_get_10num(void) { return 0; }
extern "C" int __cdecl mux_get_20num(void) { return 0; }
extern "C" int __cdecl mux_get_30num(void) { return 0; }
extern "C" int __cdecl mux_get_5num(void) { return 0; }
extern "C" int __cdecl mux_get_autonum(void) { return 0; }
extern "C" int __cdecl get_mpeg4_video(unsigned char* block80) {
    if (block80) std::memcpy(block80, &g_current.avi_video, sizeof g_current.avi_video);
    return 0;
}
extern "C" int __cdecl get_mpeg4_audio(unsigned char* block64) {
    if (block64) std::memcpy(block64, &g_current.avi_audio, sizeof g_current.avi_audio);
    return 0;
}
extern "C" int __cdecl get_mpeg4_index(void) { return 0; }
extern "C" int __cdecl get_mpeg4_aindex_num(void) { return g_current.audio_index; }
extern "C" int __cdecl get_mpeg4_vindex_num(void) { return g_current.video_index; }
