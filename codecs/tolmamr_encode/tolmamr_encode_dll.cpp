// tolmamr_encode.dll: the AMR-NB entry points over the portable core (the older names are the same
// functions under the DLL's export list).
#include "tolmamr_encode.h"
#include "amr_core.h"

namespace {
amrenc::Encoder g_encoder;
}

extern "C" int __cdecl amrbuf_init(int mode, void*) { return g_encoder.open(mode); }

extern "C" int __cdecl amrbuf_encode(const unsigned char* pcm, int length, unsigned char* out, int out_capacity,
                                     int* frame_count) {
    return g_encoder.encode(pcm, length, out, out_capacity, frame_count);
}

extern "C" int __cdecl amrbuf_close(void) {
    g_encoder.close();
    return 0;
}
