#include "engine/testing/recording_calls.h"
#include <algorithm>
#include <cstring>
#include <xvid.h>

namespace fakes {

std::vector<Call> calls;
Behaviour behaviour;
std::vector<int16_t> pcm_seen;

namespace {

uint32_t g_now = 0;
int g_aac_calls = 0;
int g_x264_pictures = 0;
int g_xvid_pictures = 0;
int g_aac_channels = 1;
AviFile* const kAvi = reinterpret_cast<AviFile*>(uintptr_t(0x1000));

void record(const char* name, std::initializer_list<int64_t> args = {}) { calls.push_back(Call{name, args}); }

void see(const void* pcm, int bytes) {
    const size_t before = pcm_seen.size();
    pcm_seen.resize(before + size_t(bytes / 2));
    std::memcpy(pcm_seen.data() + before, pcm, size_t(bytes / 2) * 2);
}

// A whole MPEG-1 layer III frame header (128 kbit/s, 44100 Hz): 417 bytes.
constexpr int kMp3Frame = 417;
int mp3_block(unsigned char* out) {
    std::memset(out, 0, kMp3Frame);
    out[0] = uint8_t(behaviour.mp3_first_byte);
    out[1] = 0xFB;
    out[2] = 0x90;
    out[3] = 0x64;
    return kMp3Frame;
}

// A coded H.264 picture: a key picture every 10th.
int x264_picture(unsigned char* out, int* key) {
    *key = g_x264_pictures % 10 == 0 ? 1 : 0;
    ++g_x264_pictures;
    std::memset(out, 0, 40);
    out[3] = 1;
    return 40;
}

}  // namespace

uint32_t now() { return g_now; }

void install(OutsideCalls& t) {
    calls.clear();
    pcm_seen.clear();
    behaviour = Behaviour{};
    g_now = 0;
    g_aac_calls = g_x264_pictures = g_xvid_pictures = 0;
    t = OutsideCalls{};
    use_own_code(t);
    t.clock.now_ms = [] { return g_now; };
    t.clock.sleep_ms = [](int ms) {
        record("sleep", {ms});
        g_now += uint32_t(ms);
    };

    t.mp4en_init = [](const char* path, int container) {
        calls.push_back(Call{std::string("mp4en_init:") + (path ? path : ""), {container}});
        return behaviour.mp4_init;
    };
    t.mp4en_addvideo = [](int codec, int w, int h, int r) { return record("mp4en_addvideo", {codec, w, h, r}), 0; };
    t.mp4en_addaudio = [](int codec, int rate, int ch, int fs) { return record("mp4en_addaudio", {codec, rate, ch, fs}), 0; };
    t.mp4en_setaudioinfo = [](const unsigned char*, int n) { return record("mp4en_setaudioinfo", {n}), 0; };
    t.mp4en_setaudiodelay = [](int n) { return record("mp4en_setaudiodelay", {n}), 0; };
    t.mp4_add264 = [](int w, int h, int a, int b, int c) { return record("mp4_add264", {w, h, a, b, c}), 0; };
    t.mp4_add264pps = [](const unsigned char*, int n) { return record("mp4_add264pps", {n}), 0; };
    t.mp4_add264sps = [](const unsigned char*, int n) { return record("mp4_add264sps", {n}), 0; };
    t.mp4en_video = [](int kind, const unsigned char*, int n, int d, int) { return record("mp4en_video", {kind, n, d}), 0; };
    t.mp4en_audio = [](int track, const unsigned char*, int n, int d) { return record("mp4en_audio", {track, n, d}), 0; };
    t.mp4en_close = [] { return record("mp4en_close"), 0; };

    t.aacbuf_init = [](int rate, int ch, int bitrate, int six, int type, char* text, unsigned char* config, int* len) {
        record("aacbuf_init", {rate, ch, bitrate, six, type, text && std::strcmp(text, "123") == 0});
        g_aac_calls = 0;
        g_aac_channels = ch;
        config[0] = 0x12;
        config[1] = 0x10;
        *len = 2;
        return behaviour.aac_init_override == 1 ? behaviour.aac_samples_per_channel * ch : behaviour.aac_init_override;
    };
    t.aacbuf_encode = [](const unsigned char* pcm, int bytes, unsigned char* out, int cap, unsigned* time, int*) {
        record("aacbuf_encode", {bytes, cap, int64_t(*time)});
        see(pcm, bytes);
        // One frame late, like the library.
        if (g_aac_calls++ == 0) return 0;
        *time = unsigned(bytes / 2 / g_aac_channels);
        std::memset(out, 0x21, 8);
        return 8;
    };
    t.aacbuf_close = [] { return record("aacbuf_close"), 0; };

    t.amrbuf_init = [](int mode, void*) { return record("amrbuf_init", {mode}), behaviour.amr_init; };
    t.amrbuf_encode = [](const unsigned char* pcm, int bytes, unsigned char* out, int cap, int* frames) {
        record("amrbuf_encode", {bytes, cap});
        see(pcm, bytes);
        *frames = bytes / 320;
        std::memset(out, 0x3C, size_t(*frames) * 32);
        return *frames * 32;
    };
    t.amrbuf_close = [] { return record("amrbuf_close"), 0; };

    t.tolmmp3encinit_new = [](int* fs, int* size, int rate, int kbps, int ch, int mode) {
        record("tolmmp3encinit_new", {rate, kbps, ch, mode});
        *fs = 1152 * ch;
        *size = 8192;
        return behaviour.mp3_init;
    };
    t.tolmmp3encinit_abr = [](int* fs, int* size, int rate, int kbps, int ch, int mode, int abr) {
        record("tolmmp3encinit_abr", {rate, kbps, ch, mode, abr});
        *fs = 1152 * ch;
        *size = 8192;
        return behaviour.mp3_init;
    };
    t.tolmmp3encinit_vbr = [](int* fs, int* size, int rate, int kbps, int ch, int mode, int q, int lo, int hi) {
        record("tolmmp3encinit_vbr", {rate, kbps, ch, mode, q, lo, hi});
        *fs = 1152 * ch;
        *size = 8192;
        return behaviour.mp3_init;
    };
    t.tolmmp3enccode = [](const short* pcm, int samples, unsigned char* out) {
        record("tolmmp3enccode", {samples});
        see(pcm, samples * 2);
        return mp3_block(out);
    };
    t.tolmmp3encend = [](unsigned char* out) { return record("tolmmp3encend"), mp3_block(out); };

    t.tolm264encode_init = [](int w, int h, int q, int fps) {
        record("tolm264encode_init", {w, h, q, fps});
        g_x264_pictures = 0;
        return behaviour.x264_init;
    };
    t.tolm264encode_close = [] { return record("tolm264encode_close"), 0; };
    t.tolm264encode_encode = [](const unsigned char*, int n, unsigned char* out, int* key) {
        record("tolm264encode_encode", {n});
        return x264_picture(out, key);
    };
    t.tolm264encode_encodeavi = [](const unsigned char*, int n, unsigned char* out, int* key) {
        record("tolm264encode_encodeavi", {n});
        return x264_picture(out, key);
    };
    t.tolm264encode_getpps = [](unsigned char* out) {
        record("tolm264encode_getpps");
        if (g_x264_pictures < behaviour.x264_sps_after) return 0;
        std::memset(out, 0x68, 4);
        return 4;
    };
    t.tolm264encode_getsps = [](unsigned char* out) {
        record("tolm264encode_getsps");
        if (g_x264_pictures < behaviour.x264_sps_after) return 0;
        std::memset(out, 0x67, 10);
        return 10;
    };
    t.tolm264encode_getx264 = [](int* p, int* c, int* l) {
        record("tolm264encode_getx264");
        *p = 66;
        *c = 0xC0;
        *l = 30;
        return 0;
    };

    t.xvid_global = [](void*, int opt, void*, void*) { return record("xvid_global", {opt}), 0; };
    t.xvid_encore = [](void* handle, int opt, void* p1, void* p2) {
        if (opt == XVID_ENC_CREATE) {
            auto* c = static_cast<xvid_enc_create_t*>(p1);
            record("xvid_create", {c->width, c->height, c->fincr, c->fbase, c->max_key_interval, c->profile});
            if (behaviour.xvid_create < 0) return behaviour.xvid_create;
            c->handle = reinterpret_cast<void*>(uintptr_t(0x2000));
            g_xvid_pictures = 0;
            return 0;
        }
        if (opt == XVID_ENC_ENCODE) {
            auto* f = static_cast<xvid_enc_frame_t*>(p1);
            auto* s = static_cast<xvid_enc_stats_t*>(p2);
            record("xvid_encode", {f->input.stride[0], f->input.csp, f->length, handle != nullptr});
            s->type = g_xvid_pictures++ % behaviour.xvid_key_interval == 0 ? XVID_TYPE_IVOP : XVID_TYPE_PVOP;
            return 60;
        }
        if (opt == XVID_ENC_DESTROY) return record("xvid_destroy"), 0;
        return -1;
    };

    t.tolmmix_init = [](int rate, int ch, int show) { return record("tolmmix_init", {rate, ch, show}), 0; };
    t.tolmmix_datarefresh = [] { return record("tolmmix_datarefresh"), 0; };
    t.tolmmix_setdisp = [](int show) { record("tolmmix_setdisp", {show}); };

    t.h263encode_init = [](int w, int h) { return record("h263encode_init", {w, h}), behaviour.h263_init; };
    t.h263encode_encode = [](const int32_t*, int size_choice, int intra, uint8_t* out) {
        record("h263encode_encode", {size_choice, intra});
        std::memset(out, 0, 30);
        return 30;
    };
    t.h263encode_close = [] { record("h263encode_close"); };

    t.AVI_open_output_file = [](const char* path) -> AviFile* {
        calls.push_back(Call{std::string("AVI_open_output_file:") + (path ? path : ""), {}});
        return behaviour.avi_open_fails ? nullptr : kAvi;
    };
    t.AVI_set_video = [](AviFile*, int w, int h, double fps, const char* compressor) {
        calls.push_back(Call{std::string("AVI_set_video:") + compressor, {w, h, int64_t(fps * 1000 + 0.5)}});
    };
    t.AVI_set_video_rate = [](AviFile*, uint32_t rate, uint32_t scale) { record("AVI_set_video_rate", {rate, scale}); };
    t.AVI_set_audio = [](AviFile*, int ch, int rate, int bits, int format, int kbps) {
        record("AVI_set_audio", {ch, rate, bits, format, kbps});
    };
    t.AVI_set_audio_vbr = [](AviFile*, int samples) { record("AVI_set_audio_vbr", {samples}); };
    t.AVI_write_frame = [](AviFile*, const void*, int n, int key) { return record("AVI_write_frame", {n, key}), 0; };
    t.AVI_write_audio = [](AviFile*, const void* data, int n) {
        record("AVI_write_audio", {n, static_cast<const uint8_t*>(data)[0]});
        return 0;
    };
    t.AVI_close = [](AviFile*) { return record("AVI_close"), 0; };
}

std::vector<Call> named(const std::string& name) {
    std::vector<Call> out;
    for (const Call& c : calls)
        if (c.name == name) out.push_back(c);
    return out;
}

int count(const std::string& name) { return int(named(name).size()); }

std::vector<std::string> names(const std::vector<std::string>& keep) {
    std::vector<std::string> out;
    for (const Call& c : calls) {
        const std::string base = c.name.substr(0, c.name.find(':'));
        if (keep.empty() || std::find(keep.begin(), keep.end(), base) != keep.end()) out.push_back(base);
    }
    return out;
}

int find(const std::string& name, int from) {
    for (int i = std::max(0, from); i < int(calls.size()); ++i)
        if (calls[i].name.substr(0, calls[i].name.find(':')) == name) return i;
    return -1;
}

int64_t pcm_bytes_encoded() {
    int64_t total = 0;
    for (const Call& c : calls) {
        if (c.name == "amrbuf_encode" || c.name == "aacbuf_encode") total += c.args[0];
        if (c.name == "tolmmp3enccode") total += 2 * c.args[0];
    }
    return total;
}

}  // namespace fakes
