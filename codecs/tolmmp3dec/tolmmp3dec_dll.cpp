// tolmmp3dec.dll: the MPEG audio entry points over the portable core.
#include "tolmmp3dec.h"
#include "mp3dec_core.h"

namespace {
constexpr int kDecoders = 8;
mp3dec::Decoder g_decoders[kDecoders];

mp3dec::Decoder* decoder(int index) { return index >= 0 && index < kDecoders ? &g_decoders[index] : nullptr; }
}  // namespace

extern "C" int __cdecl mp3_init(int index) {
    mp3dec::Decoder* d = decoder(index);
    if (!d) return -1;
    d->init();
    return 0;
}

extern "C" int __cdecl mp3_open(int index, const unsigned char* first_frame) {
    mp3dec::Decoder* d = decoder(index);
    return d ? d->open(first_frame) : -1;
}

extern "C" int __cdecl mp3_play(int index, const Mp3FrameRecord* table, int count, unsigned char* pcm, int capacity) {
    mp3dec::Decoder* d = decoder(index);
    return d ? d->play(table, count, pcm, capacity) : 0;
}

extern "C" int __cdecl mp3_close(int index) {
    mp3dec::Decoder* d = decoder(index);
    if (!d) return -1;
    d->close();
    return 0;
}
