// tolmdivxplay.dll: AVI pictures into 24-bit frames over the portable core, one player per calling
// thread (the probe, a converting worker and a playing worker each open their own). The entries of the
// window player and its sound are not offered: they report failure.
#include "tolmdivxplay.h"
#include "codecs/libav/per_thread.h"
#include "divx_core.h"

namespace {
libav::PerThread<divx::Player> g_players;
}

extern "C" int __cdecl tolmdivx_initrgb(tolmdivx_video_description description) {
    return g_players.open([&](divx::Player& p) { return p.init(description.bytes) ? 0 : -1; });
}

extern "C" int __cdecl tolmdivx_playbuf(const unsigned char* data, int length, int mode, unsigned char* frame,
                                        int* decoded_bytes, int size1, int size2, int* extra) {
    if (decoded_bytes) *decoded_bytes = 0;
    if (extra) *extra = 0;
    if (mode != 1) return -1;
    return g_players.with(
        [&](divx::Player& p) { return p.play(data, length, frame, size1, size2, decoded_bytes, extra); }, -1);
}

extern "C" int __cdecl tolmdivx_close(void) { return g_players.close() ? 0 : -1; }

extern "C" int __cdecl tolmdivx_init(void) { return -1; }
extern "C" int __cdecl tolmdivx_play(void) { return -1; }
extern "C" int __cdecl tolmdivx_setwin(void) { return -1; }
extern "C" int __cdecl tolmsnd_init(void) { return -1; }
extern "C" int __cdecl tolmsnd_play(void) { return -1; }
extern "C" int __cdecl tolmsnd_close(void) { return -1; }
extern "C" int __cdecl mpeg4_get_leftvol(void) { return -1; }
extern "C" int __cdecl mpeg4_set_leftvol(int) { return -1; }
extern "C" int __cdecl mpeg4_get_rightvol(void) { return -1; }
extern "C" int __cdecl mpeg4_set_rightvol(int) { return -1; }
