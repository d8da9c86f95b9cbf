// tolmmp4decode.dll: the ISO media reader entry points over the portable core, one open file per
// thread. Paths arrive as Windows paths and go to libavformat as Linux paths.
#include "tolmmp4decode.h"
#include "base/fileio.h"
#include "codecs/include/pin_module.h"
#include "codecs/libav/per_thread.h"
#include "mp4_reader_core.h"

namespace {
libav::PerThread<mp4reader::Reader> g_readers;

template <class Fn>
int with_reader(Fn fn, int otherwise = -1) {
    return g_readers.with(fn, otherwise);
}
}  // namespace

extern "C" int __cdecl mp4de_init(const char* path) {
    if (!path) return -1;
    std::string unix_path = fileio::native_path(path);
    int result = g_readers.open([&](mp4reader::Reader& r) { return !unix_path.empty() && r.open(unix_path) ? 0 : -1; });
    if (result < 0) g_readers.close();
    return result;
}

extern "C" int __cdecl mp4_getvideo(int* width, int* height, double* fps, int* value, double* duration_ms,
                                    int* other, unsigned char* config) {
    return with_reader([&](mp4reader::Reader& r) {
        return r.video_info(width, height, fps, value, duration_ms, other, config);
    });
}

extern "C" int __cdecl mp4_getaudio(int* sample_rate, int* channels, int* value, double* duration_ms) {
    return with_reader([&](mp4reader::Reader& r) { return r.audio_info(sample_rate, channels, value, duration_ms); });
}

extern "C" int __cdecl mp4_getaudionum(int* sample_count, int* largest_sample) {
    if (sample_count) *sample_count = 0;
    if (largest_sample) *largest_sample = 0;
    return with_reader([&](mp4reader::Reader& r) { return int(r.audio_codec(sample_count, largest_sample)); }, 0);
}

extern "C" int __cdecl mp4_getvideonum(int* sample_count, int* largest_sample) {
    if (sample_count) *sample_count = 0;
    if (largest_sample) *largest_sample = 0;
    return with_reader([&](mp4reader::Reader& r) { return int(r.video_codec(sample_count, largest_sample)); }, 0);
}

extern "C" int __cdecl mp4_getmp4aconfig(unsigned char* config, int capacity) {
    return with_reader([&](mp4reader::Reader& r) { return r.aac_config(config, capacity); }, 0);
}

extern "C" int __cdecl mp4_readvideo(unsigned char* buffer, int sample, int* time_ms, int* second, unsigned char* key) {
    return with_reader([&](mp4reader::Reader& r) { return r.read_video(buffer, sample, time_ms, second, key); });
}

extern "C" int __cdecl mp4_readaudio(unsigned char* buffer, int sample, int* time_ms, int* second) {
    return with_reader([&](mp4reader::Reader& r) { return r.read_audio(buffer, sample, time_ms, second); });
}

extern "C" int __cdecl mp4_gettrackinfo(int track, char* handler, char* codec, int* value) {
    return with_reader([&](mp4reader::Reader& r) { return r.track_info(track, handler, codec, value); });
}

extern "C" int __cdecl mp4_gettracknum(void) {
    return with_reader([](mp4reader::Reader& r) { return r.track_count(); }, 0);
}

extern "C" int __cdecl mp4_getaudioname(char* name) {
    if (name) name[0] = 0;
    return with_reader([&](mp4reader::Reader& r) { return r.audio_name(name); });
}

extern "C" int __cdecl mp4de_close(void) { return g_readers.close() ? 0 : -1; }

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) pin_module(self);
    return TRUE;
}
