// tolmvpdecode.dll: the VP6 entry points over the portable core, one decoder per thread.
#include "tolmvpdecode.h"
#include "codecs/libav/per_thread.h"
#include "vp6_core.h"

namespace {
libav::PerThread<vp6dec::Decoder> g_decoders;
}

extern "C" int __cdecl vpdecode_init(void) {
    return g_decoders.open([](vp6dec::Decoder& d) { return d.init() ? 0 : -1; });
}

extern "C" int __cdecl vpdecode_getvideo(const unsigned char* data, int length, unsigned char* frame,
                                         int frame_size) {
    return g_decoders.with([&](vp6dec::Decoder& d) { return d.decode(data, length, frame, frame_size); }, -1);
}

extern "C" int __cdecl vpdecode_getpicsize(int* width, int* height) {
    int w = 0, h = 0;
    int result = g_decoders.with([&](vp6dec::Decoder& d) { return d.size(&w, &h) ? 0 : -1; }, -1);
    if (width) *width = w;
    if (height) *height = h;
    return result;
}

extern "C" int __cdecl vpdecode_close(void) { return g_decoders.close() ? 0 : -1; }
