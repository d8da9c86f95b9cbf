#include "engine/outside/outside_calls.h"
#include "media/avi/avilib.h"
#include "media/h263/h263encode.h"

OutsideCalls g_outside;
Ctolmpcmchange g_pcmchange;

namespace {

int h263_encode(const int32_t* picture, int unused, int intra, uint8_t* output) {
    return h263encode_encode(picture, unused, intra, output);
}
int avi_write_frame(AviFile* avi, const void* data, int length, int keyframe) {
    return AVI_write_frame(avi, data, length, keyframe);
}
int pcm_init(double ratio, int reserved, int channels, int bits) {
    return g_pcmchange.pcm_init(ratio, reserved, channels, bits);
}
void pcm_setch(int channels) { g_pcmchange.pcm_setch(channels); }
void pcm_setbit(int bits) { g_pcmchange.pcm_setbit(bits); }
int pcm_change(const unsigned char* in, int length, unsigned char* out, int capacity, bool more) {
    return g_pcmchange.pcm_change(in, length, out, capacity, more);
}
int pcm_getch(const unsigned char* in, unsigned char* out, int length, int channels, int index, int bits) {
    return g_pcmchange.pcm_getch(in, out, length, channels, index, bits);
}

}  // namespace

void use_own_code(OutsideCalls& calls) {
    calls.h263encode_init = h263encode_init;
    calls.h263encode_encode = h263_encode;
    calls.h263encode_close = h263encode_close;
    calls.AVI_open_output_file = AVI_open_output_file;
    calls.AVI_set_video = AVI_set_video;
    calls.AVI_set_video_rate = AVI_set_video_rate;
    calls.AVI_set_audio = AVI_set_audio;
    calls.AVI_set_audio_vbr = AVI_set_audio_vbr;
    calls.AVI_write_frame = avi_write_frame;
    calls.AVI_write_audio = AVI_write_audio;
    calls.AVI_close = AVI_close;
    calls.pcm_init = pcm_init;
    calls.pcm_setch = pcm_setch;
    calls.pcm_setbit = pcm_setbit;
    calls.pcm_change = pcm_change;
    calls.pcm_getch = pcm_getch;
    calls.clock = steady_clock();
}
