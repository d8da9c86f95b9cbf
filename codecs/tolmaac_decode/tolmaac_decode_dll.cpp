// tolmaac_decode.dll: the AAC entry points over the portable core, one decoder per thread. The
// file-based family is exported because the program binds it, and refuses every call.
#include "tolmaac_decode.h"
#include "aac_decode_core.h"
#include "codecs/libav/per_thread.h"

namespace {
libav::PerThread<aacdec::Decoder> g_decoders;
}

extern "C" int __cdecl aacdecodebuf_init(const unsigned char* config, int length, int, int, int* sample_rate,
                                         int* channels) {
    int result = g_decoders.open(
        [&](aacdec::Decoder& d) { return d.init(config, length, sample_rate, channels) ? 0 : -1; });
    if (result < 0) g_decoders.close();
    return result;
}

extern "C" int __cdecl aacbuf_decode(const unsigned char* data, int length, int, unsigned char* pcm) {
    return g_decoders.with([&](aacdec::Decoder& d) { return d.decode(data, length, pcm); }, -1);
}

extern "C" int __cdecl aacdecodebuf_close(void) { return g_decoders.close() ? 0 : -1; }

extern "C" int __cdecl aacdecode_init(void) { return -1; }
extern "C" int __cdecl aac_decode(void) { return -1; }
extern "C" int __cdecl get_mp4info(void) { return -1; }
extern "C" int __cdecl aacdecode_close(void) { return aacdecodebuf_close(); }
