// tolmmpeg4decode.dll: the MPEG-4 Part 2 entry points over the portable core, one decoder per thread.
#include "tolmmpeg4decode.h"
#include "codecs/libav/per_thread.h"
#include "mpeg4_core.h"

namespace {
libav::PerThread<mpeg4dec::Decoder> g_decoders;
}

extern "C" int __cdecl tolmmpeg4decode_init(int width, int height) {
    return g_decoders.open([&](mpeg4dec::Decoder& d) { return d.init(width, height) ? 0 : -1; });
}

extern "C" int __cdecl tolmmpeg4decode_decode(const unsigned char* data, int length, unsigned char* picture,
                                              int picture_bytes, int* flag) {
    return g_decoders.with(
        [&](mpeg4dec::Decoder& d) { return d.decode(data, length, picture, picture_bytes, flag); }, -1);
}

extern "C" int __cdecl tolmmpeg4decode_getwh(int* width, int* height) {
    return g_decoders.with(
        [&](mpeg4dec::Decoder& d) {
            if (width) *width = d.width();
            if (height) *height = d.height();
            return 0;
        },
        -1);
}

extern "C" int __cdecl tolmmpeg4decode_close(void) { return g_decoders.close() ? 0 : -1; }
