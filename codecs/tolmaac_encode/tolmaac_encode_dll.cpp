// tolmaac_encode.dll: the AAC entry points over the portable core (the older names are the same
// functions under the DLL's export list).
#include "tolmaac_encode.h"
#include "aac_core.h"

namespace {
aacenc::Encoder g_encoder;
const int kConfigCapacity = 64;
}

extern "C" int __cdecl aacbuf_init(int sample_rate, int channels, int bitrate, int, int, char*, unsigned char* config,
                                   int* config_length) {
    return g_encoder.open(sample_rate, channels, bitrate, config, kConfigCapacity, config_length);
}

extern "C" int __cdecl aacbuf_encode(const unsigned char* pcm, int input_bytes, unsigned char* out, int out_capacity,
                                     unsigned int* time, int*) {
    return g_encoder.encode(pcm, input_bytes, out, out_capacity, time);
}

extern "C" int __cdecl aacbuf_close(void) {
    g_encoder.close();
    return 0;
}
