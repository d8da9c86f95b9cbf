// Every call the input side makes outside itself, in one table: the stream parser (tolmmux), the AVI
// picture decoder (tolmdivxplay), the ADPCM decoder (tolmadpcmdecode), the MPEG audio and AC-3
// libraries (tolmmp3dec, tolmac3buf) with the demultiplexer's links to them; the MP4/3GP reader with its
// decoders, and the MTV/AMV reader. The program fills it from
// the binders (engine/input/win32); tests fill it with the native cores or with recording fakes. An
// entry left null is a library not bound: the reader that needs it fails (pictures) or leaves that
// sound out (sound).
#pragma once
#include <cstdint>
#include "codecs/tolmmux/mux_blocks.h"
#include "media/mpeg/mpgdemux.h"

struct InputCalls {
    // tolmmux: the AVI file's two descriptions and index counts.
    int (*mux_init)() = nullptr;
    int (*open_stream)(const char* path) = nullptr;
    int (*get_mpeg4_video)(unsigned char* block80) = nullptr;
    int (*get_mpeg4_audio)(unsigned char* block64) = nullptr;
    int (*get_mpeg4_vindex_num)() = nullptr;
    int (*get_mpeg4_aindex_num)() = nullptr;

    // tolmdivxplay: AVI pictures into B,G,R rows top-down at stride (3w+3)&~3 (mode 1). size1 and
    // size2 are the width and height the frame buffer holds; *key receives the key flag.
    int (*tolmdivx_initrgb)(const Mpeg4VideoInfo& description) = nullptr;
    int (*tolmdivx_playbuf)(const unsigned char* data, int length, int mode, unsigned char* frame, int* decoded_bytes,
                            int size1, int size2, int* key) = nullptr;
    int (*tolmdivx_close)() = nullptr;

    // tolmadpcmdecode: compressed AVI sound other than PCM and MPEG audio. *pcm_length is the
    // capacity in, the bytes written out.
    int (*tolm_adpcm_init)(int format) = nullptr;
    int (*tolm_adpcm_decode)(const unsigned char* data, int length, unsigned char* pcm, int* pcm_length, int bits,
                             int block_align) = nullptr;
    int (*tolm_adpcm_close)() = nullptr;

    // tolmmp3dec and tolmac3buf: opened per job around the demultiplexer's use of them.
    int (*mp3_init)(int decoder) = nullptr;
    int (*mp3_close)(int decoder) = nullptr;
    int (*ac3buf_init)(int first, int second) = nullptr;
    int (*ac3buf_close)() = nullptr;
    // What the demultiplexer calls for MPEG audio and AC-3 (its `busy` is set by the branch).
    MpegDemuxLinks demux_links;

    // The SWF and FLV pictures and sound (each library keeps one decoder per calling thread). Pictures
    // come out as B,G,R rows top-down at stride (3w+3)&~3.
    // tolmh263dec2: Sorenson H.263 (FLV and SWF codec 2). picture null reads the header only.
    int (*sh263de_init)() = nullptr;
    int (*sh263de_setdispmode)(int mode) = nullptr;
    int (*sh263de_frame)(const unsigned char* data, int length, unsigned char* picture, int picture_bytes) = nullptr;
    int (*sh263de_getwidth)() = nullptr;
    int (*sh263de_getheight)() = nullptr;
    int (*sh263de_exit)() = nullptr;
    // tolmvpdecode: VP6 as FLV carries it (the crop byte, then the frame).
    int (*vpdecode_init)() = nullptr;
    int (*vpdecode_getvideo)(const unsigned char* data, int length, unsigned char* frame, int frame_size) = nullptr;
    int (*vpdecode_getpicsize)(int* width, int* height) = nullptr;
    int (*vpdecode_close)() = nullptr;
    // Play binds tolmvpdecode for each VP6 job (bind: 0 when bound) and releases it at the job's end;
    // the conversion thread binds it for its whole run.
    int (*vp6_bind)() = nullptr;
    void (*vp6_unbind)() = nullptr;
    // H.264 (tolmx264decode) for FLV and MP4 alike: the h264_ entries below.
    // tolmaac_decode: raw AAC access units after the AudioSpecificConfig; at most 8,192 PCM bytes a unit.
    int (*aacdecodebuf_init)(const unsigned char* config, int length, int value, int rate_hint, int* rate,
                             int* channels) = nullptr;
    int (*aacbuf_decode)(const unsigned char* data, int length, int value, unsigned char* pcm) = nullptr;
    int (*aacdecodebuf_close)() = nullptr;
    // ---- MP4/3GP: tolmmp4decode, the three picture decoders, AMR-NB and AAC ----
    int (*mp4de_init)(const char* path) = nullptr;
    int (*mp4de_close)() = nullptr;
    int (*mp4_getvideonum)(int* sample_count, int* largest_sample) = nullptr;
    int (*mp4_getaudionum)(int* sample_count, int* largest_sample) = nullptr;
    int (*mp4_getaudio)(int* sample_rate, int* channels, int* value, double* duration_ms) = nullptr;
    int (*mp4_getaudioname)(char* name64) = nullptr;
    int (*mp4_getmp4aconfig)(unsigned char* config, int capacity) = nullptr;
    int (*mp4_getvideo)(int* width, int* height, double* fps, int* value, double* duration_ms, int* other,
                        unsigned char* config1024) = nullptr;
    int (*mp4_readvideo)(unsigned char* buffer, int sample, int* time_ms, int* second, unsigned char* key) = nullptr;
    int (*mp4_readaudio)(unsigned char* buffer, int sample, int* time_ms, int* second) = nullptr;
    int (*h263de_init)() = nullptr;
    int (*h263de_frame)(const unsigned char* data, int length, unsigned char* picture, int picture_bytes) = nullptr;
    int (*h263de_exit)() = nullptr;
    int (*mpeg4_init)(int width, int height) = nullptr;
    int (*mpeg4_decode)(const unsigned char* data, int length, unsigned char* picture, int picture_bytes,
                        int* flag) = nullptr;
    int (*mpeg4_getwh)(int* width, int* height) = nullptr;
    int (*mpeg4_close)() = nullptr;
    // H.264 (tolmx264decode), MP4 and FLV: the decoder is opened and closed by the interface thread
    // (notice 678 with 1 and 2, at the size given to open, which is its capacity); the worker decodes
    // Annex B data between the two.
    int (*h264_open)(int width, int height) = nullptr;
    int (*h264_close)() = nullptr;
    int (*h264_decode)(const unsigned char* data, int length, unsigned char* frame) = nullptr;
    // The same picture as YUY2 (Y0 U Y1 V, stride 2 x width rounded up to even pixels): what a play
    // hands the video window. Null: plays decode to B,G,R as conversions do.
    int (*h264_decodeyuv)(const unsigned char* data, int length, unsigned char* frame) = nullptr;
    int (*h264_getwh)(int* width, int* height) = nullptr;
    int (*amrdecode_init)() = nullptr;
    int (*amr_decode)(const unsigned char* frame, int length, unsigned char* pcm320) = nullptr;
    int (*amrdecode_close)() = nullptr;

    // ---- MTV/AMV: tolmmtvdecode, bound per job (bind: 0 when bound) ----
    int (*mtv_bind)() = nullptr;
    void (*mtv_unbind)() = nullptr;
    int (*mtv_init)(const char* path) = nullptr;
    int (*mtv_getvideo)(int* width, int* height, double* fps, int* value, double* duration) = nullptr;
    int (*mtv_getaudio)(int* sample_rate, int* channels, int* value) = nullptr;
    int (*mtv_getpicinfo)(int* pixel_format, int* bits_per_pixel) = nullptr;
    int (*mtv_getdata)(int frame, unsigned char* sound, int sound_capacity, unsigned char* picture,
                       int* picture_length) = nullptr;
    int (*mtv_close)() = nullptr;
    int (*amv_init)(const char* path) = nullptr;
    int (*amv_getvideo)(int* width, int* height, double* fps, int* value, double* duration) = nullptr;
    int (*amv_getaudio)(int* sample_rate, int* channels, int* value) = nullptr;
    int (*amv_getdata)(int frame, unsigned char* sound, int sound_capacity, unsigned char* picture,
                       int* picture_length) = nullptr;
    int (*amv_close)() = nullptr;
};

// The input side's table.
extern InputCalls g_input_calls;
