#include "engine/outside/win32/program_calls.h"
#include "engine/outside/outside_calls.h"
#include "engine/state/effects_switch.h"
#include "engine/wave/win32/wave_device_winmm.h"
#include "media/binders/binders.h"

namespace {

// The engine's table holds plain function pointers; each forwards to the binder's pointer (the
// libraries' caller-cleans convention), looked up at call time, so a library bound later is used.
#define FORWARD(name, params, args)                           \
    int forward_##name params {                               \
        return codec::name ? int(codec::name args) : -1;      \
    }
FORWARD(mp4en_init, (const char* path, int container), (path, container))
FORWARD(mp4en_addvideo, (int codec, int w, int h, int r), (codec, w, h, r))
FORWARD(mp4en_addaudio, (int codec, int rate, int ch, int fs), (codec, rate, ch, fs))
FORWARD(mp4en_setaudioinfo, (const unsigned char* config, int length), (config, length))
FORWARD(mp4en_setaudiodelay, (int samples), (samples))
FORWARD(mp4_add264, (int w, int h, int level, int compatibility, int profile), (w, h, level, compatibility, profile))
FORWARD(mp4_add264pps, (const unsigned char* pps, int length), (pps, length))
FORWARD(mp4_add264sps, (const unsigned char* sps, int length), (sps, length))
FORWARD(mp4en_video, (int kind, const unsigned char* data, int length, int duration, int r),
        (kind, data, length, duration, r))
FORWARD(mp4en_audio, (int track, const unsigned char* data, int length, int duration), (track, data, length, duration))
FORWARD(mp4en_close, (), ())
FORWARD(aacbuf_init, (int rate, int ch, int bitrate, int six, int type, char* text, unsigned char* config, int* len),
        (rate, ch, bitrate, six, type, text, config, len))
FORWARD(aacbuf_encode, (const unsigned char* pcm, int n, unsigned char* out, int cap, unsigned* time, int* chunk),
        (pcm, n, out, cap, time, chunk))
FORWARD(aacbuf_close, (), ())
FORWARD(amrbuf_init, (int mode, void* state), (mode, state))
FORWARD(amrbuf_encode, (const unsigned char* pcm, int n, unsigned char* out, int cap, int* frames),
        (pcm, n, out, cap, frames))
FORWARD(amrbuf_close, (), ())
FORWARD(tolmmp3encinit_new, (int* fs, int* size, int rate, int kbps, int ch, int mode), (fs, size, rate, kbps, ch, mode))
FORWARD(tolmmp3encinit_abr, (int* fs, int* size, int rate, int kbps, int ch, int mode, int abr),
        (fs, size, rate, kbps, ch, mode, abr))
FORWARD(tolmmp3encinit_vbr, (int* fs, int* size, int rate, int kbps, int ch, int mode, int q, int lo, int hi),
        (fs, size, rate, kbps, ch, mode, q, lo, hi))
FORWARD(tolmmp3enccode, (const short* pcm, int samples, unsigned char* out), (pcm, samples, out))
FORWARD(tolmmp3encend, (unsigned char* out), (out))
FORWARD(tolm264encode_init, (int w, int h, int quality, int fps), (w, h, quality, fps))
FORWARD(tolm264encode_close, (), ())
FORWARD(tolm264encode_encode, (const unsigned char* bgr, int n, unsigned char* out, int* key), (bgr, n, out, key))
FORWARD(tolm264encode_encodeavi, (const unsigned char* bgr, int n, unsigned char* out, int* key), (bgr, n, out, key))
FORWARD(tolm264encode_getpps, (unsigned char* out), (out))
FORWARD(tolm264encode_getsps, (unsigned char* out), (out))
FORWARD(tolm264encode_getx264, (int* profile, int* compatibility, int* level), (profile, compatibility, level))
FORWARD(xvid_global, (void* handle, int opt, void* p1, void* p2), (handle, opt, p1, p2))
FORWARD(xvid_encore, (void* handle, int opt, void* p1, void* p2), (handle, opt, p1, p2))
#undef FORWARD

// The effect chain while olumbra is bound; without it the sound passes unchanged.
int effects(short* pcm, int bytes) {
    if (codec::tolmmix_change) codec::tolmmix_change(pcm, bytes);
    return bytes;
}

int effects_init(int rate, int channels, int show) {
    return codec::tolmmix_init ? codec::tolmmix_init(rate, channels, show) : -1;
}
int effects_refresh() { return codec::tolmmix_datarefresh ? codec::tolmmix_datarefresh() : -1; }
void effects_window(int show) {
    if (codec::tolmmix_setdisp) codec::tolmmix_setdisp(show);
}

}  // namespace

void use_program_calls() {
    OutsideCalls& t = g_outside;
    t = OutsideCalls{};
    use_own_code(t);
#define USE(name) t.name = forward_##name
    USE(mp4en_init);
    USE(mp4en_addvideo);
    USE(mp4en_addaudio);
    USE(mp4en_setaudioinfo);
    USE(mp4en_setaudiodelay);
    USE(mp4_add264);
    USE(mp4_add264pps);
    USE(mp4_add264sps);
    USE(mp4en_video);
    USE(mp4en_audio);
    USE(mp4en_close);
    USE(aacbuf_init);
    USE(aacbuf_encode);
    USE(aacbuf_close);
    USE(amrbuf_init);
    USE(amrbuf_encode);
    USE(amrbuf_close);
    USE(tolmmp3encinit_new);
    USE(tolmmp3encinit_abr);
    USE(tolmmp3encinit_vbr);
    USE(tolmmp3enccode);
    USE(tolmmp3encend);
    USE(tolm264encode_init);
    USE(tolm264encode_close);
    USE(tolm264encode_encode);
    USE(tolm264encode_encodeavi);
    USE(tolm264encode_getpps);
    USE(tolm264encode_getsps);
    USE(tolm264encode_getx264);
    USE(xvid_global);
    USE(xvid_encore);
#undef USE
    t.tolmmix_change = effects;
    t.tolmmix_init = effects_init;
    t.tolmmix_datarefresh = effects_refresh;
    t.tolmmix_setdisp = effects_window;
    const WaveDevice device = winmm_wave_device();
    t.clock = device.clock;  // timeGetTime and Sleep
    wave_out_set_device(device);
}

bool press_effects_button() {
    const bool bound = codec::tolmmix_get_dispstatus && codec::tolmmix_setdisp;
    const EffectsWindow window =
        !bound ? EffectsWindow::kNotBound : codec::tolmmix_get_dispstatus() ? EffectsWindow::kShown : EffectsWindow::kHidden;
    const int step = press_effects_switch(window);
    if (step == kEffectsOutsideRun) return false;
    if (step != kEffectsNoStep) codec::tolmmix_setdisp(step);
    return true;
}
