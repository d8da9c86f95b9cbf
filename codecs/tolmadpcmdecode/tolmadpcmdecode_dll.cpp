// tolmadpcmdecode.dll: the AVI sound decoder entry points over the portable core, one decoder per thread.
#include "tolmadpcmdecode.h"
#include "adpcm_core.h"
#include "codecs/libav/per_thread.h"

namespace {
libav::PerThread<adpcmdec::Decoder> g_decoders;
}

extern "C" int __cdecl tolm_adpcm_init(int format) {
    int result = g_decoders.open([&](adpcmdec::Decoder& d) { return d.init(format) ? 0 : -1; });
    if (result < 0) g_decoders.close();
    return result;
}

extern "C" int __cdecl tolm_adpcm_decode(const unsigned char* data, int length, unsigned char* pcm, int* pcm_length,
                                         int bits, int block_align) {
    int result = g_decoders.with(
        [&](adpcmdec::Decoder& d) { return d.decode(data, length, pcm, pcm_length, bits, block_align); }, -2);
    if (result == -2) {
        if (pcm_length) *pcm_length = 0;
        return -1;
    }
    return result;
}

extern "C" int __cdecl tolm_adpcm_close(void) { return g_decoders.close() ? 0 : -1; }
