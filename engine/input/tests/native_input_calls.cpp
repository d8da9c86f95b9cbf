#include "engine/input/tests/native_input_calls.h"
#include <cstring>
#include <memory>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}
#include "base/picture.h"
#include "codecs/libav/video_decoder.h"
#include "codecs/tolmaac_decode/aac_decode_core.h"
#include "codecs/tolmac3buf/ac3_core.h"
#include "codecs/tolmh263dec2/sorenson_core.h"
#include "codecs/tolmvpdecode/vp6_core.h"
#include "codecs/tolmx264decode/h264_decode_core.h"
#include "codecs/tolmadpcmdecode/adpcm_core.h"
#include "codecs/tolmmp3dec/mp3dec_core.h"
#include "codecs/tolmmux/mux_core.h"

namespace native_input {

std::map<std::string, int> counts;
int refuse_pictures = 0;
std::vector<std::vector<uint8_t>> video_inputs;

namespace {

mux::Description g_description;
std::unique_ptr<libav::VideoDecoder> g_video;
std::unique_ptr<adpcmdec::Decoder> g_adpcm;
mp3dec::Decoder g_mp3;
ac3dec::Decoder g_ac3;
int g_pictures = 0;
std::unique_ptr<sorenson::Decoder> g_sorenson;
std::unique_ptr<vp6dec::Decoder> g_vp6;
std::unique_ptr<h264dec::Decoder> g_h264;
std::unique_ptr<aacdec::Decoder> g_aac;

void keep_input(const unsigned char* data, int length) {
    if (data && length > 0) video_inputs.emplace_back(data, data + length);
}

int codec_of(const char* code) {
    auto is = [code](const char* name) { return std::strncmp(code, name, 4) == 0; };
    if (is("XVID") || is("xvid") || is("DIVX") || is("DX50") || is("FMP4") || is("MP4V")) return AV_CODEC_ID_MPEG4;
    if (is("MJPG")) return AV_CODEC_ID_MJPEG;
    if (is("H263")) return AV_CODEC_ID_H263;
    if (is("H264") || is("X264") || is("AVC1")) return AV_CODEC_ID_H264;
    return -1;
}

}  // namespace

void install(InputCalls& c) {
    counts.clear();
    refuse_pictures = 0;
    video_inputs.clear();
    av_log_set_level(AV_LOG_ERROR);
    c = InputCalls{};
    c.mux_init = [] { return ++counts["mux_init"], g_description = mux::Description{}, 0; };
    c.open_stream = [](const char* path) { return ++counts["open_stream"], mux::analyse(path, &g_description); };
    c.get_mpeg4_video = [](unsigned char* block) {
        ++counts["get_mpeg4_video"];
        std::memcpy(block, &g_description.avi_video, sizeof g_description.avi_video);
        return 0;
    };
    c.get_mpeg4_audio = [](unsigned char* block) {
        ++counts["get_mpeg4_audio"];
        std::memcpy(block, &g_description.avi_audio, sizeof g_description.avi_audio);
        return 0;
    };
    c.get_mpeg4_vindex_num = [] { return ++counts["get_mpeg4_vindex_num"], g_description.video_index; };
    c.get_mpeg4_aindex_num = [] { return ++counts["get_mpeg4_aindex_num"], g_description.audio_index; };
    c.tolmdivx_initrgb = [](const Mpeg4VideoInfo& d) {
        ++counts["tolmdivx_initrgb"];
        const int id = codec_of(d.code);
        g_video = std::make_unique<libav::VideoDecoder>();
        g_pictures = 0;
        return id >= 0 && g_video->open(id) ? 0 : -1;
    };
    c.tolmdivx_playbuf = [](const unsigned char* data, int length, int mode, unsigned char* frame, int* decoded,
                            int width, int height, int* key) {
        ++counts["tolmdivx_playbuf"];
        *decoded = 0;
        if (!g_video || mode != 1) return -1;
        const int64_t bytes = g_video->decode_into(data, length, frame,
                                                   int64_t(picture::bgr24_stride(width)) * height, libav::Layout::kBgr24);
        if (bytes <= 0) return -1;
        if (++g_pictures > 1 && refuse_pictures > 0) {
            --refuse_pictures;
            return -1;
        }
        *decoded = int(bytes);
        *key = g_video->key() ? 1 : 0;
        return 0;
    };
    c.tolmdivx_close = [] { return ++counts["tolmdivx_close"], g_video.reset(), 0; };
    c.tolm_adpcm_init = [](int format) {
        ++counts["tolm_adpcm_init"];
        g_adpcm = std::make_unique<adpcmdec::Decoder>();
        return g_adpcm->init(format) ? 0 : -1;
    };
    c.tolm_adpcm_decode = [](const unsigned char* data, int length, unsigned char* pcm, int* pcm_length, int bits,
                             int block_align) {
        ++counts["tolm_adpcm_decode"];
        if (!g_adpcm) return *pcm_length = 0, -1;
        return g_adpcm->decode(data, length, pcm, pcm_length, bits, block_align);
    };
    c.tolm_adpcm_close = [] { return ++counts["tolm_adpcm_close"], g_adpcm.reset(), 0; };
    c.mp3_init = [](int) { return ++counts["mp3_init"], g_mp3.init(), 0; };
    c.mp3_close = [](int) { return ++counts["mp3_close"], 0; };
    c.ac3buf_init = [](int, int) { return ++counts["ac3buf_init"], g_ac3.init(); };
    c.ac3buf_close = [] { return ++counts["ac3buf_close"], 0; };
    c.sh263de_init = [] {
        ++counts["sh263de_init"];
        g_sorenson = std::make_unique<sorenson::Decoder>();
        return g_sorenson->init() ? 0 : -1;
    };
    c.sh263de_setdispmode = [](int mode) { return g_sorenson ? g_sorenson->set_display_mode(mode) : -1; };
    c.sh263de_frame = [](const unsigned char* data, int length, unsigned char* picture, int bytes) {
        ++counts["sh263de_frame"];
        if (picture) keep_input(data, length);
        return g_sorenson ? g_sorenson->frame(data, length, picture, bytes) : -1;
    };
    c.sh263de_getwidth = [] { return g_sorenson ? g_sorenson->width() : 0; };
    c.sh263de_getheight = [] { return g_sorenson ? g_sorenson->height() : 0; };
    c.sh263de_exit = [] { return ++counts["sh263de_exit"], g_sorenson ? (g_sorenson.reset(), 0) : -1; };
    c.vpdecode_init = [] {
        ++counts["vpdecode_init"];
        g_vp6 = std::make_unique<vp6dec::Decoder>();
        return g_vp6->init() ? 0 : -1;
    };
    c.vpdecode_getvideo = [](const unsigned char* data, int length, unsigned char* frame, int bytes) {
        ++counts["vpdecode_getvideo"];
        keep_input(data, length);
        return g_vp6 ? g_vp6->decode(data, length, frame, bytes) : -1;
    };
    c.vpdecode_getpicsize = [](int* w, int* h) {
        *w = *h = 0;
        return g_vp6 && g_vp6->size(w, h) ? 0 : -1;
    };
    c.vpdecode_close = [] { return ++counts["vpdecode_close"], g_vp6 ? (g_vp6.reset(), 0) : -1; };
    c.h264_open = [](int w, int h) {
        ++counts["h264_open"];
        g_h264 = std::make_unique<h264dec::Decoder>();
        return g_h264->init(w, h) ? 0 : -1;
    };
    c.h264_decode = [](const unsigned char* data, int length, unsigned char* frame) {
        ++counts["h264_decode"];
        keep_input(data, length);
        return g_h264 ? g_h264->decode(data, length, frame, libav::Layout::kBgr24) : -1;
    };
    c.h264_decodeyuv = [](const unsigned char* data, int length, unsigned char* frame) {
        ++counts["h264_decodeyuv"];
        keep_input(data, length);
        return g_h264 ? g_h264->decode(data, length, frame, libav::Layout::kYuy2) : -1;
    };
    c.h264_getwh = [](int* w, int* h) {
        *w = *h = 0;
        return g_h264 && g_h264->size(w, h) ? 0 : -1;
    };
    c.h264_close = [] { return ++counts["h264_close"], g_h264 ? (g_h264.reset(), 0) : -1; };
    c.aacdecodebuf_init = [](const unsigned char* config, int length, int, int, int* rate, int* channels) {
        ++counts["aacdecodebuf_init"];
        g_aac = std::make_unique<aacdec::Decoder>();
        return g_aac->init(config, length, rate, channels) ? 0 : -1;
    };
    c.aacbuf_decode = [](const unsigned char* data, int length, int, unsigned char* pcm) {
        ++counts["aacbuf_decode"];
        return g_aac ? g_aac->decode(data, length, pcm) : -1;
    };
    c.aacdecodebuf_close = [] { return ++counts["aacdecodebuf_close"], g_aac ? (g_aac.reset(), 0) : -1; };
    c.demux_links.mp3_open = [](const uint8_t* frame) { return g_mp3.open(frame); };
    c.demux_links.mp3_play = [](const Mp3FrameRecord* table, int count, uint8_t* pcm, int capacity) {
        return g_mp3.play(table, count, pcm, capacity);
    };
    c.demux_links.ac3_readdata = [](const uint8_t* frame, int length, uint8_t* out, int capacity, int* produced) {
        return g_ac3.read(frame, length, out, capacity, produced);
    };
}

}  // namespace native_input
