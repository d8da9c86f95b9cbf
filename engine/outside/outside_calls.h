// Every call the engine's output side makes outside itself, in one table: the outside libraries'
// entry points (the binders' pointers in the program), the program's own H.263 encoder and AVI writer,
// the PCM converter and the clock. The program fills it from the binders; tests fill it with recording
// fakes. An entry left null is a library not bound: the step that needs it is skipped (sound effects)
// or fails (encoders).
#pragma once
#include <cstdint>
#include "codecs/tolmpcmchange/tolmpcmchange.h"
#include "engine/timing/clock.h"

struct AviFile;

struct OutsideCalls {
    // tolmmp4encode: 3GP and MP4 files.
    int (*mp4en_init)(const char* path, int container) = nullptr;
    int (*mp4en_addvideo)(int codec, int width, int height, int reserved) = nullptr;
    int (*mp4en_addaudio)(int codec, int sample_rate, int channels, int frame_samples) = nullptr;
    int (*mp4en_setaudioinfo)(const unsigned char* config, int length) = nullptr;
    int (*mp4en_setaudiodelay)(int samples) = nullptr;
    int (*mp4_add264)(int width, int height, int level, int compatibility, int profile) = nullptr;
    int (*mp4_add264pps)(const unsigned char* pps, int length) = nullptr;
    int (*mp4_add264sps)(const unsigned char* sps, int length) = nullptr;
    int (*mp4en_video)(int kind, const unsigned char* data, int length, int duration, int reserved) = nullptr;
    int (*mp4en_audio)(int track, const unsigned char* data, int length, int duration) = nullptr;
    int (*mp4en_close)() = nullptr;

    // tolmaac_encode
    int (*aacbuf_init)(int sample_rate, int channels, int bitrate, int reserved6, int profile, char* text,
                       unsigned char* config, int* config_length) = nullptr;
    int (*aacbuf_encode)(const unsigned char* pcm, int input_bytes, unsigned char* out, int out_capacity,
                         unsigned int* time, int* chunk_bytes) = nullptr;
    int (*aacbuf_close)() = nullptr;

    // tolmamr_encode
    int (*amrbuf_init)(int mode, void* state) = nullptr;
    int (*amrbuf_encode)(const unsigned char* pcm, int length, unsigned char* out, int out_capacity,
                         int* frame_count) = nullptr;
    int (*amrbuf_close)() = nullptr;

    // tolmmp3enc
    int (*tolmmp3encinit_new)(int* frame_samples, int* output_size, int sample_rate, int kbps, int channels,
                              int mode) = nullptr;
    int (*tolmmp3encinit_abr)(int* frame_samples, int* output_size, int sample_rate, int kbps, int channels,
                              int mode, int abr_kbps) = nullptr;
    int (*tolmmp3encinit_vbr)(int* frame_samples, int* output_size, int sample_rate, int kbps, int channels,
                              int mode, int quality, int min_kbps, int max_kbps) = nullptr;
    int (*tolmmp3enccode)(const short* pcm, int samples, unsigned char* out) = nullptr;
    int (*tolmmp3encend)(unsigned char* out) = nullptr;

    // tolmx264encode
    int (*tolm264encode_init)(int width, int height, int quality, int fps) = nullptr;
    int (*tolm264encode_close)() = nullptr;
    int (*tolm264encode_encode)(const unsigned char* bgr, int length, unsigned char* out, int* key) = nullptr;
    int (*tolm264encode_encodeavi)(const unsigned char* bgr, int length, unsigned char* out, int* key) = nullptr;
    int (*tolm264encode_getpps)(unsigned char* out) = nullptr;
    int (*tolm264encode_getsps)(unsigned char* out) = nullptr;
    int (*tolm264encode_getx264)(int* profile, int* compatibility, int* level) = nullptr;

    // xvidcore (Xvid's own interface, xvid.h)
    int (*xvid_global)(void* handle, int opt, void* param1, void* param2) = nullptr;
    int (*xvid_encore)(void* handle, int opt, void* param1, void* param2) = nullptr;

    // olumbra: the effect chain in place over 16-bit PCM, its format and state, its window.
    int (*tolmmix_change)(short* pcm, int bytes) = nullptr;
    int (*tolmmix_init)(int sample_rate, int channels, int show) = nullptr;
    int (*tolmmix_datarefresh)() = nullptr;
    void (*tolmmix_setdisp)(int show) = nullptr;

    // The program's own H.263 encoder.
    int (*h263encode_init)(int width, int height) = nullptr;
    int (*h263encode_encode)(const int32_t* picture, int unused, int intra, uint8_t* output) = nullptr;
    void (*h263encode_close)() = nullptr;

    // The program's own AVI writer.
    AviFile* (*AVI_open_output_file)(const char* path) = nullptr;
    void (*AVI_set_video)(AviFile* avi, int width, int height, double fps, const char* compressor) = nullptr;
    void (*AVI_set_video_rate)(AviFile* avi, uint32_t rate, uint32_t scale) = nullptr;
    void (*AVI_set_audio)(AviFile* avi, int channels, int rate, int bits, int format, int kbps) = nullptr;
    void (*AVI_set_audio_vbr)(AviFile* avi, int samples_per_frame) = nullptr;
    int (*AVI_write_frame)(AviFile* avi, const void* data, int length, int keyframe) = nullptr;
    int (*AVI_write_audio)(AviFile* avi, const void* data, int length) = nullptr;
    int (*AVI_close)(AviFile* avi) = nullptr;

    // The program's one PCM converter (Ctolmpcmchange).
    int (*pcm_init)(double ratio, int reserved, int channels, int bits) = nullptr;
    void (*pcm_setch)(int channels) = nullptr;
    void (*pcm_setbit)(int bits) = nullptr;
    int (*pcm_change)(const unsigned char* in, int length, unsigned char* out, int capacity, bool more) = nullptr;
    int (*pcm_getch)(const unsigned char* in, unsigned char* out, int length, int channels, int index,
                     int bits) = nullptr;

    Clock clock;
};

// The engine's table.
extern OutsideCalls g_outside;
// The program's one PCM conversion object.
extern Ctolmpcmchange g_pcmchange;

// Fills the entries of the program's own code: the H.263 encoder, the AVI writer, the PCM converter
// and the standard library's clock. The outside libraries' entries are left as they are.
void use_own_code(OutsideCalls& calls);
