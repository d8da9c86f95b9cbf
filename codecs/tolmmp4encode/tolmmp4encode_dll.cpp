// tolmmp4encode.dll: the multiplexer entry points over the portable core. Paths arrive as Windows
// paths and go to libavformat as Unix paths.
#include "tolmmp4encode.h"
#include "base/fileio.h"
#include "mp4mux_core.h"

namespace {
mp4mux::Muxer g_muxer;
}

extern "C" int __cdecl mp4en_init(const char* path, int container) {
    if (!path) return -1;
    std::string unix_path = fileio::native_path(path);
    if (unix_path.empty()) return -1;
    return g_muxer.init(unix_path, container);
}

extern "C" int __cdecl mp4en_addvideo(int codec, int width, int height, int) {
    return g_muxer.add_video(codec, width, height);
}

extern "C" int __cdecl mp4en_addaudio(int codec, int sample_rate, int channels, int) {
    return g_muxer.add_audio(codec, sample_rate, channels);
}

extern "C" int __cdecl mp4en_setaudioinfo(const unsigned char* config, int length) {
    return g_muxer.set_audio_config(config, length);
}

extern "C" int __cdecl mp4en_setaudiodelay(int samples) { return g_muxer.set_audio_delay(samples); }

extern "C" int __cdecl mp4_add264(int width, int height, int, int, int) {
    return g_muxer.add_h264(width, height);
}

extern "C" int __cdecl mp4_add264pps(const unsigned char* pps, int length) {
    return g_muxer.set_h264_pps(pps, length);
}

extern "C" int __cdecl mp4_add264sps(const unsigned char* sps, int length) {
    return g_muxer.set_h264_sps(sps, length);
}

extern "C" int __cdecl mp4en_video(int kind, const unsigned char* data, int length, int duration, int) {
    return g_muxer.video(kind, data, length, duration);
}

extern "C" int __cdecl mp4en_audio(int, const unsigned char* data, int length, int duration) {
    return g_muxer.audio(data, length, duration);
}

extern "C" int __cdecl mp4en_close(void) { return g_muxer.close(); }
