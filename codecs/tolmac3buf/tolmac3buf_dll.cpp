// tolmac3buf.dll: the AC-3 entry points over the portable core.
#include "tolmac3buf.h"
#include "ac3_core.h"

namespace {
ac3dec::Decoder g_decoder;
}

extern "C" int __cdecl ac3buf_init(int, int) { return g_decoder.init(); }

extern "C" int __cdecl ac3buf_close(void) {
    g_decoder.close();
    return 0;
}

extern "C" int __cdecl ac3buf_readdata(const unsigned char* frame, int length, unsigned char* out, int capacity,
                                       int* out_length) {
    return g_decoder.read(frame, length, out, capacity, out_length);
}

extern "C" int __cdecl ac3buf_get_handle(void) { return g_decoder.is_open() ? 1 : 0; }
