// tolmmp3enc.dll: the MP3 entry points over the portable core.
#include "tolmmp3enc.h"
#include "mp3_core.h"

namespace {
mp3enc::Encoder g_encoder;

mp3enc::Settings settings(int sample_rate, int kbps, int channels, mp3enc::RateMode mode) {
    mp3enc::Settings s;
    s.sample_rate = sample_rate;
    s.kbps = kbps;
    s.channels = channels;
    s.mode = mode;
    return s;
}

int start(int* frame_samples, int* output_size, mp3enc::Settings s) {
    int fs = 0, os = 0;
    int r = g_encoder.open(s, &fs, &os);
    if (frame_samples) *frame_samples = fs;
    if (output_size) *output_size = os;
    return r;
}
}  // namespace

extern "C" int __cdecl tolmmp3encinit_new(int* frame_samples, int* output_size, int sample_rate, int kbps,
                                          int channels, int) {
    return start(frame_samples, output_size, settings(sample_rate, kbps, channels, mp3enc::RateMode::Constant));
}

extern "C" int __cdecl tolmmp3encinit_abr(int* frame_samples, int* output_size, int sample_rate, int kbps,
                                          int channels, int, int abr_kbps) {
    mp3enc::Settings s = settings(sample_rate, kbps, channels, mp3enc::RateMode::Average);
    s.average_kbps = abr_kbps;
    return start(frame_samples, output_size, s);
}

extern "C" int __cdecl tolmmp3encinit_vbr(int* frame_samples, int* output_size, int sample_rate, int kbps,
                                          int channels, int, int quality, int min_kbps, int max_kbps) {
    mp3enc::Settings s = settings(sample_rate, kbps, channels, mp3enc::RateMode::Variable);
    s.quality = quality;
    s.min_kbps = min_kbps;
    s.max_kbps = max_kbps;
    return start(frame_samples, output_size, s);
}

extern "C" int __cdecl tolmmp3enccode(const short* pcm, int samples, unsigned char* out) {
    return g_encoder.encode(pcm, samples, out);
}

extern "C" int __cdecl tolmmp3encend(unsigned char* out) { return g_encoder.finish(out); }

extern "C" int __cdecl tolmmp3enc_vbrheader(unsigned char* out, int capacity) {
    return g_encoder.info_frame(out, capacity);
}
