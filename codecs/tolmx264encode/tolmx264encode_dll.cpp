// tolmx264encode.dll: the H.264 entry points over the portable core.
#include "tolmx264encode.h"
#include "h264_core.h"
#include <cstring>

namespace {
h264enc::Encoder g_encoder;
const int kParameterSetCapacity = 1024;

int copy_set(const std::vector<uint8_t>& set, unsigned char* out) {
    if (!out || set.empty() || (int)set.size() > kParameterSetCapacity) return 0;
    memcpy(out, set.data(), set.size());
    return (int)set.size();
}
}  // namespace

extern "C" int __cdecl tolm264encode_init(int width, int height, int quality, int fps) {
    return g_encoder.open(width, height, quality, fps);
}

extern "C" int __cdecl tolm264encode_close(void) {
    g_encoder.close();
    return 0;
}

namespace {
// The caller's picture: B,G,R rows of the set-up size, `length` bytes long.
int encode(const unsigned char* bgr, int length, unsigned char* out, bool with_parameter_sets, int* key) {
    if (key) *key = 0;
    PictureView picture = picture::bgr24(const_cast<unsigned char*>(bgr), g_encoder.width(), g_encoder.height());
    if (!bgr || length < 0 || size_t(length) < picture::byte_size(picture)) return -1;
    return g_encoder.encode(picture, out, length / 2, with_parameter_sets, key);
}
}  // namespace

extern "C" int __cdecl tolm264encode_encode(const unsigned char* bgr, int length, unsigned char* out, int* key) {
    return encode(bgr, length, out, false, key);
}

extern "C" int __cdecl tolm264encode_encodeavi(const unsigned char* bgr, int length, unsigned char* out, int* key) {
    return encode(bgr, length, out, true, key);
}

extern "C" int __cdecl tolm264encode_getpps(unsigned char* out) { return copy_set(g_encoder.pps(), out); }
extern "C" int __cdecl tolm264encode_getsps(unsigned char* out) { return copy_set(g_encoder.sps(), out); }

extern "C" int __cdecl tolm264encode_getx264(int* profile, int* compatibility, int* level) {
    const std::vector<uint8_t>& sps = g_encoder.sps();
    const bool known = sps.size() >= 4;
    if (profile) *profile = known ? sps[1] : 0;
    if (compatibility) *compatibility = known ? sps[2] : 0;
    if (level) *level = known ? sps[3] : 0;
    return known ? 0 : -1;
}
