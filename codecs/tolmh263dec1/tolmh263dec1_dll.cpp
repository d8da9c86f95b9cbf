// tolmh263dec1.dll: the baseline H.263 entry points over the portable core, one decoder per thread.
#include "tolmh263dec1.h"
#include "codecs/libav/per_thread.h"
#include "h263dec1_core.h"

namespace {
libav::PerThread<h263dec1::Decoder> g_decoders;
}

extern "C" int __cdecl h263de_init(void) {
    return g_decoders.open([](h263dec1::Decoder& d) { return d.init() ? 0 : -1; });
}

extern "C" int __cdecl h263de_frame(const unsigned char* data, int length, unsigned char* picture,
                                    int picture_bytes) {
    return g_decoders.with([&](h263dec1::Decoder& d) { return d.frame(data, length, picture, picture_bytes); }, -1);
}

extern "C" int __cdecl h263de_exit(void) { return g_decoders.close() ? 0 : -1; }
