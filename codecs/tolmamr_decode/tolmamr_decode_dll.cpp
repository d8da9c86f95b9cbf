// tolmamr_decode.dll: the AMR-NB entry points over the portable core, one decoder per thread.
#include "tolmamr_decode.h"
#include "amr_decode_core.h"
#include "codecs/libav/per_thread.h"

namespace {
libav::PerThread<amrdec::Decoder> g_decoders;
}

extern "C" int __cdecl amrdecode_init(void) {
    return g_decoders.open([](amrdec::Decoder& d) { return d.init() ? 0 : -1; });
}

extern "C" int __cdecl amr_decode(const unsigned char* frame, int length, unsigned char* pcm) {
    return g_decoders.with([&](amrdec::Decoder& d) { return d.decode(frame, length, pcm); }, -1);
}

extern "C" int __cdecl amrdecode_close(void) { return g_decoders.close() ? 0 : -1; }
