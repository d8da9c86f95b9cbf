#include "app/analysis/analysis_libraries.h"
#include <cstring>
#include "media/binders/binders.h"

namespace analysis_lib {
#include "media/binders/binding_declarations.inc"
#include "media/binders/binding_definitions.inc"
}  // namespace analysis_lib

namespace {

namespace lib = analysis_lib;

// True when every entry of the library is bound: bound now when it was not (a library lacking an
// entry is freed again, so a later analysis tries once more).
bool keep_bound(const char* id) {
    int count = 0;
    const codec::LibraryBinding* all = lib::library_bindings(&count);
    for (int i = 0; i < count; ++i) {
        const codec::LibraryBinding& library = all[i];
        if (std::strcmp(library.id, id) != 0) continue;
        bool complete = *library.handle != nullptr;
        for (int e = 0; complete && e < library.entry_count; ++e) complete = library.entries[e].get() != nullptr;
        if (complete) return true;
        if (codec::bind_library(library) == 0) return true;
        codec::unbind_library(library);
        return false;
    }
    return false;
}

int bind(AnalysisKind kind) {
    static const char* const flash[] = {"tolmh263dec2", "tolmvpdecode", "tolmx264decode", nullptr};
    static const char* const mp4[] = {"tolmh263dec1", "tolmmp4decode", "tolmmpeg4decode", "tolmx264decode", nullptr};
    static const char* const avi[] = {"tolmdivxplay", "tolmmux", nullptr};
    static const char* const mtv[] = {"tolmmtvdecode", nullptr};
    const char* const* ids = kind == AnalysisKind::kFlvSwf ? flash
                             : kind == AnalysisKind::kMp4  ? mp4
                             : kind == AnalysisKind::kAvi  ? avi
                             : kind == AnalysisKind::kMtvAmv ? mtv
                                                             : nullptr;
    if (!ids || !keep_bound("tolmpicpack")) return -1;
    for (; *ids; ++ids)
        if (!keep_bound(*ids)) return -1;
    return 0;
}

void unbind(AnalysisKind) {}

#define FORWARD(name, params, args)                   \
    int forward_##name params {                       \
        return lib::name ? int(lib::name args) : -1;  \
    }
FORWARD(sh263de_init, (), ())
FORWARD(sh263de_setdispmode, (int mode), (mode))
FORWARD(sh263de_frame, (const unsigned char* data, int n, unsigned char* picture, int bytes), (data, n, picture, bytes))
FORWARD(sh263de_exit, (), ())
FORWARD(vpdecode_init, (), ())
FORWARD(vpdecode_getvideo, (const unsigned char* data, int n, unsigned char* frame, int bytes), (data, n, frame, bytes))
FORWARD(vpdecode_close, (), ())
FORWARD(tolm264decode_init, (int w, int h), (w, h))
FORWARD(tolm264decode_decode, (const unsigned char* data, int n, unsigned char* frame), (data, n, frame))
FORWARD(tolm264decode_close, (), ())
FORWARD(mp4de_init, (const char* path), (path))
FORWARD(mp4de_close, (), ())
FORWARD(mp4_getvideonum, (int* count, int* largest), (count, largest))
FORWARD(mp4_getvideo, (int* w, int* h, double* fps, int* value, double* duration, int* other, unsigned char* config),
        (w, h, fps, value, duration, other, config))
FORWARD(mp4_readvideo, (unsigned char* buffer, int sample, int* time, int* second, unsigned char* key),
        (buffer, sample, time, second, key))
FORWARD(h263de_init, (), ())
FORWARD(h263de_frame, (const unsigned char* data, int n, unsigned char* picture, int bytes), (data, n, picture, bytes))
FORWARD(h263de_exit, (), ())
FORWARD(tolmmpeg4decode_init, (int w, int h), (w, h))
FORWARD(tolmmpeg4decode_decode, (const unsigned char* data, int n, unsigned char* picture, int bytes, int* flag),
        (data, n, picture, bytes, flag))
FORWARD(tolmmpeg4decode_getwh, (int* w, int* h), (w, h))
FORWARD(tolmmpeg4decode_close, (), ())
FORWARD(mux_init, (), ())
FORWARD(open_stream, (const char* path), (path))
FORWARD(get_mpeg4_video, (unsigned char* block), (block))
FORWARD(tolmdivx_playbuf, (const unsigned char* data, int n, int mode, unsigned char* frame, int* bytes, int w, int h,
                           int* key),
        (data, n, mode, frame, bytes, w, h, key))
FORWARD(tolmdivx_close, (), ())
FORWARD(mtv_init, (const char* path), (path))
FORWARD(mtv_getpicinfo, (int* format, int* bits), (format, bits))
FORWARD(mtv_getdata, (int frame, unsigned char* sound, int capacity, unsigned char* picture, int* length),
        (frame, sound, capacity, picture, length))
FORWARD(mtv_close, (), ())
FORWARD(amv_init, (const char* path), (path))
FORWARD(amv_getdata, (int frame, unsigned char* sound, int capacity, unsigned char* picture, int* length),
        (frame, sound, capacity, picture, length))
FORWARD(amv_close, (), ())
#undef FORWARD

int forward_tolmdivx_initrgb(const Mpeg4VideoInfo& description) {
    if (!lib::tolmdivx_initrgb) return -1;
    tolmdivx_video_description block;
    static_assert(sizeof block == sizeof description);
    std::memcpy(&block, &description, sizeof block);
    return lib::tolmdivx_initrgb(block);
}

int forward_compress(unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len) {
    return lib::compress ? lib::compress(dest, dest_len, src, src_len) : -1;
}

InputCalls make_calls() {
    InputCalls t;
#define USE(name) t.name = forward_##name
    USE(sh263de_init);
    USE(sh263de_setdispmode);
    USE(sh263de_frame);
    USE(sh263de_exit);
    USE(vpdecode_init);
    USE(vpdecode_getvideo);
    USE(vpdecode_close);
    // This thread's own H.264 decoder, bound directly: the 678 route belongs to the workers.
    t.h264_open = forward_tolm264decode_init;
    t.h264_decode = forward_tolm264decode_decode;
    t.h264_close = forward_tolm264decode_close;
    USE(mp4de_init);
    USE(mp4de_close);
    USE(mp4_getvideonum);
    USE(mp4_getvideo);
    USE(mp4_readvideo);
    USE(h263de_init);
    USE(h263de_frame);
    USE(h263de_exit);
    t.mpeg4_init = forward_tolmmpeg4decode_init;
    t.mpeg4_decode = forward_tolmmpeg4decode_decode;
    t.mpeg4_getwh = forward_tolmmpeg4decode_getwh;
    t.mpeg4_close = forward_tolmmpeg4decode_close;
    USE(mux_init);
    USE(open_stream);
    USE(get_mpeg4_video);
    USE(tolmdivx_initrgb);
    USE(tolmdivx_playbuf);
    USE(tolmdivx_close);
    USE(mtv_init);
    USE(mtv_getpicinfo);
    USE(mtv_getdata);
    USE(mtv_close);
    USE(amv_init);
    USE(amv_getdata);
    USE(amv_close);
#undef USE
    return t;
}

}  // namespace

const AnalysisLibraries& analysis_libraries() {
    static const InputCalls calls = make_calls();
    static const AnalysisLibraries libraries{&calls, forward_compress, bind, unbind};
    return libraries;
}
