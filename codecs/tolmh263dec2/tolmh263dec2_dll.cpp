// tolmh263dec2.dll: the Sorenson H.263 entry points over the portable core, one decoder per thread.
#include "tolmh263dec2.h"
#include "codecs/libav/per_thread.h"
#include "sorenson_core.h"

namespace {
libav::PerThread<sorenson::Decoder> g_decoders;
}

extern "C" int __cdecl sh263de_init(void) {
    return g_decoders.open([](sorenson::Decoder& d) { return d.init() ? 0 : -1; });
}

extern "C" int __cdecl sh263de_frame(const unsigned char* data, int length, unsigned char* picture,
                                     int picture_bytes) {
    return g_decoders.with([&](sorenson::Decoder& d) { return d.frame(data, length, picture, picture_bytes); }, -1);
}

extern "C" int __cdecl sh263de_getwidth(void) {
    return g_decoders.with([](sorenson::Decoder& d) { return d.width(); }, 0);
}

extern "C" int __cdecl sh263de_getheight(void) {
    return g_decoders.with([](sorenson::Decoder& d) { return d.height(); }, 0);
}

extern "C" int __cdecl sh263de_setdispmode(int mode) {
    return g_decoders.with([&](sorenson::Decoder& d) { return d.set_display_mode(mode); }, -1);
}

extern "C" int __cdecl sh263de_exit(void) { return g_decoders.close() ? 0 : -1; }
