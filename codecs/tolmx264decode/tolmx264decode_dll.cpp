// tolmx264decode.dll: the H.264 entry points over the portable core. Each thread opens its own decoder;
// a thread without one uses the decoder of the thread that loaded the library (the interface thread,
// which opens it for the workers), under that decoder's lock.
#include <windows.h>
#include "tolmx264decode.h"
#include "codecs/libav/per_thread.h"
#include "h264_decode_core.h"

namespace {
libav::PerThread<h264dec::Decoder> g_decoders;

int decode(const unsigned char* data, int length, unsigned char* frame, libav::Layout layout) {
    return g_decoders.with_own_or_home(
        [&](h264dec::Decoder& d) { return d.decode(data, length, frame, layout); }, -1);
}
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_decoders.make_calling_thread_home();
    return TRUE;
}

extern "C" int __cdecl tolm264decode_init(int width, int height) {
    return g_decoders.open([&](h264dec::Decoder& d) { return d.init(width, height) ? 0 : -1; });
}

extern "C" int __cdecl tolm264decode_decode(const unsigned char* data, int length, unsigned char* frame) {
    return decode(data, length, frame, libav::Layout::kBgr24);
}

extern "C" int __cdecl tolm264decode_decodeyuv(const unsigned char* data, int length, unsigned char* frame) {
    return decode(data, length, frame, libav::Layout::kYuy2);
}

extern "C" int __cdecl tolm264decode_getwh(int* width, int* height) {
    int w = 0, h = 0;
    int result = g_decoders.with_own_or_home([&](h264dec::Decoder& d) { return d.size(&w, &h) ? 0 : -1; }, -1);
    if (width) *width = w;
    if (height) *height = h;
    return result;
}

extern "C" int __cdecl tolm264decode_close(void) { return g_decoders.close() ? 0 : -1; }
