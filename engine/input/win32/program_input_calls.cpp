#include "engine/input/win32/program_input_calls.h"
#include <atomic>
#include <cstring>
#include "engine/input/input_calls.h"
#include "engine/input/win32/dshow_reader.h"
#include "engine/main_window/main_window.h"
#include "engine/state/run_state.h"
#include "media/binders/binders.h"
#include "media/swf/win32/swf_picpack.h"

namespace {

#define FORWARD(name, params, args)                      \
    int forward_##name params {                          \
        return codec::name ? int(codec::name args) : -1; \
    }
FORWARD(mux_init, (), ())
FORWARD(open_stream, (const char* path), (path))
FORWARD(get_mpeg4_video, (unsigned char* block), (block))
FORWARD(get_mpeg4_audio, (unsigned char* block), (block))
FORWARD(get_mpeg4_vindex_num, (), ())
FORWARD(get_mpeg4_aindex_num, (), ())
FORWARD(tolmdivx_playbuf, (const unsigned char* data, int n, int mode, unsigned char* frame, int* bytes, int w, int h,
                           int* key),
        (data, n, mode, frame, bytes, w, h, key))
FORWARD(tolmdivx_close, (), ())
FORWARD(tolm_adpcm_init, (int format), (format))
FORWARD(tolm_adpcm_decode, (const unsigned char* data, int n, unsigned char* pcm, int* pcm_length, int bits, int align),
        (data, n, pcm, pcm_length, bits, align))
FORWARD(tolm_adpcm_close, (), ())
FORWARD(mp3_init, (int decoder), (decoder))
FORWARD(mp3_close, (int decoder), (decoder))
FORWARD(ac3buf_init, (int first, int second), (first, second))
FORWARD(ac3buf_close, (), ())
FORWARD(sh263de_init, (), ())
FORWARD(sh263de_setdispmode, (int mode), (mode))
FORWARD(sh263de_frame, (const unsigned char* data, int n, unsigned char* picture, int bytes), (data, n, picture, bytes))
FORWARD(sh263de_getwidth, (), ())
FORWARD(sh263de_getheight, (), ())
FORWARD(sh263de_exit, (), ())
FORWARD(vpdecode_init, (), ())
FORWARD(vpdecode_getvideo, (const unsigned char* data, int n, unsigned char* frame, int bytes), (data, n, frame, bytes))
FORWARD(vpdecode_getpicsize, (int* w, int* h), (w, h))
FORWARD(vpdecode_close, (), ())
FORWARD(tolm264decode_decode, (const unsigned char* data, int n, unsigned char* frame), (data, n, frame))
FORWARD(tolm264decode_decodeyuv, (const unsigned char* data, int n, unsigned char* frame), (data, n, frame))
FORWARD(tolm264decode_getwh, (int* w, int* h), (w, h))
// MP4/3GP.
FORWARD(mp4de_init, (const char* path), (path))
FORWARD(mp4de_close, (), ())
FORWARD(mp4_getvideonum, (int* count, int* largest), (count, largest))
FORWARD(mp4_getaudionum, (int* count, int* largest), (count, largest))
FORWARD(mp4_getaudio, (int* rate, int* channels, int* value, double* duration), (rate, channels, value, duration))
FORWARD(mp4_getaudioname, (char* name), (name))
FORWARD(mp4_getmp4aconfig, (unsigned char* config, int capacity), (config, capacity))
FORWARD(mp4_getvideo, (int* w, int* h, double* fps, int* value, double* duration, int* other, unsigned char* config),
        (w, h, fps, value, duration, other, config))
FORWARD(mp4_readvideo, (unsigned char* buffer, int sample, int* time, int* second, unsigned char* key),
        (buffer, sample, time, second, key))
FORWARD(mp4_readaudio, (unsigned char* buffer, int sample, int* time, int* second), (buffer, sample, time, second))
FORWARD(h263de_init, (), ())
FORWARD(h263de_frame, (const unsigned char* data, int n, unsigned char* picture, int bytes), (data, n, picture, bytes))
FORWARD(h263de_exit, (), ())
FORWARD(tolmmpeg4decode_init, (int w, int h), (w, h))
FORWARD(tolmmpeg4decode_decode, (const unsigned char* data, int n, unsigned char* picture, int bytes, int* flag),
        (data, n, picture, bytes, flag))
FORWARD(tolmmpeg4decode_getwh, (int* w, int* h), (w, h))
FORWARD(tolmmpeg4decode_close, (), ())
FORWARD(amrdecode_init, (), ())
FORWARD(amr_decode, (const unsigned char* frame, int n, unsigned char* pcm), (frame, n, pcm))
FORWARD(amrdecode_close, (), ())
FORWARD(aacdecodebuf_init, (const unsigned char* config, int n, int value, int hint, int* rate, int* channels),
        (config, n, value, hint, rate, channels))
FORWARD(aacbuf_decode, (const unsigned char* data, int n, int value, unsigned char* pcm), (data, n, value, pcm))
FORWARD(aacdecodebuf_close, (), ())
// MTV/AMV.
FORWARD(mtv_init, (const char* path), (path))
FORWARD(mtv_getvideo, (int* w, int* h, double* fps, int* value, double* duration), (w, h, fps, value, duration))
FORWARD(mtv_getaudio, (int* rate, int* channels, int* value), (rate, channels, value))
FORWARD(mtv_getpicinfo, (int* format, int* bits), (format, bits))
FORWARD(mtv_getdata, (int frame, unsigned char* sound, int capacity, unsigned char* picture, int* length),
        (frame, sound, capacity, picture, length))
FORWARD(mtv_close, (), ())
FORWARD(amv_init, (const char* path), (path))
FORWARD(amv_getvideo, (int* w, int* h, double* fps, int* value, double* duration), (w, h, fps, value, duration))
FORWARD(amv_getaudio, (int* rate, int* channels, int* value), (rate, channels, value))
FORWARD(amv_getdata, (int frame, unsigned char* sound, int capacity, unsigned char* picture, int* length),
        (frame, sound, capacity, picture, length))
FORWARD(amv_close, (), ())
#undef FORWARD

// The H.264 decoder the workers (MP4 and FLV jobs, conversion and play) use is the interface
// thread's: notice 678 opens it (1) at the size the worker asks for and flushes and closes it (2).
// Without a main window the worker opens one of its own, binding the library when nothing has yet (it
// then stays bound for the program's life).
constexpr int kNoticeH264 = 678;
std::atomic<int> g_h264_width{0}, g_h264_height{0};
int h264_open(int width, int height) {
    g_h264_width = width;
    g_h264_height = height;
    if (HWND main = g_main_hwnd.load())
        return SendMessageA(main, WM_DLG_NOTIFY, kNoticeH264, 1) < 0 || !codec::tolm264decode_decode ? -1 : 0;
    if (!codec::tolm264decode_init && codec::load_tolmx264decode() != 0) return -1;
    return codec::tolm264decode_init ? codec::tolm264decode_init(width, height) : -1;
}
int h264_close() {
    if (HWND main = g_main_hwnd.load()) return int(SendMessageA(main, WM_DLG_NOTIFY, kNoticeH264, 2));
    return codec::tolm264decode_close ? codec::tolm264decode_close() : -1;
}

struct PendingDecode {
    const unsigned char* data = nullptr;
    int length = 0;
    unsigned char* picture = nullptr;
};
thread_local PendingDecode t_sent_decode;  // the sender's; the interface thread reads it via g_pending
std::atomic<PendingDecode*> g_pending{nullptr};

// tolmvpdecode is bound for each VP6 job a play reads.
int vp6_bind() { return codec::load_tolmvpdecode(); }
void vp6_unbind() { codec::unload_tolmvpdecode(); }

// tolmmtvdecode is bound for each MTV or AMV job.
int mtv_bind() { return codec::load_tolmmtvdecode(); }
void mtv_unbind() { codec::unload_tolmmtvdecode(); }

int forward_tolmdivx_initrgb(const Mpeg4VideoInfo& description) {
    if (!codec::tolmdivx_initrgb) return -1;
    tolmdivx_video_description block;
    static_assert(sizeof block == sizeof description);
    std::memcpy(&block, &description, sizeof block);
    return codec::tolmdivx_initrgb(block);
}

}  // namespace

int h264_decode_through_main_window(const unsigned char* data, int length, unsigned char* picture) {
    HWND main = g_main_hwnd.load();
    if (!main) return -1;
    t_sent_decode = PendingDecode{data, length, picture};
    // One worker at a time asks the interface thread's decoder (the others wait for their turn here).
    PendingDecode* none = nullptr;
    while (!g_pending.compare_exchange_weak(none, &t_sent_decode)) {
        none = nullptr;
        Sleep(1);
    }
    const int result = int(SendMessageA(main, WM_DLG_NOTIFY, kNoticeH264, 4));
    g_pending.store(nullptr);
    return result;
}

void h264_pending_decode(const unsigned char** data, int* length, unsigned char** picture) {
    const PendingDecode* p = g_pending.load();
    *data = p ? p->data : nullptr;
    *length = p ? p->length : 0;
    *picture = p ? p->picture : nullptr;
}

void h264_requested_size(int* width, int* height) {
    const int w = g_h264_width.load(), h = g_h264_height.load();
    *width = w > 0 ? w : 320;
    *height = h > 0 ? h : 160;
}

void use_program_input_calls() {
    InputCalls& t = g_input_calls;
    t = InputCalls{};
#define USE(name) t.name = forward_##name
    USE(mux_init);
    USE(open_stream);
    USE(get_mpeg4_video);
    USE(get_mpeg4_audio);
    USE(get_mpeg4_vindex_num);
    USE(get_mpeg4_aindex_num);
    USE(tolmdivx_initrgb);
    USE(tolmdivx_playbuf);
    USE(tolmdivx_close);
    USE(tolm_adpcm_init);
    USE(tolm_adpcm_decode);
    USE(tolm_adpcm_close);
    USE(mp3_init);
    USE(mp3_close);
    USE(ac3buf_init);
    USE(ac3buf_close);
    USE(sh263de_init);
    USE(sh263de_setdispmode);
    USE(sh263de_frame);
    USE(sh263de_getwidth);
    USE(sh263de_getheight);
    USE(sh263de_exit);
    USE(vpdecode_init);
    USE(vpdecode_getvideo);
    USE(vpdecode_getpicsize);
    USE(vpdecode_close);
    USE(aacdecodebuf_init);
    USE(aacbuf_decode);
    USE(aacdecodebuf_close);
    USE(mp4de_init);
    USE(mp4de_close);
    USE(mp4_getvideonum);
    USE(mp4_getaudionum);
    USE(mp4_getaudio);
    USE(mp4_getaudioname);
    USE(mp4_getmp4aconfig);
    USE(mp4_getvideo);
    USE(mp4_readvideo);
    USE(mp4_readaudio);
    USE(h263de_init);
    USE(h263de_frame);
    USE(h263de_exit);
    t.mpeg4_init = forward_tolmmpeg4decode_init;
    t.mpeg4_decode = forward_tolmmpeg4decode_decode;
    t.mpeg4_getwh = forward_tolmmpeg4decode_getwh;
    t.mpeg4_close = forward_tolmmpeg4decode_close;
    t.h264_open = h264_open;
    t.h264_close = h264_close;
    t.h264_decode = forward_tolm264decode_decode;
    t.h264_decodeyuv = forward_tolm264decode_decodeyuv;
    t.h264_getwh = forward_tolm264decode_getwh;
    USE(amrdecode_init);
    USE(amr_decode);
    USE(amrdecode_close);
    t.vp6_bind = vp6_bind;
    t.vp6_unbind = vp6_unbind;
    t.mtv_bind = mtv_bind;
    t.mtv_unbind = mtv_unbind;
    USE(mtv_init);
    USE(mtv_getvideo);
    USE(mtv_getaudio);
    USE(mtv_getpicinfo);
    USE(mtv_getdata);
    USE(mtv_close);
    USE(amv_init);
    USE(amv_getvideo);
    USE(amv_getaudio);
    USE(amv_getdata);
    USE(amv_close);
#undef USE
    MpegDemuxLinks& links = t.demux_links;
    links.mp3_open = [](const uint8_t* frame) { return codec::mp3_open ? codec::mp3_open(0, frame) : -1; };
    links.mp3_play = [](const Mp3FrameRecord* table, int count, uint8_t* pcm, int capacity) {
        return codec::mp3_play ? codec::mp3_play(0, table, count, pcm, capacity) : 0;
    };
    links.ac3_readdata = [](const uint8_t* frame, int length, uint8_t* out, int capacity, int* out_length) {
        if (!codec::ac3buf_readdata) {
            *out_length = 0;
            return -1;
        }
        return codec::ac3buf_readdata(frame, length, out, capacity, out_length);
    };
    links.busy = &g_busy;
    // The SWF reader inflates compressed movies with tolmpicpack; DirectShow files have their reader.
    swf_use_tolmpicpack();
    use_program_dshow_reader();
}
