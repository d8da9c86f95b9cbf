#include "engine/input/win32/program_input_calls.h"
#include <cstring>
#include "engine/input/input_calls.h"
#include "engine/input/win32/dshow_reader.h"
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
FORWARD(tolm264decode_getwh, (int* w, int* h), (w, h))
FORWARD(tolm264decode_close, (), ())
FORWARD(aacdecodebuf_init, (const unsigned char* config, int n, int value, int hint, int* rate, int* channels),
        (config, n, value, hint, rate, channels))
FORWARD(aacbuf_decode, (const unsigned char* data, int n, int value, unsigned char* pcm), (data, n, value, pcm))
FORWARD(aacdecodebuf_close, (), ())
#undef FORWARD

// The H.264 decoder library is not one of the run's: an FLV job binds it when nothing has yet, and it
// stays bound for the program's life (the interface thread's decoder lives in it too).
int forward_tolm264decode_init(int w, int h) {
    if (!codec::tolm264decode_init && codec::load_tolmx264decode() != 0) return -1;
    return codec::tolm264decode_init ? codec::tolm264decode_init(w, h) : -1;
}

int forward_tolmdivx_initrgb(const Mpeg4VideoInfo& description) {
    if (!codec::tolmdivx_initrgb) return -1;
    tolmdivx_video_description block;
    static_assert(sizeof block == sizeof description);
    std::memcpy(&block, &description, sizeof block);
    return codec::tolmdivx_initrgb(block);
}

}  // namespace

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
    USE(tolm264decode_init);
    USE(tolm264decode_decode);
    USE(tolm264decode_getwh);
    USE(tolm264decode_close);
    USE(aacdecodebuf_init);
    USE(aacbuf_decode);
    USE(aacdecodebuf_close);
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
