// tolmmtvdecode.dll: the MTV and AMV entry points over the portable core, one open file per thread.
// Paths arrive as Windows paths and go to libavformat as Linux paths.
#include "tolmmtvdecode.h"
#include "base/fileio.h"
#include "codecs/include/pin_module.h"
#include "codecs/libav/per_thread.h"
#include "mtv_reader_core.h"

namespace {
libav::PerThread<mtvreader::Reader> g_readers;

int open_file(const char* path, mtvreader::Kind kind) {
    if (!path) return -1;
    std::string unix_path = fileio::native_path(path);
    int result =
        g_readers.open([&](mtvreader::Reader& r) { return !unix_path.empty() && r.open(unix_path, kind) ? 0 : -1; });
    if (result < 0) g_readers.close();
    return result;
}

// Runs fn on the calling thread's file when it is of the kind.
template <class Fn>
int with_file(mtvreader::Kind kind, Fn fn) {
    return g_readers.with([&](mtvreader::Reader& r) { return r.kind() == kind ? fn(r) : -1; }, -1);
}

int get_data(mtvreader::Kind kind, int frame, unsigned char* sound, int sound_capacity, unsigned char* picture,
             int* picture_length) {
    int result = with_file(kind, [&](mtvreader::Reader& r) {
        return r.data(frame, sound, sound_capacity, picture, picture_length);
    });
    if (result < 0 && picture_length) *picture_length = 0;
    return result;
}

int close_file(mtvreader::Kind kind) {
    if (with_file(kind, [](mtvreader::Reader&) { return 0; }) < 0) return -1;
    return g_readers.close() ? 0 : -1;
}
}  // namespace

extern "C" int __cdecl mtv_init(const char* path) { return open_file(path, mtvreader::Kind::kMtv); }

extern "C" int __cdecl mtv_getvideo(int* width, int* height, double* fps, int* value, double* duration) {
    return with_file(mtvreader::Kind::kMtv,
                     [&](mtvreader::Reader& r) { return r.video(width, height, fps, value, duration); });
}

extern "C" int __cdecl mtv_getaudio(int* sample_rate, int* channels, int* value) {
    return with_file(mtvreader::Kind::kMtv, [&](mtvreader::Reader& r) { return r.audio(sample_rate, channels, value); });
}

extern "C" int __cdecl mtv_getpicinfo(int* pixel_format, int* bits_per_pixel) {
    return with_file(mtvreader::Kind::kMtv, [&](mtvreader::Reader& r) {
        r.picture_info(pixel_format, bits_per_pixel);
        return 0;
    });
}

extern "C" int __cdecl mtv_getdata(int frame, unsigned char* sound, int sound_capacity, unsigned char* picture,
                                   int* picture_length) {
    return get_data(mtvreader::Kind::kMtv, frame, sound, sound_capacity, picture, picture_length);
}

extern "C" int __cdecl mtv_close(void) { return close_file(mtvreader::Kind::kMtv); }

extern "C" int __cdecl amv_init(const char* path) { return open_file(path, mtvreader::Kind::kAmv); }

extern "C" int __cdecl amv_getvideo(int* width, int* height, double* fps, int* value, double* duration) {
    return with_file(mtvreader::Kind::kAmv,
                     [&](mtvreader::Reader& r) { return r.video(width, height, fps, value, duration); });
}

extern "C" int __cdecl amv_getaudio(int* sample_rate, int* channels, int* value) {
    return with_file(mtvreader::Kind::kAmv, [&](mtvreader::Reader& r) { return r.audio(sample_rate, channels, value); });
}

extern "C" int __cdecl amv_getdata(int frame, unsigned char* sound, int sound_capacity, unsigned char* picture,
                                   int* picture_length) {
    return get_data(mtvreader::Kind::kAmv, frame, sound, sound_capacity, picture, picture_length);
}

extern "C" int __cdecl amv_close(void) { return close_file(mtvreader::Kind::kAmv); }

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) pin_module(self);
    return TRUE;
}
