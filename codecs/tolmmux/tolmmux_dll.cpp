// tolmmux.dll: the stream parser's entry points over the portable core. The current stream belongs to
// the calling thread, so the probe, a worker and an analysis thread never see each other's file. The
// per-thread record lives in a Win32 TLS slot (C++ thread_local does not work in a Winelib DLL).
#include <cstring>
#include <new>
#include "tolmmux.h"
#include "mux_core.h"

namespace {

DWORD g_slot = TLS_OUT_OF_INDEXES;
mux::Description g_fallback;  // should a thread's record not be had

mux::Description& current() {
    if (g_slot == TLS_OUT_OF_INDEXES) return g_fallback;
    auto* d = static_cast<mux::Description*>(TlsGetValue(g_slot));
    if (!d) {
        d = new (std::nothrow) mux::Description();
        if (!d || !TlsSetValue(g_slot, d)) {
            delete d;
            return g_fallback;
        }
    }
    return *d;
}

void free_current() {
    if (g_slot == TLS_OUT_OF_INDEXES) return;
    delete static_cast<mux::Description*>(TlsGetValue(g_slot));
    TlsSetValue(g_slot, nullptr);
}


int milliseconds(int64_t pts) { return pts < 0 ? -1 : int(pts / 90); }
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            g_slot = TlsAlloc();
            break;
        case DLL_THREAD_DETACH:
            free_current();
            break;
        case DLL_PROCESS_DETACH:
            free_current();
            if (g_slot != TLS_OUT_OF_INDEXES) TlsFree(g_slot);
            g_slot = TLS_OUT_OF_INDEXES;
            break;
        default:
            break;
    }
    return TRUE;
}

extern "C" int __cdecl mux_init(void) {
    current() = mux::Description();
    return 0;
}
extern "C" int __cdecl open_stream(const char* path) { return mux::analyse(path, &current()); }
extern "C" int __cdecl mux_get_allbit(void) { return current().total_kbps; }
extern "C" int __cdecl mux_get_video_bit(void) { return current().video_kbps; }
extern "C" int __cdecl mux_get_audio_bit(void) { return current().audio.bit_rate_kbps; }
extern "C" int __cdecl mux_get_ac3_bit(void) { return current().ac3_kbps; }
extern "C" int __cdecl mux_play_num(void) { return current().pictures; }
extern "C" int __cdecl mux_play_time(void) { return current().play_time; }
extern "C" int __cdecl mux_get_filelen(void) {
    return current().file_length > 0x7FFFFFFF ? 0x7FFFFFFF : int(current().file_length);
}
extern "C" int __cdecl mux_get_video_disp(int32_t* out) {
    if (out) std::memcpy(out, &current().video, sizeof current().video);
    return 0;
}
extern "C" int __cdecl mux_get_audio_disp(int32_t* out) {
    if (out) std::memcpy(out, &current().audio, sizeof current().audio);
    return 0;
}
extern "C" int __cdecl mux_get_ac3_disp(float* sample_rate, int32_t* present, int32_t* channels) {
    if (sample_rate) *sample_rate = current().ac3_rate;
    if (present) *present = current().ac3_kbps;
    if (channels) *channels = current().ac3_channels;
    return 0;
}
extern "C" int __cdecl mux_get_main_stream(void) { return current().main_stream; }
extern "C" int __cdecl mux_get_video_mode(void) { return current().video_mode; }
extern "C" int __cdecl mux_get_audio_mode(void) { return current().audio_mode; }
extern "C" int __cdecl mux_get_min_pts(void) { return milliseconds(current().min_pts); }
extern "C" int __cdecl mux_get_max_pts(void) { return milliseconds(current().max_pts); }
extern "C" int __cdecl mux_get_video_pid(void) { return current().video_pid; }
extern "C" int __cdecl mux_get_audio_pid(void) { return current().audio_pid; }
extern "C" int __cdecl mux_get_begin(void) { return current().begin_ms; }
extern "C" int __cdecl mux_get_10num(void) { return 0; }
extern "C" int __cdecl mux_get_20num(void) { return 0; }
extern "C" int __cdecl mux_get_30num(void) { return 0; }
extern "C" int __cdecl mux_get_5num(void) { return 0; }
extern "C" int __cdecl mux_get_autonum(void) { return 0; }
extern "C" int __cdecl get_mpeg4_video(unsigned char* block80) {
    if (block80) std::memcpy(block80, &current().avi_video, sizeof current().avi_video);
    return 0;
}
extern "C" int __cdecl get_mpeg4_audio(unsigned char* block64) {
    if (block64) std::memcpy(block64, &current().avi_audio, sizeof current().avi_audio);
    return 0;
}
extern "C" int __cdecl get_mpeg4_index(void) { return 0; }
extern "C" int __cdecl get_mpeg4_aindex_num(void) { return current().audio_index; }
extern "C" int __cdecl get_mpeg4_vindex_num(void) { return current().video_index; }
